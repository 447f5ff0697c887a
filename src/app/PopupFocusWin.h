#pragma once

#include <windows.h>

#include <optional>

#include "app/PopupFocusRule.h"
#include "app/PopupInputWin.h"

namespace snipora {

class HistoryTree;
class PopupController;

// Brings a window of this program to the front. The system may refuse the foreground to a
// program that does not have the keyboard; joined to the input of the one that has it for a
// moment, this one may take it.
void TakeForegroundFor(HWND window);

// The popup without the focus. While it is open, the keys reach it through the keyboard hook,
// and a click outside it or another window brought to the front closes it, while the window in
// front keeps its focus. A screen reader announces only a window that has the focus: with one
// running, or with [Main] PopupTakesFocus=1, the popup takes the focus as it always did. So it
// does wherever the hook cannot bring it keys (WhyPopupTakesFocus): with no window of another
// program in front to take them, one that runs with more rights (the hook is not called for its
// keys), one whose input method is open (it composes text from keys the hook sees raw), the
// hook not set, or removed by the system while the popup is open.
class PopupFocus {
public:
    PopupFocus(HWND window, PopupController& popup, HistoryTree& tree);
    PopupFocus(const PopupFocus&) = delete;
    PopupFocus& operator=(const PopupFocus&) = delete;

    // [Main] PopupTakesFocus.
    void SetTakesFocus(bool takesFocus) { takesFocusSetting_ = takesFocus; }
    // The start-up is over: from now on a click on the bar or the popup leaves the window in
    // front where it is.
    void Started();

    // The popup opens: the keys are routed to it until it closes.
    void Opened();
    void Closed();
    // The popup has the keys: summoned by them, or clicked into. It takes the focus as well when
    // it must.
    void TakeKeys();
    bool KeysTaken() const { return keysTaken_; }
    // The open popup has the focus rather than the hook: losing it, it closes.
    bool HasFocus() const { return reason_ != FocusReason::None; }
    // The meaning of a key that reached the tree itself, which has the focus: the modifiers are
    // those the window's thread has seen.
    PopupCommand CommandOf(UINT virtualKey, char16_t typed, bool searching) const;
    // The entry menu opens over the popup: every key goes to the menu until MenuClosed, and it
    // takes the foreground for that. The popup's close ends it.
    void MenuOpens();
    void MenuClosed();

    // The answer to the hook's messages and WM_MOUSEACTIVATE, or nullopt; follows the window
    // when it moves or changes size, and leaves those messages to it.
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Another window brought to the front (Alt+Tab, a click the hook did not see) closes the
    // popup; checked on the tick.
    void CloseOnForegroundChange();
    // A hook that the system removed is set again, or the popup takes the focus; on the tick.
    void WatchHook();

private:
    bool TakesFocus() const;
    FrontFacts ReadFacts(HWND front) const;
    void SetNoActivate(bool noActivate);
    void TakeForeground();
    void OnRoutedKey(UINT virtualKey, LPARAM info);
    void OnOutsideClick(POINT at);

    HWND window_;
    PopupController& popup_;
    HistoryTree& tree_;
    PopupInput input_;
    bool takesFocusSetting_ = false;
    bool started_ = false;
    // Why the open popup has the focus rather than the hook: None while the hook has the keys.
    FocusReason reason_ = FocusReason::None;
    bool keysTaken_ = false;  // the open popup has the keys: summoned by them or clicked
    bool menuOpen_ = false;
    HWND frontAtOpen_ = nullptr;  // the foreground window when the popup opened
};

}  // namespace snipora
