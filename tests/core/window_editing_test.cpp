#include "window/window_editing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>

namespace kestra {
namespace {

PropertyDescriptor descriptor(std::uint32_t id, std::uint16_t type, bool linked) {
    return {id, std::uint16_t(linked ? 1 : 0), 0, 0, type};
}

// `state` with items of the values of `descriptors`, opened from `path`, item 0 shown.
void openWith(WindowState& state, const std::vector<PropertyDescriptor>& descriptors, int items = 1,
              const std::string& path = "birds.table") {
    state.openedFilePath = state.currentFilePath = path;
    state.document.stringWidth = stringWidthForPath(path); // as a load from `path` sets it
    state.document.descriptors = descriptors;
    state.document.header.propertyCount = std::uint32_t(descriptors.size());
    for (int i = 0; i < items; ++i)
        newItem(state);
    state.selectedItem = 0;
    state.propertyRows.show(state.document, 0);
}

TEST(ItemEditing, LinkedApplyParsesTheTextByEachTypeAndLeavesOthersAlone) {
    WindowState state;
    openWith(state,
             {descriptor(1, 3, true), descriptor(2, 2, false), descriptor(3, 2, true),
              descriptor(4, 1, true)},
             2);
    state.selectedProperty = 2;
    const ApplyResult result = applyEditText(state, u"12.5");
    const auto& values = state.document.items[0].values;
    EXPECT_EQ(values[0].intValue(), 12u);
    EXPECT_EQ(values[1].floatValue(), 0.0f);
    EXPECT_EQ(values[2].floatValue(), 12.5f);
    EXPECT_EQ(std::memcmp(values[3].text16().data(), "12.5\0)\0\0", 8), 0);
    EXPECT_EQ(state.document.items[1].values[0].intValue(), 0u);
    EXPECT_THAT(result.rewrittenPropertyRows, ::testing::UnorderedElementsAre(0, 2, 3));
    EXPECT_TRUE(result.itemRowRewritten);
    EXPECT_TRUE(result.allStored);
    EXPECT_EQ(state.itemRows[0].valueTexts[0].view(), u"12.5");
    EXPECT_EQ(state.propertyRows[3].valueText.view(), u"12.5");
}

TEST(ItemEditing, TextAValueRefusesKeepsItAndItsShownValue) {
    WindowState state;
    openWith(state, {descriptor(1, 3, true), descriptor(2, 2, true)});
    state.selectedProperty = 1;
    EXPECT_TRUE(applyEditText(state, u"-1.5").allStored);
    EXPECT_EQ(state.document.items[0].values[0].intValue(), 4294967295u);

    // Beyond the integer range: the float takes it, the integer keeps its value.
    EXPECT_FALSE(applyEditText(state, u"99999999999").allStored);
    EXPECT_EQ(state.document.items[0].values[0].intValue(), 4294967295u);
    EXPECT_EQ(state.document.items[0].values[1].floatValue(), 99999999999.0f);
    EXPECT_EQ(state.propertyRows[0].valueText.view(), u"4294967295");
    EXPECT_EQ(state.itemRows[0].valueTexts[1].view(), u"99999999999");

    EXPECT_FALSE(applyEditText(state, u"").allStored);
    EXPECT_EQ(state.itemRows[0].valueTexts[1].view(), u"99999997952.000000");
}

TEST(ItemEditing, ApplyNeedsASelectedPropertyOfAnExistingItem) {
    WindowState state;
    openWith(state, {descriptor(1, 3, false)});
    EXPECT_TRUE(applyEditText(state, u"5").rewrittenPropertyRows.empty());
    state.selectedProperty = 0;
    state.selectedItem = 1;
    EXPECT_TRUE(applyEditText(state, u"5").rewrittenPropertyRows.empty());
    EXPECT_EQ(state.document.items[0].values[0].intValue(), 0u);
}

TEST(ItemEditing, NewItemsTakeTheStringWidthOfTheOpenedPath) {
    for (const auto& [path, code] :
         {std::pair{"a.info", TypeCode::S32}, std::pair{"a.INFO", TypeCode::S16}}) {
        WindowState state;
        openWith(state, {descriptor(1, 1, false), descriptor(2, 7, false)}, 1, path);
        const PropertyValue& text = state.document.items[0].values[0];
        EXPECT_EQ(text.typeCode, code) << path;
        EXPECT_EQ(std::memcmp(text.text32().data(), "(null)\0\0", 8), 0);
        EXPECT_EQ(state.document.items[0].values[1].typeCode, TypeCode::I4);
        EXPECT_EQ(state.itemRows[0].valueTexts[0].view(), u"(null)");
    }
}

TEST(ItemEditing, CopyAppendsADeepCopyWithItsOwnRow) {
    WindowState state;
    openWith(state, {descriptor(1, 3, false)}, 2);
    state.document.items[1].values[0].setIntValue(42);
    EXPECT_FALSE(copyItem(state, 2));
    EXPECT_TRUE(copyItem(state, 1));
    state.document.items[1].values[0].setIntValue(7);
    EXPECT_EQ(state.document.items[2].values[0].intValue(), 42u);
    EXPECT_EQ(state.document.header.itemCount, 3u);
    EXPECT_EQ(state.itemRows[2].indexText.view(), u"2");
}

TEST(ItemEditing, DeleteKeepsTheSelectedItemOnTheShownItem) {
    struct Case {
        int shown, deleted;
        DeleteEffect effect;
        int selectedAfter;
        std::size_t propertyRowsAfter;
    };
    const Case cases[] = {
        {2, 0, DeleteEffect::Removed, 1, 1},           {1, 2, DeleteEffect::Removed, 1, 1},
        {1, 1, DeleteEffect::RemovedShownItem, -1, 0}, {1, 3, DeleteEffect::Nothing, 1, 1},
        {1, -1, DeleteEffect::Nothing, 1, 1},
    };
    for (const Case& c : cases) {
        WindowState state;
        openWith(state, {descriptor(1, 3, false)}, 3);
        state.selectedItem = c.shown;
        state.selectedProperty = 0;
        EXPECT_EQ(deleteItem(state, c.deleted), c.effect) << c.deleted;
        EXPECT_EQ(state.selectedItem, c.selectedAfter) << c.deleted;
        EXPECT_EQ(state.propertyRows.size(), c.propertyRowsAfter) << c.deleted;
        EXPECT_EQ(state.itemRows.size(), state.document.items.size());
        EXPECT_EQ(state.document.header.itemCount, state.document.items.size());
        EXPECT_EQ(state.itemRows.back().indexText.view(),
                  std::u16string(1, char16_t(u'0' + state.itemRows.size() - 1)));
    }
}

} // namespace
} // namespace kestra
