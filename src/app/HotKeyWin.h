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
    bool Registered() const { return registered_; }

private:
    HWND window_;
    int id_;
    bool registered_ = false;
};

// The hot key's name as the keyboard's layout spells it: "Ctrl+Alt+V".
std::wstring HotKeyName(const TriggerKeys& keys);

// What `layout` types for the key with Shift, Ctrl and Alt held as given (ToUnicodeEx, leaving
// the keyboard's state, a dead key waiting included, as it was): the character, or 0.
char16_t LayoutTypes(HKL layout, uint8_t key, bool shift, bool control, bool alt);

// The keyboard layout of the window in front, which is what the hot key's keys are typed in.
HKL FrontLayout();

}  // namespace snipora
