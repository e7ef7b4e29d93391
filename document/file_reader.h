#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kestra {

// Which files a read takes. Opening a FIFO waits for a writer and a device may never end, so a
// file read unasked, such as the documentation file at start-up, must be a regular file.
enum class FileKinds { Any, RegularOnly };

// Reads the start of the file at `path`, at most `limit` bytes, in one pass. False, with `error`
// saying why, when the file cannot be opened, is not of `kinds`, its size cannot be queried or a
// read fails.
bool readFilePrefix(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
                    std::string& error, FileKinds kinds = FileKinds::Any);

} // namespace kestra
