#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "io/file_error.h"

namespace kestra {

// Which files a read takes. Opening a FIFO waits for a writer and a device may never end, so a
// file read unasked, such as the documentation file at start-up, must be a regular file.
enum class FileKinds { Any, RegularOnly };

// Reads the file at `path` from its start to its end, or to `limit` bytes if it is longer, in one
// pass. Anything that can be read works: a regular file, a pipe, a FIFO, a file in /proc whose
// size the system does not know, unless `kinds` asks for a regular file. False, with `error`
// saying why, when the file cannot be opened, is a folder or not of `kinds`, or a read fails.
bool readFile(const std::string& path, std::uint64_t limit, std::vector<std::uint8_t>& bytes,
              FileError& error, FileKinds kinds = FileKinds::Any);

} // namespace kestra
