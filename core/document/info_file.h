#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "document/item_list.h"
#include "document/property_names.h"
#include "format/info_format.h"
#include "io/atomic_file.h"
#include "io/file_error.h"

namespace kestra {

class ByteSource;

// The open document. Invariants: descriptors.size() == header.propertyCount,
// items.size() == header.itemCount, every item has propertyCount values, every string value is
// `stringWidth` bytes wide.
struct InfoFile {
    InfoHeader header;
    std::vector<PropertyDescriptor> descriptors;
    ItemList items;
    StringWidth stringWidth = StringWidth::Bytes16;

    // Reads the file at `path` (UTF-8 on this platform), its strings as wide as the path tells
    // (stringWidthForPath). On failure returns false and leaves the document exactly as it was;
    // `error`, when given, receives one line saying why.
    bool load(const std::string& path, const PropertyNames& names, FileError* error = nullptr);
    // The same with the string width given rather than told by the path (standard input has no
    // name to tell it).
    bool load(const std::string& path, StringWidth stringWidth, const PropertyNames& names,
              FileError* error = nullptr);
    // The same from a source already open (a file, or bytes in memory).
    bool load(const ByteSource& source, StringWidth stringWidth, const PropertyNames& names,
              FileError* error = nullptr);
    // The header and the property table of a source already open, without its items: the items
    // stay empty while header.itemCount tells how many the file has (for an ItemReader). A
    // stream is read as far as its values lie, so that the reader finds them.
    bool loadProperties(const ByteSource& source, StringWidth stringWidth,
                        const PropertyNames& names, FileError* error = nullptr);

    // Writes the whole document to `path` through a temporary file in the same folder that is
    // flushed and renamed over the target (see replaceFile). On failure returns false and the
    // target is untouched, unless `error->targetReplaced` says otherwise.
    bool save(const std::string& path, FileError* error = nullptr) const;
    // The size of the file `save` would write, and the writes that make it, in no set order
    // (bytes no write reaches are zero): for a copy streamed elsewhere.
    std::uint64_t savedSize() const;
    bool writeSaved(const WriteAt& write) const;
    // The bytes `save` would write (for tests and tools). Throws std::length_error when the file
    // would be larger than `limit` bytes.
    std::vector<std::uint8_t> serialize(std::uint64_t limit) const;
};

// The most memory a load lets a file's items take: four times the file's size and 64 MiB. Files
// whose items lie one after the other need at most their own size; the rest is room for items that
// overlap (an item length of 0, say).
std::uint64_t itemMemoryLimit(std::uint64_t fileSize);
// What an item counts for against that limit besides its values, at the least: a row of the item
// list and a search's result cost about this much, even for an item without values.
inline constexpr std::uint64_t smallestItemCost = 16;

} // namespace kestra
