#include "commands/value_fields.h"

#include <cstdio>

#include "text/text_encoding.h"
#include "values/value_text.h"

namespace kestra::tool {

std::string displayText(const PropertyValue& value) {
    return utf16ToUtf8(formatValueText(value));
}

std::string hexText(std::span<const std::uint8_t> bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const std::uint8_t byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

std::string hexNumber(std::uint64_t number) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(number));
    return text;
}

} // namespace kestra::tool
