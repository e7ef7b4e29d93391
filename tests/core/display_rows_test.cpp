#include "window/display_rows.h"
#include "window/row_lists.h"

#include "names/documentation_table.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace kestra {
namespace {

// Ten items over the properties (ID: type) 101: s32, 4000000000: f4, 7: i4, 8: i4. Item k holds
// "name<k>", k + 0.5, k * 100 and k.
InfoFile tenItems(std::size_t propertyCount = 4) {
    const std::array<PropertyDescriptor, 4> all = {
        {{101, 0, 0, 0, 1}, {4000000000u, 1, 0, 32, 2}, {7, 0, 0, 36, 0}, {8, 0, 0, 40, 3}}};
    const DocumentationTable noNames;
    InfoFile document;
    document.descriptors.assign(all.begin(), all.begin() + std::ptrdiff_t(propertyCount));
    document.header = {10, std::uint32_t(propertyCount), 16, 48};
    for (std::uint32_t k = 0; k < document.header.itemCount; ++k) {
        ItemRecord item;
        for (const PropertyDescriptor& descriptor : document.descriptors)
            item.values.push_back(makeValue(descriptor, StringWidth::Bytes32, noNames));
        const std::string name = "name" + std::to_string(k);
        std::copy(name.begin(), name.end(), item.values[0].text32().begin());
        if (propertyCount > 1)
            item.values[1].setFloatValue(float(k) + 0.5f);
        if (propertyCount > 2)
            item.values[2].setIntValue(k * 100);
        if (propertyCount > 3)
            item.values[3].setIntValue(k);
        document.items.push_back(item);
    }
    return document;
}

std::u16string nameOfItem(std::size_t k) {
    return u"name" + std::u16string(1, u'0' + k);
}

// The four cells of a row, as the list would ask for them, plus the columns around them.
template <typename Row> std::array<std::u16string, 4> cells(const Row& row) {
    EXPECT_TRUE(cellText(row, -1).empty());
    EXPECT_TRUE(cellText(row, 4).empty());
    return {std::u16string(cellText(row, 0)), std::u16string(cellText(row, 1)),
            std::u16string(cellText(row, 2)), std::u16string(cellText(row, 3))};
}

using Cells = std::array<std::u16string, 4>;

TEST(ItemRows, ShowIndexAndFirstThreeValues) {
    const InfoFile document = tenItems();
    const InfoFile empty;
    ItemRows rows;
    buildItemRows(document, rows);
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(cells(rows[0]), (Cells{u"0", u"name0", u"0.500000", u"0"}));
    EXPECT_EQ(cells(rows[9]), (Cells{u"9", u"name9", u"9.500000", u"900"}));
    EXPECT_EQ(rows.cellText(9, 2), u"9.500000");
    buildItemRows(empty, rows);
    EXPECT_TRUE(rows.empty());
}

TEST(ItemRows, WithTwoPropertiesLeaveTheThirdColumnEmpty) {
    const InfoFile document = tenItems(2);
    ItemRows rows;
    buildItemRows(document, rows);
    ASSERT_EQ(rows.size(), 10u);
    for (std::size_t k = 0; k < rows.size(); ++k)
        EXPECT_EQ(cells(rows[k])[3], u"") << "row " << k;
    EXPECT_EQ(cells(rows[4]), (Cells{u"4", u"name4", u"4.500000", u""}));
}

TEST(ItemRows, AfterRemovingItemThreeOfTenRenumberWithoutAGap) {
    InfoFile document = tenItems();
    ItemRows rows;
    buildItemRows(document, rows);
    document.items.erase(document.items.begin() + 3);
    rows.removeRow(3);
    ASSERT_EQ(rows.size(), 9u);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const std::size_t formerItem = k < 3 ? k : k + 1;
        EXPECT_EQ(cellText(rows[k], 0), std::u16string(1, u'0' + k));
        EXPECT_EQ(cellText(rows[k], 1), nameOfItem(formerItem));
    }
}

// What Apply types into a cell shows instead of the value until the rows are shown anew; it stays
// with its row when an earlier item goes, and goes with its own.
TEST(ItemRows, TypedTextsFollowTheirRowsUntilTheRowsAreShownAnew) {
    InfoFile document = tenItems();
    ItemRows rows;
    buildItemRows(document, rows);
    rows.setValueText(4, 1, u"1.5");
    rows.setValueText(6, 0, u"typed");
    rows.setValueText(6, 3, u"not shown"); // only the first three values have cells
    EXPECT_EQ(cells(rows[4]), (Cells{u"4", u"name4", u"1.5", u"400"}));

    document.items.erase(document.items.begin() + 4);
    rows.removeRow(4);
    document.items.erase(document.items.begin() + 1);
    rows.removeRow(1);
    EXPECT_EQ(cells(rows[3]), (Cells{u"3", u"name5", u"5.500000", u"500"}));
    EXPECT_EQ(cells(rows[4]), (Cells{u"4", u"typed", u"6.500000", u"600"}));

    document.items.push_back(document.items[4]);
    rows.appendRow(document);
    EXPECT_EQ(cells(rows.back()), (Cells{u"8", u"name6", u"6.500000", u"600"}));
    buildItemRows(document, rows);
    EXPECT_EQ(cells(rows[4]), (Cells{u"4", u"name6", u"6.500000", u"600"}));
}

TEST(ItemRows, FoundRowsShowTheIndexOfTheirItem) {
    const InfoFile document = tenItems();
    ItemRows rows;
    rows.showItems(document, {2, 7});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(cells(rows[1]), (Cells{u"7", u"name7", u"7.500000", u"700"}));
}

TEST(ItemRows, OneRowIsBuiltForAnAppendedItem) {
    InfoFile document = tenItems();
    document.items.push_back(document.items[2]);
    EXPECT_EQ(cells(buildItemRow(document, 10)), (Cells{u"10", u"name2", u"2.500000", u"200"}));
}

TEST(PropertyRows, ShowTheValueBeforeTheId) {
    const InfoFile document = tenItems();
    PropertyRows rows;
    buildPropertyRows(document, 2, rows);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(cells(rows[0]), (Cells{u"", u"name2", u"101", u"String (size 32)"}));
    EXPECT_EQ(cells(rows[1]), (Cells{u"", u"2.500000", u"4000000000", u"Float (size 4)"}));
    EXPECT_EQ(cells(rows[2]), (Cells{u"", u"200", u"7", u"Integer/Other (size 4)"}));
    EXPECT_EQ(cells(rows[3]), (Cells{u"", u"2", u"8", u"Integer/Other (size 4)"}));
    const std::array<std::u16string_view, 4> codes = {u"s32", u"f4", u"i4", u"i4"};
    for (std::size_t p = 0; p < rows.size(); ++p)
        EXPECT_EQ(rows[p].typeCodeText.view(), codes[p]);
}

TEST(PropertyRows, TypedTextsStayWithTheShownItem) {
    InfoFile document = tenItems();
    PropertyRows rows;
    buildPropertyRows(document, 5, rows);
    rows.setValueText(1, u"1.5");
    document.items.erase(document.items.begin() + 2);
    rows.itemRemoved(2);
    EXPECT_EQ(cells(rows[1]), (Cells{u"", u"1.5", u"4000000000", u"Float (size 4)"}));
    EXPECT_EQ(rows.cellText(2, 1), u"500");
    buildPropertyRows(document, 4, rows);
    EXPECT_EQ(rows.cellText(1, 1), u"5.500000");
}

TEST(PropertyRows, WidenNamesByteForByteUpToAZeroByteAndSixtyFiveUnits) {
    struct Case {
        std::string name;
        std::u16string shown;
    };
    const std::u16string sixtyFive(65, u'n');
    const Case cases[] = {
        {"Speed", u"Speed"},
        {std::string("ab\0cd", 5), u"ab"},
        {"\xE9t\xE9\xFF", u"\u00E9t\u00E9\u00FF"},
        {std::string(65, 'n'), sixtyFive},
        {std::string(70, 'n'), sixtyFive},
    };
    PropertyValue value = tenItems().items[0].values[0];
    for (const Case& c : cases) {
        value.name = &c.name;
        EXPECT_EQ(cellText(buildPropertyRow(value), 0), c.shown);
    }
}

TEST(PropertyRows, AFullThirtyTwoByteStringShowsAllItsBytes) {
    InfoFile document = tenItems();
    std::ranges::fill(document.items[0].values[0].text32(), std::uint8_t('x'));
    EXPECT_EQ(cellText(buildPropertyRow(document.items[0].values[0]), 1), std::u16string(32, u'x'));
    EXPECT_EQ(cellText(buildItemRow(document, 0), 1), std::u16string(32, u'x'));
}

TEST(ListColumns, HaveTheirNamesWidthsAndAlignments) {
    const std::array<std::u16string_view, 4> itemNames = {u"Item #", u"First Value",
                                                          u"Second Value", u"Third Value"};
    const std::array<std::u16string_view, 4> propertyNames = {u"Property Name", u"Property Value",
                                                              u"Property ID#", u"Property Type"};
    for (std::size_t c = 0; c < 4; ++c) {
        EXPECT_EQ(itemListColumns[c].name, itemNames[c]);
        EXPECT_EQ(propertyListColumns[c].name, propertyNames[c]);
        for (const ColumnSpec& column : {itemListColumns[c], propertyListColumns[c]}) {
            EXPECT_EQ(column.width, 100);
            EXPECT_EQ(column.rightAligned, c >= 2);
        }
    }
}

TEST(StatusBarTexts, ShowCountsInDecimalAndPlacesInUpperCaseHex) {
    struct Case {
        InfoHeader header;
        std::array<std::u16string, 4> texts;
    };
    const Case cases[] = {
        {{10, 4, 0xBEEF, 0x1A0},
         {u"Properties: 4", u"Items: 10", u"Item Length: 1A0", u"First Item Offset: BEEF"}},
        {{0, 0, 0, 0}, {u"Properties: 0", u"Items: 0", u"Item Length: 0", u"First Item Offset: 0"}},
        {{0xFFFFFFFF, 123456789, 0xFFFFFFFF, 0xA},
         {u"Properties: 123456789", u"Items: 4294967295", u"Item Length: A",
          u"First Item Offset: FFFFFFFF"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(statusBarTexts(c.header), c.texts);
}

} // namespace
} // namespace kestra
