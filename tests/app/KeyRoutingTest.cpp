#include <gtest/gtest.h>

#include "app/KeyRouting.h"

namespace snipora {
namespace {

constexpr auto kPass = KeyRoute::PassOn;
constexpr auto kTake = KeyRoute::Swallow;
constexpr auto kClose = KeyRoute::PassOnAndClose;

HookedKey Key(uint8_t vk, char16_t typed = 0) {
    HookedKey key;
    key.virtualKey = vk;
    key.typed = typed;
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
        KeyRoute route;
        const char* what;
    } cases[] = {
        // Moving, choosing, leaving, the menu: the first and last of each range.
        {Key(0x21), kTake, "PgUp"},
        {Key(0x28), kTake, "Down"},
        {Key(0x20, u' '), kTake, "Space types into the search"},
        {Key(0x29), kClose, "Select, just past Down"},
        {Key(0x0D, u'\r'), kTake, "Enter"},
        {Key(0x2E), kTake, "Delete"},
        {Key(0x08, u'\b'), kTake, "Backspace"},
        {Key(0x1B, 0x1B), kTake, "Esc"},
        {Key(0x5D), kTake, "the menu key"},
        {With(Key(0x79), true, false, false), kTake, "Shift+F10"},
        {Key(0x79), kClose, "F10 alone"},
        {With(Key(0x79), true, true, false), kClose, "Ctrl+Shift+F10"},
        {With(Key(0x5A, 0x1A), false, true, false), kTake, "Ctrl+Z"},
        {With(Key(0x56, 0x16), false, true, false), kClose, "Ctrl+V"},
        // Typed characters and digits, in the layout of the window in front.
        {Key(0x31, u'1'), kTake, "1"},
        {Key(0x61, u'1'), kTake, "1 on the keypad"},
        {Key(0x41, u'a'), kTake, "a"},
        {With(Key(0x41, u'A'), true, false, false), kTake, "Shift+A"},
        {Key(0xC0, u'\u00f6'), kTake, "a letter of another layout"},
        {With(Key(0x51, u'@'), false, true, true), kTake, "AltGr+Q types @"},
        {With(Key(0x51), false, true, true), kClose, "Ctrl+Alt+Q types nothing"},
        {Key(0x41, 0x7F), kClose, "a control character"},
        {Key(0x41, 0x1F), kClose, "the last control character below space"},
        // Alt or a Windows key held, dead keys, input methods: theirs, and the popup closes.
        {With(Key(0x09, u'\t'), false, false, true), kClose, "Alt+Tab"},
        {With(Key(0x28), false, false, true), kClose, "Alt+Down"},
        {With(Key(0x44, u'd'), false, false, false, true), kClose, "Win+D"},
        {Key(0x09, u'\t'), kClose, "Tab"},
        {Key(0x70), kClose, "F1"},
        {Key(0xE5), kClose, "a key an input method took"},
        {Key(0x19), kClose, "Kanji"},
        {Key(0x1C), kClose, "Convert"},
        // Modifiers, locks and the system's own keys pass on and leave the popup open.
        {Key(0x10), kPass, "Shift"},
        {Key(0x12), kPass, "Alt"},
        {Key(0xA5), kPass, "right Alt"},
        {Key(0x5B), kPass, "left Windows key"},
        {Key(0x14), kPass, "Caps Lock"},
        {Key(0xAF), kPass, "volume up"},
        {Key(0xB7), kPass, "the last launch key"},
    };
    for (const auto& c : cases) {
        KeyRouter router;
        EXPECT_EQ(router.Route(c.key), c.route) << c.what;
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

// A release goes where its press went: none is taken without its press, none left behind.
TEST(KeyRouting, AReleaseFollowsItsPress) {
    KeyRouter router;
    HookedKey up = Key(0x56);
    up.up = true;
    EXPECT_EQ(router.Route(up), kPass) << "the hot key's V, pressed before the popup opened";
    EXPECT_EQ(router.Route(Key(0x28)), kTake);
    EXPECT_EQ(router.Route(Key(0x28)), kTake);  // held: repeats
    HookedKey downUp = Key(0x28);
    downUp.up = true;
    EXPECT_EQ(router.Route(downUp), kTake);
    EXPECT_EQ(router.Route(downUp), kPass) << "taken once only";
    EXPECT_EQ(router.Route(Key(0x41, u'a')), kTake);
    router.Reset();
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
    EXPECT_FALSE(held.Take(0x14, false));  // nor is Caps Lock
}

}  // namespace
}  // namespace snipora
