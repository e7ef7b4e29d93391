#include "window/window_layout.h"

#include <algorithm>

namespace kestra {

WindowLayout layOutWindow(int width, int height) {
    const int w = width;
    const int h = height;
    const int t = w / 3;
    const int q = w / 4;
    WindowLayout layout;
    layout.itemList = {0, 0, t, h - 90};
    layout.propertyList = {t, 0, t, h - 90};
    layout.copyItemButton = {10, h - 80, 100, 50};
    layout.deleteItemButton = {120, h - 80, 100, 50};
    layout.newItemButton = {230, h - 80, 100, 50};
    layout.typeLabel = {2 * t + 20, 50, t / 2 - 25, 25};
    // Deliberately runs past the right edge of the client area, which clips it.
    layout.typeField = {2 * t + t / 2 + 5, 50, w - 25, 25};
    layout.valueEdit = {2 * t + 30, h / 2, t - 60, 25};
    layout.applyButton = {2 * t + 30, h / 2 + 30, (t - 100) / 2 - 5, 25};
    layout.statusBar = {0, h - 10, w, 10};
    layout.statusPartRightEdges = {q, 2 * q, 3 * q, 4 * q};
    return layout;
}

WindowLayout fitTexts(WindowLayout layout, const TextRoom& room, int width) {
    constexpr int labelToField = 10; // the rule's gap between the type label and field
    constexpr int fieldToButton = 5; // the rule's gap between the value field and Apply
    PixelRect& label = layout.typeLabel;
    if (label.width < room.typeLabelWidth && label.x + room.typeLabelWidth <= width)
        label.width = room.typeLabelWidth;
    layout.typeField.x = std::max(layout.typeField.x, label.x + label.width + labelToField);
    for (PixelRect* field : {&label, &layout.typeField, &layout.valueEdit})
        field->height = std::max(field->height, room.fieldHeight);
    layout.applyButton.y = std::max(layout.applyButton.y,
                                    layout.valueEdit.y + layout.valueEdit.height + fieldToButton);
    return layout;
}

WindowSize initialWindowSize(WindowSize available) {
    constexpr WindowSize preferred{1280, 720};
    return {std::min(preferred.width, available.width),
            std::min(preferred.height, available.height)};
}

} // namespace kestra
