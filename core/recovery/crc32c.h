#pragma once

#include <cstdint>
#include <span>

namespace kestra {

// CRC-32C (Castagnoli), the checksum of a journal's base file and of each of its records.
// `crc` continues an earlier run over bytes that came before.
std::uint32_t crc32c(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);

} // namespace kestra
