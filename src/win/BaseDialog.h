#pragma once

#include <windows.h>

namespace snipora::win {

// A modal dialog from a dialog resource whose messages go to a member handler, behind the
// exception firewall: an error ends that handler, shows in the standard error box, and the
// dialog goes on.
class BaseDialog {
public:
    BaseDialog() = default;
    BaseDialog(const BaseDialog&) = delete;
    BaseDialog& operator=(const BaseDialog&) = delete;
    virtual ~BaseDialog() = default;

protected:
    // Shows the dialog until EndDialog; returns its result, or -1 if it could not be shown.
    INT_PTR RunModal(HWND owner, const wchar_t* templateName);
    // As a dialog procedure answers: TRUE when handled. Left unhandled, the close button and Esc
    // arrive as IDCANCEL (the dialog manager's own translation).
    virtual INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) = 0;

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace snipora::win
