#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "document/info_file.h"
#include "format/byte_order.h"

namespace kestra::testing {

inline constexpr std::uint16_t integerType = 0;
inline constexpr std::uint16_t stringType = stringDescriptorType;
inline constexpr std::uint16_t floatType = floatDescriptorType;

// The bytes of an info file: the header and descriptor table, then zero bytes up to `size` for the
// caller to fill with item values.
inline std::vector<std::uint8_t> infoFileBytes(const InfoHeader& header,
                                               const std::vector<PropertyDescriptor>& descriptors,
                                               std::size_t size) {
    std::vector<std::uint8_t> bytes(
        std::max<std::uint64_t>(size, descriptorTableEnd(descriptors.size())));
    encodeHeader(header, bytes);
    for (std::size_t k = 0; k < descriptors.size(); ++k)
        encodeDescriptor(descriptors[k], std::span(bytes).subspan(descriptorTableEnd(k)));
    return bytes;
}

// The same bytes brought to a multiple of 32 with "@", as a save ends a file.
inline void padAsSaved(std::vector<std::uint8_t>& bytes) {
    bytes.resize(paddedEnd(bytes.size()), paddingByte);
}

} // namespace kestra::testing
