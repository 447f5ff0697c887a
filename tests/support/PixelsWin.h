#pragma once

#include <windows.h>

#include <cstdio>
#include <ostream>
#include <vector>

#include "win/UniqueGdiObject.h"

namespace snipora::test {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", c.r, c.g, c.b);
    return out << text;
}

inline Rgb FromColorRef(COLORREF c) {
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// The description of a top-down, uncompressed bitmap of `bitCount` bits per pixel.
inline BITMAPINFO TopDownBitmapInfo(int width, int height, WORD bitCount) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A bitmap's pixels as the system gives them back at 32 bits, top row first.
class BitmapPixels {
public:
    BitmapPixels(HBITMAP bitmap, int width, int height)
        : width_(width), bytes_(static_cast<size_t>(width) * height * 4) {
        BITMAPINFO info = TopDownBitmapInfo(width, height, 32);
        win::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
        rowsRead_ = ::GetDIBits(dc.Get(), bitmap, 0, height, bytes_.data(), &info, DIB_RGB_COLORS);
    }
    // How many rows GetDIBits delivered.
    int RowsRead() const { return rowsRead_; }
    Rgb At(int x, int y) const {
        const BYTE* p = Pixel(x, y);
        return {p[2], p[1], p[0]};
    }
    BYTE Alpha(int x, int y) const { return Pixel(x, y)[3]; }

private:
    const BYTE* Pixel(int x, int y) const {
        return &bytes_[(static_cast<size_t>(y) * width_ + x) * 4];
    }
    int width_;
    std::vector<BYTE> bytes_;
    int rowsRead_ = 0;
};

}  // namespace snipora::test
