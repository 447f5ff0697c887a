#pragma once

#include <windows.h>

#include <string>

namespace snipora {

struct TriggerKeys;

// The hot key that the system keeps from every other program for one window and reports with
// WM_HOTKEY, so that it never reaches the window in front as well. Given back when another is
// registered, and with its owner.
class SystemHotKey {
public:
    SystemHotKey(HWND window, int id) : window_(window), id_(id) {}
    SystemHotKey(const SystemHotKey&) = delete;
    SystemHotKey& operator=(const SystemHotKey&) = delete;
    ~SystemHotKey() { Unregister(); }

    // False when another program holds the keys.
    bool Register(UINT modifiers, UINT key);
    void Unregister();

private:
    HWND window_;
    int id_;
    bool registered_ = false;
};

// The hot key's name as the keyboard's layout spells it: "Ctrl+Alt+V".
std::wstring HotKeyName(const TriggerKeys& keys);

}  // namespace snipora
