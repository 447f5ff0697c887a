// Shared by the image generators that the build runs on the machine that builds: colours, and
// writing uncompressed bitmap files, of 24 bits or of 8 with a palette.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
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

// Writes the fixed part of a bitmap file: the file header and a BITMAPINFOHEADER (BI_RGB, or
// `compression`).
inline void PutBitmapHeader(std::vector<uint8_t>& out, int width, int height, int bits,
                            uint32_t paletteBytes, uint32_t pixels, int dotsPerMetre,
                            uint32_t compression = 0) {
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + paletteBytes + pixels);
    Put32(out, 0);
    Put32(out, 14 + 40 + paletteBytes);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, compression);
    Put32(out, pixels);
    Put32(out, static_cast<uint32_t>(dotsPerMetre));
    Put32(out, static_cast<uint32_t>(dotsPerMetre));
    Put32(out, paletteBytes / 4);
    Put32(out, 0);
}

// A 24-bit, bottom-up, uncompressed bitmap file of the picture that `colour(x, y)` gives, y
// counted from the top.
template <typename Colour>
bool WriteBitmap24(const std::string& path, int width, int height, int dotsPerMetre,
                   Colour colour) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) / 4 * 4;
    const uint32_t pixels = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> out;
    PutBitmapHeader(out, width, height, 24, 0, pixels, dotsPerMetre);
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

// The rows of an 8-bit picture (`width` indices each, bottom-up, no padding) run-length encoded
// (BI_RLE8): runs of up to 255 equal indices, an end of line after each row, an end of bitmap.
inline std::vector<uint8_t> EncodeRle8(const std::vector<uint8_t>& indices, int width) {
    std::vector<uint8_t> out;
    const size_t rowLength = static_cast<size_t>(width);
    for (size_t row = 0; row < indices.size(); row += rowLength) {
        for (size_t x = 0; x < rowLength;) {
            size_t run = 1;
            while (x + run < rowLength && run < 255 && indices[row + x + run] == indices[row + x]) {
                ++run;
            }
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(indices[row + x]);
            x += run;
        }
        out.push_back(0);
        out.push_back(0);
    }
    out.back() = 1;  // the last end of line becomes the end of the bitmap
    return out;
}

// An 8-bit, bottom-up bitmap file with a palette of the picture's own colours, the same pixels
// as the 24-bit one in a third of the room, or far less run-length encoded (`rle`: pictures of
// flat areas). False (with the reason on stderr) if the picture has more than 256 colours.
template <typename Colour>
bool WriteBitmap8(const std::string& path, int width, int height, int dotsPerMetre, Colour colour,
                  bool rle = false) {
    std::map<uint32_t, uint8_t> palette;
    std::vector<uint8_t> indices;
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            const uint32_t key = static_cast<uint32_t>(c.r << 16 | c.g << 8 | c.b);
            auto found = palette.find(key);
            if (found == palette.end()) {
                if (palette.size() == 256) {
                    std::fprintf(stderr, "%s: more than 256 colours\n", path.c_str());
                    return false;
                }
                found = palette.emplace(key, static_cast<uint8_t>(palette.size())).first;
            }
            indices.push_back(found->second);
        }
        for (int pad = width; !rle && pad % 4 != 0; ++pad) {
            indices.push_back(0);
        }
    }
    if (rle) {
        indices = EncodeRle8(indices, width);
    }
    std::vector<uint32_t> entries(palette.size());
    for (const auto& [key, index] : palette) {
        entries[index] = key;
    }
    std::vector<uint8_t> out;
    PutBitmapHeader(out, width, height, 8, static_cast<uint32_t>(entries.size() * 4),
                    static_cast<uint32_t>(indices.size()), dotsPerMetre, rle ? 1 : 0);
    for (uint32_t entry : entries) {
        Put32(out, entry);  // RGBQUAD: blue, green, red, 0
    }
    out.insert(out.end(), indices.begin(), indices.end());
    return WriteFile(path, out);
}

}  // namespace host
