#include "window/dialog_units.h"

#include <gtest/gtest.h>

namespace kestra {
namespace {

TEST(DialogUnits, ScaleByAQuarterCharacterAcrossAndAnEighthDown) {
    // The Search dialog's size with a 7 x 16 pixel average character.
    EXPECT_EQ(dialogRectToPixels({0, 0, 586, 282}, 7, 16), (PixelRect{0, 0, 1026, 564}));
    // The About box's OK button with a 6 x 13 character: 85.5, 45.5 and 22.75 round to nearest.
    EXPECT_EQ(dialogRectToPixels({114, 49, 50, 14}, 6, 13), (PixelRect{171, 80, 75, 23}));
}

TEST(DialogUnits, AverageWidthIsTheLettersWidthOverFiftyTwoRounded) {
    EXPECT_EQ(averageCharacterWidth(312), 6); // 6.0
    EXPECT_EQ(averageCharacterWidth(337), 6); // 6.48
    EXPECT_EQ(averageCharacterWidth(338), 7); // 6.5
}

TEST(DialogUnits, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(horizontalDialogUnitsToPixels(1, 2), 1);   // 0.5
    EXPECT_EQ(horizontalDialogUnitsToPixels(-1, 2), -1); // -0.5
    EXPECT_EQ(horizontalDialogUnitsToPixels(1, 1), 0);   // 0.25
    EXPECT_EQ(verticalDialogUnitsToPixels(3, 4), 2);     // 1.5
}

} // namespace
} // namespace kestra
