#include "document/info_file.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>
#include <utility>

#include "document/value_placement.h"
#include "io/file_reader.h"
#include "io/page_buffer.h"

namespace kestra {

namespace {

constexpr std::uint64_t itemMemoryAllowance = std::uint64_t(64) << 20;

// Files larger than this are read a window at a time; smaller ones at once.
constexpr std::size_t windowSize = std::size_t(8) << 20;
// Items further apart than this are read separately, so that the gaps between items that lie far
// apart (a sparse file of gigabytes) are never read.
constexpr std::uint64_t largestGapRead = std::uint64_t(64) << 10;

// The bytes of the source that values are copied from, read a window at a time where values
// lie (a small source all at once).
class SourceWindow {
public:
    // `widestItem`: the most bytes one item's values span.
    SourceWindow(const ByteSource& source, std::uint64_t sourceSize, std::uint64_t widestItem)
        : source_(source), whole_(sourceSize <= windowSize) {
        // Room after a whole source for the zero bytes of values that reach past its end.
        buffer_ = PageBuffer(std::size_t(whole_ ? sourceSize + widestItem : windowSize));
    }

    std::size_t size() const { return buffer_.size(); }
    // The source's bytes [begin, end) when they are at hand, else null.
    const std::uint8_t* at(std::uint64_t begin, std::uint64_t end) const {
        if (begin < start_ || end > start_ + held_)
            return nullptr;
        return buffer_.data() + (begin - start_);
    }
    // Reads the source's bytes [begin, end) into the window (a small source whole); `end - begin`
    // may not pass size(). False, with `error` saying why, when the read fails.
    bool fill(std::uint64_t begin, std::uint64_t end, FileError& error) {
        if (whole_) {
            begin = 0;
            end = buffer_.size();
        }
        start_ = begin;
        held_ = std::size_t(end - begin);
        return source_.read(begin, {buffer_.data(), held_}, error);
    }

private:
    const ByteSource& source_;
    bool whole_;
    PageBuffer buffer_;
    std::uint64_t start_ = 0; // the source's bytes [start_, start_ + held_) are in the buffer
    std::size_t held_ = 0;
};

// Copies every value of every item to its place in the packed buffer, where the file's layout is
// not already the packed one.
class ValueCopier {
public:
    ValueCopier(const ByteSource& source, std::uint64_t sourceSize, const InfoHeader& header,
                ItemList& items)
        : header_(header), items_(items), placement_(items.properties()),
          window_(source, sourceSize, placement_.end - placement_.first), sourceSize_(sourceSize) {}

    bool copyAll(FileError& error) {
        for (std::uint32_t item = 0; item < header_.itemCount; ++item) {
            std::uint8_t* packed = items_.data() + std::size_t(item) * items_.stride();
            const bool copied = placement_.wrapsAt(itemStart(item))
                                    ? copyEachValue(item, packed, error)
                                    : copyItem(item, packed, error);
            if (!copied)
                return false;
        }
        return true;
    }

private:
    std::uint64_t itemStart(std::uint32_t item) const { return valuePosition(header_, item); }

    // The source's bytes [begin, end), read into the window first (to `readEnd`) when they are
    // not at hand; null when they lie past its end, where everything reads as zero.
    template <typename ReadEnd>
    bool sourceBytes(std::uint64_t begin, std::uint64_t end, ReadEnd readEnd,
                     const std::uint8_t*& bytes, FileError& error) {
        bytes = nullptr;
        if (begin >= sourceSize_)
            return true;
        bytes = window_.at(begin, end);
        if (bytes)
            return true;
        if (!window_.fill(begin, readEnd(), error))
            return false;
        bytes = window_.at(begin, end);
        return true;
    }

    // An item whose values all lie at its start plus their offsets.
    bool copyItem(std::uint32_t item, std::uint8_t* packed, FileError& error) {
        const std::uint64_t start = itemStart(item);
        const std::uint8_t* bytes = nullptr;
        if (!sourceBytes(
                start + placement_.first, start + placement_.end,
                [&] { return readAheadEnd(item); }, bytes, error))
            return false;
        if (!bytes)
            return true; // the buffer already holds the zero bytes
        if (placement_.packed) {
            std::memcpy(packed, bytes, items_.stride());
            return true;
        }
        for (const ValuePlacement::Move& move : placement_.moves)
            copyField(packed + move.packedOffset, bytes + move.fileOffset, move.width);
        return true;
    }

    // An item some of whose values wrap round to the start of the file: each is read on its own.
    bool copyEachValue(std::uint32_t item, std::uint8_t* packed, FileError& error) {
        for (const ValuePlacement::Move& move : placement_.moves) {
            const std::uint64_t position =
                valuePosition(header_, item, placement_.first + move.fileOffset);
            const std::uint64_t end = position + move.width;
            const std::uint8_t* bytes = nullptr;
            if (!sourceBytes(
                    position, end, [end] { return end; }, bytes, error))
                return false;
            if (bytes)
                copyField(packed + move.packedOffset, bytes, move.width);
        }
        return true;
    }

    // Where a read for the item at `item` should end: past the items after it that lie in order,
    // close enough together, as far as the window reaches.
    std::uint64_t readAheadEnd(std::uint32_t item) const {
        const std::uint64_t begin = itemStart(item) + placement_.first;
        std::uint64_t end = itemStart(item) + placement_.end;
        if (header_.itemLength == 0)
            return end;
        for (std::uint32_t next = item + 1; next < header_.itemCount; ++next) {
            const std::uint64_t start = itemStart(next);
            if (start < itemStart(next - 1) || placement_.wrapsAt(start) ||
                start + placement_.first > end + largestGapRead ||
                start + placement_.end - begin > window_.size())
                break;
            end = std::max(end, start + placement_.end);
        }
        return end;
    }

    static void copyField(std::uint8_t* to, const std::uint8_t* from, std::uint32_t width) {
        // Fixed sizes, so that each copy is a few moves rather than a call.
        switch (width) {
        case 32:
            std::memcpy(to, from, 32);
            return;
        case 16:
            std::memcpy(to, from, 16);
            return;
        default:
            std::memcpy(to, from, 4);
            return;
        }
    }

    const InfoHeader& header_;
    ItemList& items_;
    const ValuePlacement placement_;
    SourceWindow window_;
    std::uint64_t sourceSize_;
};

// Fills the packed buffer of `items`, already sized for the header's items.
bool readValues(const ByteSource& source, std::uint64_t sourceSize, const InfoHeader& header,
                ItemList& items, FileError& error) {
    if (header.itemCount == 0 || items.stride() == 0)
        return true;
    const ValuePlacement placement(items.properties());
    // The file's items already are the packed buffer: read them straight into place.
    if (placement.packed && header.itemLength == items.stride() &&
        !placement.wrapsAt(unwrappedPosition(header, header.itemCount - 1)))
        return source.read(unwrappedPosition(header, 0, placement.first),
                           {items.data(), std::size_t(header.itemCount) * items.stride()}, error);
    ValueCopier copier(source, sourceSize, header, items);
    return copier.copyAll(error);
}

// The header's counts are trusted only as far as memory for them follows from the file's size.
bool itemsFit(const InfoHeader& header, std::size_t stride, std::uint64_t fileSize) {
    const std::uint64_t bytesPerItem = std::max<std::uint64_t>(stride, smallestItemCost);
    return header.itemCount <= itemMemoryLimit(fileSize) / bytesPerItem;
}

bool loadDocument(const ByteSource& source, StringWidth stringWidth, const PropertyNames& names,
                  InfoFile& loaded, FileError& error) {
    const std::uint64_t size = std::min(source.size(), addressableBytes);
    if (size < headerSize)
        return failWith(error, "the file is shorter than its 16-byte header");
    std::uint8_t head[headerSize];
    if (!source.read(0, head, error))
        return false;
    loaded.header = decodeHeader(head);
    const InfoHeader& header = loaded.header;
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
    if (!itemsFit(header, loaded.items.stride(), size))
        return failWith(error,
                        "the header claims more items and properties than the file can hold");
    loaded.items.resize(header.itemCount);
    return readValues(source, size, header, loaded.items, error);
}

bool loadFrom(const ByteSource& source, StringWidth stringWidth, const PropertyNames& names,
              InfoFile& document, FileError* error) {
    InfoFile loaded;
    FileError failed;
    bool done = false;
    try {
        done = loadDocument(source, stringWidth, names, loaded, failed);
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
    return loadFrom(ByteSource(bytes), stringWidth, names, *this, error);
}

bool InfoFile::load(const ByteSource& source, StringWidth stringWidth, const PropertyNames& names,
                    FileError* error) {
    return loadFrom(source, stringWidth, names, *this, error);
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
    return loadFrom(source, stringWidth, names, *this, error);
}

} // namespace kestra
