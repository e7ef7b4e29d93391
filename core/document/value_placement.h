#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "document/item_list.h"

namespace kestra {

// Where the values of an item lie in a file, counted from the item's start, against where they
// lie in the document's packed item. Loading and saving both move values between the two.
struct ValuePlacement {
    struct Move {
        std::uint64_t fileOffset; // from `first`
        std::size_t packedOffset;
        std::uint32_t width;
    };

    explicit ValuePlacement(std::span<const PropertySlot> properties);

    // Whether a value of an item starting at the unwrapped position `start` lies past the last
    // 32-bit position, so that it wraps round to the start of the file.
    bool wrapsAt(std::uint64_t start) const { return wrapsRound(start + lastStart); }

    std::uint64_t first = 0;     // the lowest value offset
    std::uint64_t end = 0;       // the end of the value that reaches furthest
    std::uint64_t lastStart = 0; // the highest value offset
    // The file's bytes [first, end) of an item are exactly its packed item: every value follows
    // the one before it in descriptor order, without gaps.
    bool packed = true;
    std::vector<Move> moves; // one per property, in descriptor order
};

} // namespace kestra
