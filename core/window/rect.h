#pragma once

namespace kestra {

// A rectangle relative to its parent's client area, in the units `Unit` names, so that one in
// dialog units cannot be placed as if it were in pixels.
template <typename Unit> struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const Rect&) const = default;
};

// Pixels. Width and height may be negative where a formula gives them so; the window hands such
// sizes on as 0.
struct Pixels;
using PixelRect = Rect<Pixels>;

// Dialog units of a dialog template: a horizontal unit is a quarter of the dialog font's
// average character width, a vertical unit an eighth of its height.
struct DialogUnits;
using DialogRect = Rect<DialogUnits>;

} // namespace kestra
