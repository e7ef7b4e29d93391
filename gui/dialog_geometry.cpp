#include "dialog_geometry.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace kestra {

QRect dialogUnitsToPixels(const QWidget& dialog, const DialogRect& rect) {
    const QFontMetrics metrics(dialog.font());
    const int averageWidth =
        averageCharacterWidth(metrics.horizontalAdvance(QString::fromLatin1(dialogUnitAlphabet)));
    const PixelRect pixels = dialogRectToPixels(rect, averageWidth, metrics.height());
    return {pixels.x, pixels.y, pixels.width, pixels.height};
}

void placeTextControl(const QWidget& dialog, QWidget& control, const DialogRect& rect) {
    QRect pixels = dialogUnitsToPixels(dialog, rect);
    pixels.setWidth(std::max(pixels.width(), control.sizeHint().width()));
    control.setGeometry(pixels);
}

void setFixedDialogSize(QWidget& dialog, int width, int height) {
    dialog.setFixedSize(dialogUnitsToPixels(dialog, {0, 0, width, height}).size());
}

} // namespace kestra
