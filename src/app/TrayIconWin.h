#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace snipora {

// The icon in the notification area, removed again when its owner goes.
class TrayIcon {
public:
    static constexpr UINT kCallbackMessage = WM_APP + 1;

    TrayIcon(HWND owner, HICON icon, const std::wstring& hint);
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon();

    // Adds the icon (again): at creation, and after the taskbar was recreated.
    bool Add();
    // A balloon message beside the icon.
    void ShowBalloon(const std::wstring& title, const std::wstring& text);

private:
    NOTIFYICONDATAW data_{};
    bool added_ = false;
};

}  // namespace snipora
