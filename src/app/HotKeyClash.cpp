#include "app/HotKeyClash.h"

#include "app/PopupController.h"

namespace snipora {

char16_t HotKeyCharacter(uint8_t key, unsigned modifiers, const LayoutTyping& typing) {
    const bool control = (modifiers & kHotKeyControl) != 0;
    const bool alt = (modifiers & kHotKeyAlt) != 0;
    // Alt without Ctrl is the menus': the layout answers with the key's own character, which
    // Alt+key never types. Ctrl's control codes are no characters either (below).
    if (key == 0 || (alt && !control)) {
        return 0;
    }
    const char16_t typed = typing(key, (modifiers & kHotKeyShift) != 0, control, alt);
    return typed >= 0x20 && typed != 0x7F ? typed : 0;
}

unsigned QuietModifiers(uint8_t key, const LayoutTyping& typing) {
    // Not Alt+Shift: that switches the keyboard layout on many systems.
    for (const unsigned modifiers :
         {kHotKeyControl | kHotKeyShift, kHotKeyControl | kHotKeyAlt | kHotKeyShift}) {
        if (HotKeyCharacter(key, modifiers, typing) == 0) {
            return modifiers;
        }
    }
    return 0;
}

std::u16string QuietHotKeyName(uint8_t key, std::u16string_view keyName,
                               const LayoutTyping& typing) {
    const unsigned quiet = QuietModifiers(key, typing);
    if (quiet == 0) {
        return {};
    }
    std::u16string name = (quiet & kHotKeyAlt) != 0 ? u"Ctrl+Alt+Shift+" : u"Ctrl+Shift+";
    return name += keyName;
}

std::u16string HotKeyClashNote(uint8_t key, unsigned modifiers, std::u16string_view keyName,
                               const LayoutTyping& typing) {
    const char16_t typed = HotKeyCharacter(key, modifiers, typing);
    if (typed == 0) {
        return {};
    }
    std::u16string text = u"Types \u201c";
    text += typed;
    text += u"\u201d in this keyboard layout";
    const std::u16string quiet = QuietHotKeyName(key, keyName, typing);
    return text + (quiet.empty() ? u"." : u": " + quiet + u" does not.");
}

std::u16string HotKeyClashWatch::Check(uintptr_t layout, uint8_t key, unsigned modifiers,
                                       std::u16string_view name, const LayoutTyping& typing) {
    if (told_ || (checked_ && layout == layout_ && key == key_ && modifiers == modifiers_)) {
        return {};
    }
    checked_ = true;
    layout_ = layout;
    key_ = key;
    modifiers_ = modifiers;
    const char16_t typed = HotKeyCharacter(key, modifiers, typing);
    if (typed == 0) {
        return {};
    }
    told_ = true;
    std::u16string text = std::u16string(name) + u" types \u201c";
    text += typed;
    text +=
        u"\u201d in your keyboard layout: while Snipora holds it, no program gets that "
        u"character. Choose another key in the settings";
    const std::u16string quiet = QuietHotKeyName(key, name.substr(name.rfind(u'+') + 1), typing);
    if (!quiet.empty()) {
        text += u", for example " + quiet;
    }
    return text + u".";
}

}  // namespace snipora
