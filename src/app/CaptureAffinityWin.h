#pragma once

#include <windows.h>

namespace snipora {

// The system's SetWindowDisplayAffinity, or a stand-in of the same shape in tests.
using SetDisplayAffinityFunction = BOOL(WINAPI*)(HWND window, DWORD affinity);

// Display affinities (winuser.h has the second only for newer targets).
inline constexpr DWORD kAffinityNone = 0;             // WDA_NONE
inline constexpr DWORD kAffinityMonitor = 1;          // WDA_MONITOR: black in captures
inline constexpr DWORD kAffinityExcludeCapture = 17;  // WDA_EXCLUDEFROMCAPTURE: left out

// Keeps a window out of screenshots and screen shares where the system allows it: left out
// (Windows 10 2004 and later), else shown black, else (older systems) as it is, which is logged
// once per object.
class CaptureAffinity {
public:
    explicit CaptureAffinity(SetDisplayAffinityFunction set = ::SetWindowDisplayAffinity)
        : set_(set) {}
    CaptureAffinity(const CaptureAffinity&) = delete;
    CaptureAffinity& operator=(const CaptureAffinity&) = delete;

    // Hides the window from captures, or with `hide` false lets them see it again. Gives the
    // affinity the window got: kAffinityNone when the system refused.
    DWORD Apply(HWND window, bool hide);

private:
    SetDisplayAffinityFunction set_;
    bool refusalLogged_ = false;
};

}  // namespace snipora
