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
