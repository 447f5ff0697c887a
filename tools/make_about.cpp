// Writes the about box's background picture: 380 x 243 pixels, 8 bits with a palette of its
// own colours, run-length encoded (its rows are long runs of one colour).
//   a light warm wash from top to bottom, darker toward the foot where the OK button stands;
//   on the right a clipboard drawn in the bar's frame colour, with a sheet of ruled paper and
//   its clip.
// Usage: make_about FOLDER   (writes FOLDER/about.bmp)
#include <cstdio>
#include <string>

#include "HostBitmap.h"

namespace {

using host::Between;
using host::Rgb;

constexpr int kWidth = 380;
constexpr int kHeight = 243;

bool Inside(int x, int y, int left, int top, int right, int bottom) {
    return x >= left && x < right && y >= top && y < bottom;
}

// The picture at (x, y), y counted from the top.
Rgb Colour(int x, int y) {
    const Rgb frame{0xA8, 0x7C, 0x40};
    // The clipboard: board, paper, ruled lines, clip.
    if (Inside(x, y, 272, 40, 352, 172)) {
        if (Inside(x, y, 300, 32, 324, 50)) {
            return {0x80, 0x80, 0x88};  // the clip, over the board's top edge
        }
        if (Inside(x, y, 280, 54, 344, 164)) {
            const bool ruled = y >= 70 && (y - 70) % 12 == 0 && x >= 288 && x < 336;
            return ruled ? Rgb{0x9C, 0xB8, 0xD8} : Rgb{0xFF, 0xFF, 0xFF};
        }
        return frame;
    }
    if (Inside(x, y, 300, 32, 324, 40)) {
        return {0x80, 0x80, 0x88};
    }
    // The wash, and a band at the foot.
    if (y >= 196) {
        return Between({0xEC, 0xD9, 0xB4}, {0xDE, 0xC4, 0x94}, (y - 196) / 46.0);
    }
    if (y == 195) {
        return frame;
    }
    return Between({0xFD, 0xFA, 0xF3}, {0xF3, 0xE6, 0xCC}, y / 194.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_about FOLDER\n");
        return 2;
    }
    return host::WriteBitmap8(std::string(argv[1]) + "/about.bmp", kWidth, kHeight,
                              3780,  // 96 dots per inch
                              Colour, true)
               ? 0
               : 1;
}
