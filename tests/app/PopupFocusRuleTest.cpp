#include "app/PopupFocusRule.h"

#include <gtest/gtest.h>

namespace snipora {
namespace {

TEST(PopupFocusRule, ThePopupTakesTheFocusWhereTheHookCannotBringItsKeys) {
    using enum FocusReason;
    constexpr uint32_t kMedium = 0x2000, kHigh = 0x3000;
    const std::optional<uint32_t> unreadable;
    // Setting, screen reader, front exists, front is own, front's level, own level, IME open.
    const struct {
        FrontFacts facts;
        FocusReason reason;
    } cases[] = {
        {{false, false, true, false, kMedium, kMedium, false}, None},
        {{false, false, true, false, 0x1000, kMedium, false}, None},  // fewer rights
        {{false, false, true, false, kMedium + 1, kMedium, false}, Elevated},
        {{false, false, true, false, unreadable, kMedium, false}, Elevated},
        {{false, false, true, false, kHigh, kHigh, false}, None},  // both as administrator
        {{false, false, true, false, kMedium, kMedium, true}, InputMethod},
        // The first reason that holds is the one given.
        {{false, false, true, false, kHigh, kMedium, true}, Elevated},
        {{false, false, true, true, unreadable, kMedium, true}, NoOtherWindow},
        {{false, false, false, false, kMedium, kMedium, false}, NoOtherWindow},
        {{false, true, false, false, kMedium, kMedium, false}, ScreenReader},
        {{true, true, true, false, kMedium, kMedium, false}, Setting},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WhyPopupTakesFocus(c.facts), c.reason) << FocusReasonText(c.reason);
    }
}

TEST(PopupFocusRule, AHookThatMissedInputIsSetAgainOnceThenThePopupTakesTheFocus) {
    using enum HookWatch::Verdict;
    constexpr uint32_t kGrace = HookWatch::kGraceMs;
    HookWatch watch;
    watch.Start(10000);
    EXPECT_EQ(watch.Check(10000, 20000), Fine) << "input until the hooks were set";
    watch.Seen(10500);
    EXPECT_EQ(watch.Check(10500, 20000), Fine) << "input the hook saw";
    // Input after the last call is late once the grace is over.
    EXPECT_EQ(watch.Check(10501, 10501 + kGrace - 1), Fine);
    EXPECT_EQ(watch.Check(10501, 10501 + kGrace), Reinstall);
    // Set again at 12001: that input no longer counts; input missed again gives up, once.
    EXPECT_EQ(watch.Check(10501, 13600), Fine);
    EXPECT_EQ(watch.Check(12002, 12002 + kGrace), GiveUp);
    EXPECT_EQ(watch.Check(14000, 20000), Fine);
    // The next opening starts again; the ticks are read across their wrap.
    watch.Start(0xFFFFFF00u);
    EXPECT_EQ(watch.Check(0xFFFFFE00u, 0x10 + kGrace), Fine) << "before the start";
    EXPECT_EQ(watch.Check(0xFFFFFF10u, 0xFFFFFF08u), Fine) << "stamped after the clock was read";
    EXPECT_EQ(watch.Check(0x10, 0x10 + kGrace), Reinstall);
}

}  // namespace
}  // namespace snipora
