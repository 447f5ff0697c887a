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
    // The tip shown over the icon; empty: the hint given at creation.
    void SetTip(const std::wstring& tip);
    // A warning balloon over the icon, for failures that should not stop the user with a box.
    void ShowBalloon(const std::wstring& title, const std::wstring& text);

private:
    NOTIFYICONDATAW data_{};
    std::wstring hint_;
    bool added_ = false;
};

}  // namespace snipora
