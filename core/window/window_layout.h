#pragma once

#include <array>

#include "window/rect.h"

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

struct WindowSize {
    int width = 0;
    int height = 0;

    bool operator==(const WindowSize&) const = default;
};

// The size the main window starts at: 1280 x 720, so that each list's third of the width holds
// its four 100-pixel columns with its frame and a scroll bar beside them, but never more than
// the screen's available area of `available`.
WindowSize initialWindowSize(WindowSize available);

} // namespace kestra
