#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "document/sparse_image.h"

namespace kestra {

// Replaces the file at `path` with a file of `size` bytes holding `pieces` (zero elsewhere),
// never leaving a half-written target: the bytes go to a temporary file in the same folder,
// which is flushed to disk and renamed over the target. The target must be a regular file this
// process may write (see findSaveTarget for which links are followed); the new file keeps its
// owner, group, extended attributes and permission bits, and a link stays a link to it. A file
// size limit is a failed write, not the end of the process. On any failure returns false with
// `error` saying why, removes the temporary file and leaves the target as it was.
bool replaceFile(const std::string& path, std::uint64_t size,
                 std::span<const SparseImage::Piece> pieces, std::string& error);

} // namespace kestra
