#include "tool/value_fields.h"

#include <cstdio>

#include "document/byte_order.h"
#include "documentation/value_text.h"
#include "tool/text_encoding.h"

namespace kestra::tool {

std::string displayText(const PropertyValue& value) {
    return utf16ToUtf8(formatValueText(value));
}

std::vector<std::uint8_t> savedBytes(const PropertyValue& value) {
    switch (value.typeCode) {
    case TypeCode::S32:
        return {value.text32().begin(), value.text32().end()};
    case TypeCode::S16:
        return {value.text16().begin(), value.text16().end()};
    case TypeCode::F4:
    case TypeCode::I4:
        break;
    }
    std::vector<std::uint8_t> word(4);
    writeBigEndian32(word.data(),
                     value.typeCode == TypeCode::F4 ? value.floatBits() : value.intValue());
    return word;
}

std::string hexText(const std::vector<std::uint8_t>& bytes) {
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
