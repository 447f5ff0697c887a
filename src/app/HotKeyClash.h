#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace snipora {

// What the keyboard layout types for a key with Shift, Ctrl and Alt held as given (Ctrl and Alt
// together are AltGr on many layouts): the character, or 0 for none. The system's answer comes
// from ToUnicodeEx; tests pass a layout's table.
using LayoutTyping = std::function<char16_t(uint8_t key, bool shift, bool control, bool alt)>;

// The character that the hot key (a key with the kHotKey* modifier flags) types in the layout,
// or 0 when it types none: a registered hot key that types one takes that character from every
// program (AltGr+V types "@" on a Hungarian keyboard, and AltGr is Ctrl+Alt).
char16_t HotKeyCharacter(uint8_t key, unsigned modifiers, const LayoutTyping& typing);

// Another hot key on the same key that types nothing in the layout: Ctrl+Shift, else
// Ctrl+Alt+Shift; 0 when both type a character.
unsigned QuietModifiers(uint8_t key, const LayoutTyping& typing);

// The name of the quiet hot key on the same key ("Ctrl+Shift+V", the key as `keyName` spells
// it), or empty when there is none.
std::u16string QuietHotKeyName(uint8_t key, std::u16string_view keyName,
                               const LayoutTyping& typing);

// The settings dialog's note under the hot key: what it types in the layout and a quiet key to
// take instead ("Types “@” in this keyboard layout: Ctrl+Shift+V does not."), or empty when it
// types nothing.
std::u16string HotKeyClashNote(uint8_t key, unsigned modifiers, std::u16string_view keyName,
                               const LayoutTyping& typing);

// Watches the hot key against the layout in use: at the start and whenever the layout or the
// hot key changes, the hot key is tried, and the first clash found is told once, for the run.
class HotKeyClashWatch {
public:
    // The layout in use (any value that tells layouts apart) and the hot key, with its name
    // ("Ctrl+Alt+V"). The notice to show now, or empty: nothing changed, no clash, or told.
    std::u16string Check(uintptr_t layout, uint8_t key, unsigned modifiers,
                         std::u16string_view name, const LayoutTyping& typing);

private:
    uintptr_t layout_ = 0;
    uint8_t key_ = 0;
    unsigned modifiers_ = 0;
    bool checked_ = false;
    bool told_ = false;
};

}  // namespace snipora
