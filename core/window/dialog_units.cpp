#include "window/dialog_units.h"

#include <cstdint>

namespace kestra {

namespace {

// units * scale / divisor, rounded to nearest with halves away from zero.
int scaleRounded(int units, int scale, int divisor) {
    const std::int64_t product = std::int64_t(units) * scale;
    const std::int64_t half = divisor / 2;
    return int(product >= 0 ? (product + half) / divisor : (product - half) / divisor);
}

} // namespace

int averageCharacterWidth(int alphabetWidth) {
    return (alphabetWidth / 26 + 1) / 2;
}

int horizontalDialogUnitsToPixels(int units, int averageWidth) {
    return scaleRounded(units, averageWidth, 4);
}

int verticalDialogUnitsToPixels(int units, int height) {
    return scaleRounded(units, height, 8);
}

PixelRect dialogRectToPixels(const DialogRect& rect, int averageWidth, int height) {
    return {horizontalDialogUnitsToPixels(rect.x, averageWidth),
            verticalDialogUnitsToPixels(rect.y, height),
            horizontalDialogUnitsToPixels(rect.width, averageWidth),
            verticalDialogUnitsToPixels(rect.height, height)};
}

} // namespace kestra
