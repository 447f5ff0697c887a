#pragma once

#include <bitset>
#include <cstdint>

namespace snipora {

// A key as the keyboard hook sees it while the popup is open, before any window has it.
struct HookedKey {
    uint8_t virtualKey = 0;
    bool up = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool windows = false;
    // The character the key types in the layout of the window in front, or 0 for none.
    char16_t typed = 0;
    // The key starts a dead-key sequence (an accent waiting for its letter).
    bool dead = false;
    // Sent by this program itself (the paste's keystroke).
    bool ours = false;
};

// Shift, Ctrl, Alt and the Windows keys as the keyboard hook's own keys leave them, each side on
// its own: asking the system for each key would cost the hook a round trip per modifier. The
// codes that name no side, which a program's input may carry, count as the left key.
class HeldModifiers {
public:
    // The state when the hook starts: `isDown` answers for a side's virtual-key code.
    template <typename IsDown>
    void Seed(IsDown isDown) {
        for (const uint8_t vk : kSided) {
            held_[vk] = isDown(vk);
        }
    }
    // A key went down or up: true if it is a modifier, whose state is now taken.
    bool Take(uint8_t virtualKey, bool up);
    bool Shift() const { return held_[0xA0] || held_[0xA1]; }
    bool Control() const { return held_[0xA2] || held_[0xA3]; }
    bool Alt() const { return held_[0xA4] || held_[0xA5]; }
    bool Windows() const { return held_[0x5B] || held_[0x5C]; }

    // Left and right Shift, Ctrl and Alt, and the two Windows keys.
    static constexpr uint8_t kSided[] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x5B, 0x5C};

private:
    std::bitset<256> held_;
};

// What becomes of a key while the popup is open.
enum class KeyRoute : uint8_t {
    PassOn,          // the window in front gets it, as if the popup were not there
    Swallow,         // the popup gets it, the window in front never does
    PassOnAndClose,  // the window in front gets it, and the popup closes: the user does another
                     // thing
};

// Decides, key by key, which keys are the popup's: moving over the entries (arrows, PgUp, PgDn,
// Home, End), choosing and leaving (Enter, Delete, Backspace, Esc, Ctrl+Z), the entry menu
// (Shift+F10, the menu key), digits and typed characters. Modifiers always pass on, so the system
// never sees a modifier held that is not; a combination with Alt or a Windows key, a dead key,
// input from an input method and any other key pass on and close the popup. A key's release
// goes where its press went, so no window is left with a key down that it never saw go up.
class KeyRouter {
public:
    KeyRoute Route(const HookedKey& key);
    // Forgets the presses it took: the popup opens anew.
    void Reset() { swallowed_.reset(); }

private:
    std::bitset<256> swallowed_;
};

}  // namespace snipora
