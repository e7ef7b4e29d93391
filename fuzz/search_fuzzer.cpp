// Searches a document loaded from the input with a search text taken from the input, in all three
// modes, and checks the results against the value rule applied item by item.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "document/info_file.h"
#include "fuzz_support.h"
#include "search/search_matching.h"

namespace {

using namespace kestra;
using namespace kestra::fuzz;

// Input layout: one byte of flags (bit 0: 32-byte strings), one byte giving the length of the
// search text (at most 31, as the dialog passes), the text, then the info file.
constexpr std::size_t prefixSize = 2;
constexpr std::size_t longestSearchText = 31;
constexpr std::int32_t earlierResult = -1;
// Single-property searches cost a pass each; a few IDs cover the rule.
constexpr std::size_t probedProperties = 4;
constexpr std::string_view typeCodes[] = {"s32", "s16", "f4", "i4"};
constexpr std::string_view notTypeCodes[] = {"", "S32", "f", "i4 "};

template <typename Admits>
SearchResults expectedResults(const InfoFile& document, std::string_view text, Admits admits) {
    SearchResults expected;
    for (std::size_t i = 0; i < document.items.size(); ++i) {
        if (std::ranges::any_of(document.items[i].values, [&](ConstValueRef value) {
                return admits(value) && valueMatches(text, value);
            }))
            expected.push_back(std::int32_t(i));
    }
    return expected;
}

// Runs a matcher on a list that already holds a result, as a second search without emptying would.
template <typename Matcher> SearchResults run(Matcher matcher) {
    SearchResults results{earlierResult};
    const bool appended = matcher(results);
    require(results.front() == earlierResult, "a matcher only appends");
    require(appended == (results.size() > 1), "the result says whether anything was appended");
    results.erase(results.begin());
    return results;
}

void checkValueRule(const InfoFile& document, std::string_view text) {
    const SearchText once = readSearchText(text);
    require(!isUnsignedText(text) || isFloatText(text), "unsigned text is also float text");
    for (const ConstItemRef item : document.items)
        for (const ConstValueRef value : item.values)
            require(valueMatches(once, value) == valueMatches(text, value),
                    "a text read once matches as the raw text does");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < prefixSize)
        return 0;
    const StringWidth wide = data[0] & 1 ? StringWidth::Bytes32 : StringWidth::Bytes16;
    const std::size_t textSize =
        std::min<std::size_t>(data[1] % (longestSearchText + 1), size - prefixSize);
    const std::string_view text(reinterpret_cast<const char*>(data + prefixSize), textSize);
    const std::span<const std::uint8_t> file(data + prefixSize + textSize,
                                             size - prefixSize - textSize);

    InfoFile document;
    if (claimedEntries(file) > entryBudget || !document.loadFromBytes(file, wide, documentation()))
        return 0;
    checkValueRule(document, text);

    const SearchResults all =
        run([&](SearchResults& r) { return searchAllProperties(text, document, r); });
    require(all == expectedResults(document, text, [](ConstValueRef) { return true; }),
            "all properties: the items with a matching value, ascending, once each");

    SearchResults byType;
    for (const std::string_view code : typeCodes) {
        const SearchResults found =
            run([&](SearchResults& r) { return searchCertainType(text, code, document, r); });
        require(found == expectedResults(document, text,
                                         [&](ConstValueRef value) {
                                             return typeCodeText(value.typeCode) == code;
                                         }),
                "certain type: the items with a matching value of that type");
        byType.insert(byType.end(), found.begin(), found.end());
    }
    std::ranges::sort(byType);
    byType.erase(std::unique(byType.begin(), byType.end()), byType.end());
    require(byType == all, "the four types together find what all properties find");
    for (const std::string_view code : notTypeCodes)
        require(run([&](SearchResults& r) {
                    return searchCertainType(text, code, document, r);
                }).empty(),
                "a text that is no type code matches nothing");

    const std::size_t probed = std::min(document.descriptors.size(), probedProperties);
    for (const PropertyDescriptor& descriptor : std::span(document.descriptors).first(probed)) {
        const SearchResults found = run([&](SearchResults& r) {
            return searchSingleProperty(text, descriptor.id, document, r);
        });
        require(found ==
                    expectedResults(document, text,
                                    [&](ConstValueRef value) { return value.id == descriptor.id; }),
                "single property: the items with a matching value of that ID");
    }
    return 0;
}
