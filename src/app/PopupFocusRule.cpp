#include "app/PopupFocusRule.h"

namespace snipora {
namespace {

// `later` is after `earlier`, across the tick count's wrap.
bool After(uint32_t later, uint32_t earlier) {
    return static_cast<int32_t>(later - earlier) > 0;
}

}  // namespace

FocusReason WhyPopupTakesFocus(const FrontFacts& facts) {
    if (facts.takesFocusSetting) {
        return FocusReason::Setting;
    }
    if (facts.screenReader) {
        return FocusReason::ScreenReader;
    }
    if (!facts.frontExists || facts.frontIsOwn) {
        return FocusReason::NoOtherWindow;
    }
    if (!facts.frontIntegrity || *facts.frontIntegrity > facts.ownIntegrity) {
        return FocusReason::Elevated;
    }
    if (facts.inputMethodOpen) {
        return FocusReason::InputMethod;
    }
    return FocusReason::None;
}

const char* FocusReasonText(FocusReason reason) {
    switch (reason) {
        case FocusReason::None:
            return "the keyboard hook brings the keys";
        case FocusReason::Setting:
            return "PopupTakesFocus=1";
        case FocusReason::ScreenReader:
            return "a screen reader runs";
        case FocusReason::NoOtherWindow:
            return "no window of another program is in front";
        case FocusReason::Elevated:
            return "the window in front runs with more rights";
        case FocusReason::InputMethod:
            return "the input method of the window in front is open";
        case FocusReason::HookNotSet:
            return "the keyboard hook could not be set";
        case FocusReason::HookRemoved:
            return "the system removed the keyboard hook again";
    }
    return "";
}

void HookWatch::Start(uint32_t now) {
    seen_.store(now, std::memory_order_relaxed);
    reinstalls_ = 0;
    gaveUp_ = false;
}

HookWatch::Verdict HookWatch::Check(uint32_t lastInput, uint32_t now) {
    const uint32_t seen = seen_.load(std::memory_order_relaxed);
    // An input stamped after `now` (the clocks are read apart) is not yet late.
    const bool late = static_cast<int32_t>(now - lastInput) >= static_cast<int32_t>(kGraceMs);
    if (gaveUp_ || !After(lastInput, seen) || !late) {
        return Verdict::Fine;
    }
    if (reinstalls_ < kReinstalls) {
        ++reinstalls_;
        seen_.store(now, std::memory_order_relaxed);  // set again now
        return Verdict::Reinstall;
    }
    gaveUp_ = true;
    return Verdict::GiveUp;
}

}  // namespace snipora
