#pragma once

#include <windows.h>

namespace snipora::win {

// A modal dialog from a dialog resource. It holds its window while shown and hands the common
// messages to the handlers below, behind the exception firewall: an error ends that handler,
// shows in the standard error box, and the dialog goes on.
class BaseDialog {
public:
    BaseDialog() = default;
    BaseDialog(const BaseDialog&) = delete;
    BaseDialog& operator=(const BaseDialog&) = delete;
    virtual ~BaseDialog() = default;

    // The dialog's window while it is shown; null before and after.
    HWND Handle() const { return dialog_; }
    // How long the last close took, from End to RunModal's return, in milliseconds: the system
    // hides the window and activates its owner meanwhile, and the thread takes no messages.
    DWORD ClosingMs() const { return closingMs_; }

protected:
    // Shows the dialog until End; returns its result, or -1 if it could not be shown.
    INT_PTR RunModal(HWND owner, const wchar_t* templateName);
    // Ends the dialog; RunModal returns `result`.
    void End(INT_PTR result);

    // WM_INITDIALOG, once the controls exist.
    virtual void OnInit() {}
    // OK (the button or Enter). Ends the dialog with IDOK unless overridden.
    virtual void OnOk() { End(IDOK); }
    // Cancel, Esc and the close button, which the dialog manager turns into IDCANCEL. Ends the
    // dialog with IDCANCEL unless overridden.
    virtual void OnCancel() { End(IDCANCEL); }
    // Any other WM_COMMAND; true when handled.
    virtual bool OnCommand(int /*id*/, int /*code*/) { return false; }
    // Any other message, answered as a dialog procedure answers: TRUE when handled.
    virtual INT_PTR OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {
        return FALSE;
    }

    // The controls, by identifier.
    HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }
    LRESULT SendItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
        return ::SendDlgItemMessageW(dialog_, id, message, wParam, lParam);
    }
    void SetItemText(int id, const wchar_t* text) { ::SetDlgItemTextW(dialog_, id, text); }
    bool IsChecked(int id) const { return ::IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }
    void SetChecked(int id, bool checked) {
        ::CheckDlgButton(dialog_, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }

private:
    INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HWND dialog_ = nullptr;
    DWORD endedAt_ = 0;  // tick count at End
    DWORD closingMs_ = 0;
};

}  // namespace snipora::win
