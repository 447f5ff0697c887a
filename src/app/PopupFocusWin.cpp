#include "app/PopupFocusWin.h"

#include <windowsx.h>

#include <imm.h>

#include <string>

#include "app/PopupController.h"
#include "log/Logger.h"
#include "view/HistoryTreeWin.h"
#include "win/Process.h"

namespace snipora {

PopupFocus::PopupFocus(HWND window, PopupController& popup, HistoryTree& tree)
    : window_(window), popup_(popup), tree_(tree), input_(window) {}

void PopupFocus::Started() {
    started_ = true;
    SetNoActivate(!takesFocusSetting_);
}

namespace {

bool ScreenReaderRuns() {
    BOOL screenReader = FALSE;
    ::SystemParametersInfoW(SPI_GETSCREENREADER, 0, &screenReader, 0);
    return screenReader != FALSE;
}

// The window with the keyboard in the thread of `front`, or `front` itself.
HWND FocusOfThread(HWND front) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = ::GetWindowThreadProcessId(front, nullptr);
    return thread != 0 && ::GetGUIThreadInfo(thread, &info) && info.hwndFocus != nullptr
               ? info.hwndFocus
               : front;
}

// WM_IME_CONTROL's question for the open status (imm.h's IMC_GETOPENSTATUS, which MinGW's
// headers lack).
constexpr WPARAM kImcGetOpenStatus = 0x0005;

// Whether the input method of the window is open; its default IME window answers, or a busy
// program is taken to have none.
bool InputMethodOpen(HWND window) {
    HWND ime = ::ImmGetDefaultIMEWnd(window);
    DWORD_PTR open = 0;
    return ime != nullptr &&
           ::SendMessageTimeoutW(ime, WM_IME_CONTROL, kImcGetOpenStatus, 0,
                                 SMTO_ABORTIFHUNG | SMTO_BLOCK, 100, &open) != 0 &&
           open != 0;
}

}  // namespace

bool PopupFocus::TakesFocus() const {
    return takesFocusSetting_ || ScreenReaderRuns();
}

FrontFacts PopupFocus::ReadFacts(HWND front) const {
    FrontFacts facts;
    facts.takesFocusSetting = takesFocusSetting_;
    facts.screenReader = ScreenReaderRuns();
    facts.frontExists = front != nullptr;
    facts.frontIsOwn = IsOwnProcessWindow(front);
    if (!facts.frontExists || facts.frontIsOwn) {
        return facts;
    }
    DWORD process = 0;
    ::GetWindowThreadProcessId(front, &process);
    facts.ownIntegrity = win::OwnIntegrity();
    facts.frontIntegrity = win::ProcessIntegrity(process, facts.ownIntegrity);
    facts.inputMethodOpen = InputMethodOpen(FocusOfThread(front));
    return facts;
}

void PopupFocus::SetNoActivate(bool noActivate) {
    const LONG_PTR style = ::GetWindowLongPtrW(window_, GWL_EXSTYLE);
    const LONG_PTR wanted = noActivate ? style | WS_EX_NOACTIVATE : style & ~WS_EX_NOACTIVATE;
    if (wanted != style) {
        ::SetWindowLongPtrW(window_, GWL_EXSTYLE, wanted);
    }
}

// The keys go to the window in front: with this program's own bar there, or none, no other
// program gets them for the hook to take, and the popup takes the focus instead.
void PopupFocus::Opened() {
    keysTaken_ = false;
    frontAtOpen_ = ::GetForegroundWindow();
    reason_ = WhyPopupTakesFocus(ReadFacts(frontAtOpen_));
    if (reason_ == FocusReason::None) {
        RECT popup{};
        ::GetWindowRect(window_, &popup);
        const DWORD thread = ::GetWindowThreadProcessId(frontAtOpen_, nullptr);
        if (!input_.Start(popup, ::GetKeyboardLayout(thread))) {
            reason_ = FocusReason::HookNotSet;
        }
    }
    // The usual reasons are not news; the others say why the keys went another way, a hook
    // refused as an error.
    const std::string why =
        std::string("[Popup] The popup takes the focus: ") + FocusReasonText(reason_);
    if (reason_ == FocusReason::HookNotSet) {
        LogError(why);
    } else if (reason_ == FocusReason::Elevated || reason_ == FocusReason::InputMethod) {
        LogInfo(why.c_str());
    }
    SetNoActivate(reason_ == FocusReason::None);
}

void PopupFocus::Closed() {
    input_.Stop();
    keysTaken_ = false;
    if (menuOpen_) {
        ::EndMenu();
    }
}

PopupCommand PopupFocus::CommandOf(UINT virtualKey, char16_t typed, bool searching) const {
    HookedKey key;
    key.virtualKey = static_cast<uint8_t>(virtualKey);
    key.typed = typed;
    key.searching = searching;
    key.shift = ::GetKeyState(VK_SHIFT) < 0;
    key.control = ::GetKeyState(VK_CONTROL) < 0;
    key.alt = ::GetKeyState(VK_MENU) < 0;
    key.windows = ::GetKeyState(VK_LWIN) < 0 || ::GetKeyState(VK_RWIN) < 0;
    // The characters come as such (WM_CHAR, without their key), in the layout the system
    // applied.
    return MeaningOf(key).command;
}

// A menu reads its keys from the queue of the window in front: the popup's window takes the
// foreground for as long as it is open, and gives it back to the window summoned over.
void PopupFocus::MenuOpens() {
    menuOpen_ = true;
    input_.PassKeys(true);
    if (!HasFocus() && input_.Routing()) {
        SetNoActivate(false);
        TakeForeground();
    }
}

void PopupFocus::MenuClosed() {
    menuOpen_ = false;
    if (!input_.Routing()) {
        return;  // the popup closed meanwhile, or has the focus
    }
    // Still in front, unless the user went to another window (the tick then closes the popup).
    if (IsOwnProcessWindow(::GetForegroundWindow()) && ::IsWindow(frontAtOpen_)) {
        ::SetForegroundWindow(frontAtOpen_);
    }
    SetNoActivate(true);
    input_.PassKeys(false);
}

// Without the focus, the keys reach the popup through the hook.
void PopupFocus::TakeKeys() {
    keysTaken_ = true;
    if (HasFocus()) {
        TakeForeground();
        tree_.Focus();
        // The text that the input method composed in the window in front is composed here.
        if (reason_ == FocusReason::InputMethod) {
            if (HIMC context = ::ImmGetContext(tree_.Control())) {
                ::ImmSetOpenStatus(context, TRUE);
                ::ImmReleaseContext(tree_.Control(), context);
            }
        }
    }
}

// The system drops a hook that answered late, without a word: input that no hook saw tells.
// The hooks are set again once; dropped again, the popup takes the focus.
void PopupFocus::WatchHook() {
    if (HasFocus() || !input_.Routing()) {
        return;
    }
    LASTINPUTINFO last{sizeof last, 0};
    if (!::GetLastInputInfo(&last)) {
        return;
    }
    switch (input_.Watch().Check(last.dwTime, ::GetTickCount())) {
        case HookWatch::Verdict::Fine:
            return;
        case HookWatch::Verdict::Reinstall:
            if (input_.Reinstall()) {
                LogError("[Popup] The system removed the keyboard hook; it is set again.");
                return;
            }
            break;
        case HookWatch::Verdict::GiveUp:
            input_.Stop();
            break;
    }
    reason_ = FocusReason::HookRemoved;
    LogError(std::string("[Popup] The popup takes the focus: ") + FocusReasonText(reason_));
    SetNoActivate(false);
    if (keysTaken_) {
        TakeKeys();
    }
}

void PopupFocus::TakeForeground() {
    TakeForegroundFor(window_);
}

void TakeForegroundFor(HWND window) {
    if (!::SetForegroundWindow(window) || ::GetForegroundWindow() != window) {
        const DWORD self = ::GetCurrentThreadId();
        const DWORD front = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
        if (front != 0 && front != self && ::AttachThreadInput(self, front, TRUE)) {
            ::SetForegroundWindow(window);
            ::AttachThreadInput(self, front, FALSE);
        }
    }
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

// A key the hook took, carried out as its meaning says. A move is the tree's own key, without
// the modifiers that the window in front has seen.
void PopupFocus::OnRoutedKey(UINT virtualKey, LPARAM info) {
    if (!popup_.Expanded()) {
        return;
    }
    keysTaken_ = true;
    const KeyMeaning meaning = PopupInput::MeaningOf(info);
    if (meaning.command == PopupCommand::Move) {
        BYTE state[256] = {};
        ::GetKeyboardState(state);
        for (const int vk : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LSHIFT, VK_RSHIFT, VK_LCONTROL,
                             VK_RCONTROL, VK_LMENU, VK_RMENU}) {
            state[vk] = 0;
        }
        ::SetKeyboardState(state);
    }
    tree_.Run(meaning.command, virtualKey, meaning.character);
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
    if (front != nullptr && front != frontAtOpen_ && !IsOwnProcessWindow(front)) {
        popup_.Deactivated();
    }
}

}  // namespace snipora
