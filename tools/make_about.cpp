// Writes the about box's background picture: 380 x 243 pixels, 24 bits, uncompressed.
//   a light warm wash from top to bottom, darker toward the foot where the OK button stands;
//   on the right a clipboard drawn in the bar's frame colour, with a sheet of ruled paper and
//   its clip.
// Usage: make_about OUTPUT.bmp
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 243;

struct Rgb {
    int r, g, b;
};

int Mix(int from, int to, double t) {
    return static_cast<int>(std::lround(from + (to - from) * t));
}

Rgb Between(Rgb from, Rgb to, double t) {
    return {Mix(from.r, to.r, t), Mix(from.g, to.g, t), Mix(from.b, to.b, t)};
}

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
        std::fprintf(stderr, "usage: make_about OUTPUT.bmp\n");
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
    Put32(out, 3780);  // 96 dots per inch
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
    for (int row = kHeight - 1; row >= 0; --row) {
        for (int x = 0; x < kWidth; ++x) {
            const Rgb c = Colour(x, row);
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
