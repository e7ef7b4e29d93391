#include "document/item_reader.h"

#include <algorithm>
#include <cstring>

#include "io/file_reader.h"
#include "io/page_buffer.h"

namespace kestra {

namespace {

// Files larger than this are read a window at a time; smaller ones at once.
constexpr std::size_t windowSize = std::size_t(8) << 20;
// Items further apart than this are read separately, so that the gaps between items that lie far
// apart (a sparse file of gigabytes) are never read.
constexpr std::uint64_t largestGapRead = std::uint64_t(64) << 10;

void copyField(std::uint8_t* to, const std::uint8_t* from, std::uint32_t width) {
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

} // namespace

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

ItemReader::ItemReader(const ByteSource& source, std::uint64_t sourceSize, const InfoHeader& header,
                       std::span<const PropertySlot> properties)
    : source_(source), sourceSize_(sourceSize), header_(header), placement_(properties) {
    for (const PropertySlot& slot : properties)
        stride_ += valueWidth(slot.facts.typeCode);
}

ItemReader::~ItemReader() = default;

bool ItemReader::read(std::uint32_t first, ItemList& items, FileError& error) {
    if (items.empty() || stride_ == 0)
        return true;
    const std::uint32_t last = std::uint32_t(first + items.size() - 1);
    // The file's items already are the packed buffer: read them straight into place.
    if (placement_.packed && header_.itemLength == stride_ &&
        !placement_.wrapsAt(unwrappedPosition(header_, last)))
        return source_.read(unwrappedPosition(header_, first, placement_.first),
                            {items.data(), items.size() * stride_}, error);
    if (!window_)
        window_ =
            std::make_unique<SourceWindow>(source_, sourceSize_, placement_.end - placement_.first);
    for (std::uint32_t item = first; item <= last; ++item) {
        std::uint8_t* packed = items.data() + std::size_t(item - first) * stride_;
        const bool copied = placement_.wrapsAt(itemStart(item)) ? copyEachValue(item, packed, error)
                                                                : copyItem(item, packed, error);
        if (!copied)
            return false;
    }
    return true;
}

std::uint64_t ItemReader::itemStart(std::uint32_t item) const {
    return valuePosition(header_, item);
}

// The source's bytes [begin, end), read into the window first (to `readEnd`) when they are
// not at hand; null when they lie past its end, where everything reads as zero.
template <typename ReadEnd>
bool ItemReader::sourceBytes(std::uint64_t begin, std::uint64_t end, ReadEnd readEnd,
                             const std::uint8_t*& bytes, FileError& error) {
    bytes = nullptr;
    if (begin >= sourceSize_)
        return true;
    bytes = window_->at(begin, end);
    if (bytes)
        return true;
    if (!window_->fill(begin, readEnd(), error))
        return false;
    bytes = window_->at(begin, end);
    return true;
}

// An item whose values all lie at its start plus their offsets.
bool ItemReader::copyItem(std::uint32_t item, std::uint8_t* packed, FileError& error) {
    const std::uint64_t start = itemStart(item);
    const std::uint8_t* bytes = nullptr;
    if (!sourceBytes(
            start + placement_.first, start + placement_.end, [&] { return readAheadEnd(item); },
            bytes, error))
        return false;
    if (!bytes)
        return true; // the buffer already holds the zero bytes
    if (placement_.packed) {
        std::memcpy(packed, bytes, stride_);
        return true;
    }
    for (const ValuePlacement::Move& move : placement_.moves)
        copyField(packed + move.packedOffset, bytes + move.fileOffset, move.width);
    return true;
}

// An item some of whose values wrap round to the start of the file: each is read on its own.
bool ItemReader::copyEachValue(std::uint32_t item, std::uint8_t* packed, FileError& error) {
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
std::uint64_t ItemReader::readAheadEnd(std::uint32_t item) const {
    const std::uint64_t begin = itemStart(item) + placement_.first;
    std::uint64_t end = itemStart(item) + placement_.end;
    if (header_.itemLength == 0)
        return end;
    for (std::uint32_t next = item + 1; next < header_.itemCount; ++next) {
        const std::uint64_t start = itemStart(next);
        if (start < itemStart(next - 1) || placement_.wrapsAt(start) ||
            start + placement_.first > end + largestGapRead ||
            start + placement_.end - begin > window_->size())
            break;
        end = std::max(end, start + placement_.end);
    }
    return end;
}

} // namespace kestra
