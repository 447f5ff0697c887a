#include "app/HotKeyWin.h"

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

}  // namespace snipora
