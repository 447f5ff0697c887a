#include "app/BarWin.h"

#include <commctrl.h>

#include <utility>

#include "common/Error.h"
#include "common/Utf.h"
#include "view/ThemeWin.h"
#include "win/Gdi.h"
#include "win/Text.h"

namespace snipora {
namespace {

// At 96 dots per inch, in the window's design size.
constexpr int kFontHeight = 11;
constexpr int kLabelLeft = 4, kLabelTop = 1, kLabelHeight = 27;
constexpr int kButtonTop = 1, kButtonWidth = 20, kButtonHeight = 27;
constexpr int kButtonRightGap = Bar::kDesignWidth - 199;  // anchored to the right edge
constexpr int kLabelRightGap = Bar::kDesignWidth - (4 + 193);
constexpr wchar_t kButtonName[] = L"Open clipboard";

// A tool tip over a control. The tip window belongs to the window and goes with it.
HWND AddHint(HWND window, HWND control, const wchar_t* text) {
    HWND tip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (tip == nullptr) {
        return nullptr;
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    ::SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return tip;
}

}  // namespace

Bar::Bar(HWND window, int labelId, int buttonId, win::Dpi dpi)
    : window_(window),
      dpi_(dpi),
      font_(win::MakeFont(-dpi.Scale(kFontHeight))),
      glyph_(LoadOpenClipboardGlyph(dpi.Value())) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    label_ = ::CreateWindowExW(
        0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, 0, 0,
        0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(labelId)), instance, nullptr);
    // Without a glyph the button shows a triangle.
    button_ = ::CreateWindowExW(
        0, L"BUTTON", L"\u25BC",
        WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_FLAT | (glyph_ ? BS_ICON : 0), 0,
        0, 0, 0, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(buttonId)), instance,
        nullptr);
    if (label_ == nullptr || button_ == nullptr) {
        throw AppError("Cannot create the window's controls.");
    }
    if (glyph_) {
        // Not shown beside the glyph: the name that a screen reader gives the button.
        ::SetWindowTextW(button_, kButtonName);
    }
    for (HWND control : {label_, button_}) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    }
    hint_ = AddHint(window, button_, kButtonName);
    SetPalette(palette_);
}

win::UniqueFont Bar::SetDpi(win::Dpi dpi) {
    dpi_ = dpi;
    win::UniqueFont old = std::exchange(font_, win::MakeFont(-dpi_.Scale(kFontHeight)));
    for (HWND control : {label_, button_}) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), TRUE);
    }
    if (glyph_) {
        UniqueIcon glyph = LoadOpenClipboardGlyph(dpi_.Value());
        std::swap(glyph, glyph_);
        ShowGlyph();  // before the old one goes
    }
    return old;
}

void Bar::SetPalette(const Palette& palette) {
    palette_ = palette;
    framePen_.Reset(::CreatePen(PS_SOLID, 1, ToColorRef(palette_.frame)));
    barBrush_.Reset(::CreateSolidBrush(ToColorRef(palette_.barBackground)));
    ShowGlyph();
}

// High contrast allows the system's colours alone: the glyph is then its silhouette in the
// bar's text colour.
void Bar::ShowGlyph() {
    if (!glyph_) {
        return;
    }
    UniqueIcon silhouette;
    if (palette_.scheme == Scheme::HighContrast) {
        silhouette =
            SilhouetteOf(glyph_.Get(), SmallImageSize(dpi_.Value()), ToColorRef(palette_.barText));
    }
    HICON shown = silhouette ? silhouette.Get() : glyph_.Get();
    ::SendMessageW(button_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(shown));
    silhouette_ = std::move(silhouette);  // the button has let go of the one before
}

RECT Bar::Layout(int width) {
    const RECT label{dpi_.Scale(kLabelLeft), dpi_.Scale(kLabelTop),
                     width - dpi_.Scale(kLabelRightGap),
                     dpi_.Scale(kLabelTop) + dpi_.Scale(kLabelHeight)};
    ::MoveWindow(label_, label.left, label.top, label.right - label.left, label.bottom - label.top,
                 TRUE);
    ::MoveWindow(button_, width - dpi_.Scale(kButtonRightGap), dpi_.Scale(kButtonTop),
                 dpi_.Scale(kButtonWidth), dpi_.Scale(kButtonHeight), TRUE);
    return label;
}

// The label from its scaled top, then the frame's bottom line: at 144 dpi the label's top is two
// pixels, and a height counted with one left the label over that line.
int Bar::CollapsedHeight() const {
    return dpi_.Scale(kLabelTop) + dpi_.Scale(kLabelHeight) + 1;
}

LRESULT Bar::HitTest(POINT at) const {
    RECT window{};
    ::GetWindowRect(window_, &window);
    const RECT button = ButtonOnScreen();
    const int x = at.x - window.left;
    const int y = at.y - window.top;
    if (labelClickable_ && OnLabel(at)) {
        return HTCLIENT;
    }
    return x < button.left - window.left && y < button.bottom - button.top ? HTCAPTION : HTCLIENT;
}

bool Bar::OnLabel(POINT at) const {
    RECT label{};
    return ::IsWindowVisible(label_) && ::GetWindowRect(label_, &label) && ::PtInRect(&label, at);
}

RECT Bar::ButtonOnScreen() const {
    RECT button{};
    ::GetWindowRect(button_, &button);
    return button;
}

// The frame around the window, filled in the bar's colour.
void Bar::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(window_, &paint);
    RECT client{};
    ::GetClientRect(window_, &client);
    const win::ScopedSelect pen(dc, framePen_.Get());
    const win::ScopedSelect brush(dc, barBrush_.Get());
    ::Rectangle(dc, client.left, client.top, client.right, client.bottom);
    ::EndPaint(window_, &paint);
}

LRESULT Bar::LabelColours(HDC dc) const {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ToColorRef(palette_.barText));
    return reinterpret_cast<LRESULT>(barBrush_.Get());
}

// A text that reads from right to left is drawn so: right-aligned, and its "…" where it is cut,
// at its left end, not before its first word.
void Bar::SetText(const wchar_t* text) {
    const LONG_PTR style = ::GetWindowLongPtrW(label_, GWL_EXSTYLE);
    const LONG_PTR rightToLeft = WS_EX_RTLREADING | WS_EX_RIGHT;
    const LONG_PTR wanted =
        ReadsRightToLeft(win::Utf16(text)) ? style | rightToLeft : style & ~rightToLeft;
    if (wanted != style) {
        ::SetWindowLongPtrW(label_, GWL_EXSTYLE, wanted);
    }
    ::SetWindowTextW(label_, text);
}

void Bar::ShowLabel(bool show) {
    ::ShowWindow(label_, show ? SW_SHOW : SW_HIDE);
}

void Bar::SetButtonDown(bool down) {
    ::SendMessageW(button_, BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
    if (hint_ != nullptr) {
        ::SendMessageW(hint_, TTM_ACTIVATE, down ? FALSE : TRUE, 0);
    }
}

bool Bar::ButtonDown() const {
    return ::SendMessageW(button_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace snipora
