#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "document/item_list.h"
#include "document/value_placement.h"
#include "format/info_format.h"
#include "io/file_error.h"

namespace kestra {

class ByteSource;
class SourceWindow;

// Reads the values of a file's items into the packed buffer of an item list, a range of items
// at a time, each value from where the header and its descriptor place it. Only the bytes where
// values lie are read, a window at a time (a small source whole, once), so that a sparse file of
// gigabytes costs the bytes of its values. The load reads all items in one range; the tool reads
// a file too large to hold in ranges, so that memory follows the range rather than the file.
class ItemReader {
public:
    // `source` (of which `sourceSize` bytes count) and `header` must outlive the reader; the
    // item lists it fills are laid out for `properties`.
    ItemReader(const ByteSource& source, std::uint64_t sourceSize, const InfoHeader& header,
               std::span<const PropertySlot> properties);
    ~ItemReader();
    ItemReader(const ItemReader&) = delete;
    ItemReader& operator=(const ItemReader&) = delete;

    // Fills `items`, whose bytes must be zero, with the values of the file's items [first,
    // first + items.size()). False, with `error` saying why, when a read fails.
    bool read(std::uint32_t first, ItemList& items, FileError& error);

private:
    std::uint64_t itemStart(std::uint32_t item) const;
    template <typename ReadEnd>
    bool sourceBytes(std::uint64_t begin, std::uint64_t end, ReadEnd readEnd,
                     const std::uint8_t*& bytes, FileError& error);
    bool copyItem(std::uint32_t item, std::uint8_t* packed, FileError& error);
    bool copyEachValue(std::uint32_t item, std::uint8_t* packed, FileError& error);
    std::uint64_t readAheadEnd(std::uint32_t item) const;

    const ByteSource& source_;
    std::uint64_t sourceSize_;
    const InfoHeader& header_;
    const ValuePlacement placement_;
    std::size_t stride_ = 0;
    std::unique_ptr<SourceWindow> window_; // made by the first read that copies value by value
};

} // namespace kestra
