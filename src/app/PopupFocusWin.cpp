#include "app/PopupFocusWin.h"

#include <windowsx.h>

#include "app/PopupController.h"
#include "view/HistoryTreeWin.h"

namespace snipora {
namespace {

// Any window of this program: the bar, its menus, dialogs and message boxes.
bool IsOwnProcessWindow(HWND window) {
    DWORD process = 0;
    return window != nullptr && ::GetWindowThreadProcessId(window, &process) != 0 &&
           process == ::GetCurrentProcessId();
}

}  // namespace

PopupFocus::PopupFocus(HWND window, PopupController& popup, HistoryTree& tree)
    : window_(window), popup_(popup), tree_(tree), input_(window) {}

void PopupFocus::Started() {
    started_ = true;
    SetNoActivate(!takesFocusSetting_);
}

bool PopupFocus::TakesFocus() const {
    BOOL screenReader = FALSE;
    ::SystemParametersInfoW(SPI_GETSCREENREADER, 0, &screenReader, 0);
    return takesFocusSetting_ || screenReader;
}

void PopupFocus::SetNoActivate(bool noActivate) {
    const LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_EXSTYLE);
    const LONG_PTR wanted = noActivate ? style | WS_EX_NOACTIVATE : style & ~WS_EX_NOACTIVATE;
    if (wanted != style) {
        ::SetWindowLongPtrW(window_, GWL_EXSTYLE, wanted);
    }
}

void PopupFocus::Opened() {
    keysTaken_ = false;
    focusMode_ = TakesFocus();
    SetNoActivate(!focusMode_);
    if (focusMode_) {
        return;
    }
    frontAtOpen_ = ::GetForegroundWindow();
    RECT popup{};
    ::GetWindowRect(window_, &popup);
    const DWORD thread = ::GetWindowThreadProcessId(frontAtOpen_, nullptr);
    input_.Start(popup, ::GetKeyboardLayout(thread));
}

void PopupFocus::Closed() {
    input_.Stop();
    keysTaken_ = false;
}

// The system may refuse the foreground to a program that does not have the keyboard; joined
// to the input of the one that has it for a moment, this one may take it.
// Without the focus, the keys reach the popup through the hook.
void PopupFocus::TakeKeys() {
    keysTaken_ = true;
    if (!focusMode_) {
        return;
    }
    if (!::SetForegroundWindow(window_) || ::GetForegroundWindow() != window_) {
        const DWORD self = ::GetCurrentThreadId();
        const DWORD front = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
        if (front != 0 && front != self && ::AttachThreadInput(self, front, TRUE)) {
            ::SetForegroundWindow(window_);
            ::AttachThreadInput(self, front, FALSE);
        }
    }
    tree_.Focus();
}

std::optional<LRESULT> PopupFocus::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEACTIVATE:
            // Clicked into, the popup has the keys; the window in front keeps its focus.
            if (started_ && !TakesFocus()) {
                keysTaken_ = keysTaken_ || popup_.Expanded();
                return MA_NOACTIVATE;
            }
            return std::nullopt;
        case PopupInput::kKeyMessage:
            OnRoutedKey(static_cast<UINT>(wParam), lParam);
            return 0;
        case PopupInput::kCloseMessage:
            popup_.Deactivated();
            return 0;
        case PopupInput::kOutsideClickMessage:
            OnOutsideClick({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        case PopupInput::kWheelMessage:
            if (popup_.Expanded()) {
                ::SendMessageW(tree_.Control(), WM_MOUSEWHEEL,
                               MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(wParam))),
                               lParam);
            }
            return 0;
        case WM_MOVE:
        case WM_SIZE:
            // Dragged or resized while open: a click outside is judged by where it is now.
            if (input_.Routing()) {
                RECT area{};
                ::GetWindowRect(window_, &area);
                input_.SetArea(area);
            }
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

// A key the hook took, handed to the tree (or the search field, once clicked into) as if it had
// come from the keyboard, with the modifiers that were held.
void PopupFocus::OnRoutedKey(UINT virtualKey, LPARAM info) {
    if (!popup_.Expanded()) {
        return;
    }
    keysTaken_ = true;
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    state[VK_SHIFT] = (info & PopupInput::kShift) != 0 ? 0x80 : 0;
    state[VK_CONTROL] = (info & PopupInput::kControl) != 0 ? 0x80 : 0;
    state[VK_MENU] = (info & PopupInput::kAlt) != 0 ? 0x80 : 0;
    ::SetKeyboardState(state);
    HWND to = tree_.KeyTarget();
    ::SendMessageW(to, WM_KEYDOWN, virtualKey, 1);
    const auto typed = static_cast<wchar_t>(info & 0xFFFF);
    if (typed != 0 && popup_.Expanded()) {
        ::SendMessageW(to, WM_CHAR, typed, 1);
    }
}

// A click elsewhere closes the popup and still reaches its window; a click on a menu or dialog
// of this program's does not.
void PopupFocus::OnOutsideClick(POINT at) {
    if (!IsOwnProcessWindow(::WindowFromPoint(at))) {
        popup_.Deactivated();
    }
}

// A window in front that closed leaves none in front for a moment: the popup stays, and a choice
// then pastes nothing. A menu or a question of this program's in front gets its keys as usual.
void PopupFocus::CloseOnForegroundChange() {
    if (!popup_.Expanded() || !input_.Routing()) {
        return;
    }
    HWND front = ::GetForegroundWindow();
    const bool ours = IsOwnProcessWindow(front);
    input_.PassKeys(ours);
    if (front != nullptr && front != frontAtOpen_ && !ours) {
        popup_.Deactivated();
    }
}

}  // namespace snipora
