#pragma once

namespace kestra {

// A rectangle in pixels, relative to its parent's client area. Width and height may be negative
// where a formula gives them so; the window hands such sizes on as 0.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PixelRect&) const = default;
};

} // namespace kestra
