#include "text/value_output.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace kestra::tool {

namespace {

// The lists' cells hold 31 characters; a float whose six decimals pass that is shown with nine
// significant digits, enough to read back to the same float.
constexpr std::size_t longestFloatText = 31;
constexpr int fixedDecimals = 6;
constexpr int roundTripDigits = 9;
constexpr char hexDigits[] = "0123456789ABCDEF";

std::size_t copied(std::string_view text, char* out) {
    return std::size_t(std::copy(text.begin(), text.end(), out) - out);
}

// The field up to its first zero byte, each byte the character of the same number, in UTF-8.
std::size_t stringInto(const ConstValueRef& value, char* out) {
    const std::span<const std::uint8_t> field = value.field();
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(field.data(), 0, field.size()));
    const std::span<const std::uint8_t> text =
        field.first(zero ? std::size_t(zero - field.data()) : field.size());
    // Most texts are ASCII and are copied whole.
    if (std::all_of(text.begin(), text.end(), [](std::uint8_t byte) { return byte < 0x80; }))
        return std::size_t(std::copy(text.begin(), text.end(), out) - out);
    char* at = out;
    for (const std::uint8_t byte : text) {
        if (byte < 0x80) {
            *at++ = char(byte);
        } else {
            *at++ = char(0xC0 | (byte >> 6));
            *at++ = char(0x80 | (byte & 0x3F));
        }
    }
    return std::size_t(at - out);
}

// "nan", "-nan", "inf", "-inf", or 0 for a finite float.
std::size_t notFiniteInto(float value, char* out) {
    if (std::isnan(value))
        return copied(std::signbit(value) ? "-nan" : "nan", out);
    if (std::isinf(value))
        return copied(value < 0 ? "-inf" : "inf", out);
    return 0;
}

std::size_t floatInto(float value, char* out) {
    if (const std::size_t length = notFiniteInto(value, out))
        return length;
    char* end = std::to_chars(out, out + longestValueText, double(value), std::chars_format::fixed,
                              fixedDecimals)
                    .ptr;
    if (std::size_t(end - out) > longestFloatText)
        end = std::to_chars(out, out + longestValueText, double(value), std::chars_format::general,
                            roundTripDigits)
                  .ptr;
    return std::size_t(end - out);
}

} // namespace

OutputBuffer::OutputBuffer(std::ostream& out) : out_(out) {
    text.reserve(blockSize + (std::size_t(64) << 10));
}

void OutputBuffer::flush() {
    out_.write(text.data(), std::streamsize(text.size()));
    text.clear();
}

std::size_t displayTextInto(const ConstValueRef& value, char* out) {
    switch (value.typeCode) {
    case TypeCode::S32:
    case TypeCode::S16:
        return stringInto(value, out);
    case TypeCode::F4:
        return floatInto(value.floatValue(), out);
    case TypeCode::I4:
        break;
    }
    return std::size_t(std::to_chars(out, out + longestValueText, value.intValue()).ptr - out);
}

std::size_t exactTextInto(const ConstValueRef& value, char* out) {
    if (value.typeCode != TypeCode::F4 || !std::isfinite(value.floatValue()))
        return displayTextInto(value, out);
    return std::size_t(std::to_chars(out, out + longestValueText, value.floatValue()).ptr - out);
}

void appendQuotedCsvField(std::string& out, std::string_view text) {
    out += '"';
    // Most texts hold no quote and are copied whole.
    for (std::size_t quote; (quote = text.find('"')) != std::string_view::npos;
         text.remove_prefix(quote + 1)) {
        out.append(text.substr(0, quote + 1));
        out += '"';
    }
    out.append(text);
    out += '"';
}

char* jsonStringInto(std::string_view utf8, char* out) {
    // What each byte below 0x60 becomes; 0 where it stays as it is.
    static constexpr char shortEscapes[0x60] = {
        0, 0, 0, 0, 0, 0, 0, 0, 0, 't', 'n', 0, 0, 'r', 0, 0, 0, 0, 0, 0, 0,    0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   '"', 0, 0, 0,   0, 0, 0, 0, 0, 0, 0,    0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   0,   0, 0, 0,   0, 0, 0, 0, 0, 0, 0,    0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   0,   0, 0, 0,   0, 0, 0, 0, 0, 0, '\\', 0, 0, 0};
    *out++ = '"';
    for (const char c : utf8) {
        const auto byte = std::uint8_t(c);
        const char escape = byte < sizeof shortEscapes ? shortEscapes[byte] : 0;
        if (escape) {
            *out++ = '\\';
            *out++ = escape;
        } else if (byte < 0x20) {
            out = std::copy_n("\\u00", 4, out);
            *out++ = hexDigits[byte >> 4];
            *out++ = hexDigits[byte & 0x0F];
        } else {
            *out++ = c;
        }
    }
    *out++ = '"';
    return out;
}

void appendJsonString(std::string& out, std::string_view utf8) {
    const std::size_t start = out.size();
    out.resize(start + jsonStringBound(utf8.size()));
    out.resize(std::size_t(jsonStringInto(utf8, out.data() + start) - out.data()));
}

void appendJsonValue(std::string& out, const ConstValueRef& value) {
    char text[longestValueText];
    const std::string_view exact(text, exactTextInto(value, text));
    const bool number = value.typeCode == TypeCode::I4 ||
                        (value.typeCode == TypeCode::F4 && std::isfinite(value.floatValue()));
    if (number)
        out += exact;
    else
        appendJsonString(out, exact);
}

char* hexInto(const ConstValueRef& value, char* out) {
    for (const std::uint8_t byte : value.field()) {
        *out++ = hexDigits[byte >> 4];
        *out++ = hexDigits[byte & 0x0F];
    }
    return out;
}

void appendHex(std::string& out, const ConstValueRef& value) {
    const std::size_t start = out.size();
    out.resize(start + 2 * value.field().size());
    hexInto(value, out.data() + start);
}

void appendNumber(std::string& out, std::uint64_t number) {
    char digits[24];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

} // namespace kestra::tool
