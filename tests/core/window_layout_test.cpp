#include "window/window_layout.h"

#include <gtest/gtest.h>

namespace kestra {
namespace {

TEST(WindowLayout, PlacesEveryControlByThirdsOfTheWidth) {
    // W = 1000: T = 333, Q = 250.
    const WindowLayout layout = layOutWindow(1000, 600);
    EXPECT_EQ(layout.itemList, (PixelRect{0, 0, 333, 510}));
    EXPECT_EQ(layout.propertyList, (PixelRect{333, 0, 333, 510}));
    EXPECT_EQ(layout.copyItemButton, (PixelRect{10, 520, 100, 50}));
    EXPECT_EQ(layout.deleteItemButton, (PixelRect{120, 520, 100, 50}));
    EXPECT_EQ(layout.newItemButton, (PixelRect{230, 520, 100, 50}));
    EXPECT_EQ(layout.typeLabel, (PixelRect{686, 50, 141, 25}));
    EXPECT_EQ(layout.typeField, (PixelRect{837, 50, 975, 25}));
    EXPECT_EQ(layout.valueEdit, (PixelRect{696, 300, 273, 25}));
    EXPECT_EQ(layout.applyButton, (PixelRect{696, 330, 111, 25}));
    EXPECT_EQ(layout.statusBar, (PixelRect{0, 590, 1000, 10}));
    EXPECT_EQ(layout.statusPartRightEdges, (std::array<int, 4>{250, 500, 750, 1000}));
}

TEST(WindowLayout, KeepsTheFormulasOnSmallWindowsAndTruncatesEveryDivision) {
    struct Case {
        int width, height;
        int valueEditWidth, applyWidth, listHeight, lastPartEdge;
    };
    const Case cases[] = {
        {179, 89, -1, -25, -1, 176},  // T = 59, (59 - 100) / 2 truncates to -20
        {180, 90, 0, -25, 0, 180},    // T = 60
        {329, 200, 49, -1, 110, 328}, // T = 109, (109 - 100) / 2 = 4
        {330, 200, 50, 0, 110, 328},  // T = 110
        {0, 0, -60, -55, -90, 0},
    };
    for (const Case& c : cases) {
        const WindowLayout layout = layOutWindow(c.width, c.height);
        EXPECT_EQ(layout.valueEdit.width, c.valueEditWidth) << c.width;
        EXPECT_EQ(layout.applyButton.width, c.applyWidth) << c.width;
        EXPECT_EQ(layout.itemList.height, c.listHeight) << c.width;
        EXPECT_EQ(layout.statusPartRightEdges[3], c.lastPartEdge) << c.width;
    }
}

TEST(WindowLayout, GrowsTheEditPanelsFieldsToTheirTextWithinTheRightThird) {
    // W = 1000: the label is 141 wide at x 686, the field starts at 837.
    struct Case {
        int width;
        TextRoom room;
        int labelWidth, fieldX, fieldHeight, applyY;
    };
    const Case cases[] = {
        {1000, {100, 20}, 141, 837, 25, 330}, // room enough: the rule as it is
        {1000, {200, 31}, 200, 896, 31, 336},
        {1000, {315, 25}, 141, 837, 25, 330}, // the label would pass the right edge
    };
    for (const Case& c : cases) {
        const WindowLayout layout = fitTexts(layOutWindow(c.width, 600), c.room, c.width);
        EXPECT_EQ(layout.typeLabel.width, c.labelWidth) << c.room.typeLabelWidth;
        EXPECT_EQ(layout.typeField.x, c.fieldX) << c.room.typeLabelWidth;
        for (const PixelRect& field : {layout.typeLabel, layout.typeField, layout.valueEdit})
            EXPECT_EQ(field.height, c.fieldHeight) << c.room.fieldHeight;
        EXPECT_EQ(layout.applyButton.y, c.applyY) << c.room.fieldHeight;
    }
}

TEST(WindowLayout, StartsAt1280By720WithinTheScreensAvailableArea) {
    const std::pair<WindowSize, WindowSize> cases[] = {
        {{1920, 1050}, {1280, 720}}, {{1280, 720}, {1280, 720}}, {{1366, 700}, {1280, 700}},
        {{1024, 600}, {1024, 600}},  {{800, 1200}, {800, 720}},
    };
    for (const auto& [available, expected] : cases)
        EXPECT_EQ(initialWindowSize(available), expected) << available.width;

    // Each list's third holds its four 100-pixel columns, its frame and a vertical scroll bar.
    const WindowSize start = initialWindowSize({1920, 1050});
    const WindowLayout layout = layOutWindow(start.width, start.height);
    constexpr int framesAndScrollBar = 2 * 2 + 20;
    EXPECT_GE(layout.itemList.width, 4 * 100 + framesAndScrollBar);
    EXPECT_GE(layout.propertyList.width, 4 * 100 + framesAndScrollBar);
}

} // namespace
} // namespace kestra
