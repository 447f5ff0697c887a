#include "view/ItemDrawingWin.h"

#include <usp10.h>

#include <algorithm>
#include <iterator>

#include "common/OleDate.h"
#include "store/DisplayText.h"
#include "view/ColourTextWin.h"
#include "view/EntrySelection.h"
#include "view/ItemFormat.h"
#include "view/ItemNode.h"
#include "view/TextFilter.h"
#include "view/ThemeWin.h"
#include "win/Gdi.h"
#include "win/Text.h"

namespace snipora {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 captions go to the W functions");

constexpr int kSkinBandHeight = 40;

}  // namespace

ItemDrawing::ItemDrawing(HBITMAP skin, int dpi, const Palette& palette)
    : skin_(skin),
      dpi_(dpi),
      // The whole part of 39 x scale, plus one: 40 at 96 dots per inch, 49 at 120.
      height_(39 * dpi_.Value() / win::Dpi::kDesign + 1),
      skinBands_(0),
      smallIcons_(LoadSmallIcons(dpi_.Value())),
      categoriesIcons_(LoadCategoriesIcons(dpi_.Value())),
      titleFont_(win::MakeFont(-dpi_.FromPoints(10), FW_BOLD)),
      textFont_(win::MakeFont(-dpi_.FromPoints(8))),
      detailFont_(win::MakeFont(-dpi_.FromPoints(7))),
      skinDc_(::CreateCompatibleDC(nullptr)),
      workDc_(::CreateCompatibleDC(nullptr)) {
    BITMAP info{};
    if (skin_ != nullptr && ::GetObjectW(skin_, sizeof info, &info) == sizeof info) {
        skinBands_ = info.bmHeight / kSkinBandHeight;
    }
    {
        const win::ScopedSelect font(workDc_.Get(), textFont_.Get());
        colourText_ = ColourText::Create(workDc_.Get());
    }
    // All text of a row is written without a background.
    ::SetBkMode(workDc_.Get(), TRANSPARENT);
    ::SetStretchBltMode(workDc_.Get(), COLORONCOLOR);
    SetPalette(palette);
    EnsureWidth(20);
    ReadUserFormats();
}

void ItemDrawing::SetPalette(const Palette& palette) {
    palette_ = palette;
    rowBrush_.Reset(::CreateSolidBrush(ToColorRef(palette.rowBackground)));
    alternateBrush_.Reset(::CreateSolidBrush(ToColorRef(palette.rowAlternate)));
    selectedBrush_.Reset(::CreateSolidBrush(ToColorRef(palette.selectedBackground)));
    headerBrush_.Reset(::CreateSolidBrush(ToColorRef(palette.headerBackground)));
    markBrush_.Reset(::CreateSolidBrush(ToColorRef(palette.mark)));
    expanderBrush_.Reset(::CreateSolidBrush(ToColorRef(palette.expander)));
    separatorPen_.Reset(::CreatePen(PS_SOLID, 1, ToColorRef(palette.separator)));
    expanderPen_.Reset(::CreatePen(PS_SOLID, 1, ToColorRef(palette.expander)));
    // High contrast allows the system's colours alone: the images are then silhouettes in the
    // text colour of where they stand, made here once rather than for every row.
    const bool inked = palette.scheme == Scheme::HighContrast;
    inkedCategories_ = inked ? InkedCopy(categoriesIcons_.Get(), ToColorRef(palette.headerText))
                             : UniqueImageList();
    inkedSmall_ =
        inked ? InkedCopy(smallIcons_.Get(), ToColorRef(palette.rowText)) : UniqueImageList();
    inkedSelectedSmall_ =
        inked ? InkedCopy(smallIcons_.Get(), ToColorRef(palette.selectedText)) : UniqueImageList();
}

ItemDrawing::~ItemDrawing() = default;

LRESULT ItemDrawing::CustomDraw(NMTVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            // Once per paint, not per row: today's date, the user's number format and the
            // height of the tree's rows.
            ReadUserFormats();
            rowHeight_ = draw.nmcd.hdr.hwndFrom != nullptr
                             ? TreeView_GetItemHeight(draw.nmcd.hdr.hwndFrom)
                             : 0;
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT: {
            // The tree itself paints nothing of any entry; one without a record or without
            // width stays blank.
            const auto* node = reinterpret_cast<const CItemNode*>(draw.nmcd.lItemlParam);
            if (node == nullptr) {
                return CDRF_SKIPDEFAULT;
            }
            // The notification's rectangle spans the whole line; its bottom is taken from the
            // row height, as some tree views give it a pixel short.
            RECT row = draw.nmcd.rc;
            if (rowHeight_ > 0) {
                row.bottom = row.top + rowHeight_;
            }
            const int width = row.right - row.left;
            if (width > 0 && EnsureWidth(width)) {
                DrawEntry(draw, *node, row);
            }
            return CDRF_SKIPDEFAULT;
        }
        default:
            return CDRF_DODEFAULT;
    }
}

void ItemDrawing::DrawEntry(const NMTVCUSTOMDRAW& draw, const CItemNode& node, const RECT& row) {
    const int width = row.right - row.left;
    if (node.IsCategory) {
        DrawHeader(draw, node, width);
    } else {
        DrawRow(draw, node, width);
    }
    // One copy to the screen, fitted to the row's height.
    const int rowHeight = row.bottom - row.top;
    HDC target = draw.nmcd.hdc;
    if (rowHeight == height_) {
        ::BitBlt(target, row.left, row.top, width, height_, workDc_.Get(), 0, 0, SRCCOPY);
    } else if (rowHeight > 0) {
        const int mode = ::SetStretchBltMode(target, COLORONCOLOR);
        ::StretchBlt(target, row.left, row.top, width, rowHeight, workDc_.Get(), 0, 0, width,
                     height_, SRCCOPY);
        ::SetStretchBltMode(target, mode);
    }
}

// A band of the skin (or the palette's header colour with a line under it) behind a large icon
// and the bold title with its count. Selected or not, a header looks the same.
void ItemDrawing::DrawHeader(const NMTVCUSTOMDRAW& draw, const CItemNode& node, int width) {
    HDC dc = workDc_.Get();
    if (palette_.skinHeaders && skinBands_ > 0 && dpi_.Value() != 96) {
        // At another scale the band is drawn by code, row by row, rather than stretched.
        const int band = std::clamp<int>(node.SkinBand, 0, skinBands_ - 1);
        const HGDIOBJ brush = ::GetStockObject(DC_BRUSH);
        for (int row = 0; row < height_; ++row) {
            const Colour c = LightHeaderRow(band, row, height_, dpi_.Scale(1));
            ::SetDCBrushColor(dc, ToColorRef(c));
            const RECT line{0, row, width, row + 1};
            ::FillRect(dc, &line, static_cast<HBRUSH>(brush));
        }
    } else if (palette_.skinHeaders && skinBands_ > 0) {
        const int band = std::clamp<int>(node.SkinBand, 0, skinBands_ - 1);
        BITMAP info{};
        ::GetObjectW(skin_, sizeof info, &info);
        // Selected only while copying: the storage must be able to free it at any other time.
        const win::ScopedSelect selected(skinDc_.Get(), skin_);
        ::StretchBlt(dc, 0, 0, width, height_, skinDc_.Get(), 0, band * kSkinBandHeight,
                     info.bmWidth, kSkinBandHeight, SRCCOPY);
    } else {
        RECT all{0, 0, width, height_};
        ::FillRect(dc, &all, headerBrush_.Get());
        const win::ScopedSelect pen(dc, separatorPen_.Get());
        ::MoveToEx(dc, 0, height_ - 1, nullptr);
        ::LineTo(dc, width, height_ - 1);
    }
    ::ImageList_Draw(inkedCategories_ ? inkedCategories_.Get() : categoriesIcons_.Get(),
                     node.IconIndex, dc, dpi_.Scale(2), dpi_.Scale(1), ILD_NORMAL);

    // A list with entries can be folded: a triangle at the right end, pointing down while open.
    const bool foldable = !node.Children.empty();
    if (foldable) {
        const bool open = draw.nmcd.hdr.hwndFrom != nullptr &&
                          (TreeView_GetItemState(draw.nmcd.hdr.hwndFrom,
                                                 reinterpret_cast<HTREEITEM>(draw.nmcd.dwItemSpec),
                                                 TVIS_EXPANDED) &
                           TVIS_EXPANDED) != 0;
        const int x = width - dpi_.Scale(kHeaderExpanderWidth / 2 + 1), y = height_ / 2;
        const int r = dpi_.Scale(4);
        const POINT down[] = {{x - r, y - r / 2}, {x + r, y - r / 2}, {x, y + r / 2}};
        const POINT right[] = {{x - r / 2, y - r}, {x - r / 2, y + r}, {x + r / 2, y}};
        const win::ScopedSelect pen(dc, expanderPen_.Get());
        const win::ScopedSelect brush(dc, expanderBrush_.Get());
        ::Polygon(dc, open ? down : right, 3);
    }

    // "Caption (count)", or "Caption (matches of count)" while filtering; where the room is too
    // narrow, the count on a line of its own below the caption.
    ::SetTextColor(dc, ToColorRef(palette_.headerText));
    const HeaderLines lines = HeaderText(node, width);
    const int left = dpi_.Scale(40);
    const int top = dpi_.Scale(4);
    ::SelectObject(dc, titleFont_.Get());
    ::TextOutW(dc, left, top, reinterpret_cast<const wchar_t*>(lines.first.data()),
               static_cast<int>(lines.first.size()));
    if (!lines.second.empty()) {
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        ::SelectObject(dc, textFont_.Get());
        ::TextOutW(dc, left, top + metrics.tmHeight,
                   reinterpret_cast<const wchar_t*>(lines.second.data()),
                   static_cast<int>(lines.second.size()));
    }
}

HeaderLines ItemDrawing::HeaderText(const CItemNode& node, int width) {
    HDC dc = workDc_.Get();
    const win::ScopedSelect font(dc, titleFont_.Get());
    const int room = width - dpi_.Scale(40) - dpi_.Scale(2) -
                     (!node.Children.empty() ? dpi_.Scale(kHeaderExpanderWidth) : 0);
    return FitHeaderTitle(node, room, [dc](std::u16string_view text) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.data()),
                                static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    });
}

// An entry row: a history entry with the clock, its time and size above its text; a note with
// its text alone; a "Show all" row with its text in the middle. Then the separator along the
// bottom.
void ItemDrawing::DrawRow(const NMTVCUSTOMDRAW& draw, const CItemNode& node, int width) {
    HDC dc = workDc_.Get();
    const bool several = selection_ != nullptr && !selection_->Empty();
    const size_t number = several ? selection_->NumberOf(node.Id) : 0;
    const bool selected = several ? number != 0 : (draw.nmcd.uItemState & CDIS_SELECTED) != 0;
    HBRUSH background = rowBrush_.Get();
    switch (RowBackgroundFor(selected, node.Row)) {
        case RowBackground::Highlight:
            background = selectedBrush_.Get();
            break;
        case RowBackground::White:
            break;
        case RowBackground::Grey:
            background = alternateBrush_.Get();
            break;
    }
    RECT all{0, 0, width, height_};
    ::FillRect(dc, &all, background);
    const COLORREF main = ToColorRef(selected ? palette_.selectedText : palette_.rowText);

    if (node.IsShowAll()) {
        ::SelectObject(dc, textFont_.Get());
        ::SetTextColor(dc, main);
        std::wstring text(win::Wide(ShowAllText(node.More)));
        RECT rect{dpi_.Scale(12), 0, width - dpi_.Scale(2), height_ - 1};
        ::DrawTextExW(dc, text.data(), static_cast<int>(text.size()), &rect,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, nullptr);
    } else if (node.Category != 0) {
        ::SelectObject(dc, textFont_.Get());
        ::SetTextColor(dc, main);
        DrawCaption(node, {dpi_.Scale(2), dpi_.Scale(-1), width - dpi_.Scale(2), height_});
    } else {
        const UniqueImageList& inked = selected ? inkedSelectedSmall_ : inkedSmall_;
        ::ImageList_Draw(inked ? inked.Get() : smallIcons_.Get(), 2, dc, dpi_.Scale(1),
                         dpi_.Scale(1), ILD_NORMAL);
        ::SelectObject(dc, detailFont_.Get());
        ::SetTextColor(dc, ToColorRef(selected ? palette_.selectedDetail : palette_.detailText));
        LineText text;
        FormatTime(node.Time, text);
        ::TextOutW(dc, dpi_.Scale(12), dpi_.Scale(1), text.units, text.length);
        FormatSize(node.Size, text);
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, text.units, text.length, &extent);
        ::TextOutW(dc, width - extent.cx - dpi_.Scale(2), dpi_.Scale(1), text.units, text.length);

        ::SelectObject(dc, textFont_.Get());
        ::SetTextColor(dc, main);
        DrawCaption(node, {dpi_.Scale(2), dpi_.Scale(12), width - dpi_.Scale(2), height_ - 1});
    }

    if (number != 0) {
        DrawNumber(number, width);
    }
    const win::ScopedSelect pen(dc, separatorPen_.Get());
    ::MoveToEx(dc, 0, height_ - 1, nullptr);
    ::LineTo(dc, width, height_ - 1);
}

// The row's number in the order of choosing, in a box at the row's right end, half-way down.
void ItemDrawing::DrawNumber(size_t number, int width) {
    HDC dc = workDc_.Get();
    const std::wstring text = std::to_wstring(number);
    ::SelectObject(dc, titleFont_.Get());
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    const int pad = dpi_.Scale(3);
    RECT box{width - extent.cx - 3 * pad, (height_ - extent.cy) / 2 - pad / 2, width - pad,
             (height_ + extent.cy) / 2 + pad / 2};
    ::FillRect(dc, &box, rowBrush_.Get());
    ::SetTextColor(dc, ToColorRef(palette_.rowText));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
                DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
}

// The caption's first units, wrapped at words and line breaks and cut at the rectangle; the
// first match of the search marked, if it lies within them.
void ItemDrawing::DrawCaption(const CItemNode& node, RECT rect) {
    if (filter_ != nullptr && !filter_->Empty()) {
        const std::u16string_view shown =
            std::u16string_view(node.Caption).substr(0, PreviewLength);
        if (const auto match = filter_->Find(shown)) {
            DrawMarkedCaption(shown, *match, rect);
            return;
        }
    }
    if (const std::u16string_view shown =
            std::u16string_view(node.Caption).substr(0, PreviewLength);
        NeedsScriptLayout(shown)) {
        DrawMarkedCaption(shown, std::u16string_view::npos, rect);
        return;
    }
    wchar_t caption[PreviewLength];
    const size_t length = std::min(node.Caption.size(), PreviewLength);
    std::copy_n(node.Caption.data(), length, caption);
    ::DrawTextExW(workDc_.Get(), caption, static_cast<int>(length), &rect,
                  DT_WORDBREAK | DT_NOPREFIX, nullptr);
}

// The caption laid out line by line, as the plain drawing wraps it: at line breaks, and at the
// last blank that lets a line fit (inside a word that fits no line). The match gets a marked
// background and the mark's text colour.
void ItemDrawing::DrawMarkedCaption(std::u16string_view caption, size_t match, RECT rect) {
    HDC dc = workDc_.Get();
    const auto* text = reinterpret_cast<const wchar_t*>(caption.data());
    const size_t matchEnd = match == std::u16string_view::npos ? match : match + filter_->Length();
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const int lineHeight = std::max<int>(metrics.tmHeight, 1);
    const int width = rect.right - rect.left;
    const COLORREF colour = ::GetTextColor(dc);
    const auto extent = [&](size_t from, size_t to) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc, text + from, static_cast<int>(to - from), &size);
        return static_cast<int>(size.cx);
    };
    size_t pos = 0;
    for (int y = rect.top; pos < caption.size() && y < rect.bottom; y += lineHeight) {
        const size_t hardEnd = std::min(caption.find_first_of(u"\r\n", pos), caption.size());
        int fit = 0;
        SIZE ignored{};
        ::GetTextExtentExPointW(dc, text + pos, static_cast<int>(hardEnd - pos), width, &fit,
                                nullptr, &ignored);
        size_t lineEnd = hardEnd;
        size_t next = hardEnd;
        if (pos + static_cast<size_t>(fit) < hardEnd) {
            const size_t blank = caption.find_last_of(u' ', pos + static_cast<size_t>(fit));
            if (blank != std::u16string_view::npos && blank > pos) {
                lineEnd = blank;
                next = blank + 1;
            } else {
                // At least one character, and never half of a surrogate pair.
                const size_t cut = CutBefore(caption, pos + static_cast<size_t>(fit));
                lineEnd = next = cut > pos ? cut : CutAfter(caption, pos + 1);
            }
        } else {
            next += next < caption.size() && caption[next] == u'\r' ? 1 : 0;
            next += next < caption.size() && caption[next] == u'\n' ? 1 : 0;
        }
        DrawLine(rect.left, y, rect, caption.substr(pos, lineEnd - pos));
        if (match < lineEnd && matchEnd > pos) {
            const size_t from = CutBefore(caption, std::max(match, pos));
            const size_t to = CutAfter(caption, std::min(matchEnd, lineEnd));
            const int left = rect.left + extent(pos, from);
            RECT mark{left, y, rect.left + extent(pos, to), y + lineHeight};
            ::IntersectRect(&mark, &mark, &rect);
            ::FillRect(dc, &mark, markBrush_.Get());
            ::SetTextColor(dc, ToColorRef(palette_.markText));
            DrawLine(left, y, rect, caption.substr(from, to - from));
            ::SetTextColor(dc, colour);
        }
        pos = next;
    }
}

// A line with colour glyphs (emoji, from a colour font such as the system's emoji font) goes to
// DirectWrite, which draws them in their colours; in high contrast, which allows the system's
// colours alone, they are drawn in the text colour like the row's images. Any other line that
// needs it goes to Uniscribe's string functions: they lay the line out by script, take glyphs
// from a fallback font where the row's font has none (SSA_FALLBACK, with the fonts linked to it:
// SSA_LINK), and draw a surrogate pair as the one glyph it is, in one colour. A line without such
// characters is drawn plainly: most rows, and the cheapest call.
void ItemDrawing::DrawLine(int x, int y, const RECT& clip, std::u16string_view line) {
    HDC dc = workDc_.Get();
    const auto* text = reinterpret_cast<const wchar_t*>(line.data());
    if (line.empty()) {
        return;
    }
    if (NeedsScriptLayout(line)) {
        if (colourText_ && palette_.scheme != Scheme::HighContrast &&
            ::GetCurrentObject(dc, OBJ_FONT) == textFont_.Get() &&
            colourText_->Draw(dc, x, y, clip, line) == ColourText::Outcome::Drawn) {
            return;
        }
        SCRIPT_STRING_ANALYSIS analysis = nullptr;
        if (SUCCEEDED(::ScriptStringAnalyse(dc, text, static_cast<int>(line.size()),
                                            static_cast<int>(line.size()) * 3 / 2 + 16, -1,
                                            SSA_GLYPHS | SSA_FALLBACK | SSA_LINK, 0, nullptr,
                                            nullptr, nullptr, nullptr, nullptr, &analysis))) {
            const HRESULT drawn =
                ::ScriptStringOut(analysis, x, y, ETO_CLIPPED, &clip, 0, 0, FALSE);
            ::ScriptStringFree(&analysis);
            if (SUCCEEDED(drawn)) {
                return;
            }
        }
    }
    ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &clip, text, static_cast<UINT>(line.size()), nullptr);
}

// The scratch bitmap only grows: a narrower row uses its left part.
bool ItemDrawing::EnsureWidth(int width) {
    if (width <= workCapacity_) {
        return true;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    win::UniqueBitmap bitmap(
        ::CreateDIBSection(workDc_.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || ::SelectObject(workDc_.Get(), bitmap.Get()) == nullptr) {
        return false;
    }
    workBitmap_ = std::move(bitmap);
    workCapacity_ = width;
    return true;
}

void ItemDrawing::ReadUserFormats() {
    today_ = CurrentOleDate();
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator_,
                         std::size(separator_)) == 0) {
        std::copy_n(L",", 2, separator_);
    }
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, grouping_, std::size(grouping_)) ==
        0) {
        std::copy_n(L"3;0", 4, grouping_);
    }
}

// Today: the time of day alone; another day: the short date, a blank and the time. Nothing for
// a time that no calendar date matches.
void ItemDrawing::FormatTime(double time, LineText& text) const {
    text.length = 0;
    const auto parts = OleDateToParts(time);
    if (!parts) {
        return;
    }
    SYSTEMTIME when{};
    when.wYear = static_cast<WORD>(parts->year);
    when.wMonth = static_cast<WORD>(parts->month);
    when.wDayOfWeek = static_cast<WORD>(parts->dayOfWeek);
    when.wDay = static_cast<WORD>(parts->day);
    when.wHour = static_cast<WORD>(parts->hour);
    when.wMinute = static_cast<WORD>(parts->minute);
    when.wSecond = static_cast<WORD>(parts->second);
    when.wMilliseconds = static_cast<WORD>(parts->millisecond);
    const int capacity = static_cast<int>(std::size(text.units));
    int length = 0;
    if (!ShowsTimeOnly(time, today_)) {
        const int n = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr,
                                       text.units, capacity - 1);
        if (n <= 0) {
            return;
        }
        length = n - 1;
        text.units[length++] = L' ';
    }
    const int n = ::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &when, nullptr, text.units + length,
                                   capacity - length);
    text.length = n > 0 ? length + n - 1 : 0;
}

void ItemDrawing::FormatSize(uint32_t size, LineText& text) const {
    const ShortText formatted =
        snipora::FormatSize(size, reinterpret_cast<const char16_t*>(separator_),
                            reinterpret_cast<const char16_t*>(grouping_));
    text.length = static_cast<int>(std::min(formatted.length, std::size(text.units)));
    std::copy_n(formatted.units, text.length, text.units);
}

std::wstring ItemDrawing::TimeText(double time) const {
    LineText text;
    FormatTime(time, text);
    return std::wstring(text.units, static_cast<size_t>(text.length));
}

std::wstring ItemDrawing::SizeText(uint32_t size) const {
    LineText text;
    FormatSize(size, text);
    return std::wstring(text.units, static_cast<size_t>(text.length));
}

}  // namespace snipora
