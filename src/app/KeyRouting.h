#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>

#include "view/PopupCommand.h"

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
    // A search is open: something was typed into it, or Ctrl+F or F3 opened it.
    bool searching = false;
};

// Shift, Ctrl, Alt and the Windows keys as the keyboard hook's own keys leave them, each side on
// its own, and Caps Lock: asking the system for each key would cost the hook a round trip per
// modifier. The codes that name no side, which a program's input may carry, count as the left
// key.
class HeldModifiers {
public:
    // The state when the hook starts: `isDown` answers for a side's virtual-key code.
    template <typename IsDown>
    void Seed(IsDown isDown, bool capsLock = false) {
        for (const uint8_t vk : kSided) {
            held_[vk] = isDown(vk);
        }
        capsLock_ = capsLock;
    }
    // A key went down or up: true if it is a modifier, whose state is now taken. Caps Lock
    // going down turns its lock over, and is no modifier.
    bool Take(uint8_t virtualKey, bool up);
    bool Shift() const { return held_[0xA0] || held_[0xA1]; }
    bool Control() const { return held_[0xA2] || held_[0xA3]; }
    bool Alt() const { return held_[0xA4] || held_[0xA5]; }
    bool Windows() const { return held_[0x5B] || held_[0x5C]; }
    bool CapsLock() const { return capsLock_; }

    // Left and right Shift, Ctrl and Alt, and the two Windows keys.
    static constexpr uint8_t kSided[] = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0x5B, 0x5C};

private:
    std::bitset<256> held_;
    bool capsLock_ = false;
};

// What becomes of a key while the popup is open.
enum class KeyRoute : uint8_t {
    PassOn,          // the window in front gets it, as if the popup were not there
    Swallow,         // the popup gets it, the window in front never does
    PassOnAndClose,  // the window in front gets it, and the popup closes: the user does another
                     // thing
};

// A key's meaning: where it goes and, for a key the popup takes, what it does there.
struct KeyMeaning {
    KeyRoute route = KeyRoute::PassOn;
    PopupCommand command = PopupCommand::None;
    char16_t character = 0;  // what a Type command types
    bool operator==(const KeyMeaning&) const = default;
};

// The meaning of a key pressed while the popup has the keys, whoever hands it over: the keyboard
// hook, or the tree itself when the popup has the focus. The popup's keys are moving over the
// entries (arrows, PgUp, PgDn, Home, End), choosing and leaving (Enter, Delete, Esc, Ctrl+Z),
// the entry menu (Shift+F10, the menu key), the search (Ctrl+F, F3), the notes (Ctrl+N for a new
// one, F2 to edit, Ctrl with Up, Down, Home or End to move one), the preview (Space while no
// search is open), the selection of several entries (Shift+Up and Shift+Down, Ctrl+Space,
// Ctrl+A) and typing (Backspace and
// every character, also one that Ctrl and Alt together make, as AltGr does on many layouts). A
// digit from 1 to 9 picks that history entry while no search is open, and is typed into one that
// is. Modifiers, locks and the system's keys pass on; a combination with Alt alone or a Windows
// key, a dead key, the keys that switch an input method and any other key pass on and close the
// popup.
KeyMeaning MeaningOf(const HookedKey& key);

// What the layout of the window in front types for a key with the modifiers held.
struct LayoutCharacter {
    char16_t character = 0;  // 0 for none
    bool dead = false;       // the key starts a dead-key sequence
};

// The keyboard hook's rule, key by key. It takes every modifier's press and release, whoever gets
// the key: while the popup takes no keys (a menu or a question of this program's is in front,
// or an entry was chosen and the popup closes) every key passes on, and the modifiers stay
// true for the keys after. A key's release goes where its last press went, so that no window is
// left with a key down that it never saw go up, nor sees a release without its press.
class KeyRouter {
public:
    // The popup opens: the modifiers as the system has them now; no release is owed.
    template <typename IsDown>
    void Start(IsDown isDown, bool capsLock) {
        held_.Seed(isDown, capsLock);
        swallowed_.reset();
        searchOpened_ = false;
        searchLength_ = 0;
    }
    // A key as the hook sees it: its code, going up or down, sent by this program itself.
    // `toPopup` is false while the popup takes no keys. `layout(virtualKey, held)` answers
    // what the key types (a LayoutCharacter); it is asked only for a press the popup may take.
    template <typename Layout>
    KeyMeaning Route(uint8_t virtualKey, bool up, bool ours, bool toPopup, Layout&& layout) {
        HookedKey key;
        key.virtualKey = virtualKey;
        key.up = up;
        key.ours = ours;
        const bool modifier = held_.Take(virtualKey, up);
        key.shift = held_.Shift();
        key.control = held_.Control();
        key.alt = held_.Alt();
        key.windows = held_.Windows();
        if (!up && !ours && !modifier && toPopup) {
            const LayoutCharacter typed = layout(virtualKey, held_);
            key.typed = typed.character;
            key.dead = typed.dead;
        }
        return Route(key, toPopup);
    }
    // The same for a key whose modifiers and character are known; it counts as searching also
    // while the keys routed since Start have left a search open.
    KeyMeaning Route(HookedKey key, bool toPopup = true);
    // The keys since Start left a search open: characters typed and not all taken back, or
    // Ctrl+F or F3 and no Esc since. Followed here, not asked of the window: keys typed fast come
    // before the window has taken the ones before them.
    bool Searching() const { return searchOpened_ || searchLength_ > 0; }
    // A release is still owed for a press the popup took.
    bool Owes() const { return swallowed_.any(); }
    const HeldModifiers& Held() const { return held_; }

private:
    void Follow(const KeyMeaning& meaning);

    HeldModifiers held_;
    std::bitset<256> swallowed_;
    bool searchOpened_ = false;
    size_t searchLength_ = 0;
};

}  // namespace snipora
