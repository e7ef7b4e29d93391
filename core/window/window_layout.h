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

// The least room the texts of the edit panel need in the window's real font, in pixels.
struct TextRoom {
    int typeLabelWidth = 0;
    int fieldHeight = 0; // of the type label, the type field and the value field
};

// `layout` of a client area `width` wide, with the edit panel's label and fields grown where their
// text would not fit: each field as tall as its text needs (Apply moving down under the value
// field), and the type label as wide as "Property Type: " needs when the right third has room
// for it, the type field moving right to keep its gap.
WindowLayout fitTexts(WindowLayout layout, const TextRoom& room, int width);

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
