#include "commands/item_source.h"

#include <algorithm>

#include "io/file_reader.h"

namespace kestra::tool {

namespace {

// A batch holds about this many values (small enough for the allocator to reuse its memory
// from one batch to the next) and spans at most about this many bytes of the file.
constexpr std::size_t batchValues = std::size_t(1) << 11;
constexpr std::uint64_t batchBytes = std::uint64_t(4) << 20;

} // namespace

ItemSource::ItemSource(const InfoSource& source, const DocumentationTable& names)
    : path_(source.path), stringWidth_(source.stringWidth), names_(names) {
    FileError error;
    if (!ByteSource::open(openablePath(source.path), addressableBytes, file_, error))
        fail(error);
    // The header and the property table, through the loader, which checks them as always.
    std::vector<std::uint8_t>& bytes = batch_;
    copyFromFile(0, headerSize, bytes);
    const InfoHeader header = bytes.size() < headerSize ? InfoHeader() : decodeHeader(bytes);
    if (bytes.size() == headerSize) {
        copyFromFile(0, descriptorTableEnd(header.propertyCount), bytes);
        InfoHeader noItems = header;
        noItems.itemCount = 0;
        encodeHeader(noItems, bytes);
    }
    if (!shape_.loadFromBytes(bytes, stringWidth_, names_, &error))
        fail(error);
    shape_.header = header;

    for (std::size_t k = 0; k < shape_.descriptors.size(); ++k) {
        const std::uint64_t offset = shape_.descriptors[k].offset;
        lowestOffset_ = k == 0 ? offset : std::min(lowestOffset_, offset);
        highestOffset_ = std::max(highestOffset_, offset);
    }
    batchItems_ = std::max<std::size_t>(1, batchValues / (shape_.descriptors.size() + 1));
    if (header.itemLength > 0)
        batchItems_ = std::min<std::size_t>(
            batchItems_, std::max<std::uint64_t>(1, batchBytes / header.itemLength));

    if (!valuesStayClearOfTheHeader()) {
        if (!whole_.load(file_, stringWidth_, names_, &error))
            fail(error);
        loadedWhole_ = true;
    }
}

void ItemSource::fail(const FileError& error) const {
    failOn(path_, error);
}

void ItemSource::copyFromFile(std::uint64_t begin, std::uint64_t count,
                              std::vector<std::uint8_t>& bytes, std::size_t at) const {
    const std::uint64_t size = file_.size();
    const std::size_t inFile = begin >= size ? 0 : std::size_t(std::min(count, size - begin));
    bytes.resize(at + inFile);
    FileError error;
    if (!file_.read(begin, std::span(bytes).subspan(at), error))
        fail(error);
}

// Whether every value lies after the property table and below 4 GiB, so that the values of a
// batch can be loaded from a copy of their bytes placed right after the property table.
bool ItemSource::valuesStayClearOfTheHeader() const {
    const InfoHeader& header = shape_.header;
    if (shape_.descriptors.empty() || header.itemCount == 0)
        return true;
    return unwrappedPosition(header, 0, lowestOffset_) >=
               descriptorTableEnd(shape_.descriptors.size()) &&
           !wrapsRound(unwrappedPosition(header, header.itemCount - 1, highestOffset_));
}

void ItemSource::forEachItem(std::size_t first, std::size_t last,
                             const std::function<void(std::size_t, ConstItemRef)>& visit) {
    if (loadedWhole_) {
        for (std::size_t i = first; i < last; ++i)
            visit(i, whole_.items[i]);
        return;
    }
    // Each batch is a small file of its own: the header and the property table, then the bytes
    // its items' values cover, under a header whose first item starts where they were placed.
    const InfoHeader& header = shape_.header;
    const std::size_t tableEnd = std::size_t(descriptorTableEnd(shape_.descriptors.size()));
    for (std::size_t i = first; i < last; i += batchItems_) {
        InfoHeader batch = header;
        batch.itemCount = std::uint32_t(std::min(batchItems_, last - i));
        const std::uint64_t begin = unwrappedPosition(header, i, lowestOffset_);
        const std::uint64_t span = shape_.descriptors.empty()
                                       ? 0
                                       : std::uint64_t(batch.itemCount - 1) * header.itemLength +
                                             highestOffset_ - lowestOffset_ + widestValue;
        copyFromFile(begin, span, batch_, tableEnd);
        // Values lie at firstItemOffset + item * itemLength + offset, in 32-bit arithmetic, so
        // this places the lowest offset of the batch's first item at the end of the table.
        batch.firstItemOffset = std::uint32_t(tableEnd - lowestOffset_);
        encodeHeader(batch, batch_);
        InfoFile items;
        FileError error;
        if (!items.loadFromBytes(batch_, stringWidth_, names_, &error))
            fail(error);
        for (std::size_t j = 0; j < items.items.size(); ++j)
            visit(i + j, items.items[j]);
    }
}

} // namespace kestra::tool
