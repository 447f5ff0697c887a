// Writes the skin bitmap: 200 x 80 pixels, 24 bits, uncompressed, two bands of 40 rows, each
// row one colour across its width.
//   rows  0-39: the history header, orange: row 0 a darker line, then a linear run down
//   rows 40-79: the notes header, light blue, a linear run
// Usage: make_skin FOLDER   (writes FOLDER/skin.bmp)
#include <cstdio>
#include <string>

#include "HostBitmap.h"

namespace {

using host::Between;
using host::Rgb;

constexpr int kWidth = 200;
constexpr int kHeight = 80;

Rgb RowColour(int row) {
    if (row == 0) {
        return {0xA8, 0x7C, 0x40};
    }
    if (row < 40) {
        return Between({0xF3, 0xBD, 0x60}, {0xCC, 0x7D, 0x29}, (row - 1) / 38.0);
    }
    return Between({0xC0, 0xDE, 0xF7}, {0x7A, 0xB2, 0xEF}, (row - 40) / 39.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_skin FOLDER\n");
        return 2;
    }
    const auto colour = [](int, int y) { return RowColour(y); };
    return host::WriteBitmap24(std::string(argv[1]) + "/skin.bmp", kWidth, kHeight,
                               2835,  // 72 dots per inch
                               colour)
               ? 0
               : 1;
}
