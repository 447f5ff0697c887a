#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "common/DpiScale.h"
#include "common/OleDate.h"
#include "support/HistoryLists.h"
#include "support/PixelsWin.h"
#include "support/TreeHostWin.h"
#include "view/ClipboardHandler.h"
#include "view/ImageIds.h"
#include "view/ItemDrawingWin.h"
#include "view/Palette.h"
#include "view/TextFilter.h"
#include "view/TreeViewWin.h"
#include "win/Dpi.h"
#include "win/Gdi.h"
#include "win/UniqueGdiObject.h"
#include "win/UniqueHandle.h"

namespace snipora {
namespace {

constexpr int kWidth = 218;

using test::FromColorRef;
using test::Rgb;

// A 24-bit bitmap in a memory DC, its pixels readable.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height) {
        const BITMAPINFO info = test::TopDownBitmapInfo(width, height, 24);
        void* bits = nullptr;
        bitmap_.Reset(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<BYTE*>(bits);
        ::SelectObject(dc_.Get(), bitmap_.Get());
    }
    HDC Dc() const { return dc_.Get(); }
    void Fill(COLORREF colour) {
        win::UniqueBrush brush(::CreateSolidBrush(colour));
        RECT all{0, 0, width_, height_};
        ::FillRect(dc_.Get(), &all, brush.Get());
    }
    Rgb At(int x, int y) const {
        ::GdiFlush();
        const BYTE* p = bits_ + static_cast<size_t>(y) * Stride() + x * 3;
        return {p[2], p[1], p[0]};
    }
    // Whether some pixel of the area has exactly this colour.
    bool Has(Rgb colour, int left, int top, int right, int bottom) const {
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                if (At(x, y) == colour) {
                    return true;
                }
            }
        }
        return false;
    }
    int Count(Rgb colour, int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                n += At(x, y) == colour;
            }
        }
        return n;
    }

private:
    int Stride() const { return (width_ * 3 + 3) / 4 * 4; }
    int width_, height_;
    win::UniqueMemoryDc dc_{::CreateCompatibleDC(nullptr)};
    win::UniqueBitmap bitmap_;
    BYTE* bits_ = nullptr;
};

win::UniqueBitmap LoadSkin() {
    return win::UniqueBitmap(static_cast<HBITMAP>(::LoadImageW(
        ::GetModuleHandleW(nullptr), L"MAIN_SKIN", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
}

// A popup-like window: a tree view without lines or buttons whose entries ItemDrawing paints,
// filled by the tree binding.
class DrawHost {
public:
    explicit DrawHost(ItemDrawing& drawing)
        : host_(WS_POPUP, TVS_NOTOOLTIPS | TVS_SHOWSELALWAYS, kWidth, 600) {
        ::SendMessageW(host_.Control(), TVM_SETINDENT, 42, 0);
        ::SendMessageW(host_.Control(), TVM_SETITEMHEIGHT, drawing.Height(), 0);
        host_.onNotify = [this, &drawing](NMHDR& header) -> std::optional<LRESULT> {
            if (header.code != NM_CUSTOMDRAW) {
                return std::nullopt;
            }
            ++notifications;
            return drawing.CustomDraw(*reinterpret_cast<NMTVCUSTOMDRAW*>(&header));
        };
    }

    HWND Tree() const { return host_.Control(); }
    Win32TreeView& View() { return host_.Tree(); }
    // The whole tree painted as the screen would show it.
    void Paint(Canvas& canvas) {
        canvas.Fill(RGB(0xFF, 0x00, 0xFF));
        ::SendMessageW(Tree(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()),
                       PRF_CLIENT | PRF_ERASEBKGND);
    }
    int notifications = 0;

private:
    test::TreeHost host_;
};

const Rgb kWhite{0xFF, 0xFF, 0xFF};
const Rgb kGrey{0xF0, 0xF0, 0xF0};
const Rgb kSeparator{0xC0, 0xC0, 0xC0};
const Rgb kDetail{0x66, 0x66, 0x66};
const Rgb kSelection{0x00, 0x67, 0xC0};

Rgb Of(Colour c) {
    return {c.r, c.g, c.b};
}

class ItemDrawingWinTest : public ::testing::Test {
protected:
    ItemDrawingWinTest()
        : skin(LoadSkin()),
          drawing(skin.Get(), 96),
          host(drawing),
          handler(lists.Show(&host.View())) {}
    void Copy(const std::u16string& text) { lists.Copy(text); }
    // The entries' tree items, top to bottom, with every category expanded.
    std::vector<HTREEITEM> Rows() {
        std::vector<HTREEITEM> rows;
        for (HTREEITEM item = TreeView_GetRoot(host.Tree()); item != nullptr;
             item = TreeView_GetNextSibling(host.Tree(), item)) {
            TreeView_Expand(host.Tree(), item, TVE_EXPAND);
            rows.push_back(item);
            for (HTREEITEM child = TreeView_GetChild(host.Tree(), item); child != nullptr;
                 child = TreeView_GetNextSibling(host.Tree(), child)) {
                rows.push_back(child);
            }
        }
        return rows;
    }
    // The background of row `row`, at its right edge, clear of every text.
    Rgb Background(const Canvas& canvas, int row) const {
        return canvas.At(kWidth - 1, row * 40 + 20);
    }

    win::UniqueBitmap skin;
    ItemDrawing drawing;
    DrawHost host;
    test::HistoryLists lists;
    CClipboardHandler* handler;
};

TEST_F(ItemDrawingWinTest, HeadersAreCutFromTheSkinWithIconAndTitle) {
    handler->RefreshTree();
    Rows();
    Canvas canvas(kWidth, 120);
    host.Paint(canvas);
    ASSERT_GT(host.notifications, 0);
    // History band: the darker line, then the orange run; the notes band: the blue run.
    EXPECT_EQ(canvas.At(kWidth - 1, 0), (Rgb{0xA8, 0x7C, 0x40}));
    EXPECT_EQ(canvas.At(kWidth - 1, 1), (Rgb{0xF3, 0xBD, 0x60}));
    EXPECT_EQ(canvas.At(kWidth - 1, 39), (Rgb{0xCC, 0x7D, 0x29}));
    EXPECT_EQ(canvas.At(0, 1), (Rgb{0xF3, 0xBD, 0x60}));
    EXPECT_EQ(canvas.At(kWidth - 1, 40), (Rgb{0xC0, 0xDE, 0xF7}));
    EXPECT_EQ(canvas.At(kWidth - 1, 79), (Rgb{0x7A, 0xB2, 0xEF}));
    // Below the last entry the tree's own background, not a row.
    EXPECT_EQ(canvas.At(kWidth - 1, 100), FromColorRef(::GetSysColor(COLOR_WINDOW)));

    // The icon covers part of its 32 x 32 cell at (2, 1), its transparent corner shows the band.
    const Rgb band1{0xF3, 0xBD, 0x60};
    EXPECT_EQ(canvas.At(2, 1), band1);
    EXPECT_TRUE(canvas.Has({0xA0, 0x67, 0x2E}, 2, 1, 34, 33)) << "no clipboard board";
    EXPECT_FALSE(canvas.Has({0, 0, 0}, 2, 1, 34, 33)) << "the icon's mask was lost";
    // The bold black title from (40, 4); no text to the right of the title.
    EXPECT_TRUE(canvas.Has({0, 0, 0}, 40, 4, 200, 20));
    EXPECT_FALSE(canvas.Has({0, 0, 0}, 0, 34, kWidth, 40));
}

// In a popup of the default width (200, its tree 198 wide, less a scroll bar) each header's
// caption is whole, with even the largest count below it rather than cutting the caption.
TEST_F(ItemDrawingWinTest, HeadersKeepTheirCaptionsWholeAtTheDefaultWidth) {
    const int width = 198 - ::GetSystemMetrics(SM_CXVSCROLL);
    CItemNode header;
    header.IsCategory = true;
    header.Children[1] = std::make_unique<CItemNode>();  // foldable: the expander takes room
    for (const auto& [caption, count] : {std::pair{u"Clipboard history", u"(2000)"},
                                         std::pair{u"Quick notes", u"(88888 of 99999)"}}) {
        header.Caption = caption;
        header.Size = header.Total = 2000;
        header.Filtered = std::u16string_view(count).find(u"of") != std::u16string_view::npos;
        if (header.Filtered) {
            header.Size = 88888;
            header.Total = 99999;
        }
        const HeaderLines lines = drawing.HeaderText(header, width);
        EXPECT_EQ(lines.first.substr(0, header.Caption.size()), header.Caption);
        EXPECT_EQ(lines.first + lines.second,
                  lines.second.empty() ? header.Caption + u" " + count : header.Caption + count);
    }
    header.Caption = u"Clipboard history";
    header.Size = header.Total = 14;
    header.Filtered = false;
    EXPECT_EQ(drawing.HeaderText(header, 400), (HeaderLines{u"Clipboard history (14)", u""}));
}

TEST_F(ItemDrawingWinTest, RowsAlternateByPositionAndCarryTheSeparator) {
    for (const char16_t* text : {u"first", u"second", u"third", u"fourth"}) {
        Copy(text);
    }
    handler->MoveToCategory(handler->Items().back()->Id, kNotesCategory);
    handler->RefreshTree();
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 6u);  // header, 3 history, header, 1 note
    Canvas canvas(kWidth, 240);
    host.Paint(canvas);

    EXPECT_EQ(Background(canvas, 1), kWhite);
    EXPECT_EQ(Background(canvas, 2), kGrey);
    EXPECT_EQ(Background(canvas, 3), kWhite);
    EXPECT_EQ(Background(canvas, 5), kWhite);  // the first note starts white again
    for (int row : {1, 2, 3, 5}) {
        for (int x : {0, kWidth / 2, kWidth - 1}) {
            EXPECT_EQ(canvas.At(x, row * 40 + 39), kSeparator) << row << " " << x;
        }
    }
    // Time and size in grey on a history row, the caption in black; a note has text alone.
    EXPECT_TRUE(canvas.Has(kDetail, 12, 41, kWidth, 52));
    EXPECT_TRUE(canvas.Has({0, 0, 0}, 2, 52, kWidth - 2, 79));
    EXPECT_FALSE(canvas.Has(kDetail, 0, 200, kWidth, 239));
    EXPECT_TRUE(canvas.Has({0, 0, 0}, 2, 200, 60, 215));
    // The clock at (1, 1) on a history row only.
    EXPECT_GT(40 * 10 - canvas.Count(kWhite, 1, 41, 11, 51), 20);

    // The colours follow the position, not the item: the grey row turns white when the row
    // above it goes.
    for (const auto& item : handler->Items()) {
        if (item->Category == kHistoryCategory) {
            handler->DeleteItem(item->Id);
            break;
        }
    }
    handler->RefreshTree();
    host.Paint(canvas);
    EXPECT_EQ(Background(canvas, 1), kWhite);
    EXPECT_EQ(Background(canvas, 2), kGrey);
    EXPECT_EQ(canvas.At(kWidth - 1, 3 * 40), FromColorRef(RGB(0xC0, 0xDE, 0xF7)));

    // While a search is typed, its match is marked in each caption: "third" and the note
    // "first" are left.
    const Rgb mark{0xFF, 0xE0, 0x70};
    EXPECT_FALSE(canvas.Has(mark, 0, 0, kWidth, 240));
    const TextFilter filter(u"IR", SystemCaseFolding());
    handler->SetFilter(&filter);
    drawing.SetFilter(&filter);
    handler->RefreshTree();
    ASSERT_EQ(Rows().size(), 4u);
    host.Paint(canvas);
    EXPECT_TRUE(canvas.Has(mark, 2, 52, kWidth - 2, 79));
    EXPECT_TRUE(canvas.Has({0, 0, 0}, 2, 52, kWidth - 2, 79));
    EXPECT_TRUE(canvas.Has(mark, 2, 120, kWidth - 2, 159));
    EXPECT_FALSE(canvas.Has(mark, 0, 0, kWidth, 40));
    EXPECT_EQ(Background(canvas, 1), kWhite);
    drawing.SetFilter(nullptr);

    // A "Show all" row: its text alone, in the row's colours, with no clock and no details.
    handler->SetFilter(nullptr);
    handler->SetListCap(1);
    handler->RefreshTree();
    ASSERT_EQ(Rows().size(), 5u);  // header, 1 history, "Show all", header, 1 note
    host.Paint(canvas);
    EXPECT_EQ(Background(canvas, 2), kGrey);
    EXPECT_EQ(canvas.At(kWidth / 2, 2 * 40 + 39), kSeparator);
    EXPECT_TRUE(canvas.Has({0, 0, 0}, 12, 81, kWidth - 2, 118));
    EXPECT_FALSE(canvas.Has(kDetail, 0, 80, kWidth, 119));
    EXPECT_EQ(canvas.Count(kGrey, 1, 81, 11, 91), 100);
}

// The rightmost column of the area with a pixel other than white, or -1.
int RightmostInk(const Canvas& canvas, int left, int top, int right, int bottom) {
    for (int x = right - 1; x >= left; --x) {
        if (canvas.Count(kWhite, x, top, x + 1, bottom) != bottom - top) {
            return x;
        }
    }
    return -1;
}

// An emoji is one character: drawn with the script layout, a surrogate pair is one glyph (from a
// fallback font where the row's font has none), not the two boxes of its two halves that a
// plain drawing of the units gives.
TEST_F(ItemDrawingWinTest, ASurrogatePairIsDrawnAsOneGlyph) {
    const std::u16string pair = u"\U0001F600";
    Copy(pair);
    handler->RefreshTree();
    ASSERT_EQ(Rows().size(), 3u);
    Canvas canvas(kWidth, 120);
    host.Paint(canvas);
    const int drawn = RightmostInk(canvas, 2, 52, kWidth - 2, 79);
    ASSERT_GT(drawn, 2);

    // The same units drawn plainly, in the row's font, at the caption's place.
    Canvas plain(kWidth, 40);
    plain.Fill(RGB(0xFF, 0xFF, 0xFF));
    const win::UniqueFont font = win::MakeFont(-win::Dpi(96).FromPoints(8));
    ::SelectObject(plain.Dc(), font.Get());
    ::SetBkMode(plain.Dc(), TRANSPARENT);
    ::TextOutW(plain.Dc(), 2, 0, reinterpret_cast<const wchar_t*>(pair.data()), 2);
    const int twoBoxes = RightmostInk(plain, 2, 0, kWidth - 2, 40);
    EXPECT_LT(drawn, twoBoxes);
}

TEST_F(ItemDrawingWinTest, TheSelectedRowIsHighlightedAndAHeaderIsNot) {
    Copy(u"one");
    Copy(u"two");
    handler->RefreshTree();
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 4u);
    Canvas before(kWidth, 160);
    host.Paint(before);

    TreeView_SelectItem(host.Tree(), rows[2]);
    Canvas selected(kWidth, 160);
    host.Paint(selected);
    EXPECT_EQ(Background(selected, 2), kSelection);
    EXPECT_EQ(Background(selected, 1), kWhite);
    EXPECT_EQ(selected.At(0, 2 * 40 + 39), kSeparator);
    EXPECT_TRUE(selected.Has({0xEB, 0xEB, 0xEB}, 12, 81, kWidth, 92));
    EXPECT_FALSE(selected.Has(kDetail, 0, 81, kWidth, 119));
    EXPECT_TRUE(selected.Has(kWhite, 2, 92, 60, 119));
    EXPECT_FALSE(selected.Has({0, 0, 0}, 0, 81, kWidth, 119));

    // A selected header looks exactly like an unselected one.
    TreeView_SelectItem(host.Tree(), rows[0]);
    Canvas header(kWidth, 160);
    host.Paint(header);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            ASSERT_EQ(header.At(x, y), before.At(x, y)) << x << "," << y;
        }
    }
}

NMTVCUSTOMDRAW ItemStage(HDC dc, RECT rect, const CItemNode* node) {
    NMTVCUSTOMDRAW draw{};
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.hdc = dc;
    draw.nmcd.rc = rect;
    draw.nmcd.lItemlParam = reinterpret_cast<LPARAM>(node);
    return draw;
}

// Another palette takes effect at the next paint: the headers drawn by code, never from the
// light skin, and every row, text and line in the palette's colours.
TEST_F(ItemDrawingWinTest, DarkAndHighContrastPalettesDrawWithoutTheSkin) {
    Copy(u"one");
    Copy(u"two");
    handler->RefreshTree();
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 4u);  // header, 2 history, notes header
    TreeView_SelectItem(host.Tree(), rows[2]);
    const Rgb skinOrange{0xF3, 0xBD, 0x60}, skinBlue{0xC0, 0xDE, 0xF7};

    const SystemColours system{
        {0x10, 0x20, 0x30}, {0xFF, 0xFF, 0x00}, {0x00, 0xFF, 0xFF}, {0x60, 0x00, 0x20}};
    for (const Palette& palette : {Palette::Dark(), Palette::HighContrast(system)}) {
        SCOPED_TRACE(static_cast<int>(palette.scheme));
        drawing.SetPalette(palette);
        Canvas canvas(kWidth, 160);
        host.Paint(canvas);
        EXPECT_FALSE(canvas.Has(skinOrange, 0, 0, kWidth, 40));
        EXPECT_FALSE(canvas.Has(skinBlue, 0, 120, kWidth, 160));
        EXPECT_EQ(canvas.At(kWidth - 1, 20), Of(palette.headerBackground));
        EXPECT_EQ(canvas.At(kWidth / 2, 39), Of(palette.separator));
        EXPECT_TRUE(canvas.Has(Of(palette.headerText), 40, 4, 200, 20));
        // The expander of the open history list.
        EXPECT_TRUE(canvas.Has(Of(palette.expander), kWidth - 20, 12, kWidth - 4, 28));
        EXPECT_EQ(Background(canvas, 1), Of(palette.rowBackground));
        EXPECT_EQ(Background(canvas, 2), Of(palette.selectedBackground));
        EXPECT_EQ(canvas.At(0, 1 * 40 + 39), Of(palette.separator));
        EXPECT_TRUE(canvas.Has(Of(palette.detailText), 12, 41, kWidth, 52));
        EXPECT_TRUE(canvas.Has(Of(palette.rowText), 2, 52, kWidth - 2, 79));
        EXPECT_TRUE(canvas.Has(Of(palette.selectedText), 2, 92, kWidth - 2, 119));
        EXPECT_FALSE(canvas.Has(kWhite, 40, 40, kWidth, 80)) << "a light row left";
    }
    // High contrast in the system's four colours alone: down the right edge, clear of the
    // expander and of every text, the headers and the rows are the window colour, the selected
    // row the highlight, each separator the window text; nothing of the skin between.
    drawing.SetPalette(Palette::HighContrast(system));
    Canvas contrast(kWidth, 160);
    host.Paint(contrast);
    const Rgb window = Of(system.window), windowText = Of(system.windowText);
    for (int y = 0; y < 160; ++y) {
        const int row = y / 40;
        const Rgb expected = y % 40 == 39 ? windowText : row == 2 ? Of(system.highlight) : window;
        ASSERT_EQ(contrast.At(kWidth - 1, y), expected) << y;
    }
    EXPECT_TRUE(contrast.Has(windowText, 40, 4, 200, 20)) << "the header's title";
    EXPECT_TRUE(contrast.Has(windowText, 12, 41, kWidth, 52)) << "the time";
    EXPECT_TRUE(contrast.Has(Of(system.highlightText), 2, 92, kWidth - 2, 119));
    // The pictures are silhouettes in the text's colour: the header's, and the clock of a row
    // and of the selected row, have no colour of their own.
    const auto onlySystemColours = [&](int left, int top, int right, int bottom, Rgb ink) {
        int inked = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                const Rgb pixel = contrast.At(x, y);
                EXPECT_TRUE(pixel == window || pixel == Of(system.highlight) || pixel == ink)
                    << x << ", " << y;
                inked += pixel == ink;
            }
        }
        EXPECT_GT(inked, 20) << "no silhouette at " << left << ", " << top;
    };
    onlySystemColours(0, 0, 38, 36, windowText);
    onlySystemColours(0, 40, 12, 52, windowText);
    onlySystemColours(0, 80, 12, 92, Of(system.highlightText));
    // And back: the light palette cuts its headers from the skin again.
    drawing.SetPalette(Palette::Light());
    Canvas light(kWidth, 160);
    host.Paint(light);
    EXPECT_EQ(light.At(kWidth - 1, 1), skinOrange);
    EXPECT_EQ(Background(light, 1), kWhite);
}

TEST(ItemDrawingWin, EntriesWithoutRecordOrWidthAreLeftBlank) {
    win::UniqueBitmap skin = LoadSkin();
    ItemDrawing drawing(skin.Get(), 96);
    CItemNode node;
    node.Caption = u"text";
    Canvas canvas(100, 40);
    canvas.Fill(RGB(0xFF, 0x00, 0xFF));
    NMTVCUSTOMDRAW prepaint{};
    prepaint.nmcd.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(drawing.CustomDraw(prepaint), CDRF_NOTIFYITEMDRAW);
    for (auto draw : {ItemStage(canvas.Dc(), {0, 0, 100, 40}, nullptr),
                      ItemStage(canvas.Dc(), {50, 0, 50, 40}, &node),
                      ItemStage(canvas.Dc(), {60, 0, 40, 40}, &node)}) {
        // The tree draws nothing in its place either.
        EXPECT_EQ(drawing.CustomDraw(draw), CDRF_SKIPDEFAULT);
    }
    EXPECT_EQ(canvas.Count({0xFF, 0x00, 0xFF}, 0, 0, 100, 40), 100 * 40);
}

TEST(ItemDrawingWin, HeightFollowsTheScreenAndHeadersStretchToTheRow) {
    win::UniqueBitmap skin = LoadSkin();
    EXPECT_EQ(ItemDrawing(skin.Get(), 96).Height(), 40);
    EXPECT_EQ(ItemDrawing(skin.Get(), 120).Height(), 49);
    EXPECT_EQ(ItemDrawing(skin.Get(), 144).Height(), 59);

    ItemDrawing drawing(skin.Get(), 120);
    CItemNode header;
    header.IsCategory = true;
    header.Caption = u"Clipboard history";
    Canvas canvas(300, 100);
    // Unstretched at the bitmap's own height, then squeezed into a 40-pixel row.
    auto draw = ItemStage(canvas.Dc(), {0, 0, 300, 49}, &header);
    drawing.CustomDraw(draw);
    EXPECT_EQ(canvas.At(299, 0), (Rgb{0xA8, 0x7C, 0x40}));
    EXPECT_EQ(canvas.At(299, 48), (Rgb{0xCC, 0x7D, 0x29}));
    draw = ItemStage(canvas.Dc(), {0, 50, 300, 90}, &header);
    drawing.CustomDraw(draw);
    EXPECT_EQ(canvas.At(299, 50), (Rgb{0xA8, 0x7C, 0x40}));
    EXPECT_EQ(canvas.At(299, 89), (Rgb{0xCC, 0x7D, 0x29}));
    // Nothing outside the row.
    EXPECT_NE(canvas.At(299, 49), (Rgb{0xA8, 0x7C, 0x40}));
}

// A history row's clock is drawn at the scale from the image of that size: the face, ten of its
// sixteen design pixels, spans 11, 13, 15 and 21 pixels at 100, 125, 150 and 200 %.
TEST(ItemDrawingWin, TheClockTakesTheSizeOfTheScale) {
    for (auto [dpi, face] :
         {std::pair{96, 11}, std::pair{120, 13}, std::pair{144, 15}, std::pair{192, 21}}) {
        SCOPED_TRACE(dpi);
        ItemDrawing drawing(nullptr, dpi);
        CItemNode row;
        row.Caption = u"text";
        Canvas canvas(300, drawing.Height());
        auto draw = ItemStage(canvas.Dc(), {0, 0, 300, drawing.Height()}, &row);
        drawing.CustomDraw(draw);
        // Left of the time and above the caption, both at 12 design pixels.
        const int room = ScaleDesign(12, dpi);
        int left = room, top = room, right = -1, bottom = -1;
        for (int y = 0; y < room; ++y) {
            for (int x = 0; x < room; ++x) {
                if (canvas.At(x, y) != kWhite) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        EXPECT_EQ(left, ScaleDesign(1, dpi));
        EXPECT_EQ(top, ScaleDesign(1, dpi));
        EXPECT_EQ(right - left + 1, face);
        EXPECT_EQ(bottom - top + 1, face);
    }
}

// The image that an icon resource keeps for `size`, as the system picks it: its width.
int KeptImageWidth(int id, int size) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC group = ::FindResourceW(module, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
    auto* directory = static_cast<BYTE*>(::LockResource(::LoadResource(module, group)));
    if (directory == nullptr) {
        return 0;
    }
    const int image = ::LookupIconIdFromDirectoryEx(directory, TRUE, size, size, 0);
    const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(image), RT_ICON);
    const auto* header =
        static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(module, found)));
    return header != nullptr ? header->biWidth : 0;
}

int IconWidth(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) {
        return 0;
    }
    win::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    ::GetObjectW(colour ? colour.Get() : mask.Get(), sizeof bitmap, &bitmap);
    return bitmap.bmWidth;
}

TEST(ItemDrawingWin, ImagesComeInEverySizeWithAlpha) {
    // 100, 125, 150 and 200 % are drawn at their size; 175 % has the 200 % images scaled down.
    for (auto [dpi, small, large] :
         {std::tuple{96, 16, 32}, std::tuple{120, 20, 40}, std::tuple{144, 24, 48},
          std::tuple{192, 32, 64}, std::tuple{168, 28, 56}}) {
        SCOPED_TRACE(dpi);
        EXPECT_EQ(SmallImageSize(dpi), small);
        EXPECT_EQ(CategoryImageSize(dpi), large);
        UniqueImageList smallIcons = LoadSmallIcons(dpi);
        UniqueImageList categories = LoadCategoriesIcons(dpi);
        ASSERT_TRUE(smallIcons);
        ASSERT_TRUE(categories);
        EXPECT_EQ(ImageList_GetImageCount(smallIcons.Get()), 3);
        EXPECT_EQ(ImageList_GetImageCount(categories.Get()), 2);
        int cx = 0, cy = 0;
        ImageList_GetIconSize(smallIcons.Get(), &cx, &cy);
        EXPECT_EQ(cx, small);
        EXPECT_EQ(cy, small);
        ImageList_GetIconSize(categories.Get(), &cx, &cy);
        EXPECT_EQ(cx, large);
        EXPECT_EQ(cy, large);
        EXPECT_EQ(IconWidth(LoadOpenClipboardGlyph(dpi).Get()), small);
    }
    // Every scale's size is kept as an image of its own, never made from a smaller one.
    for (int size : {16, 20, 24, 32}) {
        for (int id : {SNIPORA_ICON_OPEN_CLIPBOARD, SNIPORA_ICON_SMALL_CLIPBOARD,
                       SNIPORA_ICON_SMALL_PAGE, SNIPORA_ICON_SMALL_CLOCK}) {
            EXPECT_EQ(KeptImageWidth(id, size), size) << id;
        }
        for (int id : {SNIPORA_ICON_CATEGORY_HISTORY, SNIPORA_ICON_CATEGORY_NOTES}) {
            EXPECT_EQ(KeptImageWidth(id, 2 * size), 2 * size) << id;
        }
    }
    // The program icon at every size it is shown at, drawn at that size with soft edges.
    for (int size : {16, 20, 24, 32, 40, 48, 64}) {
        EXPECT_EQ(KeptImageWidth(SNIPORA_ICON_PROGRAM, size), size);
        UniqueIcon icon = LoadProgramIcon(size);
        ASSERT_TRUE(icon) << size;
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon.Get(), &info));
        win::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
        BITMAP bitmap{};
        ::GetObjectW(colour.Get(), sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        EXPECT_EQ(bitmap.bmBitsPixel, 32);
        const test::BitmapPixels pixels(colour.Get(), size, size);
        ASSERT_EQ(pixels.RowsRead(), size);
        int clear = 0, solid = 0, partial = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const BYTE alpha = pixels.Alpha(x, y);
                (alpha == 0 ? clear : alpha == 255 ? solid : partial) += 1;
            }
        }
        EXPECT_GT(clear, 0) << size;
        EXPECT_GT(solid, size * size / 2) << size;
        EXPECT_GT(partial, 0) << size;
    }
}

// High contrast shows the bar's glyph as its shape in one system colour: no pixel of its own
// colours, at two scales, over a white and over a black background.
TEST(ItemDrawingWin, TheGlyphsSilhouetteIsItsShapeInOneColour) {
    for (const int dpi : {96, 192}) {
        const int size = SmallImageSize(dpi);
        const UniqueIcon glyph = LoadOpenClipboardGlyph(dpi);
        const UniqueIcon silhouette = SilhouetteOf(glyph.Get(), size, RGB(0x12, 0x34, 0x56));
        ASSERT_TRUE(silhouette) << dpi;
        const Rgb ink{0x12, 0x34, 0x56};
        for (const COLORREF ground : {RGB(255, 255, 255), RGB(0, 0, 0)}) {
            Canvas canvas(size, size);
            canvas.Fill(ground);
            ::DrawIconEx(canvas.Dc(), 0, 0, silhouette.Get(), size, size, 0, nullptr, DI_NORMAL);
            const Rgb background = FromColorRef(ground);
            EXPECT_EQ(
                canvas.Count(ink, 0, 0, size, size) + canvas.Count(background, 0, 0, size, size),
                size * size)
                << dpi;
            EXPECT_GT(canvas.Count(ink, 0, 0, size, size), size) << dpi;
            EXPECT_GT(canvas.Count(background, 0, 0, size, size), size) << dpi;
        }
    }
}

TEST(ItemDrawingWin, TimeAndSizeFollowTheUserFormats) {
    ItemDrawing drawing(nullptr, 96);
    wchar_t saved[8] = {};
    ASSERT_GT(::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, saved, 8), 0);
    ASSERT_TRUE(::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, L"'"));
    NMTVCUSTOMDRAW prepaint{};
    prepaint.nmcd.dwDrawStage = CDDS_PREPAINT;
    drawing.CustomDraw(prepaint);
    const std::wstring size = drawing.SizeText(1234567);
    const std::wstring small = drawing.SizeText(999);
    ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, saved);
    EXPECT_EQ(size, L"1'234'567b");
    EXPECT_EQ(small, L"999b");

    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    SYSTEMTIME morning = now;
    morning.wHour = 0;
    morning.wMinute = 0;
    morning.wSecond = 5;
    morning.wMilliseconds = 0;
    // Yesterday at the same time, through the system's own calendar.
    FILETIME file{};
    ::SystemTimeToFileTime(&morning, &file);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = file.dwLowDateTime;
    ticks.HighPart = file.dwHighDateTime;
    ticks.QuadPart -= 864000000000ULL;
    file.dwLowDateTime = ticks.LowPart;
    file.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME yesterday{};
    ::FileTimeToSystemTime(&file, &yesterday);
    wchar_t time[64], date[64];
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &morning, nullptr, time, 64);
    ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &yesterday, nullptr, date, 64);
    const double today = std::trunc(CurrentOleDate()) + 5.0 / 86400;
    EXPECT_EQ(drawing.TimeText(today), time);
    EXPECT_EQ(drawing.TimeText(today - 1), std::wstring(date) + L" " + time);
    EXPECT_EQ(drawing.TimeText(std::numeric_limits<double>::quiet_NaN()), L"");
    EXPECT_EQ(drawing.TimeText(1e300), L"");
}

// Every row reuses what the constructor made. A row that made a GDI object and kept it would
// show in the process's count, where the system keeps one, and would in any case run the process
// out of GDI objects (Windows allows 10,000 per process, Wine about 65,000) within 68,000 rows.
TEST_F(ItemDrawingWinTest, DrawingManyRowsMakesNoGdiObjects) {
    for (int i = 0; i < 7; ++i) {
        Copy(u"entry " + std::u16string(1, u'a' + i) + u" with a caption & more");
    }
    handler->RefreshTree();
    const auto rows = Rows();
    ASSERT_EQ(rows.size(), 9u);
    TreeView_SelectItem(host.Tree(), rows[3]);
    Canvas canvas(kWidth, 360);
    host.Paint(canvas);
    std::vector<NMTVCUSTOMDRAW> draws;
    for (HTREEITEM item : rows) {
        if (TreeView_GetParent(host.Tree(), item) == nullptr) {
            continue;  // the bulk is entry rows, the commonest
        }
        RECT rect{};
        TreeView_GetItemRect(host.Tree(), item, &rect, FALSE);
        TVITEMW data{};
        data.mask = TVIF_PARAM | TVIF_STATE;
        data.hItem = item;
        data.stateMask = TVIS_SELECTED;
        TreeView_GetItem(host.Tree(), &data);
        auto draw = ItemStage(canvas.Dc(), rect, reinterpret_cast<CItemNode*>(data.lParam));
        draw.nmcd.hdr.hwndFrom = host.Tree();
        draw.nmcd.dwItemSpec = reinterpret_cast<DWORD_PTR>(item);
        draw.nmcd.uItemState = (data.state & TVIS_SELECTED) != 0 ? CDIS_SELECTED : 0;
        draws.push_back(draw);
    }

    const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 68000; ++i) {
        drawing.CustomDraw(draws[i % draws.size()]);
    }
    const DWORD after = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_EQ(after, before);
    win::UniqueBrush fresh(::CreateSolidBrush(RGB(1, 2, 3)));
    EXPECT_TRUE(fresh);
    host.Paint(canvas);
    EXPECT_EQ(Background(canvas, 2), kGrey);
    EXPECT_EQ(Background(canvas, 3), kSelection);
    EXPECT_EQ(canvas.At(0, 7 * 40 + 39), kSeparator);
}

}  // namespace
}  // namespace snipora
