#pragma once

#include <windows.h>

namespace snipora::win {

// The clipboard held open for one scope. Another program may hold it for a moment, so opening
// is tried a few times, a short pause apart, before giving up.
class ClipboardSession {
public:
    static constexpr int kTries = 10;
    static constexpr DWORD kPauseMs = 10;

    explicit ClipboardSession(HWND owner, int tries = kTries, DWORD pauseMs = kPauseMs) {
        for (int i = 0; i < tries; ++i) {
            if (i > 0) {
                ::Sleep(pauseMs);
            }
            if (::OpenClipboard(owner)) {
                open_ = true;
                break;
            }
        }
    }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    ~ClipboardSession() {
        if (open_) {
            ::CloseClipboard();
        }
    }
    explicit operator bool() const { return open_; }

private:
    bool open_ = false;
};

}  // namespace snipora::win
