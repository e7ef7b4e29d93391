#pragma once

namespace kestra {

// A rectangle of a dialog template, in dialog units: a horizontal unit is a quarter of the dialog
// font's average character width, a vertical unit an eighth of its height.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PixelRect&) const = default;
};

// Dialog units to pixels for a font whose average character is `averageWidth` x `height`
// pixels, each coordinate rounded to the nearest pixel (halves away from zero).
int horizontalDialogUnitsToPixels(int units, int averageWidth);
int verticalDialogUnitsToPixels(int units, int height);
PixelRect dialogRectToPixels(const DialogRect& rect, int averageWidth, int height);

} // namespace kestra
