#include "editing/item_editing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "names/documentation_table.h"
#include "support/test_support.h"
#include "values/value_text.h"

namespace kestra {
namespace {

using testing::hexBytes;

// Two items of four properties, 16-byte strings: property 0 (ID 10, string), 1 (ID 20, float)
// and 2 (ID 30, integer) are linked, property 3 (ID 40, integer) is not (both link words 0xFFFF).
// Item 0 holds "Longer12345", 40.0, 7, 9; item 1 holds "B", 1.0, 1, 2.
const char* const twoItemFile = "00000002 00000004 00000040 00000020"
                                "0000000A 0002 0002 0000 0001"
                                "00000014 0001 0000 0010 0002"
                                "0000001E 0000 0001 0014 0007"
                                "00000028 FFFF FFFF 0018 0000"
                                "4C6F6E67 65723132 33343500 00000000 42200000 00000007 00000009"
                                "00000000"
                                "42000000 00000000 00000000 00000000 3F800000 00000001 00000002"
                                "00000000";

DocumentationTable namesTable() {
    const std::string text = "(10) \"Name\"\n(20) \"Speed\"\n";
    return parseDocumentation(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

InfoFile loadFixture(const DocumentationTable& documentation,
                     StringWidth stringWidth = StringWidth::Bytes16) {
    InfoFile document;
    const std::vector<std::uint8_t> bytes = hexBytes(twoItemFile);
    EXPECT_TRUE(document.loadFromBytes(bytes, stringWidth, documentation));
    return document;
}

std::string shown(const PropertyValue& value) {
    return narrowText(formatValueText(value));
}

std::vector<std::string> shownItem(const InfoFile& document, std::size_t item) {
    std::vector<std::string> texts;
    for (const PropertyValue& value : document.items[item].values)
        texts.push_back(shown(value));
    return texts;
}

using Texts = std::vector<std::string>;
using Positions = std::vector<std::size_t>;

TEST(ItemEditing, ApplyStoresIntoLinkedPropertiesEachByItsOwnType) {
    struct Case {
        std::size_t property;
        const char* text;
        Texts item0;
        Positions stored;
        Positions refused;
    };
    const Case cases[] = {
        // An unlinked property takes the text alone.
        {3, "-5", {"Longer12345", "40.000000", "7", "4294967291"}, {3}, {}},
        // A linked one spreads it to the other linked properties, not to property 3.
        {1, "12", {"12", "12.000000", "12", "9"}, {1, 0, 2}, {}},
        {2, "1.5", {"1.5", "1.500000", "1", "9"}, {2, 0, 1}, {}},
        // A text the numeric types cannot read leaves them as they were and is reported.
        {0, "Abc", {"Abc", "40.000000", "7", "9"}, {0}, {1, 2}},
        {1, "", {"", "40.000000", "7", "9"}, {0}, {1, 2}},
    };
    const DocumentationTable documentation = namesTable();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        InfoFile document = loadFixture(documentation);
        const ValueTextOutcome result = applyValueText(document, 0, c.property, c.text);
        EXPECT_EQ(shownItem(document, 0), c.item0);
        EXPECT_EQ(result.stored, c.stored);
        EXPECT_EQ(result.refused, c.refused);
        EXPECT_EQ(shownItem(document, 1), (Texts{"B", "1.000000", "1", "2"}));
    }
}

TEST(ItemEditing, ApplyKeepsTheStringFieldTailAfterTheTerminator) {
    const DocumentationTable documentation = namesTable();
    InfoFile document = loadFixture(documentation);
    applyValueText(document, 0, 3, "x");
    applyValueText(document, 0, 0, "XY");
    const auto field = document.items[0].values[0].text16();
    EXPECT_EQ(std::vector<std::uint8_t>(field.begin(), field.end()),
              hexBytes("5859 00 67 65723132 33343500 00000000"));
}

TEST(ItemEditing, CopyAppendsAnIndependentDeepCopy) {
    const DocumentationTable documentation = namesTable();
    InfoFile document = loadFixture(documentation);
    ASSERT_TRUE(copyItem(document, 0));
    EXPECT_EQ(document.header.itemCount, 3u);
    ASSERT_EQ(document.items.size(), 3u);
    applyValueText(document, 2, 3, "77");
    EXPECT_EQ(shownItem(document, 2), (Texts{"Longer12345", "40.000000", "7", "77"}));
    EXPECT_EQ(shownItem(document, 0), (Texts{"Longer12345", "40.000000", "7", "9"}));
    EXPECT_EQ(*document.items[2].values[1].name, "Speed");

    EXPECT_FALSE(copyItem(document, 3));
    EXPECT_EQ(document.header.itemCount, 3u);
}

TEST(ItemEditing, NewItemTakesTheDocumentsStringWidthAndNamesFromTheTable) {
    const DocumentationTable documentation = namesTable();
    for (const StringWidth width : {StringWidth::Bytes32, StringWidth::Bytes16}) {
        SCOPED_TRACE(int(width));
        InfoFile document = loadFixture(documentation, width);
        ASSERT_TRUE(newItem(document, documentation));
        EXPECT_EQ(document.header.itemCount, 3u);
        const std::vector<PropertyValue>& values = document.items.at(2).values;
        ASSERT_EQ(values.size(), 4u);
        EXPECT_EQ(values[0].typeCode,
                  width == StringWidth::Bytes32 ? TypeCode::S32 : TypeCode::S16);
        EXPECT_EQ(shownItem(document, 2), (Texts{"(null)", "0.000000", "0", "0"}));
        EXPECT_EQ(values[0].store[6], 0);
        EXPECT_EQ(*values[0].name, "Name");
        EXPECT_EQ(*values[3].name, "(Undocumented)");
        EXPECT_EQ(values[2].id, 30u);
        EXPECT_TRUE(values[2].linked);
        EXPECT_FALSE(values[3].linked);
        // Every item of a document has its strings' width.
        ASSERT_TRUE(newItem(document, documentation));
        EXPECT_EQ(document.items.at(3).values[0].typeCode, values[0].typeCode);
    }
}

TEST(ItemEditing, DeleteMovesLaterItemsUpAndKeepsTheCount) {
    const DocumentationTable documentation = namesTable();
    InfoFile document = loadFixture(documentation);
    EXPECT_FALSE(deleteItem(document, 2));
    ASSERT_TRUE(deleteItem(document, 0));
    EXPECT_EQ(document.header.itemCount, 1u);
    ASSERT_EQ(document.items.size(), 1u);
    EXPECT_EQ(shownItem(document, 0), (Texts{"B", "1.000000", "1", "2"}));
    ASSERT_TRUE(deleteItem(document, 0));
    EXPECT_EQ(document.header.itemCount, 0u);
    EXPECT_FALSE(deleteItem(document, 0));
}

} // namespace
} // namespace kestra
