#pragma once

#include <windows.h>

#include "view/Palette.h"
#include "view/ProgramImagesWin.h"
#include "win/Dpi.h"
#include "win/UniqueGdiObject.h"

namespace snipora {

// The bar along the window's top: the label with the last text copied (the search field takes
// its place while a search is typed), the button that opens the popup with its tool tip, and the
// frame drawn around the whole window in the bar's colours. The controls are children of the
// window and go with it.
class Bar {
public:
    // The window's design size at 96 dots per inch; the bar's places are laid out in it.
    static constexpr int kDesignWidth = 220;
    static constexpr int kDesignHeight = 351;

    Bar(HWND window, int labelId, int buttonId, win::Dpi dpi);
    Bar(const Bar&) = delete;
    Bar& operator=(const Bar&) = delete;

    // The font of the bar's texts, which the search field shares.
    HFONT Font() const { return font_.Get(); }
    // The new font and glyph for the controls; returns the old font, to be dropped once every
    // control that shares it has the new one.
    [[nodiscard]] win::UniqueFont SetDpi(win::Dpi dpi);
    void SetPalette(const Palette& palette);

    // Places the label and the button for the window's width; returns the label's place.
    RECT Layout(int width);
    // The window's height with the popup closed: the label, then the frame's bottom line.
    int CollapsedHeight() const;
    // The strip over the label drags the window; a point on the screen.
    LRESULT HitTest(POINT at) const;
    RECT ButtonOnScreen() const;

    // WM_PAINT of the window, and the label's WM_CTLCOLORSTATIC.
    void Paint();
    LRESULT LabelColours(HDC dc) const;

    void SetText(const wchar_t* text);
    // While the label shows a text that a click acts on (the queue's), it is no drag strip.
    void SetLabelClickable(bool clickable) { labelClickable_ = clickable; }
    // The point on the screen lies on the label.
    bool OnLabel(POINT at) const;
    void ShowLabel(bool show);
    // The button is down while the popup is open; its tip would then cover the popup's header.
    void SetButtonDown(bool down);
    bool ButtonDown() const;

private:
    void ShowGlyph();

    HWND window_;
    HWND label_ = nullptr;
    HWND button_ = nullptr;
    HWND hint_ = nullptr;  // the button's tool tip, owned by the window
    bool labelClickable_ = false;
    win::Dpi dpi_;
    win::UniqueFont font_;
    UniqueIcon glyph_;
    UniqueIcon silhouette_;  // the glyph shown in high contrast
    Palette palette_ = Palette::Light();
    win::UniquePen framePen_;
    win::UniqueBrush barBrush_;
};

}  // namespace snipora
