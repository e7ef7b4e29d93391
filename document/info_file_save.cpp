#include "document/info_file.h"

#include <array>
#include <stdexcept>

#include "document/atomic_file.h"
#include "document/byte_order.h"
#include "document/sparse_image.h"

namespace kestra {

namespace {

constexpr std::uint64_t fileAlignment = 32;
constexpr std::uint8_t paddingByte = '@';

void writeWord(SparseImage& image, std::uint64_t position, std::uint32_t value) {
    std::array<std::uint8_t, 4> bytes;
    writeBigEndian32(bytes.data(), value);
    image.write(position, bytes);
}

void writeDescriptor(SparseImage& image, std::uint64_t position,
                     const PropertyDescriptor& descriptor) {
    std::array<std::uint8_t, 12> bytes;
    writeBigEndian32(&bytes[0], descriptor.id);
    writeBigEndian16(&bytes[4], descriptor.linkWord1);
    writeBigEndian16(&bytes[6], descriptor.linkWord2);
    writeBigEndian16(&bytes[8], descriptor.offset);
    writeBigEndian16(&bytes[10], descriptor.type);
    image.write(position, bytes);
}

// The descriptor decides string, float or integer; for a string the value's own type code
// decides the width, as fixed when it was loaded or made.
void writeValue(SparseImage& image, std::uint64_t position, const PropertyDescriptor& descriptor,
                const PropertyValue& value) {
    switch (descriptor.type) {
    case stringDescriptorType:
        if (value.typeCode == TypeCode::S32)
            image.write(position, value.text32());
        else
            image.write(position, value.text16());
        return;
    case floatDescriptorType:
        writeWord(image, position, value.floatBits());
        return;
    default:
        writeWord(image, position, value.intValue());
        return;
    }
}

// The new file: header, descriptor table, then every item's values in index and descriptor
// order, later writes winning where they overlap, and '@' up to a multiple of 32 bytes.
std::uint32_t writtenWidth(const PropertyDescriptor& descriptor, const PropertyValue& value) {
    return descriptor.type == stringDescriptorType ? valueWidth(value.typeCode) : 4;
}

// Chunks are fast for large files but cost a whole zeroed chunk for every megabyte a value lands
// in. For a small file, or one whose extent is far larger than what is written (values
// scattered up to 4 GiB apart), keep the writes themselves instead, so memory follows the
// values, not the gaps.
SparseImage::Layout chooseLayout(const InfoFile& document, const InfoHeader& header) {
    constexpr std::uint64_t denseSlack = std::uint64_t(64) << 20;
    constexpr std::uint64_t smallFile = std::uint64_t(1) << 20;
    std::uint64_t written = 16 + 12 * std::uint64_t(document.descriptors.size());
    std::uint64_t extent = written;
    for (std::uint32_t i = 0; i < header.itemCount; ++i) {
        const std::vector<PropertyValue>& values = document.items[i].values;
        const std::size_t count = std::min(values.size(), document.descriptors.size());
        for (std::size_t k = 0; k < count; ++k) {
            const PropertyDescriptor& descriptor = document.descriptors[k];
            const std::uint32_t width = writtenWidth(descriptor, values[k]);
            written += width;
            extent = std::max(extent, valuePosition(header, i, descriptor) + std::uint64_t(width));
        }
    }
    const bool dense = written >= smallFile && extent <= 4 * written + denseSlack;
    return dense ? SparseImage::Layout::Dense : SparseImage::Layout::Scattered;
}

SparseImage buildImage(const InfoFile& document) {
    InfoHeader header = document.header;
    header.itemCount = std::uint32_t(document.items.size());
    SparseImage image(chooseLayout(document, header));
    writeWord(image, 0, header.itemCount);
    writeWord(image, 4, header.propertyCount);
    writeWord(image, 8, header.firstItemOffset);
    writeWord(image, 12, header.itemLength);
    for (std::size_t k = 0; k < document.descriptors.size(); ++k)
        writeDescriptor(image, 16 + 12 * std::uint64_t(k), document.descriptors[k]);

    for (std::uint32_t i = 0; i < header.itemCount; ++i) {
        const std::vector<PropertyValue>& values = document.items[i].values;
        const std::size_t count = std::min(values.size(), document.descriptors.size());
        for (std::size_t k = 0; k < count; ++k) {
            const PropertyDescriptor& descriptor = document.descriptors[k];
            writeValue(image, valuePosition(header, i, descriptor), descriptor, values[k]);
        }
    }

    const std::uint64_t tail = image.size() % fileAlignment;
    if (tail != 0) {
        const std::vector<std::uint8_t> padding(fileAlignment - tail, paddingByte);
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
    if (error) {
        error->message = failure.reason;
        error->targetReplaced = failure.targetReplaced;
    }
    return false;
}

} // namespace kestra
