#include "document/info_file.h"

#include <array>
#include <stdexcept>

#include "document/saved_values.h"
#include "format/byte_order.h"
#include "io/atomic_file.h"
#include "io/sparse_image.h"

namespace kestra {

std::uint32_t savedWidth(const PropertyDescriptor& descriptor, const PropertyValue& value) {
    return descriptor.type == stringDescriptorType ? valueWidth(value.typeCode) : 4;
}

SavedValue savedValue(const PropertyDescriptor& descriptor, const PropertyValue& value) {
    SavedValue saved;
    saved.width = savedWidth(descriptor, value);
    switch (descriptor.type) {
    case stringDescriptorType:
        std::copy_n(value.store.begin(), saved.width, saved.bytes.begin());
        break;
    case floatDescriptorType:
        writeBigEndian32(saved.bytes.data(), value.floatBits());
        break;
    default:
        writeBigEndian32(saved.bytes.data(), value.intValue());
        break;
    }
    return saved;
}

namespace {

// Chunks are fast for large files but cost a whole zeroed chunk for every megabyte a value lands
// in. For a small file, or one whose extent is far larger than what is written (values
// scattered up to 4 GiB apart), keep the writes themselves instead, so memory follows the
// values, not the gaps.
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

void writeSpan(const InfoFile& document, const WriteSpan& span, SparseImage& image) {
    switch (span.kind) {
    case WriteSpan::Kind::Header: {
        InfoHeader header = document.header;
        header.itemCount = std::uint32_t(document.items.size());
        std::array<std::uint8_t, headerSize> bytes;
        encodeHeader(header, bytes);
        image.write(span.begin, bytes);
        return;
    }
    case WriteSpan::Kind::PropertyTable:
        for (std::size_t k = 0; k < document.descriptors.size(); ++k) {
            std::array<std::uint8_t, descriptorSize> bytes;
            encodeDescriptor(document.descriptors[k], bytes);
            image.write(descriptorTableEnd(k), bytes);
        }
        return;
    case WriteSpan::Kind::Value:
        image.write(span.begin, savedValue(document.descriptors[span.property],
                                           document.items[span.item].values[span.property])
                                    .view());
        return;
    }
}

SparseImage buildImage(const InfoFile& document) {
    SparseImage image(chooseLayout(document));
    forEachWrite(document, [&](const WriteSpan& span) { writeSpan(document, span, image); });
    const std::uint64_t tail = paddedEnd(image.size()) - image.size();
    if (tail != 0) {
        const std::vector<std::uint8_t> padding(tail, paddingByte);
        image.write(image.size(), padding);
    }
    return image;
}

} // namespace

std::vector<std::uint8_t> InfoFile::serialize(std::uint64_t limit) const {
    const SparseImage image = buildImage(*this);
    if (image.size() > limit)
        throw std::length_error("the file would be larger than the limit");
    std::vector<std::uint8_t> bytes(image.size());
    for (const SparseImage::Piece& piece : image.pieces())
        std::copy(piece.bytes.begin(), piece.bytes.end(),
                  bytes.begin() + std::ptrdiff_t(piece.position));
    return bytes;
}

bool InfoFile::save(const std::string& path, FileError* error) const {
    const SparseImage image = buildImage(*this);
    ReplaceFailure failure;
    if (replaceFile(path, image.size(), image.pieces(), failure))
        return true;
    if (error)
        *error = {failure.reason, {}, failure.targetReplaced};
    return false;
}

} // namespace kestra
