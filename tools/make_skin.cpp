// Writes the skin bitmap: 200 x 80 pixels, 24 bits, uncompressed, two bands of 40 rows, each
// row one colour across its width.
//   rows  0-39: the history header, orange: row 0 a darker line, then a linear run down
//   rows 40-79: the notes header, light blue, a linear run
// Usage: make_skin OUTPUT.bmp
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 200;
constexpr int kHeight = 80;

struct Rgb {
    int r, g, b;
};

int Mix(int from, int to, int step, int steps) {
    return static_cast<int>(std::lround(from + (to - from) * static_cast<double>(step) / steps));
}

Rgb Between(Rgb from, Rgb to, int step, int steps) {
    return {Mix(from.r, to.r, step, steps), Mix(from.g, to.g, step, steps),
            Mix(from.b, to.b, step, steps)};
}

Rgb RowColour(int row) {
    if (row == 0) {
        return {0xA8, 0x7C, 0x40};
    }
    if (row < 40) {
        return Between({0xF3, 0xBD, 0x60}, {0xCC, 0x7D, 0x29}, row - 1, 38);
    }
    return Between({0xC0, 0xDE, 0xF7}, {0x7A, 0xB2, 0xEF}, row - 40, 39);
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_skin OUTPUT.bmp\n");
        return 2;
    }
    const uint32_t stride = (kWidth * 3 + 3) / 4 * 4;
    const uint32_t pixels = stride * kHeight;
    std::vector<uint8_t> out;
    // BITMAPFILEHEADER
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + pixels);
    Put32(out, 0);
    Put32(out, 14 + 40);
    // BITMAPINFOHEADER: bottom-up rows, BI_RGB
    Put32(out, 40);
    Put32(out, kWidth);
    Put32(out, kHeight);
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, pixels);
    Put32(out, 2835);  // 72 dots per inch
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int row = kHeight - 1; row >= 0; --row) {
        const Rgb c = RowColour(row);
        for (int x = 0; x < kWidth; ++x) {
            out.push_back(static_cast<uint8_t>(c.b));
            out.push_back(static_cast<uint8_t>(c.g));
            out.push_back(static_cast<uint8_t>(c.r));
        }
        for (uint32_t pad = kWidth * 3; pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (std::fclose(file) != 0 || !ok) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
