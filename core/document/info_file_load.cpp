#include "document/info_file.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <utility>

#include "document/item_reader.h"
#include "document/value_placement.h"
#include "io/file_reader.h"

namespace kestra {

namespace {

constexpr std::uint64_t itemMemoryAllowance = std::uint64_t(64) << 20;

// The header's counts are trusted only as far as memory for them follows from the file's size.
bool itemsFit(const InfoHeader& header, std::uint64_t stride, std::uint64_t fileSize) {
    const std::uint64_t bytesPerItem = std::max<std::uint64_t>(stride, smallestItemCost);
    return header.itemCount <= itemMemoryLimit(fileSize) / bytesPerItem;
}

// The end of the furthest value the header and the descriptors place: no file needs to be read
// further. Values of items that wrap round the 32-bit positions may lie anywhere up to their end.
std::uint64_t valueReach(const InfoHeader& header, const ItemList& items) {
    const std::uint64_t tableEnd = descriptorTableEnd(header.propertyCount);
    if (header.itemCount == 0 || items.stride() == 0)
        return tableEnd;
    const ValuePlacement placement(items.properties());
    const std::uint64_t last =
        header.firstItemOffset + std::uint64_t(header.itemCount - 1) * header.itemLength;
    const std::uint64_t reach = placement.wrapsAt(last) ? addressableBytes : last + placement.end;
    return std::max(tableEnd, reach);
}

const char* const countsBeyondFile = "the header claims more items and properties than the file "
                                     "can hold";

// How much of a file a load takes.
enum class Extent { PropertiesOnly, Whole };

bool loadDocument(const ByteSource& source, StringWidth stringWidth, const PropertyNames& names,
                  Extent extent, InfoFile& loaded, FileError& error) {
    if (!source.fetch(headerSize, error))
        return false;
    std::uint64_t size = std::min(source.size(), addressableBytes);
    if (size < headerSize)
        return failWith(error, "the file is shorter than its 16-byte header");
    std::uint8_t head[headerSize];
    if (!source.read(0, head, error))
        return false;
    loaded.header = decodeHeader(head);
    const InfoHeader& header = loaded.header;
    // A stream is read only as far as the header says; before its property table, the header
    // must leave room for the items' values (at least 4 bytes a property) in the most a file
    // can hold for a document.
    if (source.isStream()) {
        if (!itemsFit(header, std::uint64_t(4) * header.propertyCount, addressableBytes))
            return failWith(error, countsBeyondFile);
        if (!source.fetch(descriptorTableEnd(header.propertyCount), error))
            return false;
        size = std::min(source.size(), addressableBytes);
    }
    if (descriptorTableEnd(header.propertyCount) > size)
        return failWith(error, "the property table is cut short by the end of the file");
    std::vector<std::uint8_t> table(std::size_t(descriptorSize * header.propertyCount));
    if (!source.read(headerSize, table, error))
        return false;
    loaded.descriptors.reserve(header.propertyCount);
    for (std::size_t k = 0; k < header.propertyCount; ++k)
        loaded.descriptors.push_back(
            decodeDescriptor(std::span(table).subspan(k * descriptorSize)));

    loaded.stringWidth = stringWidth;
    loaded.items.setProperties(loaded.descriptors, stringWidth, names);
    if (source.isStream()) {
        // Then as far as the values lie, once they could fit what it may hold there; also when
        // only the properties are wanted, as the items are read from what it holds.
        const std::uint64_t reach = valueReach(header, loaded.items);
        if (!itemsFit(header, loaded.items.stride(), reach))
            return failWith(error, countsBeyondFile);
        if (!source.fetch(reach, error))
            return false;
        size = std::min(source.size(), addressableBytes);
    }
    if (extent == Extent::PropertiesOnly)
        return true;
    if (!itemsFit(header, loaded.items.stride(), size))
        return failWith(error, countsBeyondFile);
    loaded.items.resize(header.itemCount);
    ItemReader reader(source, size, header, loaded.items.properties());
    return reader.read(0, loaded.items, error);
}

bool loadFrom(const ByteSource& source, StringWidth stringWidth, const PropertyNames& names,
              Extent extent, InfoFile& document, FileError* error) {
    InfoFile loaded;
    FileError failed;
    bool done = false;
    try {
        done = loadDocument(source, stringWidth, names, extent, loaded, failed);
    } catch (const std::bad_alloc&) {
        failed = {"there is not enough memory for the document",
                  std::make_error_code(std::errc::not_enough_memory)};
    }
    if (!done) {
        if (error)
            *error = failed;
        return false;
    }
    std::swap(document, loaded);
    return true;
}

} // namespace

std::uint64_t itemMemoryLimit(std::uint64_t fileSize) {
    return 4 * fileSize + itemMemoryAllowance;
}

bool InfoFile::loadFromBytes(std::span<const std::uint8_t> bytes, StringWidth stringWidth,
                             const PropertyNames& names, FileError* error) {
    return loadFrom(ByteSource(bytes), stringWidth, names, Extent::Whole, *this, error);
}

bool InfoFile::load(const ByteSource& source, StringWidth stringWidth, const PropertyNames& names,
                    FileError* error) {
    return loadFrom(source, stringWidth, names, Extent::Whole, *this, error);
}

bool InfoFile::loadProperties(const ByteSource& source, StringWidth stringWidth,
                              const PropertyNames& names, FileError* error) {
    return loadFrom(source, stringWidth, names, Extent::PropertiesOnly, *this, error);
}

bool InfoFile::load(const std::string& path, const PropertyNames& names, FileError* error) {
    return load(path, stringWidthForPath(path), names, error);
}

bool InfoFile::load(const std::string& path, StringWidth stringWidth, const PropertyNames& names,
                    FileError* error) {
    ByteSource source;
    FileError failed;
    if (!ByteSource::open(path, addressableBytes, source, failed)) {
        if (error)
            *error = failed;
        return false;
    }
    return loadFrom(source, stringWidth, names, Extent::Whole, *this, error);
}

} // namespace kestra
