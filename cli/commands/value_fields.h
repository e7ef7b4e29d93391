#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "document/info_file.h"

namespace kestra::tool {

// The value as the editor's lists show it, in UTF-8.
std::string displayText(const PropertyValue& value);
// Two upper-case hex digits per byte, nothing between.
std::string hexText(std::span<const std::uint8_t> bytes);
// "0x1F": offsets and lengths as the editor's status bar shows them, with the prefix.
std::string hexNumber(std::uint64_t number);

} // namespace kestra::tool
