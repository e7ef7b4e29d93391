#pragma once

#include <cstdint>
#include <ostream>
#include <span>

#include "document/info_file.h"

namespace kestra::tool {

// Writes, one per line, what a save of `edited` would change in the file `fileBytes` (which
// `original` was loaded from) beyond the values `diff` tells: bytes that no value covers and that
// the save rewrites (zeroed gaps, a tail dropped or padded), and edited values that a later
// overlapping write would overwrite. True when it wrote anything.
bool writeSaveEffects(std::ostream& out, std::span<const std::uint8_t> fileBytes,
                      const InfoFile& original, const InfoFile& edited);

} // namespace kestra::tool
