// Stores arbitrary text into a value of each type, shows the result, and reads the shown text back;
// also narrows arbitrary UTF-16 and widens arbitrary bytes.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "document/info_file.h"
#include "fuzz_support.h"
#include "values/characters.h"
#include "values/value_text.h"

namespace {

using namespace kestra;
using namespace kestra::fuzz;

constexpr std::size_t longestValueText = 31;
constexpr char replacementCharacter = '?';

std::size_t textLength(const PropertyValue& value) {
    const auto field = value.field();
    return std::size_t(std::ranges::find(field, 0) - field.begin());
}

void checkString(const PropertyValue& before, const PropertyValue& after, std::string_view text) {
    const std::size_t width = valueWidth(after.typeCode);
    const std::size_t stored = std::min(text.size(), width);
    require(std::memcmp(after.store.data(), text.data(), stored) == 0, "the text is stored");
    const std::size_t kept = stored < width ? stored + 1 : width;
    require(stored == width || after.store[stored] == 0, "a shorter text is terminated");
    require(std::equal(after.store.begin() + std::ptrdiff_t(kept), after.store.end(),
                       before.store.begin() + std::ptrdiff_t(kept)),
            "the bytes after the terminator, and past the field, are kept");

    const std::u16string shown = formatValueText(after);
    require(shown.size() == textLength(after), "a string shows up to its first zero byte");
    require(narrowText(shown) ==
                std::string_view(reinterpret_cast<const char*>(after.store.data()), shown.size()),
            "every byte shown is stored back unchanged");
}

void checkNumber(const PropertyValue& before, const PropertyValue& after, bool stored) {
    if (!stored) {
        require(after.store == before.store, "text that cannot be stored changes nothing");
        return;
    }
    const std::u16string shown = formatValueText(after);
    require(!shown.empty() && shown.size() <= longestValueText, "a number shows in 31 units");
    PropertyValue reread = before;
    require(parseValueText(reread, narrowText(shown)), "a shown number can be applied");
    if (after.typeCode == TypeCode::I4) {
        require(reread.intValue() == after.intValue(), "an integer reads back exactly");
        return;
    }
    const float number = after.floatValue();
    if (std::isnan(number)) {
        require(shown == (std::signbit(number) ? u"-nan" : u"nan"), "NaN shows as nan");
        return;
    }
    char fixed[64];
    const int fixedLength = std::snprintf(fixed, sizeof fixed, "%f", double(number));
    if (std::size_t(fixedLength) <= longestValueText)
        require(narrowText(shown) == fixed, "a float that fits shows as %f");
    else
        require(reread.floatBits() == after.floatBits(),
                "a long float shows in a form that reads back");
}

// ISO-8859-1 up to the first zero; a character outside it, a surrogate pair counting as one
// character, becomes one '?'.
std::string latin1(std::u16string_view units) {
    std::string narrow;
    for (std::size_t i = 0; i < units.size() && units[i] != 0; ++i) {
        narrow += units[i] <= 0xFF ? char(units[i]) : replacementCharacter;
        if (isHighSurrogate(units[i]) && i + 1 < units.size() && isLowSurrogate(units[i + 1]))
            ++i;
    }
    return narrow;
}

void checkTextConversions(std::string_view bytes) {
    const std::u16string wide = widenText(bytes);
    require(std::ranges::equal(wide, bytes,
                               [](char16_t unit, char byte) { return unit == std::uint8_t(byte); }),
            "each byte widens to the code unit of the same number");
    const std::string_view untilZero = bytes.substr(0, bytes.find('\0'));
    require(narrowText(wide) == untilZero, "narrowing ends at the first zero and keeps Latin-1");

    std::u16string units(bytes.size() / 2, u'\0');
    std::memcpy(units.data(), bytes.data(), units.size() * sizeof(char16_t));
    require(narrowText(units) == latin1(units), "outside Latin-1 a character narrows to '?'");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The edit field's text reaches parseValueText through narrowText, which ends at a zero.
    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    for (const TypeCode code : {TypeCode::S32, TypeCode::S16, TypeCode::F4, TypeCode::I4}) {
        PropertyValue before;
        before.typeCode = code;
        for (std::size_t i = 0; i < before.store.size(); ++i)
            before.store[i] = std::uint8_t(0xA0 + i);
        PropertyValue after = before;
        const bool stored = parseValueText(after, text);
        if (code == TypeCode::S32 || code == TypeCode::S16) {
            require(stored, "a string text is always stored");
            checkString(before, after, text);
        } else {
            checkNumber(before, after, stored);
        }
    }
    checkTextConversions(bytes);
    return 0;
}
