#pragma once

// Character classes the value texts, the search and the tool's UTF-8 share. They look at code
// values only, never at the process locale.
namespace kestra {

inline constexpr bool isDecimalDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

// The two halves of a UTF-16 surrogate pair, which together stand for one character.
inline constexpr bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
inline constexpr bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace kestra
