#include "values/value_text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <span>

#include "values/characters.h"

namespace kestra {

namespace {

// The list cells and the search lists hold 32 code units including the terminator.
constexpr std::size_t longestFloatText = 31;
// "%f" of the largest float is 46 characters; this leaves room to spare.
constexpr std::size_t floatTextBuffer = 64;
constexpr int fixedDecimals = 6;
// Nine significant digits are enough for any float to read back to the same bits.
constexpr int roundTripDigits = 9;

constexpr char substituteCharacter = '?';
constexpr char16_t backspace = 8;
constexpr char16_t enter = 13;

// Display name and longest typed text of each type, in TypeCode order.
struct TypeTexts {
    std::u16string_view displayName;
    std::size_t typedLimit;
};
constexpr TypeTexts typeTexts[] = {
    {u"String (size 32)", 31},
    {u"String (size 16)", 15},
    {u"Float (size 4)", 15},
    {u"Integer/Other (size 4)", 10},
};

std::u16string widenField(std::span<const std::uint8_t> field) {
    const auto end = std::find(field.begin(), field.end(), std::uint8_t(0));
    return std::u16string(field.begin(), end);
}

std::u16string formatFloat(float value) {
    if (std::isnan(value))
        return std::signbit(value) ? u"-nan" : u"nan";
    if (std::isinf(value))
        return value < 0 ? u"-inf" : u"inf";
    // std::to_chars writes what printf would in the "C" locale, whatever the process locale is.
    char buffer[floatTextBuffer];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, double(value),
                              std::chars_format::fixed, fixedDecimals)
                    .ptr;
    if (std::size_t(end - buffer) > longestFloatText)
        end = std::to_chars(buffer, buffer + sizeof buffer, double(value),
                            std::chars_format::general, roundTripDigits)
                  .ptr;
    return widenText(std::string_view(buffer, std::size_t(end - buffer)));
}

std::u16string formatInteger(std::uint32_t value) {
    char buffer[std::numeric_limits<std::uint32_t>::digits10 + 1];
    const char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return widenText(std::string_view(buffer, std::size_t(end - buffer)));
}

// The "C" locale, made once, so that strtof reads a point as the decimal point even after the
// window layer has set the process locale from the environment.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", nullptr);
    return locale;
}

ValueTextProblem parseFloat(ValueRef value, std::string_view text) {
    const std::string terminated(text); // strtof reads up to a zero byte
    char* end = nullptr;
    errno = 0;
    const float number = strtof_l(terminated.c_str(), &end, cLocale());
    if (end == terminated.c_str())
        return ValueTextProblem::NotANumber;
    // A finite text beyond single precision overflows to infinity; underflow keeps the rounded
    // value, which is the closest a float can come.
    if (errno == ERANGE && std::isinf(number))
        return ValueTextProblem::OutOfRange;
    value.setFloatValue(number);
    return ValueTextProblem::None;
}

bool isCWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// strtoul with base 10 and a 32-bit unsigned long, but refusing a magnitude that does not fit.
ValueTextProblem parseInteger(ValueRef value, std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isCWhiteSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size() || !isDecimalDigit(text[i]))
        return ValueTextProblem::NotANumber;
    std::uint64_t magnitude = 0;
    for (; i < text.size() && isDecimalDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + std::uint64_t(text[i] - '0');
        if (magnitude > std::numeric_limits<std::uint32_t>::max())
            return ValueTextProblem::OutOfRange;
    }
    const auto number = std::uint32_t(magnitude);
    value.setIntValue(negative ? std::uint32_t(0u - number) : number);
    return ValueTextProblem::None;
}

// A text shorter than the field gets one terminator and leaves the bytes after it alone; a full
// field carries no terminator, so a string that fills it survives an unchanged Apply.
void storeText(std::span<std::uint8_t> field, std::string_view text) {
    const std::size_t count = std::min(text.size(), field.size());
    std::copy_n(text.begin(), count, field.begin());
    if (count < field.size())
        field[count] = 0;
}

bool isEditingKey(char16_t unit) {
    return unit == backspace || unit == enter;
}

} // namespace

std::u16string formatValueText(ConstValueRef value) {
    switch (value.typeCode) {
    case TypeCode::S32:
        return widenField(value.text32());
    case TypeCode::S16:
        return widenField(value.text16());
    case TypeCode::F4:
        return formatFloat(value.floatValue());
    case TypeCode::I4:
        return formatInteger(value.intValue());
    }
    return {};
}

std::u16string typeDisplayName(TypeCode code) {
    return std::u16string(typeTexts[std::size_t(code)].displayName);
}

std::string narrowText(std::u16string_view text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (std::size_t i = 0; i < text.size() && text[i] != 0; ++i) {
        const char16_t unit = text[i];
        if (unit <= 0xFF) {
            narrow += char(unit);
            continue;
        }
        // A surrogate pair is one character, so it gets one substitute.
        narrow += substituteCharacter;
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            ++i;
    }
    return narrow;
}

std::u16string widenText(std::string_view text) {
    std::u16string wide(text.size(), u'\0');
    std::transform(text.begin(), text.end(), wide.begin(),
                   [](char c) { return char16_t(static_cast<unsigned char>(c)); });
    return wide;
}

ValueTextProblem storeValueText(ValueRef value, std::string_view text) {
    switch (value.typeCode) {
    case TypeCode::S32:
        storeText(value.text32(), text);
        return ValueTextProblem::None;
    case TypeCode::S16:
        storeText(value.text16(), text);
        return ValueTextProblem::None;
    case TypeCode::F4:
    case TypeCode::I4:
        break;
    }
    if (text.empty())
        return ValueTextProblem::Empty;
    return value.typeCode == TypeCode::F4 ? parseFloat(value, text) : parseInteger(value, text);
}

bool parseValueText(ValueRef value, std::string_view text) {
    return storeValueText(value, text) == ValueTextProblem::None;
}

std::size_t typedTextLimit(TypeCode code) {
    return typeTexts[std::size_t(code)].typedLimit;
}

bool mayTypeCharacter(TypeCode code, std::u16string_view currentText, char16_t typed) {
    switch (code) {
    case TypeCode::S32:
    case TypeCode::S16:
        return true;
    case TypeCode::F4:
        // One point and one minus sign at most, wherever the caret stands.
        if (typed == u'.' || typed == u'-')
            return currentText.find(typed) == std::u16string_view::npos;
        return isDecimalDigit(typed) || isEditingKey(typed);
    case TypeCode::I4:
        return isDecimalDigit(typed) || isEditingKey(typed);
    }
    return false;
}

} // namespace kestra
