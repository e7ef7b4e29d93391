#include "window/search_dialog_state.h"

#include <gtest/gtest.h>

#include "values/value_text.h"

namespace kestra {
namespace {

// Items of three properties: ID 1200 "Speed" (integer), ID 7 "Tag" (16-byte string) and ID 9
// undocumented (float).
struct Fixture {
    DocumentationTable documentation;
    InfoFile document;

    explicit Fixture(const std::vector<std::pair<std::uint32_t, const char*>>& items) {
        documentation.loaded = true;
        documentation.entries = {{1200, "Speed"}, {7, "Tag"}};
        documentation.firstEntryById = {{1200, 0}, {7, 1}};
        document.descriptors = {{1200, 0, 0, 0, 3}, {7, 0, 0, 4, 1}, {9, 0, 0, 20, 2}};
        document.header.propertyCount = 3;
        for (const auto& [speed, tag] : items) {
            ItemRecord item;
            for (const PropertyDescriptor& descriptor : document.descriptors)
                item.values.push_back(makeValue(descriptor, StringWidth::Bytes16, documentation));
            item.values[0].setIntValue(speed);
            parseValueText(item.values[1], tag);
            document.items.push_back(item);
        }
        document.header.itemCount = std::uint32_t(document.items.size());
    }
};

TEST(SearchDialogState, ModeChoicesListTypesOrPropertiesOfItemZero) {
    Fixture fixture({{5, "a"}});
    EXPECT_TRUE(
        modeChoiceEntries(SearchMode::AllProperties, fixture.document, fixture.documentation)
            .empty());
    EXPECT_EQ(modeChoiceEntries(SearchMode::CertainType, fixture.document, fixture.documentation),
              (std::vector<std::u16string>{u"1: String (32 Bytes)", u"2: String (16 Bytes)",
                                           u"3: Float (4 Bytes)", u"4: Integer (4 Bytes)"}));
    EXPECT_EQ(
        modeChoiceEntries(SearchMode::SingleProperty, fixture.document, fixture.documentation),
        (std::vector<std::u16string>{u"000: 1200 (Speed)", u"001: 7 (Tag)",
                                     u"002: 9 ((Undocumented))"}));
}

TEST(SearchDialogState, PropertyEntriesWithoutItemsComeFromTheDescriptors) {
    Fixture fixture({});
    fixture.documentation.entries[0].name = std::string(70, 'x');
    const auto entries =
        modeChoiceEntries(SearchMode::SingleProperty, fixture.document, fixture.documentation);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], u"000: 1200 (" + std::u16string(70, u'x') + u")");
    EXPECT_EQ(entries[2], u"002: 9 ((Undocumented))");
}

TEST(SearchDialogState, PropertyEntryNamesEndAtAZeroByteAsTheRowsDo) {
    const std::string name("Spe\0ed", 6);
    for (const bool withItems : {true, false}) {
        Fixture fixture({});
        fixture.documentation.entries[0].name = name;
        if (withItems) {
            fixture.document.items.push_back(ItemRecord{{makeValue(
                fixture.document.descriptors[0], StringWidth::Bytes16, fixture.documentation)}});
            ASSERT_EQ(buildPropertyRow(fixture.document.items[0].values[0]).nameText.view(),
                      u"Spe");
        }
        EXPECT_EQ(modeChoiceEntries(SearchMode::SingleProperty, fixture.document,
                                    fixture.documentation)[0],
                  u"000: 1200 (Spe)")
            << withItems;
    }
}

TEST(SearchDialogState, EntriesAreReadByTheirLeadingDigits) {
    const std::pair<std::u16string_view, std::string_view> types[] = {
        {u"1: String (32 Bytes)", "s32"},
        {u"2: String (16 Bytes)", "s16"},
        {u"3: Float (4 Bytes)", "f4"},
        {u"4: Integer (4 Bytes)", "i4"},
        {u"5: Other", ""},
        {u"", ""}};
    for (const auto& [entry, code] : types)
        EXPECT_EQ(typeCodeForEntry(entry), code);
    EXPECT_EQ(propertyIndexForEntry(u"007: 1200 (Speed)"), 7u);
    EXPECT_EQ(propertyIndexForEntry(u"1234: 5 (Name)"), 1234u);
    EXPECT_EQ(propertyIndexForEntry(u"(none)"), std::nullopt);
    EXPECT_EQ(propertyIndexForEntry(u""), std::nullopt);
}

TEST(SearchDialogState, ASearchThatFindsNothingKeepsTheRowsButNotTheResults) {
    Fixture fixture({{5, "kestrel"}, {12, "merlin"}, {5, "hobby"}});
    SearchDialogState state;
    ASSERT_TRUE(
        runSearch(state, fixture.document, u"5", SearchMode::SingleProperty, u"000: 1200 (Speed)"));
    EXPECT_EQ(state.results, (SearchResults{0, 2}));
    ASSERT_EQ(state.foundItemRows.size(), 2u);
    EXPECT_EQ(state.foundItemRows[1].indexText.view(), u"2");
    EXPECT_EQ(openFoundItem(state, fixture.document, 1), 2);
    EXPECT_EQ(state.foundPropertyRows[1].valueText.view(), u"hobby");

    EXPECT_FALSE(runSearch(state, fixture.document, u"owl", SearchMode::AllProperties, u""));
    EXPECT_TRUE(state.results.empty());
    EXPECT_EQ(state.foundItemRows.size(), 2u);
    EXPECT_EQ(openFoundItem(state, fixture.document, 1), std::nullopt);
    EXPECT_EQ(state.foundPropertyRows[1].valueText.view(), u"hobby");
}

TEST(SearchDialogState, EachModeSearchesWhatItsEntrySays) {
    Fixture fixture({{5, "kestrel"}, {12, "merlin"}});
    SearchDialogState state;
    struct Case {
        std::u16string text;
        std::optional<SearchMode> mode;
        std::u16string_view entry;
        SearchResults found;
    };
    const Case cases[] = {
        {u"rl", SearchMode::AllProperties, u"", {1}},
        {u"rl", SearchMode::CertainType, u"2: String (16 Bytes)", {1}},
        {u"rl", SearchMode::CertainType, u"1: String (32 Bytes)", {}},
        {u"12", SearchMode::CertainType, u"4: Integer (4 Bytes)", {1}},
        {u"12", SearchMode::SingleProperty, u"001: 7 (Tag)", {}},
        {u"12", SearchMode::SingleProperty, u"003: 0 (beyond)", {}},
        {u"12", std::nullopt, u"", {}},
        // The 32nd character and beyond are not searched: 29 zeros and 12 read as 12, and
        // 30 zeros and 12 as 1.
        {std::u16string(29, u'0') + u"12x", SearchMode::CertainType, u"4: Integer", {1}},
        {std::u16string(30, u'0') + u"12", SearchMode::CertainType, u"4: Integer", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(runSearch(state, fixture.document, c.text, c.mode, c.entry), !c.found.empty());
        EXPECT_EQ(state.results, c.found);
    }
}

TEST(SearchDialogState, PropertyEntriesPastOneThousandKeepTheirWholeIndex) {
    DocumentationTable documentation;
    InfoFile document;
    ItemRecord item;
    for (std::uint32_t k = 0; k < 1300; ++k) {
        document.descriptors.push_back({5000 + k, 0, 0, 0, 3});
        item.values.push_back(
            makeValue(document.descriptors.back(), StringWidth::Bytes16, documentation));
    }
    item.values[1234].setIntValue(77);
    item.values[123].setIntValue(77);
    document.items.push_back(item);
    document.items.push_back(item);
    document.items[1].values[1234].setIntValue(0);
    document.header = {2, 1300, 0, 0};

    const auto entries = modeChoiceEntries(SearchMode::SingleProperty, document, documentation);
    ASSERT_EQ(entries[1234], u"1234: 6234 ()");
    SearchDialogState state;
    document.items[0].values[123].setIntValue(0);
    EXPECT_TRUE(runSearch(state, document, u"77", SearchMode::SingleProperty, entries[1234]));
    EXPECT_EQ(state.results, SearchResults{0});
    EXPECT_TRUE(runSearch(state, document, u"77", SearchMode::SingleProperty, entries[123]));
    EXPECT_EQ(state.results, SearchResults{1});
}

} // namespace
} // namespace kestra
