// Draws the program's icons and writes them as .ico files with 32-bit alpha (and a matching
// AND mask), each holding its design size at 100, 125, 150 and 200 %, so that no scale needs a
// smaller image stretched.
//
//   snipora.ico         the program and the tray icon: a clipboard (16 to 64)
//   open-clipboard.ico  the bar button's glyph: a clipboard over a down arrow (16, 20, 24, 32)
//   small-clipboard.ico a clipboard (16, 20, 24, 32)                   } SmallIcons, in this
//   small-page.ico      a page with lines (16, 20, 24, 32)              } order
//   small-clock.ico     a clock face in the top-left corner (16 to 32)  }
//   category-history.ico a clipboard before a stack of pages (32, 40, 48, 64) } CategoriesIcons
//   category-notes.ico   a blank sheet with a folded corner (32, 40, 48, 64)  }
//
// Shapes are described on a design grid (16 or 32 units) and drawn at each size with 4 x 4
// samples per pixel; edges of straight shapes are put on whole pixels so that the small sizes
// stay sharp.
// Usage: make_icons OUTPUT_FOLDER
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "HostBitmap.h"

namespace {

struct Colour {
    double r, g, b, a;
};

constexpr Colour Rgb(int rgb, double alpha = 1.0) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

using Inside = std::function<bool(double x, double y)>;

// A square picture with straight (not premultiplied) alpha, drawn shape over shape.
class Canvas {
public:
    Canvas(int size, int grid) : size_(size), scale_(static_cast<double>(size) / grid) {
        pixels_.assign(static_cast<size_t>(size) * size, Colour{0, 0, 0, 0});
    }

    int Size() const { return size_; }
    const Colour& At(int x, int y) const { return pixels_[static_cast<size_t>(y) * size_ + x]; }

    // A design coordinate on the pixel grid: whole pixels, so straight edges stay sharp.
    double Snap(double v) const { return std::round(v * scale_); }
    // A design length in pixels, at least one.
    double Width(double v) const { return std::max(1.0, std::round(v * scale_)); }
    double Scale(double v) const { return v * scale_; }
    double Centre(double v) const { return std::floor(v * scale_) + 0.5; }

    // Paints `colour` over every pixel part that `inside` covers (pixel coordinates).
    void Fill(Colour colour, const Inside& inside) {
        constexpr int kSamples = 4;
        for (int y = 0; y < size_; ++y) {
            for (int x = 0; x < size_; ++x) {
                int hits = 0;
                for (int sy = 0; sy < kSamples; ++sy) {
                    for (int sx = 0; sx < kSamples; ++sx) {
                        hits += inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
                    }
                }
                if (hits > 0) {
                    Over(pixels_[static_cast<size_t>(y) * size_ + x], colour,
                         static_cast<double>(hits) / (kSamples * kSamples));
                }
            }
        }
    }

    // Shapes in design units.
    void Rect(Colour colour, double x0, double y0, double x1, double y1) {
        const double l = Snap(x0), t = Snap(y0), r = Snap(x1), b = Snap(y1);
        Fill(colour, [=](double x, double y) { return x >= l && x < r && y >= t && y < b; });
    }
    void RoundRect(Colour colour, double x0, double y0, double x1, double y1, double radius) {
        const double l = Snap(x0), t = Snap(y0), r = Snap(x1), b = Snap(y1);
        const double rad = std::min(Scale(radius), std::min(r - l, b - t) / 2);
        Fill(colour, [=](double x, double y) {
            if (x < l || x >= r || y < t || y >= b) {
                return false;
            }
            const double cx = std::clamp(x, l + rad, r - rad);
            const double cy = std::clamp(y, t + rad, b - rad);
            return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= rad * rad;
        });
    }
    // A rounded frame of `border` design units around a fill.
    void Framed(Colour edge, Colour fill, double x0, double y0, double x1, double y1, double radius,
                double border = 1) {
        RoundRect(edge, x0, y0, x1, y1, radius);
        const double inset = Width(border) / scale_;
        RoundRect(fill, x0 + inset, y0 + inset, x1 - inset, y1 - inset,
                  std::max(0.0, radius - inset));
    }
    // Centred on the middle of a pixel, so that one-pixel strokes through it stay sharp.
    void Circle(Colour colour, double cx, double cy, double radius) {
        const double x0 = Centre(cx), y0 = Centre(cy), rad = Scale(radius);
        Fill(colour, [=](double x, double y) {
            return (x - x0) * (x - x0) + (y - y0) * (y - y0) <= rad * rad;
        });
    }
    // A straight stroke with square ends, `width` in design units (at least one pixel), its
    // ends on pixel middles.
    void Line(Colour colour, double ax, double ay, double bx, double by, double width) {
        const double x0 = Centre(ax), y0 = Centre(ay), x1 = Centre(bx), y1 = Centre(by);
        const double half = Width(width) / 2;
        Fill(colour, [=](double x, double y) {
            const double dx = x1 - x0, dy = y1 - y0;
            const double len2 = dx * dx + dy * dy;
            const double t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
            const double along = len2 > 0 ? std::sqrt(len2) : 1;
            if (t * along < -half || t * along > along + half) {
                return false;
            }
            const double across = std::abs((x - x0) * dy - (y - y0) * dx) / along;
            return len2 > 0 ? across <= half : std::abs(x - x0) <= half && std::abs(y - y0) <= half;
        });
    }
    // A closed polygon of design points, corners snapped to whole pixels.
    void Polygon(Colour colour, std::vector<std::pair<double, double>> points) {
        for (auto& p : points) {
            p = {Snap(p.first), Snap(p.second)};
        }
        Fill(colour, [points](double x, double y) {
            bool in = false;
            for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
                const auto [xi, yi] = points[i];
                const auto [xj, yj] = points[j];
                if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
                    in = !in;
                }
            }
            return in;
        });
    }

private:
    static void Over(Colour& dst, const Colour& src, double coverage) {
        const double a = src.a * coverage;
        const double out = a + dst.a * (1 - a);
        if (out <= 0) {
            dst = {0, 0, 0, 0};
            return;
        }
        dst.r = (src.r * a + dst.r * dst.a * (1 - a)) / out;
        dst.g = (src.g * a + dst.g * dst.a * (1 - a)) / out;
        dst.b = (src.b * a + dst.b * dst.a * (1 - a)) / out;
        dst.a = out;
    }

    int size_;
    double scale_;
    std::vector<Colour> pixels_;
};

// Colours shared by the pictures.
constexpr Colour kBoardEdge = Rgb(0x5C3A1A);
constexpr Colour kBoard = Rgb(0xA0672E);
constexpr Colour kPaperEdge = Rgb(0x8A8A8A);
constexpr Colour kPaper = Rgb(0xFFFFFF);
constexpr Colour kClipEdge = Rgb(0x4E5560);
constexpr Colour kClip = Rgb(0xC3CAD3);
constexpr Colour kInk = Rgb(0x5B7FB5);

// A clipboard filling the 16-unit grid.
void DrawClipboard(Canvas& c) {
    c.Framed(kBoardEdge, kBoard, 2, 1.5, 14, 16, 1.5);
    c.Framed(kPaperEdge, kPaper, 4, 4, 12, 14.5, 0);
    for (double y : {7.0, 9.0, 11.0}) {
        c.Rect(kInk, 5.5, y, 10.5, y + 1);
    }
    c.Framed(kClipEdge, kClip, 5, 0, 11, 4, 1);
}

// A page with lines, 16-unit grid.
void DrawPage(Canvas& c) {
    c.Polygon(Rgb(0x6D6D6D), {{3, 0.5}, {10, 0.5}, {13.5, 4}, {13.5, 15.5}, {3, 15.5}});
    c.Polygon(kPaper, {{4, 1.5}, {9.5, 1.5}, {12.5, 4.5}, {12.5, 14.5}, {4, 14.5}});
    c.Polygon(Rgb(0xB0B0B0), {{9.5, 1.5}, {12.5, 4.5}, {9.5, 4.5}});
    for (double y : {6.0, 8.0, 10.0, 12.0}) {
        c.Rect(kInk, 5.5, y, y == 12.0 ? 9 : 11, y + 1);
    }
}

// A clock face of ten units in the top-left corner of the 16-unit grid, so that the text that
// follows it on a row can start at unit 11.
void DrawClock(Canvas& c) {
    c.Circle(Rgb(0x3E6AA8), 5, 5, 5);
    c.Circle(kPaper, 5, 5, 4);
    c.Line(Rgb(0x303030), 5, 5, 5, 2, 1);
    c.Line(Rgb(0x303030), 5, 5, 7.5, 5, 1);
    c.Circle(Rgb(0xC03030), 5, 5, 0.75);
}

// The bar button's glyph: a small clipboard over a down arrow, 16-unit grid.
void DrawGlyph(Canvas& c) {
    c.Framed(kBoardEdge, kBoard, 3, 1, 13, 11, 1);
    c.Rect(kPaper, 5, 3.5, 11, 10);
    c.Rect(kInk, 6, 5.5, 10, 6.5);
    c.Rect(kInk, 6, 7.5, 10, 8.5);
    c.Framed(kClipEdge, kClip, 6, 0, 10, 3, 0.5);
    c.Polygon(Rgb(0x303030), {{4.5, 12}, {11.5, 12}, {8, 15.5}});
}

// "Clipboard history": a clipboard before a stack of pages, 32-unit grid.
void DrawHistory(Canvas& c) {
    c.Framed(kPaperEdge, Rgb(0xF2F2F2), 13, 2, 30, 24, 0);
    c.Framed(kPaperEdge, kPaper, 10, 5, 27, 27, 0);
    for (double y : {9.0, 12.0, 15.0}) {
        c.Rect(Rgb(0xB8C6DA), 22, y, 25, y + 1);
    }
    c.Framed(kBoardEdge, kBoard, 2, 6, 22, 31, 2, 1);
    c.Framed(kPaperEdge, kPaper, 5, 10, 19, 28.5, 0);
    for (double y : {14.0, 17.0, 20.0, 23.0}) {
        c.Rect(kInk, 7, y, y == 23.0 ? 13 : 17, y + 1.5);
    }
    c.Framed(kClipEdge, kClip, 7, 3, 17, 10, 1.5);
    c.Circle(kClipEdge, 12, 5.5, 1.25);
}

// "Quick notes": a blank sheet with a folded corner, 32-unit grid.
void DrawNotes(Canvas& c) {
    c.Polygon(Rgb(0x4A5E7C), {{5, 1}, {20, 1}, {28, 9}, {28, 31}, {5, 31}});
    c.Polygon(kPaper, {{6, 2}, {19.5, 2}, {27, 9.5}, {27, 30}, {6, 30}});
    c.Polygon(Rgb(0x4A5E7C), {{19, 1.5}, {28, 10.5}, {19, 10.5}});
    c.Polygon(Rgb(0xD6DEE8), {{20, 3.5}, {25.5, 9.5}, {20, 9.5}});
}

using host::Put16;
using host::Put32;

uint8_t Byte(double v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
}

// One image of an .ico file: a BITMAPINFOHEADER with the doubled height, bottom-up BGRA rows
// (straight alpha), then the 1-bit AND mask, set where the picture is fully transparent.
std::vector<uint8_t> IconImage(const Canvas& c) {
    const int n = c.Size();
    std::vector<uint8_t> out;
    Put32(out, 40);
    Put32(out, n);
    Put32(out, 2 * n);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, 0);
    const uint32_t maskStride = (n + 31) / 32 * 4;
    Put32(out, n * n * 4 + maskStride * n);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < n; ++x) {
            const Colour& p = c.At(x, y);
            const uint8_t a = Byte(p.a);
            out.push_back(a == 0 ? 0 : Byte(p.b));
            out.push_back(a == 0 ? 0 : Byte(p.g));
            out.push_back(a == 0 ? 0 : Byte(p.r));
            out.push_back(a);
        }
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<uint8_t> row(maskStride, 0);
        for (int x = 0; x < n; ++x) {
            if (Byte(c.At(x, y).a) == 0) {
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

bool WriteIcon(const std::string& path, void (*draw)(Canvas&), int grid,
               const std::vector<int>& sizes) {
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) {
        Canvas canvas(size, grid);
        draw(canvas);
        images.push_back(IconImage(canvas));
    }
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // an icon
    Put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<uint8_t>(sizes[i] >= 256 ? 0 : sizes[i]));
        out.push_back(static_cast<uint8_t>(sizes[i] >= 256 ? 0 : sizes[i]));
        out.push_back(0);  // no palette
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) {
        out.insert(out.end(), image.begin(), image.end());
    }
    return host::WriteFile(path, out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icons OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    // The small size and the large one (a window's, a category's) at each scale.
    const std::vector<int> small{16, 20, 24, 32}, large{32, 40, 48, 64};
    const std::vector<int> program{16, 20, 24, 32, 40, 48, 64};
    const bool ok = WriteIcon(folder + "snipora.ico", DrawClipboard, 16, program) &&
                    WriteIcon(folder + "open-clipboard.ico", DrawGlyph, 16, small) &&
                    WriteIcon(folder + "small-clipboard.ico", DrawClipboard, 16, small) &&
                    WriteIcon(folder + "small-page.ico", DrawPage, 16, small) &&
                    WriteIcon(folder + "small-clock.ico", DrawClock, 16, small) &&
                    WriteIcon(folder + "category-history.ico", DrawHistory, 32, large) &&
                    WriteIcon(folder + "category-notes.ico", DrawNotes, 32, large);
    return ok ? 0 : 1;
}
