#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace kestra {

// Writes `bytes` at `position` of the file being made; false when the write failed.
using WriteAt = std::function<bool(std::uint64_t position, std::span<const std::uint8_t> bytes)>;
// Writes the new file's bytes, in any order, through `write`; false as soon as a write failed.
using FileContents = std::function<bool(const WriteAt& write)>;

// Replaces the file at `path` with a file of `size` bytes that `contents` writes (zero where it
// writes nothing), never leaving a half-written target: the bytes go to a temporary file in the
// same folder, which is flushed to disk and renamed over the target. The target's permission bits
// are kept; a symbolic link stays a link and the file it points to is replaced. On any failure
// returns false with `error` saying why, removes the temporary file and leaves the target as it
// was.
bool replaceFile(const std::string& path, std::uint64_t size, const FileContents& contents,
                 std::string& error);

} // namespace kestra
