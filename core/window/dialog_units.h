#pragma once

#include "window/rect.h"

namespace kestra {

// The average character width that dialog units are measured in: the width of the 52 letters
// A-Z and a-z divided by 52, rounded to nearest. It follows the width of real text more closely
// than a font's declared average, so a template's controls hold their texts.
inline constexpr const char* dialogUnitAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
int averageCharacterWidth(int alphabetWidth);

// Dialog units to pixels for a font whose average character is `averageWidth` x `height`
// pixels, each coordinate rounded to the nearest pixel (halves away from zero).
int horizontalDialogUnitsToPixels(int units, int averageWidth);
int verticalDialogUnitsToPixels(int units, int height);
PixelRect dialogRectToPixels(const DialogRect& rect, int averageWidth, int height);

} // namespace kestra
