#include "format/info_format.h"

#include "format/byte_order.h"

namespace kestra {

namespace {
constexpr std::string_view typeCodeTexts[] = {"s32", "s16", "f4", "i4"};
} // namespace

std::string_view typeCodeText(TypeCode code) {
    return typeCodeTexts[std::size_t(code)];
}

bool typeCodeFromText(std::string_view text, TypeCode& code) {
    for (std::size_t i = 0; i < std::size(typeCodeTexts); ++i) {
        if (typeCodeTexts[i] == text) {
            code = TypeCode(i);
            return true;
        }
    }
    return false;
}

bool isLinked(std::uint16_t linkWord1, std::uint16_t linkWord2) {
    const bool bothZero = linkWord1 == 0 && linkWord2 == 0;
    const bool bothFull = linkWord1 == 0xFFFF && linkWord2 == 0xFFFF;
    return !bothZero && !bothFull;
}

StringWidth stringWidthForPath(std::string_view path) {
    return path.ends_with("info") ? StringWidth::Bytes32 : StringWidth::Bytes16;
}

TypeCode typeCodeFor(std::uint16_t descriptorType, StringWidth stringWidth) {
    switch (descriptorType) {
    case stringDescriptorType:
        return stringWidth == StringWidth::Bytes32 ? TypeCode::S32 : TypeCode::S16;
    case floatDescriptorType:
        return TypeCode::F4;
    default:
        return TypeCode::I4;
    }
}

InfoHeader decodeHeader(std::span<const std::uint8_t> bytes) {
    return {readBigEndian32(&bytes[0]), readBigEndian32(&bytes[4]), readBigEndian32(&bytes[8]),
            readBigEndian32(&bytes[12])};
}

void encodeHeader(const InfoHeader& header, std::span<std::uint8_t> bytes) {
    writeBigEndian32(&bytes[0], header.itemCount);
    writeBigEndian32(&bytes[4], header.propertyCount);
    writeBigEndian32(&bytes[8], header.firstItemOffset);
    writeBigEndian32(&bytes[12], header.itemLength);
}

// The ID is one 32-bit word; the four half-words after it are each swapped on their own.
PropertyDescriptor decodeDescriptor(std::span<const std::uint8_t> bytes) {
    return {readBigEndian32(&bytes[0]), readBigEndian16(&bytes[4]), readBigEndian16(&bytes[6]),
            readBigEndian16(&bytes[8]), readBigEndian16(&bytes[10])};
}

void encodeDescriptor(const PropertyDescriptor& descriptor, std::span<std::uint8_t> bytes) {
    writeBigEndian32(&bytes[0], descriptor.id);
    writeBigEndian16(&bytes[4], descriptor.linkWord1);
    writeBigEndian16(&bytes[6], descriptor.linkWord2);
    writeBigEndian16(&bytes[8], descriptor.offset);
    writeBigEndian16(&bytes[10], descriptor.type);
}

} // namespace kestra
