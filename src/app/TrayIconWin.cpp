#include "app/TrayIconWin.h"

#include "app/BalloonText.h"
#include "win/Text.h"

#include <cwchar>
#include <iterator>

namespace snipora {

TrayIcon::TrayIcon(HWND owner, HICON icon, const std::wstring& hint) : hint_(hint) {
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

void TrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text) {
    NOTIFYICONDATAW balloon = data_;
    balloon.uFlags = NIF_INFO;
    balloon.dwInfoFlags = NIIF_WARNING;
    std::wcsncpy(balloon.szInfoTitle, title.c_str(), std::size(balloon.szInfoTitle) - 1);
    const std::wstring lines(win::Wide(BalloonText(win::Utf16(text))));
    std::wcsncpy(balloon.szInfo, lines.c_str(), std::size(balloon.szInfo) - 1);
    ::Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

void TrayIcon::SetTip(const std::wstring& tip) {
    const std::wstring& shown = tip.empty() ? hint_ : tip;
    data_.szTip[shown.copy(data_.szTip, std::size(data_.szTip) - 1)] = L'\0';
    NOTIFYICONDATAW change = data_;
    change.uFlags = NIF_TIP;
    ::Shell_NotifyIconW(NIM_MODIFY, &change);
}

bool TrayIcon::Add() {
    added_ = ::Shell_NotifyIconW(NIM_ADD, &data_) != FALSE;
    return added_;
}

}  // namespace snipora
