#include "app/KeyRouting.h"

namespace snipora {
namespace {

// The virtual-key codes that the rule tells apart, as the system numbers them.
constexpr uint8_t kEnd = 0x23, kHome = 0x24, kUp = 0x26, kN = 0x4E, kF2 = 0x71;
constexpr uint8_t kBack = 0x08, kReturn = 0x0D, kEscape = 0x1B, kPageUp = 0x21, kDown = 0x28,
                  kDelete = 0x2E, kF = 0x46, kZ = 0x5A, kSpace = 0x20, kA = 0x41, kApps = 0x5D,
                  kF3 = 0x72, kF10 = 0x79, kCapsLock = 0x14;

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
// Nonconvert, Accept and Mode change. (The key an input method has taken, VK_PROCESSKEY, never
// reaches a low-level hook: with an input method open the popup takes the focus instead.)
bool IsInputMethodKey(uint8_t vk) {
    return (vk >= 0x15 && vk <= 0x1A) || (vk >= 0x1C && vk <= 0x1F);
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
    if (vk == kCapsLock && !up) {
        capsLock_ = !capsLock_;
    }
    return false;
}

KeyMeaning MeaningOf(const HookedKey& key) {
    using enum PopupCommand;
    const uint8_t vk = key.virtualKey;
    if (IsModifierOrLock(vk) || IsSystemKey(vk)) {
        return {KeyRoute::PassOn, None};
    }
    constexpr KeyMeaning kClose{KeyRoute::PassOnAndClose, None};
    // Ctrl and Alt together are AltGr on many layouts, which types characters.
    const bool altGr = key.control && key.alt;
    if (key.windows || (key.alt && !altGr) || key.dead || IsInputMethodKey(vk)) {
        return kClose;
    }
    const auto take = [](PopupCommand command, char16_t character = 0) {
        return KeyMeaning{KeyRoute::Swallow, command, character};
    };
    if (key.control && !key.alt && !key.shift &&
        (vk == kUp || vk == kDown || vk == kHome || vk == kEnd)) {
        return take(Reorder);
    }
    if ((vk == kUp || vk == kDown) && key.shift && !key.control && !key.alt) {
        return take(Extend);
    }
    if (vk >= kPageUp && vk <= kDown) {
        return take(Move);
    }
    switch (vk) {
        case kReturn:
            return take(Choose);
        case kDelete:
            return take(Delete);
        case kEscape:
            return take(Leave);
        case kApps:
            return take(Menu);
        case kBack:
            return take(Type, u'\b');
        case kF10:
            return key.shift && !key.control ? take(Menu) : kClose;
        case kF3:
            return !key.shift && !key.control ? take(Search) : kClose;
        case kF2:
            return !key.shift && !key.control ? take(Edit) : kClose;
        default:
            break;
    }
    if (key.control && !key.alt && (vk == kZ || vk == kF)) {
        return take(vk == kZ ? Undo : Search);
    }
    if (key.control && !key.alt && !key.shift && (vk == kSpace || vk == kA || vk == kN)) {
        return take(vk == kSpace ? Toggle : vk == kA ? SelectAll : NewNote);
    }
    // With no search open, Space shows the whole entry; in one, it is a character.
    if (key.typed == u' ' && !key.searching && !key.control && !key.alt) {
        return take(Preview);
    }
    if (key.typed >= 0x20 && key.typed != 0x7F && (!key.control || altGr)) {
        const bool picks = !key.searching && key.typed >= u'1' && key.typed <= u'9';
        return take(picks ? Pick : Type, key.typed);
    }
    return kClose;
}

KeyMeaning KeyRouter::Route(HookedKey key, bool toPopup) {
    const uint8_t vk = key.virtualKey;
    key.searching = key.searching || Searching();
    if (key.ours) {
        return {};
    }
    if (key.up) {
        if (swallowed_.test(vk)) {
            swallowed_.reset(vk);
            return {KeyRoute::Swallow, PopupCommand::None};
        }
        return {};
    }
    const KeyMeaning meaning = toPopup ? MeaningOf(key) : KeyMeaning{};
    // A press that passes on takes its release with it, even one that repeats a taken key.
    swallowed_.set(vk, meaning.route == KeyRoute::Swallow);
    Follow(meaning);
    return meaning;
}

void KeyRouter::Follow(const KeyMeaning& meaning) {
    switch (meaning.command) {
        case PopupCommand::Search:
            searchOpened_ = true;
            break;
        case PopupCommand::Type:
            if (meaning.character != u'\b') {
                ++searchLength_;
            } else if (searchLength_ > 0) {
                --searchLength_;
            }
            break;
        case PopupCommand::Leave:  // Esc takes the search away
            searchOpened_ = false;
            searchLength_ = 0;
            break;
        default:
            break;
    }
}

}  // namespace snipora
