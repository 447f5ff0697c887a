#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "view/ItemFormat.h"
#include "view/Palette.h"
#include "view/ProgramImagesWin.h"
#include "win/Dpi.h"
#include "win/UniqueGdiObject.h"

namespace snipora {

class CItemNode;
class ColourText;
class EntrySelection;
class TextFilter;

// Paints the popup tree's entries by hand: category headers (from the skin bitmap in the light
// palette, drawn by code in the others), history rows and notes, in the palette's colours. Owns the
// scratch bitmap that each entry is painted into before it goes to the screen in one copy, and
// every font, brush, pen and image list that a row needs, all made here once.
//
// Layout lengths are design pixels at 96 dots per inch, scaled to the screen's; the scratch
// bitmap is 39 x scale + 1 pixels high (40 at 96 dots per inch).
class ItemDrawing {
public:
    // `skin` stays owned by the settings storage and must outlive this; `dpi` is the screen's
    // horizontal dots per inch.
    ItemDrawing(HBITMAP skin, int dpi, const Palette& palette = Palette::Light());
    ItemDrawing(const ItemDrawing&) = delete;
    ItemDrawing& operator=(const ItemDrawing&) = delete;
    ~ItemDrawing();

    // The tree view's NM_CUSTOMDRAW notification; returns the answer for it. Asks for each
    // entry at the start of a paint, and paints every entry itself.
    LRESULT CustomDraw(NMTVCUSTOMDRAW& draw);

    // The search whose matches the captions mark; stays the caller's. Null marks nothing.
    void SetFilter(const TextFilter* filter) { filter_ = filter; }
    // The entries chosen together: drawn selected, each with its number in the order of
    // choosing. Stays the caller's; null or empty, the tree's selected row alone is drawn so.
    void SetSelection(const EntrySelection* selection) { selection_ = selection; }

    // Makes the brushes and pens of another palette; the next paint uses them.
    void SetPalette(const Palette& palette);
    const Palette& Colours() const { return palette_; }

    // The height of one painted entry before it is fitted to the tree's row height.
    int Height() const { return height_; }
    // A header's title as a row `width` pixels wide shows it (see FitHeaderTitle).
    HeaderLines HeaderText(const CItemNode& node, int width);
    HIMAGELIST SmallIcons() const { return smallIcons_.Get(); }
    HIMAGELIST CategoriesIcons() const { return categoriesIcons_.Get(); }

    // The time and size texts of a history row, in the user's formats as read at the start of
    // the last paint (or at construction).
    std::wstring TimeText(double time) const;
    std::wstring SizeText(uint32_t size) const;

private:
    // Up to 80 units of a time or size text.
    struct LineText {
        wchar_t units[80];
        int length = 0;
    };

    void ReadUserFormats();
    void DrawEntry(const NMTVCUSTOMDRAW& draw, const CItemNode& node, const RECT& row);
    void DrawHeader(const NMTVCUSTOMDRAW& draw, const CItemNode& node, int width);
    void DrawRow(const NMTVCUSTOMDRAW& draw, const CItemNode& node, int width);
    void DrawCaption(const CItemNode& node, RECT rect);
    void DrawNumber(size_t number, int width);
    // Laid out line by line; `match` is where the search's match starts, or npos for none.
    void DrawMarkedCaption(std::u16string_view caption, size_t match, RECT rect);
    // One line's text at (x, y), clipped to `clip`: with the system's script layout and font
    // fallback where the text needs it (colour glyphs in colour, but in high contrast), else
    // plainly.
    void DrawLine(int x, int y, const RECT& clip, std::u16string_view line);
    bool EnsureWidth(int width);
    void FormatTime(double time, LineText& text) const;
    void FormatSize(uint32_t size, LineText& text) const;

    HBITMAP skin_;
    win::Dpi dpi_;
    int height_;
    int skinBands_;

    UniqueImageList smallIcons_;
    UniqueImageList categoriesIcons_;
    // In high contrast, the images inked in the header's, a row's and the selected row's text
    // colour; empty otherwise.
    UniqueImageList inkedCategories_;
    UniqueImageList inkedSmall_;
    UniqueImageList inkedSelectedSmall_;
    win::UniqueFont titleFont_;   // 10 points, bold
    win::UniqueFont textFont_;    // 8 points
    win::UniqueFont detailFont_;  // 7 points
    // Draws captions in textFont_ with colour glyphs; null where Windows cannot.
    std::unique_ptr<ColourText> colourText_;
    Palette palette_;
    win::UniqueBrush rowBrush_;
    win::UniqueBrush alternateBrush_;
    win::UniqueBrush selectedBrush_;
    win::UniqueBrush headerBrush_;
    win::UniqueBrush markBrush_;
    win::UniqueBrush expanderBrush_;
    win::UniquePen separatorPen_;
    win::UniquePen expanderPen_;
    win::UniqueBitmap workBitmap_;
    int workCapacity_ = 0;  // the width of workBitmap_
    // Declared after every object they may hold selected, so that they are deleted first.
    win::UniqueMemoryDc skinDc_;
    win::UniqueMemoryDc workDc_;

    const TextFilter* filter_ = nullptr;
    const EntrySelection* selection_ = nullptr;
    int rowHeight_ = 0;  // the tree's, read at the start of a paint
    double today_ = 0.0;
    wchar_t separator_[5] = {};
    wchar_t grouping_[10] = {};
};

}  // namespace snipora
