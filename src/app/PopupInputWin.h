#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>

#include "app/KeyRouting.h"
#include "app/PopupFocusRule.h"
#include "win/UniqueHandle.h"

namespace snipora {

// Any window of this program: the bar, its menus, dialogs and message boxes.
bool IsOwnProcessWindow(HWND window);

// While the popup is open, keys typed anywhere are routed to it, and a mouse button pressed
// outside it is reported, without the popup ever taking the focus from the window in front.
// Both run as low-level hooks on a thread of their own that does nothing else, at the highest
// priority: a save, a paint or a slow clipboard on the window's thread never holds up a key typed
// on the machine. Should the system still drop a hook that answered late, which it does without
// a word, Watch tells, and Reinstall sets the hooks again.
class PopupInput {
public:
    // Posted to the window for a key the popup takes: wParam the virtual key, lParam its
    // meaning, the character a Type command types in the low 16 bits and the PopupCommand in
    // the next 8 (MeaningOf decodes it).
    static constexpr UINT kKeyMessage = WM_APP + 20;
    // Posted to the window when a key passed on to the window in front closes the popup.
    static constexpr UINT kCloseMessage = WM_APP + 21;
    // Posted to the window when a mouse button goes down outside the popup: lParam is the screen
    // point, x in the low word and y in the high one.
    static constexpr UINT kOutsideClickMessage = WM_APP + 22;
    // Posted to the window for a turn of the wheel over the popup, which would otherwise go to
    // the window with the focus: wParam the distance (WHEEL_DELTA a notch, signed), lParam the
    // screen point as above.
    static constexpr UINT kWheelMessage = WM_APP + 23;
    static KeyMeaning MeaningOf(LPARAM info) {
        return {KeyRoute::Swallow, static_cast<PopupCommand>((info >> 16) & 0xFF),
                static_cast<char16_t>(info & 0xFFFF)};
    }
    // The extra information that marks the keys this program sends itself; they always pass.
    static constexpr ULONG_PTR kOwnInput = 0x536E6970;

    explicit PopupInput(HWND window);
    PopupInput(const PopupInput&) = delete;
    PopupInput& operator=(const PopupInput&) = delete;
    ~PopupInput();

    // Routes the keys from now on, typed characters in `layout` (that of the window in front);
    // clicks outside `popup` are reported. False when the hooks could not be set: the keys
    // then never reach the popup.
    bool Start(const RECT& popup, HKL layout);
    // No key is routed from now on; the hooks go once every key taken has been released.
    void Stop();
    // The popup moved or changed its size while open.
    void SetArea(const RECT& popup);
    bool Routing() const { return routing_.load(std::memory_order_relaxed); }
    // Sets the hooks again, after the system removed one; false when it refused.
    bool Reinstall();
    // Whether the hooks are still called for the input; every call of theirs is seen here.
    HookWatch& Watch() { return watch_; }
    // While a menu or a dialog of this program is open, its keys reach it as usual. (One in
    // front is seen key by key as well.)
    void PassKeys(bool pass) { passKeys_.store(pass, std::memory_order_relaxed); }

    // How long the keyboard hook took, from its entry to its return, over the keys since the
    // last Start, in microseconds.
    struct Times {
        size_t keys = 0;
        double medianUs = 0;
        double p99Us = 0;  // 99 keys in 100 took no longer
        double maxUs = 0;
        size_t firstSlowest = 0;  // the place of the slowest key, from the first one
    };
    Times HookTimes() const;

private:
    static DWORD WINAPI ThreadMain(void* self);
    static LRESULT CALLBACK KeyboardProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseProc(int code, WPARAM wParam, LPARAM lParam);
    bool Install();
    bool InstallAndWait(UINT message);
    void Remove();
    LayoutCharacter Typed(const KBDLLHOOKSTRUCT& info, const HeldModifiers& held) const;
    void Record(LONGLONG ticks);

    HWND window_;
    std::atomic<bool> routing_{false};
    std::atomic<bool> passKeys_{false};
    std::atomic<LONG> left_{0}, top_{0}, right_{0}, bottom_{0};
    std::atomic<HKL> layout_{nullptr};
    // Only the hook thread touches these.
    KeyRouter router_;
    bool removing_ = false;  // the hooks go once no release is owed
    win::UniqueHook keyboardHook_;
    win::UniqueHook mouseHook_;
    // The hook's times, in performance-counter ticks; written by the hook thread only.
    std::array<uint32_t, 4096> times_{};
    std::atomic<size_t> timed_{0};
    LONGLONG frequency_ = 1;
    DWORD threadId_ = 0;
    win::UniqueKernelHandle ready_;
    win::UniqueKernelHandle installed_;  // set when an Install has run
    std::atomic<bool> hooked_{false};    // its outcome
    HookWatch watch_;
    win::UniqueKernelHandle thread_;
};

}  // namespace snipora
