#pragma once

#include <cstdint>
#include <span>

#include "format/info_format.h"

namespace kestra {

// One part of a saved file: the bytes [begin, end) of the header, the descriptor table, or the
// value of property `property` of item `item`.
struct WriteSpan {
    enum class Kind : std::uint8_t { Header, PropertyTable, Value };
    std::uint64_t begin = 0;
    std::uint64_t end = 0;
    Kind kind = Kind::Value;
    std::uint32_t item = 0;
    std::uint32_t property = 0;
};

// The order in which a save writes a file, so that of two parts sharing bytes the later one
// stays: the header, the descriptor table (when there are descriptors), then items in index order
// and within each item the values in descriptor order, each at its 32-bit position. `header`
// holds the item count to write; `width(item, property)` gives each value's field width. The
// saver writes these parts and validate reports on them, so both see the same file.
template <typename Width, typename Visit>
void forEachWrite(const InfoHeader& header, std::span<const PropertyDescriptor> descriptors,
                  Width&& width, Visit&& visit) {
    visit(WriteSpan{0, headerSize, WriteSpan::Kind::Header});
    if (!descriptors.empty())
        visit(WriteSpan{headerSize, descriptorTableEnd(descriptors.size()),
                        WriteSpan::Kind::PropertyTable});
    for (std::uint32_t item = 0; item < header.itemCount; ++item) {
        for (std::uint32_t property = 0; property < descriptors.size(); ++property) {
            const std::uint64_t begin = valuePosition(header, item, descriptors[property].offset);
            visit(WriteSpan{begin, begin + width(item, property), WriteSpan::Kind::Value, item,
                            property});
        }
    }
}

} // namespace kestra
