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

// strtof over the first `length` characters; out of range when a finite text overflows to
// infinity (underflow keeps the rounded value, which is the closest a float can come).
bool readFloat(std::string_view text, float& number, std::size_t& length) {
    const std::string terminated(text); // strtof reads up to a zero byte
    char* end = nullptr;
    errno = 0;
    number = strtof_l(terminated.c_str(), &end, cLocale());
    length = std::size_t(end - terminated.c_str());
    return !(errno == ERANGE && std::isinf(number));
}

// A whole text of digits with a point or an exponent, read as strtof reads it (both round to the
// nearest float) but without the copy strtof needs for its terminator: a table holds millions.
// False for what only strtof reads alike (a '+', "inf", "nan", a number beyond a float's range).
bool readPlainDecimal(std::string_view text, float& number) {
    const std::size_t first = text.starts_with('-') ? 1 : 0;
    if (first == text.size() || !(isDecimalDigit(text[first]) || text[first] == '.'))
        return false;
    const char* end = text.data() + text.size();
    const auto [stop, problem] = std::from_chars(text.data(), end, number);
    return problem == std::errc() && stop == end;
}

ValueTextProblem parseFloat(ValueRef value, std::string_view text) {
    float number = 0;
    std::size_t length = 0;
    const bool inRange = readFloat(text, number, length);
    if (length == 0)
        return ValueTextProblem::NotANumber;
    if (!inRange)
        return ValueTextProblem::OutOfRange;
    value.setFloatValue(number);
    return ValueTextProblem::None;
}

bool isCWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool startsWithIgnoringCase(std::string_view text, std::string_view word) {
    return text.size() >= word.size() && std::equal(word.begin(), word.end(), text.begin(),
                                                    [](char w, char t) { return w == (t | 0x20); });
}

std::size_t skipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && isDecimalDigit(text[i]))
        ++i;
    return i;
}

std::size_t skipSign(std::string_view text, std::size_t i) {
    return i < text.size() && (text[i] == '+' || text[i] == '-') ? i + 1 : i;
}

// The length of the decimal float that begins `text` (strtof's syntax without leading blanks
// and hexadecimal), or 0.
std::size_t decimalFloatLength(std::string_view text) {
    std::size_t i = skipSign(text, 0);
    const bool word = i < text.size() && !isDecimalDigit(text[i]) && text[i] != '.';
    for (const std::string_view name : {"infinity", "inf", "nan"}) {
        if (word && startsWithIgnoringCase(text.substr(i), name))
            return i + name.size();
    }
    const std::size_t wholeEnd = skipDigits(text, i);
    std::size_t end = wholeEnd;
    if (end < text.size() && text[end] == '.')
        end = skipDigits(text, end + 1);
    if (end - i == (end == wholeEnd ? 0 : 1))
        return 0; // no digit before or after the point
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        const std::size_t exponent = skipSign(text, end + 1);
        if (exponent < text.size() && isDecimalDigit(text[exponent]))
            end = skipDigits(text, exponent);
    }
    return end;
}

// The decimal integer that begins `text` at `i`, as a 32-bit strtoul reads it (a leading minus
// negates modulo 2^32): where it ends (0 when none begins) and whether it fits 32 bits.
struct ScannedInteger {
    std::size_t end = 0;
    bool inRange = true;
    std::uint32_t number = 0;
};
ScannedInteger scanInteger(std::string_view text, std::size_t i) {
    const bool negative = i < text.size() && text[i] == '-';
    i = skipSign(text, i);
    if (i == text.size() || !isDecimalDigit(text[i]))
        return {};
    ScannedInteger scanned;
    std::uint64_t magnitude = 0;
    for (; i < text.size() && isDecimalDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + std::uint64_t(text[i] - '0');
        if (magnitude > std::numeric_limits<std::uint32_t>::max()) {
            scanned.inRange = false;
            magnitude = std::uint64_t(1) << 32;
            i = skipDigits(text, i);
            break;
        }
    }
    scanned.end = i;
    const auto number = std::uint32_t(magnitude);
    scanned.number = negative ? std::uint32_t(0u - number) : number;
    return scanned;
}

// strtoul with base 10 and a 32-bit unsigned long, but refusing a magnitude that does not fit.
ValueTextProblem parseInteger(ValueRef value, std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isCWhiteSpace(text[i]))
        ++i;
    const ScannedInteger scanned = scanInteger(text, i);
    if (scanned.end == 0)
        return ValueTextProblem::NotANumber;
    if (!scanned.inRange)
        return ValueTextProblem::OutOfRange;
    value.setIntValue(scanned.number);
    return ValueTextProblem::None;
}

WholeTextReading readWholeNumber(ValueRef value, std::string_view text) {
    if (value.typeCode == TypeCode::I4) {
        const ScannedInteger scanned = scanInteger(text, 0);
        if (scanned.end == 0)
            return {TextRefusal::NoNumber};
        if (scanned.end < text.size())
            return {TextRefusal::MoreThanANumber, scanned.end};
        if (!scanned.inRange)
            return {TextRefusal::OutOfRange};
        value.setIntValue(scanned.number);
        return {};
    }
    const std::size_t length = decimalFloatLength(text);
    if (length == 0)
        return {TextRefusal::NoNumber};
    if (length < text.size())
        return {TextRefusal::MoreThanANumber, length};
    float number = 0;
    if (!readPlainDecimal(text, number)) {
        std::size_t read = 0;
        if (!readFloat(text, number, read))
            return {TextRefusal::OutOfRange};
    }
    value.setFloatValue(number);
    return {};
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

WholeTextReading parseWholeValueText(ValueRef value, std::string_view text) {
    switch (value.typeCode) {
    case TypeCode::S32:
    case TypeCode::S16:
        if (text.size() > valueWidth(value.typeCode))
            return {TextRefusal::LongerThanField};
        parseValueText(value, text);
        return {};
    case TypeCode::F4:
    case TypeCode::I4:
        return readWholeNumber(value, text);
    }
    return {TextRefusal::NoNumber};
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
