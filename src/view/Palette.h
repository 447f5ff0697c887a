#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "settings/DialogValues.h"

namespace snipora {

// A colour as red, green and blue, 0 to 255 each.
struct Colour {
    uint8_t r = 0, g = 0, b = 0;
    constexpr bool operator==(const Colour&) const = default;
};

using settings::ThemeChoice;

// The colours in use: the program's light or dark ones, or the user's high contrast colours.
enum class Scheme { Light, Dark, HighContrast };

// High contrast wins over every choice; "system" follows the app mode (light when Windows
// says nothing of it, as before Windows 10).
Scheme ChooseScheme(ThemeChoice choice, bool appsUseLightTheme, bool highContrast);

// The contrast ratio of two colours, 1 to 21, from their relative luminance in sRGB.
double ContrastRatio(Colour a, Colour b);

// The four system colours a high contrast theme sets.
struct SystemColours {
    Colour window, windowText, highlight, highlightText;
};

// Every colour that the bar, the popup and its rows are drawn with.
struct Palette {
    Scheme scheme = Scheme::Light;
    Colour frame;  // the line around the bar and the popup
    Colour barBackground, barText;
    Colour filterBackground, filterText;
    Colour headerBackground, headerText, expander;  // headers drawn by code
    Colour rowBackground, rowAlternate, rowText, detailText;
    Colour selectedBackground, selectedText, selectedDetail;
    Colour separator;
    Colour mark, markText;      // the part of a caption that matches the search
    bool skinHeaders = false;   // headers from the skin's light bitmap
    bool translucent = false;   // the popup may be see-through
    bool darkControls = false;  // scroll bars, title bars and menus in their dark look

    static Palette Light();
    static Palette Dark();
    static Palette HighContrast(const SystemColours& system);
    static Palette For(Scheme scheme, const SystemColours& system);
};

// A row of a light header band drawn at any height, as the skin draws it at 40 rows: the
// history's band (0) has a darker line of `lineRows` rows on top, then runs from light to dark
// orange; the notes' band (1) runs from light to darker blue. At 40 rows and a line of one row
// it gives the skin's own colours.
Colour LightHeaderRow(int band, int row, int rows, int lineRows);

// One layer of a colour glyph (an emoji as a stack of one-colour glyphs) as the font gives it:
// the index of its colour in the font's palette, and that colour with each part from 0 to 1.
struct GlyphLayer {
    static constexpr uint16_t kTextColour = 0xFFFF;  // the index of a layer without a colour
    uint16_t paletteIndex = kTextColour;
    float r = 0, g = 0, b = 0, a = 1;
};

// The colour a layer is drawn in. A layer without a palette colour takes the text's; any other
// takes its palette colour, each part rounded to 0 to 255 (held to that range, and a part that is
// not a number taken as 0). A layer whose alpha rounds to 0 is not drawn (nothing is returned);
// any other is drawn opaque, as GDI draws glyphs without alpha.
std::optional<Colour> LayerColour(const GlyphLayer& layer, Colour text);

}  // namespace snipora
