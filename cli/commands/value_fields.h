#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>

#include "document/info_file.h"
#include "document/saved_values.h"

namespace kestra::tool {

// The value as the editor's lists show it, in UTF-8.
std::string displayText(const PropertyValue& value);
// The value in UTF-8 as it reads back exactly: floats in their shortest round-trip form.
std::string exactText(const PropertyValue& value);
// The field as a save writes it, in hex: strings whole, numbers big-endian.
std::string savedBytesText(const PropertyValue& value);

// Two upper-case hex digits per byte, nothing between.
std::string hexText(std::span<const std::uint8_t> bytes);
// "0x1F": offsets and lengths as the editor's status bar shows them, with the prefix.
std::string hexNumber(std::uint64_t number);

// "item 2 property 1 (ID 20)".
std::string propertyLabel(std::size_t item, std::size_t property, const PropertyValue& value);
// The value of property `property` of item `item` as a save of `document` leaves it in the file
// (`saved` being that document's), and whether a later value that overlaps it overwrote it.
struct FileValue {
    PropertyValue value;
    bool overwritten = false;
};
FileValue fileValue(const InfoFile& document, const SavedFileValues& saved, std::size_t item,
                    std::size_t property);

// Whether the 8-bit `text` says what the value holds already, in either of the forms the tool
// writes (the lists' text or the exact one). Such a text is not stored again: it could only lose
// what it cannot say (the digits "%f" rounds away, a NaN's payload, a string's bytes after its
// terminator).
bool saysCurrentValue(const PropertyValue& value, std::string_view text);

} // namespace kestra::tool
