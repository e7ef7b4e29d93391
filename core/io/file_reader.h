#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "io/file_error.h"

namespace kestra {

// Reads the file at `path` from its start to its end, or to `limit` bytes if it is longer, in one
// pass. Anything that can be read works: a regular file, a pipe, a FIFO, a file in /proc whose
// size the system does not know. False, with `error` saying why, when the file cannot be opened,
// is a folder, or a read fails.
bool readFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
              FileError& error);

} // namespace kestra
