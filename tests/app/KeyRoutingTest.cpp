#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "app/KeyRouting.h"

namespace snipora {
namespace {

using enum PopupCommand;
constexpr KeyMeaning kPass{KeyRoute::PassOn, None, 0};
constexpr KeyMeaning kClose{KeyRoute::PassOnAndClose, None, 0};
constexpr KeyMeaning kReleased{KeyRoute::Swallow, None, 0};  // the release of a taken press

KeyMeaning Take(PopupCommand command, char16_t character = 0) {
    return {KeyRoute::Swallow, command, character};
}

HookedKey Key(uint8_t vk, char16_t typed = 0) {
    HookedKey key;
    key.virtualKey = vk;
    key.typed = typed;
    return key;
}

HookedKey Searching(HookedKey key) {
    key.searching = true;
    return key;
}

HookedKey With(HookedKey key, bool shift, bool control, bool alt, bool windows = false) {
    key.shift = shift;
    key.control = control;
    key.alt = alt;
    key.windows = windows;
    return key;
}

TEST(KeyRouting, ThePopupsKeysAreTakenEveryOtherKeyPassesOnAndCloses) {
    const struct {
        HookedKey key;
        KeyMeaning meaning;
        const char* what;
    } cases[] = {
        // Moving, choosing, leaving, the menu: the first and last of each range.
        {Key(0x21), Take(Move), "PgUp"},
        {Key(0x28), Take(Move), "Down"},
        {With(Key(0x28), false, true, false), Take(Reorder), "Ctrl+Down moves the note"},
        {With(Key(0x24), false, true, false), Take(Reorder), "Ctrl+Home, the first to move one"},
        {With(Key(0x26), false, true, false), Take(Reorder), "Ctrl+Up"},
        {With(Key(0x21), false, true, false), Take(Move), "Ctrl+PgUp, just below Ctrl+End"},
        {With(Key(0x26), true, true, false), Take(Move), "Ctrl+Shift+Up"},
        {With(Key(0x4E, 0x0E), false, true, false), Take(NewNote), "Ctrl+N"},
        {Key(0x4E, u'n'), Take(Type, u'n'), "n"},
        {Key(0x71), Take(Edit), "F2"},
        {With(Key(0x71), true, false, false), kClose, "Shift+F2"},
        {Key(0x20, u' '), Take(Preview), "Space with no search open"},
        {Searching(Key(0x20, u' ')), Take(Type, u' '), "Space types into a search"},
        {Key(0x29), kClose, "Select, just past Down"},
        {Key(0x0D, u'\r'), Take(Choose), "Enter"},
        {Key(0x2E), Take(Delete), "Delete"},
        {Key(0x08, u'\b'), Take(Type, u'\b'), "Backspace"},
        {Key(0x1B, 0x1B), Take(Leave), "Esc"},
        {Key(0x5D), Take(Menu), "the menu key"},
        {With(Key(0x79), true, false, false), Take(Menu), "Shift+F10"},
        {Key(0x79), kClose, "F10 alone"},
        {With(Key(0x79), true, true, false), kClose, "Ctrl+Shift+F10"},
        {With(Key(0x5A, 0x1A), false, true, false), Take(Undo), "Ctrl+Z"},
        {With(Key(0x5A, 0x1A), true, true, false), Take(Undo), "Ctrl+Shift+Z"},
        {With(Key(0x56, 0x16), false, true, false), kClose, "Ctrl+V"},
        // The selection of several entries.
        {With(Key(0x26), true, false, false), Take(Extend), "Shift+Up"},
        {With(Key(0x28), true, false, false), Take(Extend), "Shift+Down"},
        {With(Key(0x25), true, false, false), Take(Move), "Shift+Left, between them, moves"},
        {With(Key(0x21), true, false, false), Take(Move), "Shift+PgUp moves"},
        {With(Key(0x28), true, true, false), Take(Move), "Ctrl+Shift+Down moves"},
        {With(Key(0x20, u' '), false, true, false), Take(Toggle), "Ctrl+Space"},
        {With(Key(0x20, u' '), true, true, false), kClose, "Ctrl+Shift+Space"},
        {With(Key(0x41, 0x01), false, true, false), Take(SelectAll), "Ctrl+A"},
        {With(Key(0x41, u'\u0105'), false, true, true), Take(Type, u'\u0105'), "AltGr+A types"},
        // Typed characters and digits, in the layout of the window in front.
        {Key(0x31, u'1'), Take(Pick, u'1'), "1 picks the newest entry"},
        {Key(0x61, u'1'), Take(Pick, u'1'), "1 on the keypad"},
        {Key(0x39, u'9'), Take(Pick, u'9'), "9, the last to pick"},
        {Key(0x30, u'0'), Take(Type, u'0'), "0 picks nothing: it searches"},
        {Key(0x46, u'f'), Take(Type, u'f'), "f"},
        {With(Key(0x46, 0x06), false, true, false), Take(Search), "Ctrl+F opens the search"},
        {With(Key(0x46, 0x06), true, true, false), Take(Search), "Ctrl+Shift+F"},
        {Key(0x72), Take(Search), "F3 opens the search"},
        {With(Key(0x72), true, false, false), kClose, "Shift+F3"},
        {With(Key(0x72), false, true, false), kClose, "Ctrl+F3"},
        {Key(0x41, u'a'), Take(Type, u'a'), "a"},
        {With(Key(0x41, u'A'), true, false, false), Take(Type, u'A'), "Shift+A"},
        {Key(0xC0, u'\u00f6'), Take(Type, u'\u00f6'), "a letter of another layout"},
        {With(Key(0x51, u'@'), false, true, true), Take(Type, u'@'), "AltGr+Q types @"},
        {With(Key(0x51), false, true, true), kClose, "Ctrl+Alt+Q types nothing"},
        {Key(0x41, 0x7F), kClose, "a control character"},
        {Key(0x41, 0x1F), kClose, "the last control character below space"},
        // Alt or a Windows key held, dead keys, input methods: theirs, and the popup closes.
        {With(Key(0x09, u'\t'), false, false, true), kClose, "Alt+Tab"},
        {With(Key(0x28), false, false, true), kClose, "Alt+Down"},
        {With(Key(0x44, u'd'), false, false, false, true), kClose, "Win+D"},
        {Key(0x09, u'\t'), kClose, "Tab"},
        {Key(0x70), kClose, "F1"},
        {Key(0x19), kClose, "Kanji"},
        {Key(0x1C), kClose, "Convert"},
        {Key(0x15, u'k'), kClose, "Kana, the first input method key, whatever it types"},
        {Key(0x1F, u'm'), kClose, "Mode change, the last one"},
        // Modifiers, locks and the system's own keys pass on and leave the popup open.
        {Key(0x10), kPass, "Shift"},
        {Key(0x12), kPass, "Alt"},
        {Key(0xA5), kPass, "right Alt"},
        {Key(0x5B), kPass, "left Windows key"},
        {Key(0x5C), kPass, "right Windows key"},
        {Key(0x14), kPass, "Caps Lock"},
        {Key(0xA6), kPass, "browser back, the first system key"},
        {Key(0xAF), kPass, "volume up"},
        {Key(0xB7), kPass, "the last launch key"},
    };
    for (const auto& c : cases) {
        KeyRouter router;
        EXPECT_EQ(router.Route(c.key), c.meaning) << c.what;
    }

    KeyRouter router;
    HookedKey dead = Key(0xDD);
    dead.dead = true;
    EXPECT_EQ(router.Route(dead), kClose) << "a dead key";
    HookedKey ours = Key(0x56, 0x16);
    ours.control = true;
    ours.ours = true;
    EXPECT_EQ(router.Route(ours), kPass) << "the paste's own Ctrl+V";
}

// A layout's characters, as its table has them: the key, Shift, AltGr (Ctrl and Alt). Written
// down from the layouts' published tables (Polish programmers, German, French): under Wine 8,
// LoadKeyboardLayoutW gives the US layout (04090409) for each of them, and ToUnicodeEx no
// character for any Ctrl+Alt key.
struct Layout {
    std::map<std::tuple<uint8_t, bool, bool>, char16_t> characters;
    std::map<std::tuple<uint8_t, bool, bool>, bool> dead;

    LayoutCharacter operator()(uint8_t vk, const HeldModifiers& held) const {
        const auto at = std::make_tuple(vk, held.Shift(), held.Control() && held.Alt());
        if (dead.count(at) != 0) {
            return {0, true};
        }
        if (held.Control() != held.Alt()) {
            return {};  // Ctrl alone or Alt alone types no character here
        }
        const auto it = characters.find(at);
        return it != characters.end() ? LayoutCharacter{it->second} : LayoutCharacter{};
    }
};

const Layout kPolish{{{{0x5A, false, false}, u'z'},
                      {{0x5A, false, true}, u'\u017c'},  // ż
                      {{0x5A, true, true}, u'\u017b'},   // Ż
                      {{0x58, false, true}, u'\u017a'},  // ź
                      {{0x41, false, true}, u'\u0105'},  // ą
                      {{0x31, false, false}, u'1'},
                      {{0x31, true, false}, u'!'},
                      {{0x32, false, false}, u'2'},
                      {{0x33, false, false}, u'3'},
                      {{0x34, false, false}, u'4'},
                      {{0x35, false, false}, u'5'},
                      {{0x36, false, false}, u'6'},
                      {{0x37, false, false}, u'7'}},
                     {}};
const Layout kGerman{{{{0x51, false, true}, u'@'},
                      {{0x45, false, true}, u'\u20ac'},  // €
                      {{0x37, false, true}, u'{'},
                      {{0xDB, false, true}, u'\\'},  // the key of ß
                      {{0x5A, false, false}, u'z'}},
                     {{{0xDC, false, false}, true}}};  // ^
const Layout kFrench{{{{0x30, false, true}, u'@'},
                      {{0x45, false, true}, u'\u20ac'},
                      {{0x33, false, true}, u'#'},
                      {{0x31, false, false}, u'&'},
                      {{0x31, true, false}, u'1'},
                      {{0x5A, false, false}, u'z'}},
                     {{{0x32, false, true}, true}}};  // ~ waits for its letter

// AltGr is the left Ctrl and the right Alt together: the characters it makes are typed, whatever
// key makes them, and only Ctrl+Z without Alt undoes.
TEST(KeyRouting, AltGrCharactersOfRealLayoutsAreTypedAndNeverRunACommand) {
    constexpr uint8_t kLeftCtrl = 0xA2, kRightAlt = 0xA5, kLeftShift = 0xA0;
    const struct {
        const Layout& layout;
        uint8_t vk;
        bool shift, altGr, control;
        KeyMeaning meaning;
        const char* what;
    } cases[] = {
        {kPolish, 0x5A, false, true, false, Take(Type, u'\u017c'), "Polish AltGr+Z types z dot"},
        {kPolish, 0x5A, true, true, false, Take(Type, u'\u017b'), "Polish AltGr+Shift+Z"},
        {kPolish, 0x58, false, true, false, Take(Type, u'\u017a'), "Polish AltGr+X"},
        {kPolish, 0x41, false, true, false, Take(Type, u'\u0105'), "Polish AltGr+A"},
        {kPolish, 0x51, false, true, false, kClose, "Polish AltGr+Q types nothing"},
        {kPolish, 0x5A, false, false, true, Take(Undo), "Polish Ctrl+Z"},
        {kPolish, 0x31, true, false, false, Take(Type, u'!'), "Polish Shift+1"},
        {kGerman, 0x51, false, true, false, Take(Type, u'@'), "German AltGr+Q"},
        {kGerman, 0x45, false, true, false, Take(Type, u'\u20ac'), "German AltGr+E"},
        {kGerman, 0x37, false, true, false, Take(Type, u'{'), "German AltGr+7"},
        {kGerman, 0xDB, false, true, false, Take(Type, u'\\'), "German AltGr+sharp s"},
        {kGerman, 0x5A, false, true, false, kClose, "German AltGr+Z types nothing"},
        {kGerman, 0x5A, false, false, true, Take(Undo), "German Ctrl+Z"},
        {kGerman, 0xDC, false, false, false, kClose, "German dead circumflex"},
        {kFrench, 0x30, false, true, false, Take(Type, u'@'), "French AltGr+0"},
        {kFrench, 0x45, false, true, false, Take(Type, u'\u20ac'), "French AltGr+E"},
        {kFrench, 0x33, false, true, false, Take(Type, u'#'), "French AltGr+3"},
        {kFrench, 0x32, false, true, false, kClose, "French AltGr+2, a dead tilde"},
        {kFrench, 0x31, false, false, false, Take(Type, u'&'), "French 1 types &"},
        {kFrench, 0x31, true, false, false, Take(Pick, u'1'), "French Shift+1 picks 1"},
    };
    for (const auto& c : cases) {
        KeyRouter router;
        router.Start([](uint8_t) { return false; }, false);
        const auto press = [&](uint8_t vk, bool up = false) {
            return router.Route(vk, up, false, true, c.layout);
        };
        if (c.shift) {
            EXPECT_EQ(press(kLeftShift), kPass);
        }
        if (c.altGr || c.control) {
            EXPECT_EQ(press(kLeftCtrl), kPass);
        }
        if (c.altGr) {
            EXPECT_EQ(press(kRightAlt), kPass);
        }
        EXPECT_EQ(press(c.vk), c.meaning) << c.what;
    }
}

// Esc closing the menu that Shift+F10 opened, with Shift released meanwhile: the keys that went
// to the menu still move the modifiers, and "1" then chooses entry 1 instead of searching "!".
TEST(KeyRouting, ModifiersFollowEveryKeyAlsoThoseThatPassToTheProgramsOwnWindows) {
    KeyRouter router;
    router.Start([](uint8_t) { return false; }, false);
    const auto key = [&](uint8_t vk, bool up, bool toPopup) {
        return router.Route(vk, up, false, toPopup, kPolish);
    };
    EXPECT_EQ(key(0xA0, false, true), kPass);
    EXPECT_EQ(key(0x79, false, true), Take(Menu));
    // The menu is open: every key is its own.
    EXPECT_EQ(key(0x79, true, false), kReleased) << "F10's press was the popup's";
    EXPECT_EQ(key(0xA0, true, false), kPass);
    EXPECT_EQ(key(0x28, false, false), kPass);
    EXPECT_EQ(key(0x28, true, false), kPass);
    EXPECT_EQ(key(0xA3, false, false), kPass);  // right Ctrl, down and up in the menu
    EXPECT_EQ(key(0xA3, true, false), kPass);
    EXPECT_EQ(key(0x1B, false, false), kPass);
    EXPECT_FALSE(router.Held().Shift());
    EXPECT_FALSE(router.Held().Control());
    // Esc's release comes once the popup has the keys again: it saw no press.
    EXPECT_EQ(key(0x1B, true, true), kPass);
    EXPECT_EQ(key(0x31, false, true), Take(Pick, u'1'));
    EXPECT_EQ(key(0x5A, false, true), Take(Type, u'z'));
    // The right Windows key passes, and held it makes the next key the system's.
    EXPECT_EQ(key(0x5C, false, true), kPass);
    EXPECT_EQ(key(0x5A, false, true), kClose) << "Win+Z";
    EXPECT_EQ(key(0x5C, true, true), kPass);
    EXPECT_EQ(key(0x5A, false, true), Take(Type, u'z'));
}

// A digit picks an entry only while no search is open: after any other character, or after
// Ctrl+F or F3, digits search, so that "123" and "a1" can be found. The router follows the search
// from the keys themselves: the window has not yet taken "a" when "1" comes.
TEST(KeyRouting, DigitsSearchOnceASearchIsOpen) {
    KeyRouter router;
    const auto start = [&] { router.Start([](uint8_t) { return false; }, false); };
    const auto key = [&](uint8_t vk, bool up = false) {
        return router.Route(vk, up, false, true, kPolish);
    };
    start();
    EXPECT_EQ(key(0x5A), Take(Type, u'z'));
    EXPECT_TRUE(router.Searching());
    EXPECT_EQ(key(0x31), Take(Type, u'1')) << "z1";
    EXPECT_EQ(key(0x31), Take(Type, u'1')) << "z11";
    EXPECT_EQ(router.Route(Key(0x08, u'\b')), Take(Type, u'\b'));
    EXPECT_EQ(router.Route(Key(0x08, u'\b')), Take(Type, u'\b'));
    EXPECT_TRUE(router.Searching()) << "z is left";
    EXPECT_EQ(router.Route(Key(0x08, u'\b')), Take(Type, u'\b'));
    EXPECT_FALSE(router.Searching());
    EXPECT_EQ(router.Route(Key(0x08, u'\b')), Take(Type, u'\b')) << "nothing left to take";
    EXPECT_EQ(key(0x31), Take(Pick, u'1')) << "all taken back: a digit picks again";

    // Ctrl+F, then 123: the search holds "123".
    start();
    EXPECT_EQ(key(0xA2), kPass);
    EXPECT_EQ(key(0x46), Take(Search));
    EXPECT_EQ(key(0xA2, true), kPass);
    EXPECT_EQ(key(0x31), Take(Type, u'1'));
    EXPECT_EQ(key(0x32), Take(Type, u'2'));
    EXPECT_EQ(router.Route(Key(0x08, u'\b')), Take(Type, u'\b'));
    EXPECT_EQ(router.Route(Key(0x08, u'\b')), Take(Type, u'\b'));
    EXPECT_TRUE(router.Searching()) << "opened by Ctrl+F, it stays open when emptied";
    EXPECT_EQ(key(0x33), Take(Type, u'3'));
    // Esc takes the search away; F3 opens it again; a popup opened anew has none.
    EXPECT_EQ(router.Route(Key(0x1B, 0x1B)), Take(Leave));
    EXPECT_EQ(key(0x34), Take(Pick, u'4'));
    EXPECT_EQ(key(0x72), Take(Search));
    EXPECT_EQ(key(0x35), Take(Type, u'5'));
    start();
    EXPECT_FALSE(router.Searching());
    EXPECT_EQ(key(0x36), Take(Pick, u'6'));
    // Keys the popup does not take open nothing.
    EXPECT_EQ(router.Route(Key(0x5A, u'z'), false), kPass);
    EXPECT_EQ(key(0x37), Take(Pick, u'7'));
    // A key handed over by the tree says itself whether its search is open.
    HookedKey digit = Key(0x38, u'8');
    digit.searching = true;
    EXPECT_EQ(MeaningOf(digit), Take(Type, u'8'));
}

// Once an entry is chosen, every key goes to the window in front as typed, press and release;
// only the releases of the presses the popup took are still its own.
TEST(KeyRouting, AfterTheChoiceKeysPassWholeAndOnlyTheTakenPressesReleasesAreKept) {
    KeyRouter router;
    router.Start([](uint8_t) { return false; }, false);
    const auto key = [&](uint8_t vk, bool up, bool toPopup) {
        return router.Route(vk, up, false, toPopup, kGerman);
    };
    EXPECT_EQ(key(0x28, false, true), Take(Move));
    EXPECT_EQ(key(0x0D, false, true), Take(Choose));
    EXPECT_TRUE(router.Owes());
    // Chosen: the popup takes no more keys.
    EXPECT_EQ(key(0x5A, false, false), kPass);
    EXPECT_EQ(key(0x28, false, false), kPass) << "Down held, repeating to the window in front";
    EXPECT_EQ(key(0x0D, true, false), kReleased);
    EXPECT_EQ(key(0x5A, true, false), kPass);
    EXPECT_FALSE(router.Owes()) << "Down's release goes where its last press went";
    EXPECT_EQ(key(0x28, true, false), kPass);
}

// A release goes where its press went: none is taken without its press, none left behind.
TEST(KeyRouting, AReleaseFollowsItsPress) {
    KeyRouter router;
    HookedKey up = Key(0x56);
    up.up = true;
    EXPECT_EQ(router.Route(up), kPass) << "the hot key's V, pressed before the popup opened";
    EXPECT_EQ(router.Route(Key(0x28)), Take(Move));
    EXPECT_EQ(router.Route(Key(0x28)), Take(Move));  // held: repeats
    HookedKey downUp = Key(0x28);
    downUp.up = true;
    EXPECT_EQ(router.Route(downUp), kReleased);
    EXPECT_EQ(router.Route(downUp), kPass) << "taken once only";
    EXPECT_EQ(router.Route(Key(0x41, u'a')), Take(Type, u'a'));
    router.Start([](uint8_t) { return false; }, false);
    HookedKey aUp = Key(0x41);
    aUp.up = true;
    EXPECT_EQ(router.Route(aUp), kPass) << "a popup opened anew owes no release";
    HookedKey modifierUp = Key(0x11);
    modifierUp.up = true;
    EXPECT_EQ(router.Route(modifierUp), kPass);
}

// Seeded while the hot key's Ctrl and Alt are still down, the state follows their releases; a
// code without a side is the left key, and the other side's key keeps the modifier held.
TEST(KeyRouting, HeldModifiersFollowTheirOwnKeys) {
    HeldModifiers held;
    held.Seed([](uint8_t vk) { return vk == 0xA2 || vk == 0xA4; });
    EXPECT_TRUE(held.Control());
    EXPECT_TRUE(held.Alt());
    EXPECT_FALSE(held.Shift());
    EXPECT_TRUE(held.Take(0xA2, true));
    EXPECT_TRUE(held.Take(0x12, true));  // Alt, no side
    EXPECT_FALSE(held.Control());
    EXPECT_FALSE(held.Alt());
    EXPECT_TRUE(held.Take(0x10, false));  // Shift, no side, down
    EXPECT_TRUE(held.Take(0xA1, false));  // right Shift down
    EXPECT_TRUE(held.Take(0xA0, true));   // left Shift up: the right one still holds it
    EXPECT_TRUE(held.Shift());
    EXPECT_TRUE(held.Take(0xA1, true));
    EXPECT_FALSE(held.Shift());
    EXPECT_TRUE(held.Take(0x5C, false));
    EXPECT_TRUE(held.Windows());
    EXPECT_FALSE(held.Take(0x41, false));  // A is no modifier
    EXPECT_FALSE(held.Take(0x14, false));  // nor is Caps Lock, whose press turns the lock over
    EXPECT_TRUE(held.CapsLock());
    EXPECT_FALSE(held.Take(0x14, true));
    EXPECT_TRUE(held.CapsLock());
    EXPECT_FALSE(held.Take(0x14, false));
    EXPECT_FALSE(held.CapsLock());
}

}  // namespace
}  // namespace snipora
