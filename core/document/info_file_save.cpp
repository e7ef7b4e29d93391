#include "document/info_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>

#include "document/saved_values.h"
#include "document/value_placement.h"
#include "io/atomic_file.h"
#include "io/page_buffer.h"
#include "io/sparse_image.h"

namespace kestra {

std::uint32_t savedWidth(const PropertyDescriptor& descriptor, TypeCode code) {
    return descriptor.type == stringDescriptorType ? valueWidth(code) : 4;
}

SavedValue savedValue(const PropertyDescriptor& descriptor, ConstValueRef value) {
    // The field already holds the bytes as the file does.
    SavedValue saved;
    saved.width = savedWidth(descriptor, value.typeCode);
    std::copy_n(value.bytes, saved.width, saved.bytes.begin());
    return saved;
}

namespace {

// Values of items that lie in order are gathered in this much memory before they are written.
constexpr std::size_t streamBufferSize = std::size_t(4) << 20;
// Items further apart than this are written separately, so that the gaps stay holes.
constexpr std::uint64_t largestGapWritten = std::uint64_t(64) << 10;
// The property table is encoded this many descriptors at a time.
constexpr std::size_t descriptorsPerWrite = 4096;

// How a save can write a document's values, from the cheapest.
enum class ValueOrder {
    Packed,    // the items lie in the file exactly as in the packed buffer: written as they are
    Ascending, // each item after the one before, none over the header or the property table
    Any,       // values may overlap, wrap round or lie over the header: the file is built aside
};

struct SavePlan {
    ValueOrder order = ValueOrder::Any;
    std::uint64_t end = 0; // the end of the furthest byte written, before the padding
};

// Whether the values are saved with the widths, offsets and types the packed layout has.
bool savedAsHeld(const InfoFile& document) {
    const std::span<const PropertySlot> properties = document.items.properties();
    return std::equal(
        document.descriptors.begin(), document.descriptors.end(), properties.begin(),
        properties.end(), [](const PropertyDescriptor& descriptor, const PropertySlot& slot) {
            return descriptor.offset == slot.facts.descriptor.offset &&
                   savedWidth(descriptor, slot.facts.typeCode) == valueWidth(slot.facts.typeCode);
        });
}

SavePlan planSave(const InfoFile& document) {
    const std::uint64_t tableEnd = descriptorTableEnd(document.descriptors.size());
    const std::uint64_t count = document.items.size();
    if (count == 0 || document.descriptors.empty())
        return {ValueOrder::Packed, tableEnd};
    if (document.items.properties().size() != document.descriptors.size())
        throw std::logic_error("the items do not have one value per descriptor");
    if (savedAsHeld(document)) {
        const ValuePlacement placement(document.items.properties());
        const std::uint64_t last = unwrappedPosition(document.header, count - 1);
        if (!placement.wrapsAt(last) &&
            unwrappedPosition(document.header, 0, placement.first) >= tableEnd &&
            (count == 1 || document.header.itemLength >= placement.end - placement.first)) {
            const bool packed =
                placement.packed && document.header.itemLength == document.items.stride();
            return {packed ? ValueOrder::Packed : ValueOrder::Ascending,
                    std::max(tableEnd, last + placement.end)};
        }
    }
    SavePlan plan;
    forEachWrite(document, [&](const WriteSpan& span) { plan.end = std::max(plan.end, span.end); });
    return plan;
}

bool writeHeaderAndTable(const InfoFile& document, const WriteAt& write) {
    InfoHeader header = document.header;
    header.itemCount = std::uint32_t(document.items.size());
    std::array<std::uint8_t, headerSize> head;
    encodeHeader(header, head);
    if (!write(0, head))
        return false;
    std::vector<std::uint8_t> table;
    const std::span<const PropertyDescriptor> descriptors = document.descriptors;
    for (std::size_t first = 0; first < descriptors.size(); first += descriptorsPerWrite) {
        const auto part =
            descriptors.subspan(first, std::min(descriptorsPerWrite, descriptors.size() - first));
        table.resize(part.size() * descriptorSize);
        for (std::size_t k = 0; k < part.size(); ++k)
            encodeDescriptor(part[k], std::span(table).subspan(k * descriptorSize));
        if (!write(descriptorTableEnd(first), table))
            return false;
    }
    return true;
}

// Gathers the values of items that lie in ascending order, item after item, in one reused
// buffer, and writes what it holds whenever the next item does not fit after it.
class ItemStream {
public:
    explicit ItemStream(const WriteAt& write) : write_(write), buffer_(streamBufferSize) {}

    // Makes room for an item whose values lie in [begin, end).
    bool beginItem(std::uint64_t begin, std::uint64_t end) {
        const bool fits = held_ != 0 && end - start_ <= buffer_.size() &&
                          begin <= start_ + held_ + largestGapWritten;
        if (fits)
            return true;
        const bool written = flush();
        start_ = begin;
        return written;
    }
    void put(std::uint64_t position, const std::uint8_t* bytes, std::size_t width) {
        std::memcpy(buffer_.data() + (position - start_), bytes, width);
        held_ = std::max<std::size_t>(held_, std::size_t(position - start_) + width);
    }
    bool flush() {
        const bool written = held_ == 0 || write_(start_, {buffer_.data(), held_});
        std::memset(buffer_.data(), 0, held_);
        held_ = 0;
        return written;
    }

private:
    const WriteAt& write_;
    PageBuffer buffer_;
    std::uint64_t start_ = 0;
    std::size_t held_ = 0;
};

bool writeItemsInOrder(const InfoFile& document, const WriteAt& write) {
    const ItemList& items = document.items;
    const std::span<const PropertySlot> properties = items.properties();
    const ValuePlacement placement(properties);
    ItemStream stream(write);
    bool written = true;
    forEachWrite(document, [&](const WriteSpan& span) {
        if (span.kind != WriteSpan::Kind::Value || !written)
            return;
        if (span.property == 0) {
            // No item of this order wraps round.
            const std::uint64_t start = unwrappedPosition(document.header, span.item);
            written = stream.beginItem(start + placement.first, start + placement.end);
        }
        const std::uint8_t* field =
            items.data() + span.item * items.stride() + properties[span.property].offset;
        stream.put(span.begin, field, std::size_t(span.end - span.begin));
    });
    return written && stream.flush();
}

// Files written in anything but ascending order: chunks are fast for large files but cost a
// whole zeroed chunk for every megabyte a value lands in. For a small file, or one whose extent
// is far larger than what is written (values scattered up to 4 GiB apart), keep the writes
// themselves instead, so memory follows the values, not the gaps.
SparseImage::Layout chooseLayout(const InfoFile& document) {
    constexpr std::uint64_t denseSlack = std::uint64_t(64) << 20;
    constexpr std::uint64_t smallFile = std::uint64_t(1) << 20;
    std::uint64_t written = 0;
    std::uint64_t extent = 0;
    forEachWrite(document, [&](const WriteSpan& span) {
        written += span.end - span.begin;
        extent = std::max(extent, span.end);
    });
    const bool dense = written >= smallFile && extent <= 4 * written + denseSlack;
    return dense ? SparseImage::Layout::Dense : SparseImage::Layout::Scattered;
}

// Builds the file aside, so that of the writes that share bytes the later one stays.
bool writeBuiltAside(const InfoFile& document, const WriteAt& write) {
    SparseImage image(chooseLayout(document));
    // The header and the property table come first in the write order, then the values.
    writeHeaderAndTable(document, [&](std::uint64_t position, std::span<const std::uint8_t> bytes) {
        image.write(position, bytes);
        return true;
    });
    forEachWrite(document, [&](const WriteSpan& span) {
        if (span.kind == WriteSpan::Kind::Value)
            image.write(span.begin, savedValue(document.descriptors[span.property],
                                               document.items[span.item].values[span.property])
                                        .view());
    });
    for (const SparseImage::Piece& piece : image.pieces()) {
        if (!write(piece.position, piece.bytes))
            return false;
    }
    return true;
}

// Writes the whole file: header, property table, values and "@" padding.
bool writeDocument(const InfoFile& document, const SavePlan& plan, const WriteAt& write) {
    bool written = true;
    switch (plan.order) {
    case ValueOrder::Packed: {
        const ItemList& items = document.items;
        const std::size_t size = items.size() * items.stride();
        const std::uint64_t begin =
            unwrappedPosition(document.header, 0, ValuePlacement(items.properties()).first);
        written = writeHeaderAndTable(document, write) &&
                  (size == 0 || write(begin, {items.data(), size}));
        break;
    }
    case ValueOrder::Ascending:
        written = writeHeaderAndTable(document, write) && writeItemsInOrder(document, write);
        break;
    case ValueOrder::Any:
        written = writeBuiltAside(document, write);
        break;
    }
    const std::vector<std::uint8_t> padding(paddedEnd(plan.end) - plan.end, paddingByte);
    return written && (padding.empty() || write(plan.end, padding));
}

} // namespace

SavedFileValues::SavedFileValues(const InfoFile& document)
    : document_(document), itemsMayOverlap_(planSave(document).order == ValueOrder::Any) {}

SavedValue SavedFileValues::at(std::uint32_t item, std::uint32_t property) const {
    const std::span<const PropertyDescriptor> descriptors = document_.descriptors;
    SavedValue saved = savedValue(descriptors[property], document_.items[item].values[property]);
    const std::uint64_t begin = valuePosition(document_.header, item, descriptors[property].offset);
    const std::uint64_t end = begin + saved.width;
    // Later in the write order: the item's later properties, and, only where items may overlap,
    // every later item.
    const std::uint32_t lastItem =
        itemsMayOverlap_ ? std::uint32_t(document_.items.size() - 1) : item;
    for (std::uint32_t i = item; i <= lastItem; ++i) {
        for (auto k = std::uint32_t(i == item ? property + 1 : 0); k < descriptors.size(); ++k) {
            const std::uint64_t start = valuePosition(document_.header, i, descriptors[k].offset);
            const SavedValue over = savedValue(descriptors[k], document_.items[i].values[k]);
            const std::uint64_t from = std::max(begin, start);
            const std::uint64_t to = std::min(end, start + over.width);
            if (from < to)
                std::copy_n(over.bytes.begin() + (from - start), to - from,
                            saved.bytes.begin() + (from - begin));
        }
    }
    return saved;
}

std::vector<std::uint8_t> InfoFile::serialize(std::uint64_t limit) const {
    const SavePlan plan = planSave(*this);
    if (paddedEnd(plan.end) > limit)
        throw std::length_error("the file would be larger than the limit");
    std::vector<std::uint8_t> bytes(paddedEnd(plan.end));
    writeDocument(*this, plan, [&](std::uint64_t position, std::span<const std::uint8_t> part) {
        std::copy(part.begin(), part.end(), bytes.begin() + std::ptrdiff_t(position));
        return true;
    });
    return bytes;
}

std::uint64_t InfoFile::savedSize() const {
    return paddedEnd(planSave(*this).end);
}

bool InfoFile::writeSaved(const WriteAt& write) const {
    return writeDocument(*this, planSave(*this), write);
}

bool InfoFile::save(const std::string& path, FileError* error) const {
    const SavePlan plan = planSave(*this);
    const FileContents contents = [&](const WriteAt& write) {
        return writeDocument(*this, plan, write);
    };
    FileError failed;
    if (replaceFile(path, paddedEnd(plan.end), contents, failed))
        return true;
    if (error)
        *error = failed;
    return false;
}

} // namespace kestra
