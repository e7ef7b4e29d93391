#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "io/file_error.h"

namespace kestra {

// Writes `bytes` at `position` of the file being made; false when the write failed.
using WriteAt = std::function<bool(std::uint64_t position, std::span<const std::uint8_t> bytes)>;
// Writes the new file's bytes, in any order, through `write`; false as soon as a write failed.
using FileContents = std::function<bool(const WriteAt& write)>;

// Replaces the file at `path` with a file of `size` bytes that `contents` writes (zero where it
// writes nothing; a write past `size` extends the file, which lets a text of unknown length be
// streamed from a size of 0), never leaving a half-written target: the bytes go to a temporary file
// in the same folder, which is flushed to disk and renamed over the target. The target must be a
// regular file this process may write (see findSaveTarget for which links are followed); the new
// file keeps its owner, group, extended attributes and permission bits, and a link stays a link to
// it. A file size limit is a failed write, not the end of the process. On failure returns false
// with `error` saying why; unless `error.targetReplaced` (the new file took the target's place and
// only flushing the folder failed), the temporary file is removed and the target is as it was.
bool replaceFile(const std::string& path, std::uint64_t size, const FileContents& contents,
                 FileError& error);

} // namespace kestra
