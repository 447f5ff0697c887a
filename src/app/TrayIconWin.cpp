#include "app/TrayIconWin.h"

#include <cwchar>

namespace snipora {

TrayIcon::TrayIcon(HWND owner, HICON icon, const std::wstring& hint) {
    data_.cbSize = sizeof data_;
    data_.hWnd = owner;
    data_.uID = 1;
    data_.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data_.uCallbackMessage = kCallbackMessage;
    data_.hIcon = icon;
    std::wcsncpy(data_.szTip, hint.c_str(), sizeof data_.szTip / sizeof data_.szTip[0] - 1);
    Add();
}

TrayIcon::~TrayIcon() {
    if (added_) {
        ::Shell_NotifyIconW(NIM_DELETE, &data_);
    }
}

bool TrayIcon::Add() {
    added_ = ::Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    return added_;
}

void TrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text) {
    NOTIFYICONDATAW balloon = data_;
    balloon.uFlags = NIF_INFO;
    balloon.dwInfoFlags = NIIF_WARNING;
    std::wcsncpy(balloon.szInfoTitle, title.c_str(),
                 sizeof balloon.szInfoTitle / sizeof balloon.szInfoTitle[0] - 1);
    std::wcsncpy(balloon.szInfo, text.c_str(),
                 sizeof balloon.szInfo / sizeof balloon.szInfo[0] - 1);
    ::Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

}  // namespace snipora
