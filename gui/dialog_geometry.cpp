#include "dialog_geometry.h"

#include <QFontMetrics>
#include <QWidget>

namespace kestra {

QRect dialogUnitsToPixels(const QWidget& dialog, const DialogRect& rect) {
    const QFontMetrics metrics(dialog.font());
    const int averageWidth =
        averageCharacterWidth(metrics.horizontalAdvance(QString::fromLatin1(dialogUnitAlphabet)));
    const PixelRect pixels = dialogRectToPixels(rect, averageWidth, metrics.height());
    return {pixels.x, pixels.y, pixels.width, pixels.height};
}

void setFixedDialogSize(QWidget& dialog, int width, int height) {
    dialog.setFixedSize(dialogUnitsToPixels(dialog, {0, 0, width, height}).size());
}

} // namespace kestra
