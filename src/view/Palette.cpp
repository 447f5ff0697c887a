#include "view/Palette.h"

#include <algorithm>
#include <cmath>

namespace snipora {
namespace {

double Linear(uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(Colour c) {
    return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b);
}

}  // namespace

Scheme ChooseScheme(ThemeChoice choice, bool appsUseLightTheme, bool highContrast) {
    if (highContrast) {
        return Scheme::HighContrast;
    }
    switch (choice) {
        case ThemeChoice::Light:
            return Scheme::Light;
        case ThemeChoice::Dark:
            return Scheme::Dark;
        case ThemeChoice::System:
            break;
    }
    return appsUseLightTheme ? Scheme::Light : Scheme::Dark;
}

double ContrastRatio(Colour a, Colour b) {
    const double la = Luminance(a), lb = Luminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

Palette Palette::Light() {
    Palette p;
    p.scheme = Scheme::Light;
    p.frame = {0xA8, 0x7C, 0x40};
    p.barBackground = {0xF0, 0xF0, 0xF0};
    p.barText = {0x00, 0x00, 0x00};
    p.filterBackground = {0xFF, 0xFF, 0xFF};
    p.filterText = {0x00, 0x00, 0x00};
    p.headerBackground = {0xFF, 0xFF, 0xFF};
    p.headerText = {0x00, 0x00, 0x00};
    p.expander = {0x00, 0x00, 0x00};
    p.rowBackground = {0xFF, 0xFF, 0xFF};
    p.rowAlternate = {0xF0, 0xF0, 0xF0};
    p.rowText = {0x00, 0x00, 0x00};
    p.detailText = {0x66, 0x66, 0x66};
    p.selectedBackground = {0x00, 0x67, 0xC0};
    p.selectedText = {0xFF, 0xFF, 0xFF};
    p.selectedDetail = {0xEB, 0xEB, 0xEB};
    p.separator = {0xC0, 0xC0, 0xC0};
    p.mark = {0xFF, 0xE0, 0x70};
    p.markText = {0x00, 0x00, 0x00};
    p.skinHeaders = true;
    p.translucent = true;
    return p;
}

Palette Palette::Dark() {
    Palette p;
    p.scheme = Scheme::Dark;
    p.frame = {0x7A, 0x5A, 0x2E};
    p.barBackground = {0x2B, 0x2B, 0x2B};
    p.barText = {0xF0, 0xF0, 0xF0};
    p.filterBackground = {0x1E, 0x1E, 0x1E};
    p.filterText = {0xF0, 0xF0, 0xF0};
    p.headerBackground = {0x33, 0x3A, 0x44};
    p.headerText = {0xFF, 0xFF, 0xFF};
    p.expander = {0xF0, 0xF0, 0xF0};
    p.rowBackground = {0x20, 0x20, 0x20};
    p.rowAlternate = {0x2B, 0x2B, 0x2B};
    p.rowText = {0xF0, 0xF0, 0xF0};
    p.detailText = {0xA8, 0xA8, 0xA8};
    p.selectedBackground = {0x00, 0x67, 0xC0};
    p.selectedText = {0xFF, 0xFF, 0xFF};
    p.selectedDetail = {0xEB, 0xEB, 0xEB};
    p.separator = {0x45, 0x45, 0x45};
    p.mark = {0xFF, 0xE0, 0x70};
    p.markText = {0x00, 0x00, 0x00};
    p.translucent = true;
    p.darkControls = true;
    return p;
}

// The user's four colours and nothing else: text on the window colour, and the highlight pair
// for the selection and the search's mark.
Palette Palette::HighContrast(const SystemColours& system) {
    Palette p;
    p.scheme = Scheme::HighContrast;
    p.frame = p.barText = p.filterText = p.headerText = p.expander = p.rowText = p.detailText =
        p.separator = system.windowText;
    p.barBackground = p.filterBackground = p.headerBackground = p.rowBackground = p.rowAlternate =
        system.window;
    p.selectedBackground = p.mark = system.highlight;
    p.selectedText = p.selectedDetail = p.markText = system.highlightText;
    return p;
}

Palette Palette::For(Scheme scheme, const SystemColours& system) {
    switch (scheme) {
        case Scheme::Dark:
            return Dark();
        case Scheme::HighContrast:
            return HighContrast(system);
        case Scheme::Light:
            break;
    }
    return Light();
}

Colour LightHeaderRow(int band, int row, int rows, int lineRows) {
    const auto mix = [](Colour from, Colour to, double t) {
        const auto channel = [t](uint8_t a, uint8_t b) {
            return static_cast<uint8_t>(std::lround(a + (b - a) * t));
        };
        return Colour{channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b)};
    };
    if (band == 0) {
        if (row < lineRows) {
            return {0xA8, 0x7C, 0x40};
        }
        const int run = rows - lineRows - 1;
        return mix({0xF3, 0xBD, 0x60}, {0xCC, 0x7D, 0x29},
                   run > 0 ? static_cast<double>(row - lineRows) / run : 0.0);
    }
    return mix({0xC0, 0xDE, 0xF7}, {0x7A, 0xB2, 0xEF},
               rows > 1 ? static_cast<double>(row) / (rows - 1) : 0.0);
}

std::optional<Colour> LayerColour(const GlyphLayer& layer, Colour text) {
    const auto part = [](float unit) {
        return static_cast<uint8_t>(unit > 0 ? std::lround(std::min(unit, 1.0f) * 255) : 0);
    };
    if (layer.paletteIndex == GlyphLayer::kTextColour) {
        return text;
    }
    if (part(layer.a) == 0) {
        return std::nullopt;
    }
    return Colour{part(layer.r), part(layer.g), part(layer.b)};
}

}  // namespace snipora
