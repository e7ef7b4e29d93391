#pragma once

#include <cstdint>

// Big-endian reading and writing of the format's words, by byte arithmetic, so the code is the
// same on every host byte order and never reads through a cast pointer.
namespace kestra {

inline std::uint32_t readBigEndian32(const std::uint8_t* bytes) {
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 |
           std::uint32_t(bytes[2]) << 8 | std::uint32_t(bytes[3]);
}

inline std::uint16_t readBigEndian16(const std::uint8_t* bytes) {
    return std::uint16_t(bytes[0] << 8 | bytes[1]);
}

inline void writeBigEndian32(std::uint8_t* bytes, std::uint32_t value) {
    bytes[0] = std::uint8_t(value >> 24);
    bytes[1] = std::uint8_t(value >> 16);
    bytes[2] = std::uint8_t(value >> 8);
    bytes[3] = std::uint8_t(value);
}

inline void writeBigEndian16(std::uint8_t* bytes, std::uint16_t value) {
    bytes[0] = std::uint8_t(value >> 8);
    bytes[1] = std::uint8_t(value);
}

} // namespace kestra
