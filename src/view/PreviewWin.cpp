// The preview window: its place beside the popup, its drawing of the pieces in sight, its wheel.
#include "view/PreviewWin.h"

#include <algorithm>
#include <utility>

#include "common/Error.h"
#include "view/ThemeWin.h"
#include "win/Gdi.h"
#include "win/Text.h"

namespace snipora {
namespace {

// At 96 dots per inch.
constexpr int kWidth = 440, kMinHeight = 320, kGap = 4, kPadding = 8, kFontHeight = 15;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_EXPANDTABS;
constexpr int kWheelLines = 3;

}  // namespace

EntryPreview::EntryPreview(HWND owner) {
    if (!Create(L"SniporaPreview", WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                WS_POPUP | WS_BORDER, L"Preview", 0, 0, 0, 0, owner)) {
        throw AppError("Cannot create the preview window.");
    }
}

void EntryPreview::Show(uint32_t id, std::u16string text, RECT popup, win::Dpi dpi,
                        const Palette& palette) {
    id_ = id;
    text_ = std::move(text);
    pieces_ = CutForPreview(text_);
    heading_ = PreviewHeading(text_.size(), pieces_.lines);
    top_ = 0;
    topOffset_ = 0;
    palette_ = palette;
    if (!font_ || dpi != dpi_) {
        dpi_ = dpi;
        font_ = win::MakeFont(-dpi_.Scale(kFontHeight));
        lineHeight_ = 0;
    }
    if (lineHeight_ == 0) {
        HDC dc = ::GetDC(Handle());
        TEXTMETRICW metrics{};
        {
            const win::ScopedSelect font(dc, font_.Get());
            ::GetTextMetricsW(dc, &metrics);
        }
        ::ReleaseDC(Handle(), dc);
        lineHeight_ = metrics.tmHeight;
    }
    // To the popup's right, else to its left, on the work area.
    const RECT area = win::WorkAreaAt({popup.left, popup.top});
    const int width = std::min(dpi_.Scale(kWidth), static_cast<int>(area.right - area.left));
    const int height = std::min(std::max(dpi_.Scale(kMinHeight), int(popup.bottom - popup.top)),
                                static_cast<int>(area.bottom - area.top));
    int left = popup.right + dpi_.Scale(kGap);
    if (left + width > area.right) {
        left = popup.left - dpi_.Scale(kGap) - width;
    }
    left = std::max(static_cast<int>(area.left), std::min(left, int(area.right) - width));
    const int top =
        std::max(static_cast<int>(area.top), std::min(int(popup.top), int(area.bottom) - height));
    ::SetWindowPos(Handle(), HWND_TOPMOST, left, top, width, height,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::InvalidateRect(Handle(), nullptr, TRUE);
    shown_ = true;
}

void EntryPreview::Hide() {
    if (shown_) {
        ::ShowWindow(Handle(), SW_HIDE);
        shown_ = false;
        text_.clear();
        text_.shrink_to_fit();
        pieces_ = {};
    }
}

int EntryPreview::TextWidth() const {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    return std::max(1, static_cast<int>(client.right) - 2 * dpi_.Scale(kPadding));
}

int EntryPreview::PieceHeight(HDC dc, size_t index) const {
    const std::u16string_view piece = PieceText(text_, pieces_, index);
    if (piece.empty()) {
        return lineHeight_;
    }
    RECT r{0, 0, TextWidth(), 0};
    ::DrawTextW(dc, win::Wide(piece).data(), static_cast<int>(piece.size()), &r,
                kTextFormat | DT_CALCRECT);
    return std::max(lineHeight_, static_cast<int>(r.bottom));
}

// The wheel moves the text by lines; it stops with the first piece at the top, and with the
// last piece's top at the text area's top.
void EntryPreview::Scroll(int pixels) {
    if (pieces_.starts.empty()) {
        return;
    }
    HDC dc = ::GetDC(Handle());
    {
        const win::ScopedSelect font(dc, font_.Get());
        topOffset_ += pixels;
        while (topOffset_ < 0 && top_ > 0) {
            --top_;
            topOffset_ += PieceHeight(dc, top_);
        }
        topOffset_ = std::max(topOffset_, 0);
        for (int height = PieceHeight(dc, top_);
             topOffset_ >= height && top_ + 1 < pieces_.starts.size();
             height = PieceHeight(dc, top_)) {
            topOffset_ -= height;
            ++top_;
        }
        if (top_ + 1 == pieces_.starts.size()) {
            topOffset_ = std::min(topOffset_, std::max(0, PieceHeight(dc, top_) - lineHeight_));
        }
    }
    ::ReleaseDC(Handle(), dc);
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

void EntryPreview::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(Handle(), &paint);
    RECT client{};
    ::GetClientRect(Handle(), &client);
    const win::UniqueBrush background(::CreateSolidBrush(ToColorRef(palette_.rowBackground)));
    ::FillRect(dc, &client, background.Get());
    const win::ScopedSelect font(dc, font_.Get());
    ::SetBkMode(dc, TRANSPARENT);
    const int padding = dpi_.Scale(kPadding);
    // The heading, and a line below it.
    ::SetTextColor(dc, ToColorRef(palette_.detailText));
    RECT heading{padding, padding / 2, client.right - padding, padding / 2 + lineHeight_};
    ::DrawTextW(dc, win::Wide(heading_), -1, &heading, DT_SINGLELINE | DT_NOPREFIX);
    const int textTop = heading.bottom + padding / 2;
    const win::UniqueBrush separator(::CreateSolidBrush(ToColorRef(palette_.separator)));
    RECT line{0, textTop - 1, client.right, textTop};
    ::FillRect(dc, &line, separator.Get());
    // The pieces in sight, from the first one's scrolled top.
    const HRGN clip = ::CreateRectRgn(0, textTop, client.right, client.bottom);
    ::SelectClipRgn(dc, clip);
    ::DeleteObject(clip);
    ::SetTextColor(dc, ToColorRef(palette_.rowText));
    int y = textTop + padding / 2 - topOffset_;
    for (size_t i = top_; i < pieces_.starts.size() && y < client.bottom; ++i) {
        const int height = PieceHeight(dc, i);
        const std::u16string_view piece = PieceText(text_, pieces_, i);
        RECT r{padding, y, padding + TextWidth(), y + height};
        if (!piece.empty()) {
            ::DrawTextW(dc, win::Wide(piece).data(), static_cast<int>(piece.size()), &r,
                        kTextFormat);
        }
        y += height;
    }
    ::SelectClipRgn(dc, nullptr);
    ::EndPaint(Handle(), &paint);
}

LRESULT EntryPreview::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_MOUSEWHEEL: {
            const int notches = GET_WHEEL_DELTA_WPARAM(wParam);
            Scroll(-notches * kWheelLines * lineHeight_ / WHEEL_DELTA);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            return 0;
        default:
            return BaseWindow::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace snipora
