#include "search/search_matching.h"

#include "names/documentation_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace kestra {
namespace {

using namespace std::string_view_literals;

// Fills the whole 32-byte store, so that bytes beyond a field's width are there to be wrongly read.
PropertyValue stored(TypeCode code, std::string_view bytes) {
    PropertyValue value;
    value.typeCode = code;
    std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), 32), value.store.begin());
    return value;
}
PropertyValue s32(std::string_view bytes) {
    return stored(TypeCode::S32, bytes);
}
PropertyValue s16(std::string_view bytes) {
    return stored(TypeCode::S16, bytes);
}
PropertyValue f4Bits(std::uint32_t bits) {
    PropertyValue value = stored(TypeCode::F4, {});
    value.setFloatBits(bits);
    return value;
}
PropertyValue f4(float number) {
    return f4Bits(std::bit_cast<std::uint32_t>(number));
}
PropertyValue i4(std::uint32_t number) {
    PropertyValue value = stored(TypeCode::I4, {});
    value.setIntValue(number);
    return value;
}

struct MatchCase {
    std::string_view text;
    PropertyValue value;
    bool matches;
};

// What "12", "-3", "1.5" and "abc" find in each type.
const MatchCase byType[] = {
    {"12", s32("a12b"), true},  {"12", s16("x12"), true},  {"12", s32("1 2"), false},
    {"12", f4(12), true},       {"12", f4(12.5f), false},  {"12", i4(12), true},
    {"-3", s16("-3"), true},    {"-3", f4(-3), true},      {"-3", i4(4294967293u), false},
    {"1.5", s32("v1.5"), true}, {"1.5", f4(1.5f), true},   {"1.5", i4(15), false},
    {"abc", s16("abc"), true},  {"abc", s32("ab"), false}, {"abc", f4(0), false},
    {"abc", i4(0), false}};

// Strings: byte-exact, case-sensitive, up to the first zero byte or the field's width.
const MatchCase strings[] = {{"ABC", s32("abc"), false},
                             {"cd", s32("ab\0cd"sv), false},
                             {"\xE9", s32("caf\xE9"), true},
                             {"NOP", s16("ABCDEFGHIJKLMNOPQRS"), true},
                             {"PQ", s16("ABCDEFGHIJKLMNOPQRS"), false},
                             {"def", s32("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef"), true},
                             {"", s16("abc"), true},
                             {"", stored(TypeCode(4), "abc"), false}};

// Floats: IEEE equality with the longest leading number, as strtof reads it. Unreadable texts
// compare with no float, not even 0 or an infinity.
const MatchCase floats[] = {{"0", f4(0.0f), true},
                            {"0", f4(-0.0f), true},
                            {"-0", f4(0.0f), true},
                            {"0", f4Bits(0x7FC00000), false},
                            {"-5", f4(-5), true},
                            {"1.2.3", f4(1.2f), true},
                            {"5.", f4(5), true},
                            {".5", f4(0.5f), true},
                            {"-.5", f4(-0.5f), true},
                            {"0.1", f4(0.1f), true},
                            {"1-2", f4(1), false},
                            {"+1", f4(1), false},
                            {".", f4(0), false},
                            {"-", f4(0), false},
                            {"", f4(0), false},
                            {"340282356779733661637539395458142568448", f4Bits(0x7F800000), false}};

// Integers: 32-bit equality, never with a sign; unreadable texts neither wrap nor saturate.
const MatchCase integers[] = {{"-5", i4(4294967291u), false},
                              {"0", i4(0), true},
                              {"007", i4(7), true},
                              {"4294967295", i4(0xFFFFFFFF), true},
                              {".5", i4(5), false},
                              {"4294967296", i4(0), false},
                              {"99999999999999999999", i4(0xFFFFFFFF), false},
                              {"", i4(0), false}};

TEST(ValueMatches, FollowsTheRuleOfEachType) {
    using Table = std::span<const MatchCase>;
    for (Table table : {Table(byType), Table(strings), Table(floats), Table(integers)}) {
        for (const MatchCase& c : table)
            EXPECT_EQ(valueMatches(c.text, c.value), c.matches) << "\"" << c.text << "\"";
    }
}

TEST(CharacterChecks, AdmitOnlyNumberCharacters) {
    // Text, isFloatText, isUnsignedText.
    const std::tuple<std::string_view, bool, bool> cases[] = {
        {"", true, true},       {"0123456789", true, true}, {"-12", true, false},
        {"1.2.3", true, false}, {"-", true, false},         {"1-2", false, false},
        {"--1", false, false},  {"+1", false, false},       {" 1", false, false},
        {"1e5", false, false}};
    for (const auto& [text, isFloat, isUnsigned] : cases) {
        EXPECT_EQ(isFloatText(text), isFloat) << text;
        EXPECT_EQ(isUnsignedText(text), isUnsigned) << text;
    }
}

// Properties (ID: type) 7: s32, 8: f4, 9: i4, 9: s32; items name, number, integer, note.
const InfoFile& fixture() {
    static const InfoFile document = [] {
        const std::tuple<std::string_view, float, std::uint32_t, std::string_view> items[] = {
            {"apple", 1.5f, 12, "x"},
            {"pear12", 0.0f, 3, "12"},
            {"plum", -0.0f, 7, "none"},
            {"fig", 12.0f, 7, ""}};
        InfoFile file;
        file.descriptors = {{7, 0, 0, 0, 1}, {8, 0, 0, 32, 2}, {9, 0, 0, 36, 0}, {9, 0, 0, 40, 1}};
        file.header = {std::size(items), std::uint32_t(file.descriptors.size()), 16, 72};
        for (const auto& [name, number, integer, note] : items) {
            ItemRecord item;
            std::vector<PropertyValue>& values = item.values;
            for (const PropertyDescriptor& descriptor : file.descriptors)
                values.push_back(makeValue(descriptor, StringWidth::Bytes32, DocumentationTable{}));
            std::copy(name.begin(), name.end(), values[0].text32().begin());
            values[1].setFloatValue(number);
            values[2].setIntValue(integer);
            std::copy(note.begin(), note.end(), values[3].text32().begin());
            file.items.push_back(item);
        }
        return file;
    }();
    return document;
}

TEST(SearchAllProperties, AppendsEachMatchingItemOnceInAscendingOrder) {
    SearchResults results;
    EXPECT_TRUE(searchAllProperties("12", fixture(), results));
    EXPECT_EQ(results, (SearchResults{0, 1, 3}));
    EXPECT_TRUE(searchAllProperties("0", fixture(), results));
    EXPECT_EQ(results, (SearchResults{0, 1, 3, 1, 2}));
    EXPECT_FALSE(searchAllProperties("banana", fixture(), results));
    InfoFile itemsWithoutProperties;
    itemsWithoutProperties.header.itemCount = 2;
    itemsWithoutProperties.items.resize(2);
    EXPECT_FALSE(searchAllProperties("", itemsWithoutProperties, results));
    EXPECT_EQ(results.size(), 5u);
}

TEST(SearchCertainType, AdmitsOnlyValuesOfThatCode) {
    const std::tuple<std::string_view, std::string_view, SearchResults> cases[] = {
        {"12", "s32", {1}}, {"12", "f4", {3}}, {"12", "i4", {0}}, {"0", "f4", {1, 2}},
        {"abc", "f4", {}},  {"12", "s16", {}}, {"12", "F4", {}},  {"12", "", {}}};
    for (const auto& [text, code, found] : cases) {
        SearchResults results{99};
        EXPECT_EQ(searchCertainType(text, code, fixture(), results), !found.empty()) << code;
        EXPECT_TRUE(std::equal(found.begin(), found.end(), results.begin() + 1, results.end()))
            << text << " in " << code;
    }
}

TEST(SearchSingleProperty, AdmitsEveryValueWithThatIdAndNoOther) {
    SearchResults results;
    EXPECT_TRUE(searchSingleProperty("12", 9, fixture(), results));
    EXPECT_TRUE(searchSingleProperty("12", 7, fixture(), results));
    EXPECT_FALSE(searchSingleProperty("fig", 8, fixture(), results));
    EXPECT_EQ(results, (SearchResults{0, 1, 1}));
}

} // namespace
} // namespace kestra
