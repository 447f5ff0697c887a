#include "win/BaseDialog.h"

#include "win/BaseWindow.h"
#include "win/DarkMode.h"

namespace snipora::win {

INT_PTR BaseDialog::RunModal(HWND owner, const wchar_t* templateName) {
    const INT_PTR result = ::DialogBoxParamW(::GetModuleHandleW(nullptr), templateName, owner,
                                             DialogProc, reinterpret_cast<LPARAM>(this));
    dialog_ = nullptr;
    // Ended by another (a close of the program) it is not timed.
    closingMs_ = endedAt_ != 0 ? ::GetTickCount() - endedAt_ : 0;
    endedAt_ = 0;
    return result;
}

void BaseDialog::End(INT_PTR result) {
    endedAt_ = ::GetTickCount();
    ::EndDialog(dialog_, result);
}

INT_PTR BaseDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            ApplyDarkTitleBar(dialog_, DarkMode());
            OnInit();
            return TRUE;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (id == IDOK && code == BN_CLICKED) {
                OnOk();
                return TRUE;
            }
            if (id == IDCANCEL) {
                OnCancel();
                return TRUE;
            }
            return OnCommand(id, code) ? TRUE : FALSE;
        }
        default:
            return OnMessage(message, wParam, lParam);
    }
}

INT_PTR CALLBACK BaseDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<BaseDialog*>(lParam)->dialog_ = dialog;
    }
    auto* self = reinterpret_cast<BaseDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    return Firewall(dialog, FALSE, [&] { return self->Dispatch(message, wParam, lParam); });
}

}  // namespace snipora::win
