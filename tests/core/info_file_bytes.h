#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "document/byte_order.h"
#include "document/info_file.h"

namespace kestra::testing {

inline constexpr std::uint16_t integerType = 0;
inline constexpr std::uint16_t stringType = 1;
inline constexpr std::uint16_t floatType = 2;

inline std::size_t descriptorTableEnd(std::size_t propertyCount) {
    return 16 + 12 * propertyCount;
}

// The bytes of an info file: the header and descriptor table, then zero bytes up to `size` for the
// caller to fill with item values.
inline std::vector<std::uint8_t> infoFileBytes(const InfoHeader& header,
                                               const std::vector<PropertyDescriptor>& descriptors,
                                               std::size_t size) {
    std::vector<std::uint8_t> bytes(std::max(size, descriptorTableEnd(descriptors.size())));
    writeBigEndian32(&bytes[0], header.itemCount);
    writeBigEndian32(&bytes[4], header.propertyCount);
    writeBigEndian32(&bytes[8], header.firstItemOffset);
    writeBigEndian32(&bytes[12], header.itemLength);
    for (std::size_t k = 0; k < descriptors.size(); ++k) {
        std::uint8_t* entry = &bytes[descriptorTableEnd(k)];
        writeBigEndian32(entry, descriptors[k].id);
        writeBigEndian16(entry + 4, descriptors[k].linkWord1);
        writeBigEndian16(entry + 6, descriptors[k].linkWord2);
        writeBigEndian16(entry + 8, descriptors[k].offset);
        writeBigEndian16(entry + 10, descriptors[k].type);
    }
    return bytes;
}

// The same bytes brought to a multiple of 32 with "@", as a save ends a file.
inline void padAsSaved(std::vector<std::uint8_t>& bytes) {
    while (bytes.size() % 32 != 0)
        bytes.push_back('@');
}

} // namespace kestra::testing
