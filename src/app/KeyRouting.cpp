#include "app/KeyRouting.h"

namespace snipora {
namespace {

// The virtual-key codes that the rule tells apart, as the system numbers them.
constexpr uint8_t kBack = 0x08, kReturn = 0x0D, kEscape = 0x1B, kPageUp = 0x21, kDown = 0x28,
                  kDelete = 0x2E, kZ = 0x5A, kApps = 0x5D, kF10 = 0x79, kProcessKey = 0xE5;

// Shift, Ctrl, Alt and the Windows keys in both their forms, and the lock keys.
bool IsModifierOrLock(uint8_t vk) {
    return (vk >= 0x10 && vk <= 0x12) || vk == 0x14 || vk == 0x5B || vk == 0x5C || vk == 0x90 ||
           vk == 0x91 || (vk >= 0xA0 && vk <= 0xA5);
}

// The browser, volume, media and launch keys: they act on the system, not on a window.
bool IsSystemKey(uint8_t vk) {
    return vk >= 0xA6 && vk <= 0xB7;
}

// The keys of input methods: Kana, Hangul, Junja, Final, Kanji, the IME on and off, Convert,
// Nonconvert, Accept and Mode change, and the key an input method has taken.
bool IsInputMethodKey(uint8_t vk) {
    return (vk >= 0x15 && vk <= 0x1A) || (vk >= 0x1C && vk <= 0x1F) || vk == kProcessKey;
}

}  // namespace

bool HeldModifiers::Take(uint8_t virtualKey, bool up) {
    // Shift, Ctrl and Alt without a side are the left ones.
    const uint8_t vk = virtualKey >= 0x10 && virtualKey <= 0x12
                           ? static_cast<uint8_t>(0xA0 + 2 * (virtualKey - 0x10))
                           : virtualKey;
    for (const uint8_t sided : kSided) {
        if (sided == vk) {
            held_[vk] = !up;
            return true;
        }
    }
    return false;
}

KeyRoute KeyRouter::Route(const HookedKey& key) {
    const uint8_t vk = key.virtualKey;
    if (key.ours) {
        return KeyRoute::PassOn;
    }
    if (key.up) {
        if (swallowed_.test(vk)) {
            swallowed_.reset(vk);
            return KeyRoute::Swallow;
        }
        return KeyRoute::PassOn;
    }
    if (IsModifierOrLock(vk) || IsSystemKey(vk)) {
        return KeyRoute::PassOn;
    }
    // Ctrl and Alt together are AltGr on many layouts, which types characters.
    const bool altGr = key.control && key.alt;
    if (key.windows || (key.alt && !altGr) || key.dead || IsInputMethodKey(vk)) {
        return KeyRoute::PassOnAndClose;
    }
    bool take = false;
    if ((vk >= kPageUp && vk <= kDown) || vk == kReturn || vk == kDelete || vk == kBack ||
        vk == kEscape || vk == kApps) {
        take = true;
    } else if (vk == kF10) {
        take = key.shift && !key.control;
    } else if (vk == kZ && key.control && !key.alt) {
        take = true;  // Undo
    } else {
        take = key.typed >= 0x20 && key.typed != 0x7F && (!key.control || altGr);
    }
    if (!take) {
        return KeyRoute::PassOnAndClose;
    }
    swallowed_.set(vk);
    return KeyRoute::Swallow;
}

}  // namespace snipora
