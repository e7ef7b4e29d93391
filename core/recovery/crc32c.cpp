#include "recovery/crc32c.h"

#include <array>

namespace kestra {

namespace {

using Table = std::array<std::uint32_t, 256>;

// tables[0] steps the checksum over one byte; tables[k] over one byte followed by k zero bytes,
// so that eight bytes are taken in one step ("slicing by eight"), about three times as fast as a
// byte at a time: the checksum of a large file is read while the window waits for it.
constexpr std::array<Table, 8> makeTables() {
    std::array<Table, 8> tables{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? (c >> 1) ^ 0x82F63B78u : c >> 1;
        tables[0][n] = c;
    }
    for (std::size_t k = 1; k < tables.size(); ++k) {
        for (std::uint32_t n = 0; n < 256; ++n)
            tables[k][n] = tables[0][tables[k - 1][n] & 0xFF] ^ (tables[k - 1][n] >> 8);
    }
    return tables;
}

constexpr std::array<Table, 8> tables = makeTables();

} // namespace

std::uint32_t crc32c(std::span<const std::uint8_t> bytes, std::uint32_t crc) {
    crc = ~crc;
    const std::uint8_t* at = bytes.data();
    std::size_t left = bytes.size();
    for (; left >= 8; left -= 8, at += 8) {
        const std::uint32_t low = crc ^ (std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 |
                                         std::uint32_t(at[2]) << 16 | std::uint32_t(at[3]) << 24);
        crc = tables[7][low & 0xFF] ^ tables[6][(low >> 8) & 0xFF] ^ tables[5][(low >> 16) & 0xFF] ^
              tables[4][low >> 24] ^ tables[3][at[4]] ^ tables[2][at[5]] ^ tables[1][at[6]] ^
              tables[0][at[7]];
    }
    for (; left > 0; --left, ++at)
        crc = tables[0][(crc ^ *at) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

} // namespace kestra
