#pragma once

#include <cstdint>

namespace snipora::settings {

// The modifier flags of a hot-key control's value (its high byte), as the system defines them.
inline constexpr uint8_t kHotKeyFlagShift = 0x01;
inline constexpr uint8_t kHotKeyFlagControl = 0x02;
inline constexpr uint8_t kHotKeyFlagAlt = 0x04;
inline constexpr uint8_t kHotKeyFlagExtended = 0x08;

// A hot-key control's value (low byte the key, high byte the modifier flags) as the shortcut
// code the settings store. The extended-key flag has no place in a shortcut and is dropped. No
// key gives 0, which turns the hot key off, whatever modifiers are held.
uint16_t ShortcutFromHotKey(uint16_t hotKey);

// A stored shortcut code as a hot-key control's value. Only the key and the three modifier bits
// count; other bits, and anything beyond 16 bits, are ignored. A code without a key gives 0.
uint16_t HotKeyFromShortcut(int32_t shortcut);

}  // namespace snipora::settings
