#include "settings/HotKeyCode.h"

#include "settings/Keys.h"

namespace snipora::settings {

uint16_t ShortcutFromHotKey(uint16_t hotKey) {
    const uint16_t key = hotKey & 0xFF;
    if (key == 0) {
        return 0;
    }
    const uint8_t flags = static_cast<uint8_t>(hotKey >> 8);
    uint16_t code = key;
    if (flags & kHotKeyFlagShift) {
        code |= keys::kShortcutShift;
    }
    if (flags & kHotKeyFlagControl) {
        code |= keys::kShortcutControl;
    }
    if (flags & kHotKeyFlagAlt) {
        code |= keys::kShortcutAlt;
    }
    return code;
}

uint16_t HotKeyFromShortcut(int32_t shortcut) {
    const uint16_t key = static_cast<uint16_t>(shortcut & 0xFF);
    if (key == 0) {
        return 0;
    }
    uint8_t flags = 0;
    if (shortcut & keys::kShortcutShift) {
        flags |= kHotKeyFlagShift;
    }
    if (shortcut & keys::kShortcutControl) {
        flags |= kHotKeyFlagControl;
    }
    if (shortcut & keys::kShortcutAlt) {
        flags |= kHotKeyFlagAlt;
    }
    return static_cast<uint16_t>(key | flags << 8);
}

}  // namespace snipora::settings
