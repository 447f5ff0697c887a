#pragma once

#include <windows.h>

namespace snipora::win {

// The screen's dots per inch, and lengths designed at 96 dots per inch (or in points) turned
// into the screen's pixels. A reading of zero or less counts as 96.
class Dpi {
public:
    static constexpr int kDesign = 96;

    explicit Dpi(int dotsPerInch = kDesign) : value_(dotsPerInch > 0 ? dotsPerInch : kDesign) {}
    // The screen's horizontal dots per inch, as the system reports it to this process.
    static Dpi OfScreen();

    int Value() const { return value_; }
    // Design pixels at 96 dots per inch, rounded to the nearest screen pixel.
    int Scale(int pixels) const { return ::MulDiv(pixels, value_, kDesign); }
    // A length in points (1/72 inch) in screen pixels.
    int FromPoints(int points) const { return ::MulDiv(points, value_, 72); }

private:
    int value_;
};

}  // namespace snipora::win
