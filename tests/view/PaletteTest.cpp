#include "view/Palette.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace snipora {
namespace {

// Every text the drawing writes, with the background it is written on.
std::vector<std::pair<Colour, Colour>> TextOnBackground(const Palette& p) {
    return {{p.barText, p.barBackground},
            {p.filterText, p.filterBackground},
            {p.headerText, p.headerBackground},
            {p.rowText, p.rowBackground},
            {p.rowText, p.rowAlternate},
            {p.detailText, p.rowBackground},
            {p.detailText, p.rowAlternate},
            {p.selectedText, p.selectedBackground},
            {p.selectedDetail, p.selectedBackground},
            {p.markText, p.mark}};
}

TEST(Palette, ContrastRatioFollowsRelativeLuminance) {
    EXPECT_DOUBLE_EQ(ContrastRatio({0, 0, 0}, {0xFF, 0xFF, 0xFF}), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio({0xFF, 0xFF, 0xFF}, {0, 0, 0}), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio({0x12, 0x34, 0x56}, {0x12, 0x34, 0x56}), 1.0);
    // Pure green is far brighter than pure blue; #777777 on white is just under 4.5.
    EXPECT_NEAR(ContrastRatio({0, 0xFF, 0}, {0, 0, 0}), 15.3, 0.05);
    EXPECT_NEAR(ContrastRatio({0, 0, 0xFF}, {0, 0, 0}), 2.44, 0.01);
    EXPECT_LT(ContrastRatio({0x77, 0x77, 0x77}, {0xFF, 0xFF, 0xFF}), 4.5);
    EXPECT_GT(ContrastRatio({0x76, 0x76, 0x76}, {0xFF, 0xFF, 0xFF}), 4.5);
}

TEST(Palette, EveryTextReadsAtLeastFourAndAHalfToOne) {
    for (const Palette& palette : {Palette::Light(), Palette::Dark()}) {
        for (const auto& [text, background] : TextOnBackground(palette)) {
            EXPECT_GE(ContrastRatio(text, background), 4.5)
                << static_cast<int>(palette.scheme) << ": #" << std::hex << int{text.r}
                << int{text.g} << int{text.b} << " on #" << int{background.r} << int{background.g}
                << int{background.b};
        }
    }
    // The dark palette is dark: its backgrounds darker than its texts.
    const Palette dark = Palette::Dark();
    for (const auto& [text, background] : TextOnBackground(dark)) {
        if (!(background == dark.mark) && !(background == dark.selectedBackground)) {
            EXPECT_LT(background.r + background.g + background.b, text.r + text.g + text.b);
        }
    }
}

TEST(Palette, HighContrastUsesTheFourSystemColoursAndNoSkin) {
    const Colour window{1, 2, 3}, windowText{4, 5, 6}, highlight{7, 8, 9},
        highlightText{10, 11, 12};
    const Palette p = Palette::HighContrast({window, windowText, highlight, highlightText});
    for (const auto& [text, background] : TextOnBackground(p)) {
        EXPECT_TRUE((text == windowText && background == window) ||
                    (text == highlightText && background == highlight));
    }
    EXPECT_EQ(p.frame, windowText);
    EXPECT_EQ(p.separator, windowText);
    EXPECT_EQ(p.expander, windowText);
}

// Each scheme's palette, with its flags: the skin's headers in the light one only, the
// translucency in both of the program's own, the dark controls in the dark one only.
TEST(Palette, EachSchemeGivesItsOwnPaletteAndFlags) {
    const SystemColours system{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
    const struct {
        Scheme scheme;
        Colour rowBackground;
        bool skinHeaders, translucent, darkControls;
    } cases[] = {
        {Scheme::Light, {0xFF, 0xFF, 0xFF}, true, true, false},
        {Scheme::Dark, {0x20, 0x20, 0x20}, false, true, true},
        {Scheme::HighContrast, {1, 2, 3}, false, false, false},
    };
    for (const auto& c : cases) {
        const Palette p = Palette::For(c.scheme, system);
        SCOPED_TRACE(static_cast<int>(c.scheme));
        EXPECT_EQ(p.scheme, c.scheme);
        EXPECT_EQ(p.rowBackground, c.rowBackground);
        EXPECT_EQ(p.skinHeaders, c.skinHeaders);
        EXPECT_EQ(p.translucent, c.translucent);
        EXPECT_EQ(p.darkControls, c.darkControls);
    }
}

TEST(Palette, SchemeFollowsHighContrastThenTheChoiceThenTheAppMode) {
    using enum ThemeChoice;
    EXPECT_EQ(ChooseScheme(System, true, false), Scheme::Light);
    EXPECT_EQ(ChooseScheme(System, false, false), Scheme::Dark);
    EXPECT_EQ(ChooseScheme(Light, false, false), Scheme::Light);
    EXPECT_EQ(ChooseScheme(Dark, true, false), Scheme::Dark);
    for (ThemeChoice choice : {System, Light, Dark}) {
        for (bool light : {false, true}) {
            EXPECT_EQ(ChooseScheme(choice, light, true), Scheme::HighContrast);
        }
    }
}

// Drawn by code at other scales, a light header band keeps the skin's colours: at 40 rows the
// skin's own, row for row; at 60 rows (150 %) the same ends, with a line of two rows on top.
TEST(Palette, LightHeaderBandsMatchTheSkinAtEveryHeight) {
    EXPECT_EQ(LightHeaderRow(0, 0, 40, 1), (Colour{0xA8, 0x7C, 0x40}));
    EXPECT_EQ(LightHeaderRow(0, 1, 40, 1), (Colour{0xF3, 0xBD, 0x60}));
    EXPECT_EQ(LightHeaderRow(0, 20, 40, 1), (Colour{0xE0, 0x9D, 0x45}));  // halfway: 19 of 38
    EXPECT_EQ(LightHeaderRow(0, 39, 40, 1), (Colour{0xCC, 0x7D, 0x29}));
    EXPECT_EQ(LightHeaderRow(1, 0, 40, 1), (Colour{0xC0, 0xDE, 0xF7}));
    EXPECT_EQ(LightHeaderRow(1, 39, 40, 1), (Colour{0x7A, 0xB2, 0xEF}));
    EXPECT_EQ(LightHeaderRow(0, 1, 60, 2), (Colour{0xA8, 0x7C, 0x40}));
    EXPECT_EQ(LightHeaderRow(0, 2, 60, 2), (Colour{0xF3, 0xBD, 0x60}));
    EXPECT_EQ(LightHeaderRow(0, 59, 60, 2), (Colour{0xCC, 0x7D, 0x29}));
    EXPECT_EQ(LightHeaderRow(1, 59, 60, 2), (Colour{0x7A, 0xB2, 0xEF}));
}

// The layers of a colour glyph: the palette's colour rounded and held to 0 to 255; the text's
// where the layer has no palette entry, whatever the alpha the font gives it; none for a layer
// whose alpha rounds to 0.
TEST(Palette, AGlyphLayerTakesItsPaletteColourOrTheText) {
    const Colour text{0x12, 0x34, 0x56};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        GlyphLayer layer;
        std::optional<Colour> colour;
    } cases[] = {
        {{GlyphLayer::kTextColour, 1, 0, 0, 1}, text},
        {{GlyphLayer::kTextColour, 1, 1, 1, 0}, text},
        {{0, 1, 0.5f, 0, 1}, Colour{0xFF, 0x80, 0x00}},
        {{0xFFFE, 0.2f, 0.4f, 0.6f, 0.5f}, Colour{0x33, 0x66, 0x99}},
        {{3, 1.5f, -0.25f, nan, 1}, Colour{0xFF, 0x00, 0x00}},
        {{3, 0.0019f, 0.0021f, 0, 1}, Colour{0x00, 0x01, 0x00}},
        {{3, 1, 1, 1, 0.0019f}, std::nullopt},
        {{3, 1, 1, 1, 0.0021f}, Colour{0xFF, 0xFF, 0xFF}},
        {{3, 1, 1, 1, nan}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layer.paletteIndex);
        EXPECT_EQ(LayerColour(c.layer, text), c.colour);
    }
}

}  // namespace
}  // namespace snipora
