#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kestra {

// A UTF-16 text stored in place with room for `Capacity - 1` code units, as the list rows keep
// them: a list's text request is answered with a view into the row, never with a fresh string.
template <std::size_t Capacity> struct FixedText {
    static_assert(Capacity >= 1 && Capacity <= 256);
    std::array<char16_t, Capacity> units{};
    std::uint8_t length = 0;

    // Keeps at most Capacity - 1 units of `text`.
    void assign(std::u16string_view text) {
        length = std::uint8_t(std::min(text.size(), Capacity - 1));
        std::copy_n(text.begin(), length, units.begin());
        units[length] = u'\0';
    }
    // The same for 8-bit text, each byte becoming the code unit of the same number.
    void assignWidened(std::string_view bytes) {
        length = std::uint8_t(std::min(bytes.size(), Capacity - 1));
        std::transform(bytes.begin(), bytes.begin() + length, units.begin(),
                       [](char byte) { return char16_t(static_cast<unsigned char>(byte)); });
        units[length] = u'\0';
    }
    std::u16string_view view() const { return {units.data(), length}; }
};

} // namespace kestra
