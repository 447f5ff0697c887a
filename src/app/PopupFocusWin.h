#pragma once

#include <windows.h>

#include <optional>

#include "app/PopupInputWin.h"

namespace snipora {

class HistoryTree;
class PopupController;

// The popup without the focus. While it is open, the keys reach it through the keyboard hook,
// and a click outside it or another window brought to the front closes it, while the window in
// front keeps its focus. A screen reader announces only a window that has the focus: with one
// running, or with [Main] PopupTakesFocus=1, the popup takes the focus as it always did.
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

    // The answer to the hook's messages and WM_MOUSEACTIVATE, or nullopt; follows the window
    // when it moves or changes size, and leaves those messages to it.
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Another window brought to the front (Alt+Tab, a click the hook did not see) closes the
    // popup; checked on the tick.
    void CloseOnForegroundChange();

private:
    bool TakesFocus() const;
    void SetNoActivate(bool noActivate);
    void OnRoutedKey(UINT virtualKey, LPARAM info);
    void OnOutsideClick(POINT at);

    HWND window_;
    PopupController& popup_;
    HistoryTree& tree_;
    PopupInput input_;
    bool takesFocusSetting_ = false;
    bool started_ = false;
    bool focusMode_ = false;      // the open popup took the focus, as it did before the hook
    bool keysTaken_ = false;      // the open popup has the keys: summoned by them or clicked
    HWND frontAtOpen_ = nullptr;  // the foreground window when the popup opened
};

}  // namespace snipora
