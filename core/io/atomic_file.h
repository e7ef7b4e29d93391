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

// Why a replace failed.
struct ReplaceFailure {
    std::string reason;
    // The new file already took the target's place; only flushing the folder failed, so a crash
    // could still bring the old file back.
    bool targetReplaced = false;
};

// Replaces the file at `path` with a file of `size` bytes that `contents` writes (zero where it
// writes nothing), never leaving a half-written target: the bytes go to a temporary file in the
// same folder, which is flushed to disk and renamed over the target. The target must be a regular
// file this process may write (see findSaveTarget for which links are followed); the new file keeps
// its owner, group, extended attributes and permission bits, and a link stays a link to it. A file
// size limit is a failed write, not the end of the process. On failure returns false with
// `failure` saying why; unless `failure.targetReplaced`, the temporary file is removed and the
// target is as it was.
bool replaceFile(const std::string& path, std::uint64_t size, const FileContents& contents,
                 ReplaceFailure& failure);

} // namespace kestra
