#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestra {

// Reads the start of the file at `path`, at most `limit` bytes, in one pass. False, with `error`
// saying why, when the file cannot be opened, its size cannot be queried or a read fails.
bool readFilePrefix(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
                    std::string& error);

} // namespace kestra
