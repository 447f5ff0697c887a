#pragma once

#include <windows.h>

#include "common/DpiScale.h"

namespace snipora::win {

// The dots per inch of a window's monitor, and lengths designed at 96 dots per inch (or in
// points) turned into its pixels. A reading of zero or less counts as 96.
class Dpi {
public:
    static constexpr int kDesign = kDesignDpi;

    explicit Dpi(int dotsPerInch = kDesign) : value_(dotsPerInch > 0 ? dotsPerInch : kDesign) {}
    // The screen's horizontal dots per inch, as the system reports it to this process.
    static Dpi OfScreen();
    // The window's: GetDpiForWindow where the system has it (Windows 10 1607 and later), else
    // its monitor's, else the screen's.
    static Dpi OfWindow(HWND window);
    // The monitor's under a point on the screen (Windows 8.1 and later), else the screen's.
    static Dpi AtPoint(POINT point);

    int Value() const { return value_; }
    bool operator==(const Dpi&) const = default;
    // Design pixels at 96 dots per inch, rounded to the nearest screen pixel.
    int Scale(int pixels) const { return ScaleDesign(pixels, value_); }
    // A length in points (1/72 inch) in screen pixels.
    int FromPoints(int points) const { return ScaleBetween(points, 72, value_); }

private:
    int value_;
};

}  // namespace snipora::win
