#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "document/info_file.h"

namespace kestra {

enum class SearchMode { AllProperties, CertainType, SingleProperty };

// Item indexes, ascending, each item once per search.
using SearchResults = std::vector<std::int32_t>;

// A search text read once per search: as bytes, and as a float and an integer where its characters
// allow (a text that passes the check but cannot be read, such as "." or "4294967296", compares
// with no value of that type).
struct SearchText {
    std::string_view bytes;
    bool comparesWithFloats = false;
    float floatNumber = 0;
    bool comparesWithIntegers = false;
    std::uint32_t integerNumber = 0;
};

SearchText readSearchText(std::string_view text);

bool isFloatText(std::string_view text);
bool isUnsignedText(std::string_view text);

bool valueMatches(const SearchText& text, ConstValueRef value);
bool valueMatches(std::string_view text, ConstValueRef value);

// Each appends the matching items to `results` (never empties it) and says whether it appended.
bool searchAllProperties(std::string_view text, const InfoFile& document, SearchResults& results);
bool searchCertainType(std::string_view text, TypeCode typeCode, const InfoFile& document,
                       SearchResults& results);
bool searchSingleProperty(std::string_view text, std::uint32_t propertyId, const InfoFile& document,
                          SearchResults& results);

} // namespace kestra
