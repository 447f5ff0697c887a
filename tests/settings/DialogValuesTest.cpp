#include <gtest/gtest.h>

#include <cstdint>

#include "settings/DialogValues.h"
#include "settings/HotKeyCode.h"
#include "settings/Keys.h"

namespace snipora::settings {
namespace {

constexpr uint16_t Control(uint8_t key, uint8_t flags) {
    return static_cast<uint16_t>(key | flags << 8);
}

TEST(HotKeyCode, EachModifierHasItsOwnBitBothWays) {
    struct Case {
        uint8_t flags;
        uint16_t bits;
    };
    const Case cases[] = {
        {0, 0},
        {kHotKeyFlagShift, keys::kShortcutShift},
        {kHotKeyFlagControl, keys::kShortcutControl},
        {kHotKeyFlagAlt, keys::kShortcutAlt},
        {kHotKeyFlagControl | kHotKeyFlagAlt, keys::kShortcutControl | keys::kShortcutAlt},
        {kHotKeyFlagShift | kHotKeyFlagControl | kHotKeyFlagAlt,
         keys::kShortcutShift | keys::kShortcutControl | keys::kShortcutAlt},
    };
    for (const Case& c : cases) {
        const uint16_t control = Control('K', c.flags);
        const uint16_t code = static_cast<uint16_t>('K' | c.bits);
        EXPECT_EQ(ShortcutFromHotKey(control), code) << int(c.flags);
        EXPECT_EQ(HotKeyFromShortcut(code), control) << int(c.flags);
    }
    // The stored default is Ctrl+Alt+V.
    EXPECT_EQ(HotKeyFromShortcut(keys::kDefaultSecHotKeyValue),
              Control('V', kHotKeyFlagControl | kHotKeyFlagAlt));
    EXPECT_EQ(ShortcutFromHotKey(Control('V', kHotKeyFlagControl | kHotKeyFlagAlt)), 49238);
}

TEST(HotKeyCode, NoKeyMeansOffAndForeignBitsAreDropped) {
    // Modifiers held without a key, or an empty field: the hot key is off.
    EXPECT_EQ(ShortcutFromHotKey(Control(0, kHotKeyFlagControl | kHotKeyFlagAlt)), 0);
    EXPECT_EQ(HotKeyFromShortcut(keys::kShortcutControl | keys::kShortcutAlt), 0);
    EXPECT_EQ(HotKeyFromShortcut(0), 0);
    // The extended-key flag of keys such as Insert has no place in a shortcut.
    EXPECT_EQ(ShortcutFromHotKey(Control(0x2D, kHotKeyFlagControl | kHotKeyFlagExtended)),
              0x2D | keys::kShortcutControl);
    // Bits beyond the key and the three modifiers, from a file edited by hand, are ignored.
    EXPECT_EQ(HotKeyFromShortcut(0x1C056), Control('V', kHotKeyFlagControl | kHotKeyFlagAlt));
    EXPECT_EQ(HotKeyFromShortcut(0x1F56), Control('V', 0));
    EXPECT_EQ(HotKeyFromShortcut(-1),
              Control(0xFF, kHotKeyFlagShift | kHotKeyFlagControl | kHotKeyFlagAlt));
}

TEST(DialogValues, HistoryLengthsAreHeldToTheirRanges) {
    const auto held = [](int32_t size, int32_t shown) {
        const HistoryLengths lengths = HoldHistoryLengths(size, shown);
        return std::pair(lengths.Size, lengths.Shown);
    };
    EXPECT_EQ(held(25, 7), std::pair(25, 7));
    EXPECT_EQ(held(1, 1), std::pair(1, 1));
    EXPECT_EQ(held(0, 7), std::pair(1, 1));
    EXPECT_EQ(held(-5, -5), std::pair(1, 1));
    EXPECT_EQ(held(100000, 100000), std::pair(100000, 100000));
    EXPECT_EQ(held(100001, 0), std::pair(100000, 1));
    EXPECT_EQ(held(40, 41), std::pair(40, 40));
}

TEST(DialogValues, ClampHoldsTheWholeValueWithinTheRange) {
    EXPECT_EQ(Clamp(200, 150, 800), 200);
    EXPECT_EQ(Clamp(150, 150, 800), 150);
    EXPECT_EQ(Clamp(1200, 150, 800), 800);
    EXPECT_EQ(Clamp(50, 200, 1000), 200);
    EXPECT_EQ(Clamp(-5, 150, 800), 150);
    EXPECT_EQ(Clamp(500, 800, 150), 500);  // bounds swapped
    EXPECT_EQ(Clamp(900, 800, 150), 800);
    // 65836 and 70000 would wrap round to 300 and 4464 in 16 bits: both are far too wide.
    EXPECT_EQ(Clamp(65836, 150, 800), 800);
    EXPECT_EQ(Clamp(70000, 150, 800), 800);
    EXPECT_EQ(Clamp(INT32_MIN, 150, 800), 150);
    EXPECT_EQ(Clamp(INT32_MAX, 200, 1000), 1000);
}

TEST(DialogValues, AFieldsTextIsHeldInRangeOrFallsBack) {
    EXPECT_EQ(FieldValue(u"300", 200, 150, 800), 300);
    EXPECT_EQ(FieldValue(u" 250 ", 200, 150, 800), 250);
    EXPECT_EQ(FieldValue(u"5000", 200, 150, 800), 800);
    EXPECT_EQ(FieldValue(u"12", 200, 150, 800), 150);
    EXPECT_EQ(FieldValue(u"-5", 200, 150, 800), 150);
    // A pasted minus sign (the fields take only digits as typed) in "Forget history entries
    // after": held to 0, never, not read as 5 minutes.
    EXPECT_EQ(FieldValue(u"-5", 60, 0, keys::kMaxForgetHistoryAfter), 0);
    EXPECT_EQ(FieldValue(u"+5", 60, 0, keys::kMaxForgetHistoryAfter), 5);
    EXPECT_EQ(FieldValue(u"99999999999999999999", 200, 150, 800), 800);
    // No number: the field's last good value.
    EXPECT_EQ(FieldValue(u"", 390, 200, 1000), 390);
    EXPECT_EQ(FieldValue(u"12a", 390, 200, 1000), 390);
    EXPECT_EQ(FieldValue(u"1,000", 390, 200, 1000), 390);
    EXPECT_EQ(FieldValue(u"-", 390, 200, 1000), 390);
    EXPECT_EQ(FieldValue(u"abc", 5000, 200, 1000), 1000);
}

TEST(DialogValues, ThemeIsSystemLightOrDarkInAnyCaseElseSystem) {
    EXPECT_EQ(ParseThemeChoice(u"light"), ThemeChoice::Light);
    EXPECT_EQ(ParseThemeChoice(u"DARK"), ThemeChoice::Dark);
    EXPECT_EQ(ParseThemeChoice(u"System"), ThemeChoice::System);
    for (std::u16string_view other : {u"", u"darker", u"lite", u"1"}) {
        EXPECT_EQ(ParseThemeChoice(other), ThemeChoice::System);
    }
    for (ThemeChoice choice : {ThemeChoice::System, ThemeChoice::Light, ThemeChoice::Dark}) {
        EXPECT_EQ(ParseThemeChoice(ThemeChoiceName(choice)), choice);
    }
    EXPECT_EQ(ThemeChoiceName(ThemeChoice::System), u"system");
}

}  // namespace
}  // namespace snipora::settings
