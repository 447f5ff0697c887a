#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

namespace snipora {

// What the popup knows, as it opens, of the window in front and of the system.
struct FrontFacts {
    bool takesFocusSetting = false;  // [Main] PopupTakesFocus=1
    bool screenReader = false;
    bool frontExists = false;  // a window is in front
    bool frontIsOwn = false;   // and it is this program's (its bar)
    // The integrity levels (the mandatory label's RID: 0x2000 medium, 0x3000 high) of the
    // front window's process, nullopt where it cannot be read, and of this program's.
    std::optional<uint32_t> frontIntegrity;
    uint32_t ownIntegrity = 0x2000;
    // The front window's input method is open: its keys are composed into text there, which
    // the keyboard hook never sees.
    bool inputMethodOpen = false;
};

// Why the open popup takes the focus rather than have the keys brought by the keyboard hook.
enum class FocusReason : uint8_t {
    None,           // the hook brings the keys; the window in front keeps its focus
    Setting,        // [Main] PopupTakesFocus=1
    ScreenReader,   // it announces only a window with the focus
    NoOtherWindow,  // no window of another program in front to take the keys from
    Elevated,       // the hook of a program with fewer rights is not called for its keys
    InputMethod,    // only a window with the focus gets composed text
    HookNotSet,     // the system refused the hook
    HookRemoved,    // the system removed the hook, and setting it again did not hold
};

// The reason, in the order above: the first that holds. The window in front counts as higher
// when its process's integrity is above this program's, or cannot be read at all (a process
// that runs as administrator does not let one that does not look at its token).
FocusReason WhyPopupTakesFocus(const FrontFacts& facts);

// The reason as the log names it.
const char* FocusReasonText(FocusReason reason);

// Watches for a low-level hook that the system removed without a word: it does so with one that
// took longer than LowLevelHooksTimeout (at most 1 s since Windows 10 version 1709) to answer.
// The hook tells the time of each call; the last input's time comes from the system
// (GetLastInputInfo). Input that no hook saw for longer than a hook may take means the hook is
// gone. Times are tick counts in milliseconds, which wrap after 49.7 days.
class HookWatch {
public:
    // How long after an input the hook must have been called.
    static constexpr uint32_t kGraceMs = 1500;
    // How many times a removed hook is set again in one opening before the popup takes the
    // focus instead.
    static constexpr int kReinstalls = 1;

    enum class Verdict : uint8_t {
        Fine,
        Reinstall,  // the hook is gone: set it again
        GiveUp,     // gone again: the popup takes the focus
    };

    // The hooks were set at `now`: earlier input is no concern of theirs.
    void Start(uint32_t now);
    // A hook was called at `now`; on the hook's thread.
    void Seen(uint32_t now) { seen_.store(now, std::memory_order_relaxed); }
    // The verdict at `now` for the last input at `lastInput`. After GiveUp, Fine until Start.
    Verdict Check(uint32_t lastInput, uint32_t now);

private:
    std::atomic<uint32_t> seen_{0};
    int reinstalls_ = 0;
    bool gaveUp_ = false;
};

}  // namespace snipora
