#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The info file format in one place: its layout constants, the header and descriptor table, the
// value types and where each value lies. Every reader and writer of the format includes this.
namespace kestra {

// The header's four words, the descriptor table after it, "@" padding to a multiple of 32.
inline constexpr std::uint64_t headerSize = 16;
inline constexpr std::uint64_t descriptorSize = 12;
inline constexpr std::uint64_t fileAlignment = 32;
inline constexpr std::uint8_t paddingByte = '@';

// Positions are 32-bit: a value lies at firstItemOffset + item * itemLength + offset, and one
// whose sum reaches this limit wraps round to the start of the file.
inline constexpr std::uint64_t positionLimit = std::uint64_t(1) << 32;
// The widest value a descriptor can give: a 32-byte string.
inline constexpr std::uint64_t widestValue = 32;
// The widest value may start at the last position, so no byte beyond this can belong to a
// document.
inline constexpr std::uint64_t addressableBytes = positionLimit + widestValue;

struct InfoHeader {
    std::uint32_t itemCount = 0;
    std::uint32_t propertyCount = 0;
    std::uint32_t firstItemOffset = 0;
    std::uint32_t itemLength = 0;
};

struct PropertyDescriptor {
    std::uint32_t id = 0;
    std::uint16_t linkWord1 = 0;
    std::uint16_t linkWord2 = 0;
    std::uint16_t offset = 0;
    std::uint16_t type = 0; // 1 = string, 2 = float, anything else = integer
};

inline constexpr std::uint16_t stringDescriptorType = 1;
inline constexpr std::uint16_t floatDescriptorType = 2;

// The four value types. The on-disk descriptor only says string/float/other; how wide a string
// is belongs to the document: it follows from the name of the file it was loaded from (see
// stringWidthForPath) unless it is given.
enum class TypeCode : std::uint8_t { S32, S16, F4, I4 };

// The width of every string of a document, in bytes.
enum class StringWidth : std::uint8_t { Bytes16 = 16, Bytes32 = 32 };

// "s32", "s16", "f4", "i4".
std::string_view typeCodeText(TypeCode code);
// The code whose text is exactly `text` (case-sensitive, whole text); false for any other text.
bool typeCodeFromText(std::string_view text, TypeCode& code);

bool isLinked(std::uint16_t linkWord1, std::uint16_t linkWord2);
// 32 bytes when the last four characters of the path are exactly "info", else 16.
StringWidth stringWidthForPath(std::string_view path);
TypeCode typeCodeFor(std::uint16_t descriptorType, StringWidth stringWidth);
inline constexpr std::uint32_t valueWidth(TypeCode code) {
    switch (code) {
    case TypeCode::S32:
        return 32;
    case TypeCode::S16:
        return 16;
    case TypeCode::F4:
    case TypeCode::I4:
        return 4;
    }
    return 4;
}
inline constexpr bool isStringType(TypeCode code) {
    return code == TypeCode::S32 || code == TypeCode::S16;
}

// firstItemOffset + item * itemLength + offset as a plain sum, before it wraps: a sum that
// reaches positionLimit tells that the value wraps round.
inline constexpr std::uint64_t unwrappedPosition(const InfoHeader& header, std::uint64_t item,
                                                 std::uint64_t offset = 0) {
    return header.firstItemOffset + item * header.itemLength + offset;
}
// Where the value at `offset` of item `item` lies in the file: the sum above, wrapped round to
// 32 bits as the format does. With offset 0, where the item starts.
inline constexpr std::uint32_t valuePosition(const InfoHeader& header, std::uint64_t item,
                                             std::uint64_t offset = 0) {
    return std::uint32_t(unwrappedPosition(header, item, offset));
}
// Whether bytes up to the unwrapped position `position` run past the last 32-bit position.
inline constexpr bool wrapsRound(std::uint64_t position) {
    return position >= positionLimit;
}

// Where the descriptor table ends: the header and `propertyCount` descriptors.
inline constexpr std::uint64_t descriptorTableEnd(std::uint64_t propertyCount) {
    return headerSize + descriptorSize * propertyCount;
}
// The length of a saved file whose last written byte ends at `end`: "@" up to a multiple of 32.
inline constexpr std::uint64_t paddedEnd(std::uint64_t end) {
    return (end + fileAlignment - 1) / fileAlignment * fileAlignment;
}

// The header and a descriptor as the file holds them, big-endian. The spans must hold at least
// headerSize and descriptorSize bytes.
InfoHeader decodeHeader(std::span<const std::uint8_t> bytes);
void encodeHeader(const InfoHeader& header, std::span<std::uint8_t> bytes);
PropertyDescriptor decodeDescriptor(std::span<const std::uint8_t> bytes);
void encodeDescriptor(const PropertyDescriptor& descriptor, std::span<std::uint8_t> bytes);

} // namespace kestra
