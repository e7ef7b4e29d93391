#include "search/search_matching.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <system_error>

#include "values/characters.h"

namespace kestra {

namespace {

// Reads a text that passed its type's character check. A float text then holds only digits,
// points and a leading minus, so no exponent, hexadecimal form, "inf" or "nan" reaches
// std::from_chars, which reads the same longest leading number as strtof in the "C" locale
// ("1.2.3" is 1.2, "5." is 5, "-0" is -0), rounded once to single precision, without looking at
// the process locale. An unsigned text is all digits and reads as strtoul in base 10. A text in
// which no number begins ("", ".", "-") or whose number is out of the type's range (an integer
// above 4294967295) is unreadable, where strtof and strtoul would saturate.
template <typename Number> bool readNumber(std::string_view text, Number& number) {
    return std::from_chars(text.data(), text.data() + text.size(), number).ec == std::errc();
}

// The text of a string field: its bytes up to the first zero byte, or all of them.
template <std::size_t Width>
std::string_view fieldText(std::span<const std::uint8_t, Width> field) {
    const std::string_view bytes(reinterpret_cast<const char*>(field.data()), Width);
    return bytes.substr(0, bytes.find('\0'));
}

// The rule of every mode, kept visible to the scan loop so it is inlined there: a call per value
// costs as much as the comparison itself.
inline bool matches(const SearchText& text, const PropertyValue& value) {
    switch (value.typeCode) {
    case TypeCode::S32:
        return fieldText(value.text32()).find(text.bytes) != std::string_view::npos;
    case TypeCode::S16:
        return fieldText(value.text16()).find(text.bytes) != std::string_view::npos;
    case TypeCode::F4:
        // IEEE equality: 0 equals -0, and a stored NaN equals nothing.
        return text.comparesWithFloats && text.floatNumber == value.floatValue();
    case TypeCode::I4:
        return text.comparesWithIntegers && text.integerNumber == value.intValue();
    }
    return false;
}

// Whether any value of this type can match the text, so that a scan limited to one type can
// stop before it starts.
bool typeCanMatch(const SearchText& text, TypeCode code) {
    switch (code) {
    case TypeCode::S32:
    case TypeCode::S16:
        return true;
    case TypeCode::F4:
        return text.comparesWithFloats;
    case TypeCode::I4:
        return text.comparesWithIntegers;
    }
    return false;
}

// Appends, in ascending order, every item with at least one value that `admits` lets take part
// and that matches the text; one match is enough, so the item's other values are skipped.
template <typename Admits>
bool scanItems(const SearchText& text, const InfoFile& document, SearchResults& results,
               Admits admits) {
    const std::size_t before = results.size();
    const std::size_t itemCount =
        std::min<std::size_t>(document.header.itemCount, document.items.size());
    for (std::size_t item = 0; item < itemCount; ++item) {
        const std::vector<PropertyValue>& values = document.items[item].values;
        const std::size_t valueCount =
            std::min<std::size_t>(document.header.propertyCount, values.size());
        const auto last = values.begin() + std::ptrdiff_t(valueCount);
        if (std::any_of(values.begin(), last, [&](const PropertyValue& value) {
                return admits(value) && matches(text, value);
            }))
            results.push_back(std::int32_t(item));
    }
    return results.size() != before;
}

} // namespace

SearchText readSearchText(std::string_view text) {
    SearchText read;
    read.bytes = text;
    read.comparesWithFloats = isFloatText(text) && readNumber(text, read.floatNumber);
    read.comparesWithIntegers = isUnsignedText(text) && readNumber(text, read.integerNumber);
    return read;
}

bool isFloatText(std::string_view text) {
    const std::string_view rest = text.starts_with('-') ? text.substr(1) : text;
    return std::all_of(rest.begin(), rest.end(),
                       [](char c) { return isDecimalDigit(c) || c == '.'; });
}

bool isUnsignedText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), isDecimalDigit);
}

bool valueMatches(const SearchText& text, const PropertyValue& value) {
    return matches(text, value);
}

bool valueMatches(std::string_view text, const PropertyValue& value) {
    return valueMatches(readSearchText(text), value);
}

bool searchAllProperties(std::string_view text, const InfoFile& document, SearchResults& results) {
    return scanItems(readSearchText(text), document, results,
                     [](const PropertyValue&) { return true; });
}

bool searchCertainType(std::string_view text, std::string_view typeCode, const InfoFile& document,
                       SearchResults& results) {
    TypeCode code;
    const SearchText read = readSearchText(text);
    if (!typeCodeFromText(typeCode, code) || !typeCanMatch(read, code))
        return false;
    return scanItems(read, document, results,
                     [code](const PropertyValue& value) { return value.typeCode == code; });
}

bool searchSingleProperty(std::string_view text, std::uint32_t propertyId, const InfoFile& document,
                          SearchResults& results) {
    return scanItems(readSearchText(text), document, results,
                     [propertyId](const PropertyValue& value) { return value.id == propertyId; });
}

} // namespace kestra
