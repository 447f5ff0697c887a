#include "win/BaseDialog.h"

#include "win/BaseWindow.h"

namespace snipora::win {

INT_PTR BaseDialog::RunModal(HWND owner, const wchar_t* templateName) {
    return ::DialogBoxParamW(::GetModuleHandleW(nullptr), templateName, owner, DialogProc,
                             reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK BaseDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    }
    auto* self = reinterpret_cast<BaseDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    return Firewall(dialog, FALSE,
                    [&] { return self->HandleMessage(dialog, message, wParam, lParam); });
}

}  // namespace snipora::win
