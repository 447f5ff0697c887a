// Shared by the image generators that the build runs on the machine that builds: colours, and
// writing a 24-bit uncompressed bitmap file.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace host {

struct Rgb {
    int r, g, b;
};

// The colour a fraction t of the way from one colour to another, rounded.
inline Rgb Between(Rgb from, Rgb to, double t) {
    auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
    return {mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b)};
}

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Writes the bytes to a file; false (with the reason on stderr) if that fails.
inline bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::perror(path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !ok) {
        std::perror(path.c_str());
        return false;
    }
    return true;
}

// A 24-bit, bottom-up, uncompressed bitmap file of the picture that `colour(x, y)` gives, y
// counted from the top.
template <typename Colour>
bool WriteBitmap24(const std::string& path, int width, int height, int dotsPerMetre,
                   Colour colour) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
    const uint32_t pixels = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> out;
    out.push_back('B');  // BITMAPFILEHEADER
    out.push_back('M');
    Put32(out, 14 + 40 + pixels);
    Put32(out, 0);
    Put32(out, 14 + 40);
    Put32(out, 40);  // BITMAPINFOHEADER, BI_RGB
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, pixels);
    Put32(out, static_cast<uint32_t>(dotsPerMetre));
    Put32(out, static_cast<uint32_t>(dotsPerMetre));
    Put32(out, 0);
    Put32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            out.push_back(static_cast<uint8_t>(c.b));
            out.push_back(static_cast<uint8_t>(c.g));
            out.push_back(static_cast<uint8_t>(c.r));
        }
        for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    return WriteFile(path, out);
}

}  // namespace host
