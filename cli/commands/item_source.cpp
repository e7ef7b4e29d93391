#include "commands/item_source.h"

#include <algorithm>

namespace kestra::tool {

namespace {

// A batch holds about this many values (small enough for the allocator to reuse its memory
// from one batch to the next) and spans at most about this many bytes of the file.
constexpr std::size_t batchValues = std::size_t(1) << 11;
constexpr std::uint64_t batchBytes = std::uint64_t(4) << 20;

} // namespace

ItemSource::ItemSource(const InfoSource& source, const DocumentationTable& names)
    : path_(source.path) {
    FileError error;
    if (!ByteSource::open(openablePath(source.path), addressableBytes, file_, error) ||
        !shape_.loadProperties(file_, source.stringWidth, names, &error))
        failOn(path_, error);
    reader_ = std::make_unique<ItemReader>(file_, std::min(file_.size(), addressableBytes),
                                           shape_.header, shape_.items.properties());
    batch_ = shape_.items;

    const InfoHeader& header = shape_.header;
    batchItems_ = std::max<std::size_t>(1, batchValues / (shape_.descriptors.size() + 1));
    if (header.itemLength > 0)
        batchItems_ = std::min<std::size_t>(
            batchItems_, std::max<std::uint64_t>(1, batchBytes / header.itemLength));
}

void ItemSource::forEachItem(std::size_t first, std::size_t last,
                             const std::function<void(std::size_t, ConstItemRef)>& visit) {
    for (std::size_t i = first; i < last; i += batchItems_) {
        // Emptied first: the reader fills items whose bytes are zero.
        batch_.resize(0);
        batch_.resize(std::min(batchItems_, last - i));
        FileError error;
        if (!reader_->read(std::uint32_t(i), batch_, error))
            failOn(path_, error);
        for (std::size_t j = 0; j < batch_.size(); ++j)
            visit(i + j, batch_[j]);
    }
}

} // namespace kestra::tool
