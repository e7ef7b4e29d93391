#pragma once

#include <QRect>

#include "window/dialog_units.h"

class QWidget;

namespace kestra {

// Dialog units of `dialog`'s font to pixels, as a dialog template's rectangles are placed.
QRect dialogUnitsToPixels(const QWidget& dialog, const DialogRect& rect);

// Places `control`, a child of `dialog` that shows a text, at `rect`, widened where its text needs
// more room in the font really used than the template gives it: templates were measured for
// another font.
void placeTextControl(const QWidget& dialog, QWidget& control, const DialogRect& rect);

// Sizes `dialog` to `width` x `height` dialog units and keeps it from being resized.
void setFixedDialogSize(QWidget& dialog, int width, int height);

} // namespace kestra
