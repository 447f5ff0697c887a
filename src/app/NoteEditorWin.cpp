// The editor of a note or an entry's text: its field, its size and place, its colours and keys.
#include "app/NoteEditorWin.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/NoteEditorIds.h"
#include "app/PopupFocusWin.h"
#include "view/ThemeWin.h"
#include "win/BaseWindow.h"
#include "win/DarkMode.h"
#include "win/Dpi.h"
#include "win/Gdi.h"
#include "win/Text.h"

namespace snipora {
namespace {

// At 96 dots per inch.
constexpr int kMargin = 8;
constexpr int kButtonWidth = 80, kButtonHeight = 26;
constexpr int kMinWidth = 360, kMinHeight = 200;
constexpr int kFontPoints = 10;
constexpr int kGap = 4;  // between the popup and the editor
// The field holds texts of any size the process can hold, far beyond the default 30,000.
constexpr LPARAM kFieldLimit = 0x7FFFFFFE;

// The text's lines and its longest line, in units: the editor's size follows them.
std::pair<size_t, size_t> Measure(std::u16string_view text) {
    size_t lines = 1, longest = 0, line = 0;
    for (const char16_t unit : text) {
        if (unit == u'\n') {
            ++lines;
            longest = std::max(longest, line);
            line = 0;
        } else if (unit != u'\r') {
            ++line;
        }
    }
    return {lines, std::max(longest, line)};
}

}  // namespace

NoteEditor::NoteEditor(std::u16string original, bool isNew, const Palette& palette, RECT popup)
    : original_(std::move(original)), isNew_(isNew), palette_(palette), popup_(popup) {}

void NoteEditor::Run(HWND owner, const std::function<void(const EditOutcome&)>& ok) {
    ok_ = &ok;
    RunModal(owner, L"NOTEEDITOR");
    ok_ = nullptr;
}

void NoteEditor::OnInit() {
    ::SetWindowTextW(Handle(), isNew_ ? L"New note" : L"Edit");
    HWND field = Item(IDC_NOTE_TEXT);
    const win::Dpi dpi = win::Dpi::OfWindow(Handle());
    font_ = win::MakeFont(-dpi.FromPoints(kFontPoints));
    ::SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    ::SendMessageW(field, EM_SETLIMITTEXT, kFieldLimit, 0);
    const std::u16string shown = ToFieldText(original_);
    ::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(win::Wide(shown)));
    ::SetWindowSubclass(field, FieldProc, 1, reinterpret_cast<DWORD_PTR>(this));
    // Dark or light as the popup is; high contrast keeps the system's colours.
    if (palette_.scheme == Scheme::Dark) {
        background_.Reset(::CreateSolidBrush(ToColorRef(palette_.rowBackground)));
    }
    for (const int id : {IDC_NOTE_TEXT, IDOK, IDCANCEL}) {
        win::ApplyDarkScrollBars(Item(id), palette_.darkControls);
    }
    win::ApplyDarkTitleBar(Handle(), palette_.darkControls);
    Place();
    TakeForegroundFor(Handle());
    ::SetFocus(field);
    // The dialog manager selects the whole text of the field it gives the focus to, which the
    // first key typed would replace: the caret goes to the start once it has done so.
    ::PostMessageW(field, EM_SETSEL, 0, 0);
    ::PostMessageW(field, EM_SCROLLCARET, 0, 0);
}

// Sized to the text within the work area, beside the popup: to its right, else to its left,
// else over it, and whole on the work area.
void NoteEditor::Place() {
    const win::Dpi dpi = win::Dpi::OfWindow(Handle());
    const RECT area = win::WorkAreaAt({popup_.left, popup_.top});
    const auto [lines, longest] = Measure(original_);
    HDC dc = ::GetDC(Handle());
    TEXTMETRICW metrics{};
    {
        const win::ScopedSelect font(dc, font_.Get());
        ::GetTextMetricsW(dc, &metrics);
    }
    ::ReleaseDC(Handle(), dc);
    const int areaWidth = area.right - area.left, areaHeight = area.bottom - area.top;
    const int chrome = dpi.Scale(3 * kMargin + kButtonHeight);
    const auto clampTo = [](size_t want, int least, int most) {
        return static_cast<int>(std::clamp<size_t>(want, static_cast<size_t>(least),
                                                   static_cast<size_t>(std::max(least, most))));
    };
    const int width = clampTo(longest * static_cast<size_t>(metrics.tmAveCharWidth) +
                                  static_cast<size_t>(dpi.Scale(2 * kMargin + 24)),
                              dpi.Scale(kMinWidth), areaWidth * 3 / 5);
    const int height = clampTo(
        lines * static_cast<size_t>(metrics.tmHeight) + static_cast<size_t>(chrome + dpi.Scale(16)),
        dpi.Scale(kMinHeight), areaHeight * 7 / 10);
    RECT frame{0, 0, width, height};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_STYLE)),
                         FALSE, static_cast<DWORD>(::GetWindowLongPtrW(Handle(), GWL_EXSTYLE)));
    const int outerWidth = frame.right - frame.left, outerHeight = frame.bottom - frame.top;
    int left = popup_.right + dpi.Scale(kGap);
    if (left + outerWidth > area.right) {
        left = popup_.left - dpi.Scale(kGap) - outerWidth;
    }
    if (left < area.left) {
        left = popup_.left;
    }
    left = std::max(static_cast<int>(area.left),
                    std::min(left, static_cast<int>(area.right) - outerWidth));
    const int top = std::max(
        static_cast<int>(area.top),
        std::min(static_cast<int>(popup_.top), static_cast<int>(area.bottom) - outerHeight));
    ::SetWindowPos(Handle(), nullptr, left, top, outerWidth, outerHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

std::u16string NoteEditor::FieldText() const {
    HWND field = Item(IDC_NOTE_TEXT);
    const int length = ::GetWindowTextLengthW(field);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(field, text.data(), length + 1)));
    return std::u16string(win::Utf16(text));
}

bool NoteEditor::Ask(const wchar_t* question) {
    return ::MessageBoxW(Handle(), question, L"Snipora", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void NoteEditor::OnOk() {
    EditOutcome outcome = OutcomeOfEdit(original_, FieldText(), isNew_);
    if (outcome.What == EditOutcome::AskDelete && !Ask(L"The text is empty. Delete the entry?")) {
        return;
    }
    if (outcome.What != EditOutcome::Unchanged) {
        (*ok_)(outcome);
    }
    End(IDOK);
}

void NoteEditor::OnCancel() {
    const bool changed = FieldText() != (isNew_ ? std::u16string() : ToFieldText(original_));
    if (changed && !Ask(L"Discard the changes?")) {
        return;
    }
    End(IDCANCEL);
}

INT_PTR NoteEditor::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE: {
            const win::Dpi dpi = win::Dpi::OfWindow(Handle());
            const int width = LOWORD(lParam), height = HIWORD(lParam);
            const int margin = dpi.Scale(kMargin);
            const int buttonWidth = dpi.Scale(kButtonWidth),
                      buttonHeight = dpi.Scale(kButtonHeight);
            const int buttonTop = height - margin - buttonHeight;
            ::MoveWindow(Item(IDC_NOTE_TEXT), margin, margin, width - 2 * margin,
                         buttonTop - 2 * margin, TRUE);
            ::MoveWindow(Item(IDCANCEL), width - margin - buttonWidth, buttonTop, buttonWidth,
                         buttonHeight, TRUE);
            ::MoveWindow(Item(IDOK), width - 2 * (margin + buttonWidth), buttonTop, buttonWidth,
                         buttonHeight, TRUE);
            return TRUE;
        }
        case WM_GETMINMAXINFO: {
            const win::Dpi dpi = win::Dpi::OfWindow(Handle());
            auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
            info.ptMinTrackSize = {dpi.Scale(kMinWidth / 2), dpi.Scale(kMinHeight / 2)};
            return TRUE;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
            if (!background_) {
                return FALSE;
            }
            ::SetTextColor(reinterpret_cast<HDC>(wParam), ToColorRef(palette_.rowText));
            ::SetBkColor(reinterpret_cast<HDC>(wParam), ToColorRef(palette_.rowBackground));
            return reinterpret_cast<INT_PTR>(background_.Get());
        default:
            return FALSE;
    }
}

// Ctrl+Enter is OK and Esc is Cancel, also in the field, which takes Enter for a line break;
// Ctrl+A selects the whole text.
LRESULT CALLBACK NoteEditor::FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self) {
    auto* editor = reinterpret_cast<NoteEditor*>(self);
    const bool control = ::GetKeyState(VK_CONTROL) < 0;
    switch (message) {
        case WM_KEYDOWN:
            if (wParam == VK_RETURN && control) {
                ::PostMessageW(editor->Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return 0;
            }
            if (wParam == VK_ESCAPE) {
                ::PostMessageW(editor->Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                return 0;
            }
            if (wParam == 'A' && control) {
                ::SendMessageW(field, EM_SETSEL, 0, -1);
                return 0;
            }
            break;
        case WM_CHAR:
            // The characters those keys make: Ctrl+Enter's LF, Esc, Ctrl+A.
            if (wParam == L'\n' || wParam == 27 || (wParam == 1 && control)) {
                return 0;
            }
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(field, FieldProc, id);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(field, message, wParam, lParam);
}

}  // namespace snipora
