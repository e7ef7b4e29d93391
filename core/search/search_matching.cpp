#include "search/search_matching.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <span>
#include <system_error>

#include "search/packed_scan.h"
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

// The rule of every mode, on one value as decoded: what the scans below must agree with.
bool matches(const SearchText& text, ConstValueRef value) {
    switch (value.typeCode) {
    case TypeCode::S32:
    case TypeCode::S16:
        return fieldContains(value.bytes, valueWidth(value.typeCode), text.bytes);
    case TypeCode::F4:
        // IEEE equality: 0 equals -0, and a stored NaN equals nothing.
        return text.comparesWithFloats && text.floatNumber == value.floatValue();
    case TypeCode::I4:
        return text.comparesWithIntegers && text.integerNumber == value.intValue();
    }
    return false;
}

// Whether any value of this type can match the text, so that a scan can leave the properties of
// the other types out before it starts.
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

// Appends, in ascending order, every item with at least one value of a property `admits` lets
// take part that matches the text; one match is enough, so the item's other values are skipped.
template <typename Admits>
bool scanItems(const SearchText& text, const InfoFile& document, SearchResults& results,
               Admits admits) {
    const ItemList& items = document.items;
    const std::size_t itemCount = std::min<std::size_t>(document.header.itemCount, items.size());
    const std::span<const PropertySlot> properties = items.properties().first(
        std::min<std::size_t>(document.header.propertyCount, items.properties().size()));
    PackedScan scan(text.bytes, items.stride());
    for (const PropertySlot& slot : properties) {
        const TypeCode code = slot.facts.typeCode;
        if (!admits(slot.facts) || !typeCanMatch(text, code))
            continue;
        if (code == TypeCode::I4)
            scan.addInteger(slot.offset, text.integerNumber);
        else if (code == TypeCode::F4)
            scan.addFloat(slot.offset, text.floatNumber);
        else
            scan.addString(slot.offset, valueWidth(code));
    }
    if (scan.empty())
        return false;

    const std::size_t before = results.size();
    scan.findItems(items.data(), itemCount, results);
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

bool valueMatches(const SearchText& text, ConstValueRef value) {
    return matches(text, value);
}

bool valueMatches(std::string_view text, ConstValueRef value) {
    return valueMatches(readSearchText(text), value);
}

bool searchAllProperties(std::string_view text, const InfoFile& document, SearchResults& results) {
    return scanItems(readSearchText(text), document, results,
                     [](const PropertyFacts&) { return true; });
}

bool searchCertainType(std::string_view text, TypeCode typeCode, const InfoFile& document,
                       SearchResults& results) {
    return scanItems(
        readSearchText(text), document, results,
        [typeCode](const PropertyFacts& property) { return property.typeCode == typeCode; });
}

bool searchSingleProperty(std::string_view text, std::uint32_t propertyId, const InfoFile& document,
                          SearchResults& results) {
    return scanItems(readSearchText(text), document, results,
                     [propertyId](const PropertyFacts& property) {
                         return property.descriptor.id == propertyId;
                     });
}

} // namespace kestra
