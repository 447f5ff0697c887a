#include "app/HotKeyClash.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "app/PopupController.h"
#include "settings/Keys.h"

namespace snipora {
namespace {

constexpr unsigned kCtrlAlt = kHotKeyControl | kHotKeyAlt;
constexpr uint8_t kV = 0x56;

// A layout's characters for V, as its table has them: Ctrl makes control codes, AltGr (Ctrl and
// Alt) what the table says. Written down from the layouts' published tables: under Wine 8,
// ToUnicodeEx gives no character for any Ctrl+Alt key.
struct Table {
    std::map<std::tuple<uint8_t, bool, bool, bool>, char16_t> characters;
    char16_t operator()(uint8_t key, bool shift, bool control, bool alt) const {
        const auto it = characters.find({key, shift, control, alt});
        if (it != characters.end()) {
            return it->second;
        }
        return control && !alt ? static_cast<char16_t>(key & 0x1F) : u'\0';
    }
};

const Table kHungarian{{{{kV, false, false, false}, u'v'}, {{kV, false, true, true}, u'@'}}};
const Table kUs{{{{kV, false, false, false}, u'v'}}};
// Made-up layouts that type with Ctrl+Shift+V, and also with AltGr+Shift+V.
const Table kCrowded{{{{kV, true, true, false}, u'1'}, {{kV, false, true, true}, u'3'}}};
const Table kFull{{{{kV, true, true, false}, u'1'}, {{kV, true, true, true}, u'2'}}};

TEST(HotKeyClash, AHotKeyThatTheLayoutTypesWithIsFound) {
    EXPECT_EQ(HotKeyCharacter(kV, kCtrlAlt, kHungarian), u'@');
    EXPECT_EQ(HotKeyCharacter(kV, kCtrlAlt, kUs), 0);
    EXPECT_EQ(HotKeyCharacter(kV, kHotKeyControl, kHungarian), 0) << "Ctrl+V: a control code";
    EXPECT_EQ(HotKeyCharacter(kV, kHotKeyControl | kHotKeyShift, kHungarian), 0);
    EXPECT_EQ(HotKeyCharacter(kV, kHotKeyControl | kHotKeyShift, kCrowded), u'1');
    EXPECT_EQ(HotKeyCharacter(kV, kHotKeyAlt, kHungarian), 0) << "Alt alone is the menus'";
    EXPECT_EQ(HotKeyCharacter(kV, kCtrlAlt | kHotKeyShift, kCrowded), 0);
    EXPECT_EQ(HotKeyCharacter(0, kCtrlAlt, kHungarian), 0);
    EXPECT_EQ(QuietModifiers(kV, kHungarian), kHotKeyControl | kHotKeyShift);
    EXPECT_EQ(QuietModifiers(kV, kCrowded), kHotKeyControl | kHotKeyAlt | kHotKeyShift);
    EXPECT_EQ(QuietModifiers(kV, kFull), 0u);
    EXPECT_EQ(QuietHotKeyName(kV, u"V", kCrowded), u"Ctrl+Alt+Shift+V");
    EXPECT_EQ(QuietHotKeyName(kV, u"V", kFull), u"");
    // The settings dialog's note, while the hot key is chosen.
    EXPECT_EQ(HotKeyClashNote(kV, kCtrlAlt, u"V", kHungarian),
              u"Types \u201c@\u201d in this keyboard layout: Ctrl+Shift+V does not.");
    EXPECT_EQ(HotKeyClashNote(kV, kHotKeyControl | kHotKeyShift, u"V", kFull),
              u"Types \u201c1\u201d in this keyboard layout.");
    EXPECT_EQ(HotKeyClashNote(kV, kCtrlAlt, u"V", kUs), u"");
    // With no quiet key to offer, the notice only asks for another.
    HotKeyClashWatch watch;
    EXPECT_EQ(watch.Check(1, kV, kHotKeyControl | kHotKeyShift, u"Ctrl+Shift+V", kFull),
              u"Ctrl+Shift+V types \u201c1\u201d in your keyboard layout: while Snipora holds "
              u"it, no program gets that character. Choose another key in the settings.");
}

// Told once for the run: at the start with a US layout nothing, then the switch to Hungarian
// finds the clash; the same layout again, another one, or back, says nothing more.
TEST(HotKeyClash, TheClashIsToldOnceWhenTheLayoutBringsIt) {
    HotKeyClashWatch watch;
    EXPECT_EQ(watch.Check(0x0409, kV, kCtrlAlt, u"Ctrl+Alt+V", kUs), u"");
    EXPECT_EQ(watch.Check(0x040E, kV, kCtrlAlt, u"Ctrl+Alt+V", kHungarian),
              u"Ctrl+Alt+V types \u201c@\u201d in your keyboard layout: while Snipora holds it, "
              u"no program gets that character. Choose another key in the settings, for example "
              u"Ctrl+Shift+V.");
    EXPECT_EQ(watch.Check(0x040E, kV, kCtrlAlt, u"Ctrl+Alt+V", kHungarian), u"");
    EXPECT_EQ(watch.Check(0x0409, kV, kCtrlAlt, u"Ctrl+Alt+V", kUs), u"");
    EXPECT_EQ(watch.Check(0x040E, kV, kCtrlAlt, u"Ctrl+Alt+V", kHungarian), u"");

    // The same layout is asked again only when the hot key changes.
    HotKeyClashWatch changed;
    int asked = 0;
    const LayoutTyping counting = [&](uint8_t key, bool shift, bool control, bool alt) {
        ++asked;
        return kHungarian(key, shift, control, alt);
    };
    EXPECT_EQ(changed.Check(0x040E, kV, kHotKeyControl | kHotKeyShift, u"Ctrl+Shift+V", counting),
              u"");
    EXPECT_EQ(changed.Check(0x040E, kV, kHotKeyControl | kHotKeyShift, u"Ctrl+Shift+V", counting),
              u"");
    EXPECT_EQ(asked, 1);
    EXPECT_NE(changed.Check(0x040E, kV, kCtrlAlt, u"Ctrl+Alt+V", counting), u"");
}

// The paste-next key's default types nothing in the layouts whose AltGr takes letters: their
// tables for N (Polish "ń", Hungarian and Czech "}"), with Shift as well.
TEST(HotKeyClash, ThePasteNextKeysDefaultTypesNothing) {
    constexpr uint8_t kN = 0x4E;
    const Table layouts[] = {
        {{{{kN, false, true, true}, u'\u0144'}, {{kN, true, true, true}, u'\u0143'}}},  // Polish
        {{{{kN, false, true, true}, u'}'}}},                                            // Hungarian
        {{{{kN, false, true, true}, u'}'}}},                                            // Czech
        kUs};
    const TriggerKeys keys = MakeTriggerKeys(0, keys::kDefaultPasteNextHotKey, [] { return 1; });
    ASSERT_EQ(keys.systemKey, kN);
    ASSERT_EQ(keys.systemModifiers & ~kHotKeyNoRepeat, kHotKeyControl | kHotKeyShift);
    for (const Table& layout : layouts) {
        EXPECT_EQ(HotKeyCharacter(keys.systemKey, keys.systemModifiers, layout), 0);
    }
    // Where AltGr would have taken the Polish letter.
    EXPECT_EQ(HotKeyCharacter(kN, kCtrlAlt, layouts[0]), u'\u0144');
}

}  // namespace
}  // namespace snipora
