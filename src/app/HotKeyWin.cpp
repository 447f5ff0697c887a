#include "app/HotKeyWin.h"

#include <initializer_list>

#include "app/PopupController.h"

namespace snipora {

bool SystemHotKey::Register(UINT modifiers, UINT key) {
    Unregister();
    registered_ = ::RegisterHotKey(window_, id_, modifiers, key) != FALSE;
    return registered_;
}

void SystemHotKey::Unregister() {
    if (registered_) {
        ::UnregisterHotKey(window_, id_);
        registered_ = false;
    }
}

std::wstring HotKeyName(const TriggerKeys& keys) {
    std::wstring name;
    if (keys.systemModifiers & kHotKeyControl) {
        name += L"Ctrl+";
    }
    if (keys.systemModifiers & kHotKeyAlt) {
        name += L"Alt+";
    }
    if (keys.systemModifiers & kHotKeyShift) {
        name += L"Shift+";
    }
    wchar_t key[64] = {};
    const UINT scan = ::MapVirtualKeyW(keys.systemKey, MAPVK_VK_TO_VSC);
    if (scan != 0 && ::GetKeyNameTextW(static_cast<LONG>(scan << 16), key, 64) > 0) {
        return name + key;
    }
    return name + std::to_wstring(keys.systemKey);
}

char16_t LayoutTypes(HKL layout, uint8_t key, bool shift, bool control, bool alt) {
    BYTE state[256] = {};
    const auto hold = [&](std::initializer_list<int> keys) {
        for (const int vk : keys) {
            state[vk] = 0x80;
        }
    };
    if (shift) {
        hold({VK_SHIFT, VK_LSHIFT});
    }
    if (control) {
        hold({VK_CONTROL, VK_LCONTROL});
    }
    if (alt) {
        // With Ctrl, the right Alt: the AltGr of the layouts that have one.
        hold({VK_MENU, control ? VK_RMENU : VK_LMENU});
    }
    wchar_t typed[8] = {};
    const UINT scan = ::MapVirtualKeyExW(key, MAPVK_VK_TO_VSC, layout);
    // Flag 4 (Windows 10 1607 and later) leaves the keyboard's state alone; older systems ignore
    // it, and a dead key found is then cleared by asking once more.
    const int count = ::ToUnicodeEx(key, scan, state, typed, 8, 4, layout);
    if (count < 0) {
        ::ToUnicodeEx(key, scan, state, typed, 8, 4, layout);
        return 0;
    }
    return count == 1 ? static_cast<char16_t>(typed[0]) : 0;
}

HKL FrontLayout() {
    HWND front = ::GetForegroundWindow();
    return ::GetKeyboardLayout(front != nullptr ? ::GetWindowThreadProcessId(front, nullptr) : 0);
}

}  // namespace snipora
