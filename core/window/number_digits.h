#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestra {

// The digits of an unsigned number as "%u" or "%X" write them: no sign, prefix or leading zeros,
// upper-case hexadecimal letters. std::to_chars never consults the process locale, which the
// window's Qt sets from the environment.
struct NumberDigits {
    std::array<char, 20> chars{}; // 2^64 - 1 has 20 decimal digits
    std::size_t length = 0;

    std::string_view view() const { return {chars.data(), length}; }
};

inline NumberDigits numberDigits(std::uint64_t number, int base) {
    NumberDigits digits;
    char* const end = std::to_chars(digits.chars.begin(), digits.chars.end(), number, base).ptr;
    for (char* c = digits.chars.begin(); c != end; ++c) {
        if (*c >= 'a' && *c <= 'z')
            *c = char(*c - 'a' + 'A');
    }
    digits.length = std::size_t(end - digits.chars.begin());
    return digits;
}

inline NumberDigits decimalDigits(std::uint64_t number) {
    return numberDigits(number, 10);
}
inline NumberDigits hexDigits(std::uint64_t number) {
    return numberDigits(number, 16);
}

} // namespace kestra
