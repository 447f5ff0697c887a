#pragma once

#include <cstdint>

namespace snipora {

// Lengths are kept in design units, pixels at 96 dots per inch, and turned into a monitor's
// pixels where they are drawn.
inline constexpr int kDesignDpi = 96;

// The dots per inch that a window's lengths follow: the window's own, where the system tells
// it; else the monitor's; else the system's. A reading of zero or less means "not known", and
// with none known the design's 96 holds.
constexpr int ChooseDpi(int window, int monitor, int system) {
    return window > 0 ? window : monitor > 0 ? monitor : system > 0 ? system : kDesignDpi;
}

// `units` scaled from `from` to `to` dots per inch, rounded to the nearest pixel, halves away
// from zero (as MulDiv rounds): 1 unit is 1 pixel at 120 and 144, 3 units are 4 at 120 and 5 at
// 144 (4.5 rounds up), and -3 units at 144 are -5.
constexpr int ScaleBetween(int units, int from, int to) {
    if (from <= 0) {
        from = kDesignDpi;
    }
    const int64_t product = static_cast<int64_t>(units) * to;
    const int64_t half = from / 2;
    const int64_t rounded = product >= 0 ? (product + half) / from : -((-product + half) / from);
    return static_cast<int>(rounded);
}

// Design units in pixels at `dpi`.
constexpr int ScaleDesign(int units, int dpi) {
    return ScaleBetween(units, kDesignDpi, dpi);
}

// A window's place and size in pixels.
struct WindowBox {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowBox&) const = default;
};

// Where a window goes when the system tells it of a new scale, `newDpi` (WM_DPICHANGED), and
// proposes `proposed`: its present size scaled from the last scale, at a place on the new
// monitor. A window whose size `current` was already set for that scale (`sizedForDpi`), as the
// popup's is when it takes the scale of the monitor at the pointer before it moves there, stays
// as it is: the proposal would scale it a second time (300 px set for 144 dpi, 450 proposed).
// Any other window takes the proposal.
constexpr WindowBox BoxAfterDpiChange(WindowBox current, WindowBox proposed, int sizedForDpi,
                                      int newDpi) {
    return sizedForDpi == newDpi ? current : proposed;
}

}  // namespace snipora
