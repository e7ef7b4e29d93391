#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/info_file.h"

namespace kestra::tool {

// The value as the editor's lists show it, in UTF-8.
std::string displayText(const PropertyValue& value);
// The field's bytes as a save writes them: the whole 32- or 16-byte string field, bytes after the
// terminator included, or the four big-endian bytes of a number.
std::vector<std::uint8_t> savedBytes(const PropertyValue& value);
// Two upper-case hex digits per byte, nothing between.
std::string hexText(const std::vector<std::uint8_t>& bytes);
// "0x1F": offsets and lengths as the editor's status bar shows them, with the prefix.
std::string hexNumber(std::uint64_t number);

} // namespace kestra::tool
