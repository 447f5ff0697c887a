#include "app/PopupFocusRule.h"

#include <gtest/gtest.h>

namespace snipora {
namespace {

constexpr uint32_t kMedium = 0x2000, kHigh = 0x3000, kLow = 0x1000;

// Another program's window in front, at this program's level, its input method closed.
FrontFacts Front() {
    FrontFacts facts;
    facts.frontExists = true;
    facts.frontIntegrity = kMedium;
    facts.ownIntegrity = kMedium;
    return facts;
}

TEST(PopupFocusRule, ThePopupTakesTheFocusWhereTheHookCannotBringItsKeys) {
    using enum FocusReason;
    const auto with = [](auto change) {
        FrontFacts facts = Front();
        change(facts);
        return WhyPopupTakesFocus(facts);
    };
    EXPECT_EQ(WhyPopupTakesFocus(Front()), None);
    EXPECT_EQ(with([](FrontFacts& f) { f.frontIntegrity = kLow; }), None) << "fewer rights";
    EXPECT_EQ(with([](FrontFacts& f) { f.frontIntegrity = kMedium + 1; }), Elevated);
    EXPECT_EQ(with([](FrontFacts& f) { f.frontIntegrity = kHigh; }), Elevated);
    EXPECT_EQ(with([](FrontFacts& f) { f.frontIntegrity.reset(); }), Elevated)
        << "a token that cannot be read is one with more rights";
    EXPECT_EQ(with([](FrontFacts& f) {
                  f.ownIntegrity = kHigh;
                  f.frontIntegrity = kHigh;
              }),
              None)
        << "both as administrator";
    EXPECT_EQ(with([](FrontFacts& f) { f.inputMethodOpen = true; }), InputMethod);
    // The first reason that holds is the one given.
    EXPECT_EQ(with([](FrontFacts& f) {
                  f.inputMethodOpen = true;
                  f.frontIntegrity = kHigh;
              }),
              Elevated);
    EXPECT_EQ(with([](FrontFacts& f) {
                  f.frontIsOwn = true;
                  f.frontIntegrity.reset();
              }),
              NoOtherWindow);
    EXPECT_EQ(with([](FrontFacts& f) { f.frontExists = false; }), NoOtherWindow);
    EXPECT_EQ(with([](FrontFacts& f) {
                  f.screenReader = true;
                  f.frontExists = false;
              }),
              ScreenReader);
    EXPECT_EQ(with([](FrontFacts& f) {
                  f.takesFocusSetting = true;
                  f.screenReader = true;
              }),
              Setting);
}

TEST(PopupFocusRule, AHookThatMissedInputIsSetAgainOnceThenThePopupTakesTheFocus) {
    using enum HookWatch::Verdict;
    HookWatch watch;
    watch.Start(10000);
    EXPECT_EQ(watch.Check(9000, 20000), Fine) << "input before the hooks were set";
    EXPECT_EQ(watch.Check(10000, 20000), Fine) << "input the moment they were set";
    watch.Seen(10500);
    EXPECT_EQ(watch.Check(10500, 20000), Fine) << "input the hook saw";
    // Input after the last call: late only once the grace is over.
    EXPECT_EQ(watch.Check(10501, 10501 + HookWatch::kGraceMs - 1), Fine);
    EXPECT_EQ(watch.Check(10501, 10501 + HookWatch::kGraceMs), Reinstall);
    // Set again at 12001: the same input is no longer held against it, and new input that the
    // new hook saw neither.
    EXPECT_EQ(watch.Check(10501, 13600), Fine);
    watch.Seen(12500);
    EXPECT_EQ(watch.Check(12400, 14000), Fine);
    // Missed again: the popup takes the focus, and is told once.
    EXPECT_EQ(watch.Check(12600, 14100), GiveUp);
    EXPECT_EQ(watch.Check(14000, 20000), Fine);
    // The next opening starts again.
    watch.Start(30000);
    EXPECT_EQ(watch.Check(30001, 31501), Reinstall);
}

TEST(PopupFocusRule, TheWatchReadsTicksAcrossTheirWrap) {
    HookWatch watch;
    watch.Start(0xFFFFFF00u);
    // 0x100 + 0x10 ms after the last call, across the wrap.
    EXPECT_EQ(watch.Check(0x10, 0x10 + HookWatch::kGraceMs), HookWatch::Verdict::Reinstall);
    watch.Start(0xFFFFFF00u);
    EXPECT_EQ(watch.Check(0xFFFFFE00u, 0x10 + HookWatch::kGraceMs), HookWatch::Verdict::Fine)
        << "input before the start, read across the wrap";
    // An input stamped after the clock read (read apart) is not late.
    EXPECT_EQ(watch.Check(0xFFFFFF10u, 0xFFFFFF08u), HookWatch::Verdict::Fine);
}

}  // namespace
}  // namespace snipora
