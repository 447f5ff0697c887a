#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace snipora::test {

// Works a modal dialog of this thread from inside its own message loop: a thread timer waits
// for the dialog (or message box) to show and then runs the action on it once. The action
// should end the dialog; if it is still open five seconds later, the driver ends it with
// IDCANCEL so that a failing test cannot hang.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void(HWND)> action) : action_(std::move(action)) {
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 30, &DialogDriver::Tick);
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;
    ~DialogDriver() {
        ::KillTimer(nullptr, timer_);
        current_ = nullptr;
    }

    bool Ran() const { return ran_; }
    // The action runs for every box that comes up, not only the first.
    void ForEveryBox() { every_ = true; }
    bool TimedOut() const { return timedOut_; }

private:
    static BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
        wchar_t name[16] = {};
        ::GetClassNameW(window, name, 16);
        if (std::wstring(name) == L"#32770" && ::IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        DialogDriver* self = current_;
        if (self == nullptr) {
            return;
        }
        HWND dialog = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (dialog == nullptr) {
            return;
        }
        if (!self->ran_ || (self->every_ && dialog != self->last_)) {
            self->ran_ = true;
            self->last_ = dialog;
            self->action_(dialog);
        } else if (++self->ticksAfter_ > 170) {
            self->timedOut_ = true;
            ::EndDialog(dialog, IDCANCEL);
        }
    }

    static inline DialogDriver* current_ = nullptr;
    std::function<void(HWND)> action_;
    UINT_PTR timer_ = 0;
    bool ran_ = false;
    bool every_ = false;
    HWND last_ = nullptr;
    bool timedOut_ = false;
    int ticksAfter_ = 0;
};

inline std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[512] = {};
    ::GetDlgItemTextW(dialog, id, text, 512);
    return text;
}

inline std::wstring WindowTitle(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

// Presses a button the way a click does.
inline void Press(HWND dialog, int id) {
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

}  // namespace snipora::test
