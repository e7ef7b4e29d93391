#pragma once

#include <array>

namespace kestra {

// A control's place in the client area, in pixels. Width and height may come out negative on a
// small window; the formulas are kept as they are and the window hands such sizes on as 0.
struct LayoutRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const LayoutRect&) const = default;
};

struct WindowLayout {
    LayoutRect itemList;
    LayoutRect propertyList;
    LayoutRect copyItemButton;
    LayoutRect deleteItemButton;
    LayoutRect newItemButton;
    LayoutRect typeLabel;
    LayoutRect typeField;
    LayoutRect valueEdit;
    LayoutRect applyButton;
    LayoutRect statusBar;
    // The four status bar parts end at Q, 2Q, 3Q and 4Q, Q being a quarter of the width.
    std::array<int, 4> statusPartRightEdges{};
};

// The main window's layout for a client area of `width` x `height`: the item list in the left
// third, the property list in the middle third, the edit panel in the right third, the item
// buttons under the lists and the status bar along the bottom.
WindowLayout layOutWindow(int width, int height);

} // namespace kestra
