#include "commands/value_fields.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "document/saved_values.h"
#include "text/json_writer.h"
#include "text/text_encoding.h"
#include "values/exact_value_text.h"
#include "values/value_text.h"

namespace kestra::tool {

std::string displayText(const PropertyValue& value) {
    return utf16ToUtf8(formatValueText(value));
}

std::string exactText(const PropertyValue& value) {
    return bytesToUtf8(exactValueText(value));
}

std::string savedBytesText(const PropertyValue& value) {
    return hexText(savedValue(value.descriptor, value).view());
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

std::string propertyLabel(std::size_t item, std::size_t property, const PropertyValue& value) {
    return "item " + std::to_string(item) + " property " + std::to_string(property) + " (ID " +
           std::to_string(value.id) + ")";
}

FileValue fileValue(const InfoFile& document, const SavedFileValues& saved, std::size_t item,
                    std::size_t property) {
    FileValue held{document.items[item].values[property]};
    const SavedValue bytes = saved.at(std::uint32_t(item), std::uint32_t(property));
    held.overwritten = !std::ranges::equal(
        bytes.view(), savedValue(document.descriptors[property], held.value).view());
    std::ranges::copy(bytes.view(), held.value.field().begin());
    return held;
}

bool saysCurrentValue(const PropertyValue& value, std::string_view text) {
    return text == exactValueText(value) || text == narrowText(formatValueText(value));
}

} // namespace kestra::tool
