#pragma once

#include <array>

#include "window/pixel_rect.h"

namespace kestra {

struct WindowLayout {
    PixelRect itemList;
    PixelRect propertyList;
    PixelRect copyItemButton;
    PixelRect deleteItemButton;
    PixelRect newItemButton;
    PixelRect typeLabel;
    PixelRect typeField;
    PixelRect valueEdit;
    PixelRect applyButton;
    PixelRect statusBar;
    // The four status bar parts end at Q, 2Q, 3Q and 4Q, Q being a quarter of the width.
    std::array<int, 4> statusPartRightEdges{};
};

// The main window's layout for a client area of `width` x `height`: the item list in the left
// third, the property list in the middle third, the edit panel in the right third, the item
// buttons under the lists and the status bar along the bottom.
WindowLayout layOutWindow(int width, int height);

} // namespace kestra
