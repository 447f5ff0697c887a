#include <gtest/gtest.h>

#include <set>

#include "app/PasteRule.h"

namespace snipora {
namespace {

TEST(PasteRule, ParsesTheIniValues) {
    EXPECT_EQ(ParsePasteMethod(u"auto"), PasteMethod::Auto);
    EXPECT_EQ(ParsePasteMethod(u" Message "), PasteMethod::Message);
    EXPECT_EQ(ParsePasteMethod(u"CTRL+V"), PasteMethod::CtrlV);
    EXPECT_EQ(ParsePasteMethod(u"shift+insert\t"), PasteMethod::ShiftInsert);
    EXPECT_EQ(ParsePasteMethod(u"none"), PasteMethod::None);
    EXPECT_EQ(ParsePasteMethod(u"ctrl+shift+v"), std::nullopt);
    EXPECT_EQ(ParsePasteMethod(u"ctrl+"), std::nullopt);
    EXPECT_EQ(ParsePasteMethod(u""), std::nullopt);
}

TEST(PasteRule, TheMessageOnlyForControlsThatHonourIt) {
    for (std::u16string_view name : {u"Edit", u"EDIT", u"ComboBox", u"RichEdit", u"RichEdit20A",
                                     u"RichEdit20W", u"RICHEDIT50W", u"RICHEDIT60W"}) {
        EXPECT_EQ(ChoosePasteMethod(PasteMethod::Auto, name), PasteMethod::Message)
            << std::string(name.begin(), name.end());
    }
    for (std::u16string_view name : {u"Chrome_RenderWidgetHostHWND", u"Edit2", u"TMemo", u"Rich",
                                     u"ConsoleWindowClass", u"_WwG"}) {
        EXPECT_EQ(ChoosePasteMethod(PasteMethod::Auto, name), PasteMethod::CtrlV)
            << std::string(name.begin(), name.end());
    }
    EXPECT_EQ(ChoosePasteMethod(PasteMethod::Auto, u""), PasteMethod::None);  // no focus
    // A configured method overrides the class, also where nothing has the focus.
    EXPECT_EQ(ChoosePasteMethod(PasteMethod::ShiftInsert, u"Edit"), PasteMethod::ShiftInsert);
    EXPECT_EQ(ChoosePasteMethod(PasteMethod::None, u"Edit"), PasteMethod::None);
    EXPECT_EQ(ChoosePasteMethod(PasteMethod::Message, u"Chrome"), PasteMethod::Message);
    EXPECT_EQ(ChoosePasteMethod(PasteMethod::CtrlV, u""), PasteMethod::CtrlV);
}

TEST(PasteRule, KeystrokesLeaveNoKeyDown) {
    const std::vector<KeyStroke> ctrlV = {{kVkControl, false, false},
                                          {kVkV, false, false},
                                          {kVkV, true, false},
                                          {kVkControl, true, false}};
    EXPECT_EQ(PasteKeystrokes(PasteMethod::CtrlV), ctrlV);
    const std::vector<KeyStroke> shiftInsert = {{kVkShift, false, false},
                                                {kVkInsert, false, true},
                                                {kVkInsert, true, true},
                                                {kVkShift, true, false}};
    EXPECT_EQ(PasteKeystrokes(PasteMethod::ShiftInsert), shiftInsert);
    EXPECT_TRUE(PasteKeystrokes(PasteMethod::Message).empty());
    EXPECT_TRUE(PasteKeystrokes(PasteMethod::None).empty());

    // Cut short, only the keys that went down and stayed down are released, the last first.
    const KeyStroke insertUp{kVkInsert, true, true}, shiftUp{kVkShift, true, false};
    EXPECT_EQ(ReleasesAfter(shiftInsert, 0), std::vector<KeyStroke>{});
    EXPECT_EQ(ReleasesAfter(shiftInsert, 1), std::vector<KeyStroke>{shiftUp});
    EXPECT_EQ(ReleasesAfter(shiftInsert, 2), (std::vector<KeyStroke>{insertUp, shiftUp}));
    EXPECT_EQ(ReleasesAfter(shiftInsert, 3), std::vector<KeyStroke>{shiftUp});
    EXPECT_EQ(ReleasesAfter(shiftInsert, 4), std::vector<KeyStroke>{});
}

// A clock that moves 10 ms per pause, and keys that come up at given times.
struct FakeKeyboard {
    uint32_t now = 0;
    std::vector<std::pair<uint8_t, uint32_t>> heldUntil;
    std::set<uint8_t> asked;

    bool Wait(uint32_t limit) {
        return WaitForModifiersUp(
            [this](uint8_t key) {
                asked.insert(key);
                for (auto [held, until] : heldUntil) {
                    if (held == key && now < until) {
                        return true;
                    }
                }
                return false;
            },
            [this] { return now; }, [this] { now += 10; }, limit);
    }
};

TEST(PasteRule, WaitsForEveryModifierUpToTheLimit) {
    FakeKeyboard idle;
    EXPECT_TRUE(idle.Wait(2000));
    EXPECT_EQ(idle.now, 0u);
    EXPECT_EQ(idle.asked,
              (std::set<uint8_t>{kVkShift, kVkControl, kVkMenu, kVkLeftWin, kVkRightWin}));

    FakeKeyboard released{0, {{kVkControl, 700}, {kVkRightWin, 1200}}, {}};
    EXPECT_TRUE(released.Wait(2000));
    EXPECT_EQ(released.now, 1200u);

    FakeKeyboard held{0, {{kVkMenu, 2500}}, {}};
    EXPECT_FALSE(held.Wait(2000));
    EXPECT_EQ(held.now, 2000u);

    // The clock starts anywhere, also just before it wraps.
    FakeKeyboard wrapping{0xFFFFFFC0u, {{kVkShift, 0xFFFFFFFFu}}, {}};
    EXPECT_FALSE(wrapping.Wait(100));
    EXPECT_EQ(wrapping.now, static_cast<uint32_t>(0xFFFFFFC0u + 100));
}

}  // namespace
}  // namespace snipora
