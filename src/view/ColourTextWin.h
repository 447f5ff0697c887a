#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

namespace snipora {

// Draws a line of text with DirectWrite, whose font fallback reaches the colour fonts and whose
// glyph runs split into one-colour layers (Windows 8.1 and later): an emoji in its own colours,
// which GDI draws in one. DirectWrite draws onto a bitmap of its own: the clip rectangle's area
// is copied into it, the glyphs drawn over that, and the area copied back. The factory, the
// text format and that bitmap are made once, for the font that was selected at creation; the
// bitmap only grows.
class ColourText {
public:
    enum class Outcome {
        Drawn,     // the line is on the device context
        NoColour,  // no glyph of the line is from a colour font; the context is as it was
        Failed,    // DirectWrite refused; the device context is as it was
    };

    // For the font selected into `dc`. Null where DirectWrite cannot draw colour glyphs (no
    // dwrite.dll, or one without IDWriteFactory2: before Windows 8.1) or knows no family for
    // the font. Says why in the log, once in the process's life.
    static std::unique_ptr<ColourText> Create(HDC dc);
    ColourText(const ColourText&) = delete;
    ColourText& operator=(const ColourText&) = delete;
    ~ColourText();

    // One line with its top left at (x, y) and its baseline where GDI puts the font's, clipped to
    // `clip`; glyphs without colour layers in the context's text colour. A line with no glyph
    // from a colour font is left to the caller (NoColour), found out before anything is drawn,
    // unless `monochromeToo`. A failure is logged once in the process's life.
    Outcome Draw(HDC dc, int x, int y, const RECT& clip, std::u16string_view line,
                 bool monochromeToo = false);

private:
    struct Parts;
    explicit ColourText(std::unique_ptr<Parts> parts);
    bool EnsureTarget(int width, int height);

    std::unique_ptr<Parts> parts_;
};

}  // namespace snipora
