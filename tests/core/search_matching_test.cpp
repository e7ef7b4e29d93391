#include "search/search_matching.h"

#include "documentation/documentation_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestra {
namespace {

// Fills the whole 32-byte store, so that bytes beyond a field's width are there to be wrongly read.
PropertyValue stored(TypeCode code, std::string_view bytes) {
    PropertyValue value;
    value.typeCode = code;
    std::copy_n(bytes.begin(), std::min(bytes.size(), value.store.size()), value.store.begin());
    return value;
}
PropertyValue s32(std::string_view bytes) {
    return stored(TypeCode::S32, bytes);
}
PropertyValue s16(std::string_view bytes) {
    return stored(TypeCode::S16, bytes);
}
PropertyValue f4(float number) {
    PropertyValue value = stored(TypeCode::F4, {});
    value.setFloatValue(number);
    return value;
}
PropertyValue f4Bits(std::uint32_t bits) {
    return f4(std::bit_cast<float>(bits));
}
PropertyValue i4(std::uint32_t number) {
    PropertyValue value = stored(TypeCode::I4, {});
    value.setIntValue(number);
    return value;
}

using namespace std::string_view_literals;

struct MatchCase {
    std::string_view text;
    PropertyValue value;
    bool matches;
};

const MatchCase matchCases[] = {
    // What "12", "-3", "1.5" and "abc" find in each type.
    {"12", s32("a12b"), true},
    {"12", s16("x12"), true},
    {"12", s32("1 2"), false},
    {"12", f4(12), true},
    {"12", f4(12.5f), false},
    {"12", i4(12), true},
    {"12", i4(13), false},
    {"-3", s32("a-3"), true},
    {"-3", s16("-3"), true},
    {"-3", f4(-3), true},
    {"-3", i4(4294967293u), false},
    {"1.5", s32("v1.5"), true},
    {"1.5", f4(1.5f), true},
    {"1.5", i4(1), false},
    {"1.5", i4(15), false},
    {"abc", s32("xabcx"), true},
    {"abc", s16("abc"), true},
    {"abc", s32("ab"), false},
    {"abc", f4(0), false},
    {"abc", i4(0), false},
    // Strings: byte-exact, case-sensitive, only up to the first zero byte and the field's width.
    {"ABC", s32("abc"), false},
    {"cd", s32("ab\0cd"sv), false},
    {"\xE9", s32("caf\xE9"), true},
    {"NOP", s16("ABCDEFGHIJKLMNOPQRS"), true},
    {"PQ", s16("ABCDEFGHIJKLMNOPQRS"), false},
    {"def", s32("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef"), true},
    {"", s32(""), true},
    {"", s16("abc"), true},
    // Floats: IEEE equality, read as strtof reads the longest leading number.
    {"0", f4(0.0f), true},
    {"0", f4(-0.0f), true},
    {"-0", f4(0.0f), true},
    {"0", f4Bits(0x7FC00000), false},
    {"0", f4Bits(0xFFC00001), false},
    {"-5", f4(-5), true},
    {"1.2.3", f4(1.2f), true},
    {"1.2.3", s32("1.2.3"), true},
    {"5.", f4(5), true},
    {".5", f4(0.5f), true},
    {"-.5", f4(-0.5f), true},
    {"0.1", f4(0.1f), true},
    {"1-2", f4(1), false},
    {"+1", f4(1), false},
    {" 1", f4(1), false},
    // Unreadable float texts compare with no float, not even 0 or an infinity.
    {".", f4(0), false},
    {"-", f4(0), false},
    {"-.", f4(0), false},
    {"", f4(0), false},
    {"340282356779733661637539395458142568448", f4Bits(0x7F800000), false},
    // Integers: 32-bit equality, never with a sign or a point.
    {"-5", i4(4294967291u), false},
    {"-0", i4(0), false},
    {"0", i4(0), true},
    {"007", i4(7), true},
    {"4294967295", i4(0xFFFFFFFF), true},
    {".5", i4(5), false},
    {"1 ", i4(1), false},
    // Unreadable integer texts neither wrap nor saturate.
    {"4294967296", i4(0), false},
    {"4294967296", i4(0xFFFFFFFF), false},
    {"99999999999999999999", i4(0xFFFFFFFF), false},
    {"", i4(0), false},
    // A type code outside the four matches nothing.
    {"", stored(TypeCode(4), "abc"), false},
};

TEST(ValueMatches, FollowsTheRuleOfEachType) {
    for (std::size_t i = 0; i < std::size(matchCases); ++i) {
        const MatchCase& c = matchCases[i];
        SCOPED_TRACE(testing::Message() << "case " << i << ": \"" << c.text << "\"");
        EXPECT_EQ(valueMatches(c.text, c.value), c.matches);
    }
}

TEST(CharacterChecks, AdmitOnlyNumberCharacters) {
    struct Case {
        std::string_view text;
        bool isFloat;
        bool isUnsigned;
    };
    const Case cases[] = {
        {"", true, true},       {"0123456789", true, true}, {"-12", true, false},
        {"1.2.3", true, false}, {"-", true, false},         {".", true, false},
        {"1-2", false, false},  {"--1", false, false},      {"+1", false, false},
        {" 1", false, false},   {"1e5", false, false},      {"abc", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(isFloatText(c.text), c.isFloat);
        EXPECT_EQ(isUnsignedText(c.text), c.isUnsigned);
    }
}

// Properties (ID: type): 7: s32, 8: f4, 9: i4, 9: s32 -- two share ID 9.
struct ScanItem {
    std::string_view name;
    float number;
    std::uint32_t integer;
    std::string_view note;
};

InfoFile scanDocument(const std::vector<ScanItem>& items) {
    const DocumentationTable noNames;
    InfoFile document;
    document.descriptors = {{7, 0, 0, 0, 1}, {8, 0, 0, 32, 2}, {9, 0, 0, 36, 0}, {9, 0, 0, 40, 1}};
    document.header.propertyCount = std::uint32_t(document.descriptors.size());
    document.header.itemCount = std::uint32_t(items.size());
    for (const ScanItem& item : items) {
        ItemRecord& record = document.items.emplace_back();
        for (const PropertyDescriptor& descriptor : document.descriptors)
            record.values.push_back(makeValue(descriptor, true, noNames));
        std::copy(item.name.begin(), item.name.end(), record.values[0].text32().begin());
        record.values[1].setFloatValue(item.number);
        record.values[2].setIntValue(item.integer);
        std::copy(item.note.begin(), item.note.end(), record.values[3].text32().begin());
    }
    return document;
}

const InfoFile& fixture() {
    static const InfoFile document = scanDocument({
        {"apple", 1.5f, 12, "x"},
        {"pear12", 0.0f, 3, "12"},
        {"plum", -0.0f, 7, "none"},
        {"fig", 12.0f, 7, ""},
    });
    return document;
}

TEST(SearchAllProperties, ListsEachMatchingItemOnceInOrder) {
    SearchResults results;
    EXPECT_TRUE(searchAllProperties("12", fixture(), results));
    EXPECT_EQ(results, (SearchResults{0, 1, 3}));
}

TEST(SearchAllProperties, ASecondCallAppendsAfterTheFirst) {
    SearchResults results;
    searchAllProperties("12", fixture(), results);
    EXPECT_TRUE(searchAllProperties("0", fixture(), results));
    EXPECT_EQ(results, (SearchResults{0, 1, 3, 1, 2}));
}

TEST(SearchAllProperties, FindingNothingLeavesTheResultsAlone) {
    SearchResults results{42};
    EXPECT_FALSE(searchAllProperties("banana", fixture(), results));
    EXPECT_FALSE(searchAllProperties("", scanDocument({}), results));
    InfoFile noProperties;
    noProperties.header.itemCount = 2;
    noProperties.items.resize(2);
    EXPECT_FALSE(searchAllProperties("", noProperties, results));
    EXPECT_EQ(results, SearchResults{42});
}

TEST(SearchCertainType, AdmitsOnlyValuesOfThatType) {
    struct Case {
        std::string_view text;
        std::string_view typeCode;
        SearchResults expected;
    };
    const Case cases[] = {
        {"12", "s32", {1}},  {"12", "f4", {3}},       {"12", "i4", {0}}, {"abc", "f4", {}},
        {"12", "s16", {}},   {"12", "F4", {}},        {"12", "f4 ", {}}, {"12", "", {}},
        {"0", "f4", {1, 2}}, {"e", "s32", {0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " in " << c.typeCode);
        SearchResults results{99};
        EXPECT_EQ(searchCertainType(c.text, c.typeCode, fixture(), results), !c.expected.empty());
        SearchResults expected{99};
        expected.insert(expected.end(), c.expected.begin(), c.expected.end());
        EXPECT_EQ(results, expected);
    }
}

TEST(SearchSingleProperty, AdmitsEveryValueWithThatIdAndNoOther) {
    SearchResults results;
    EXPECT_TRUE(searchSingleProperty("12", 9, fixture(), results));
    EXPECT_EQ(results, (SearchResults{0, 1}));
    results.clear();
    EXPECT_TRUE(searchSingleProperty("12", 7, fixture(), results));
    EXPECT_EQ(results, SearchResults{1});
    results.clear();
    EXPECT_FALSE(searchSingleProperty("fig", 8, fixture(), results));
    EXPECT_FALSE(searchSingleProperty("12", 10, fixture(), results));
    EXPECT_TRUE(results.empty());
}

} // namespace
} // namespace kestra
