#pragma once

#include <windows.h>

namespace snipora {

// The system's SetWindowDisplayAffinity and GetWindowDisplayAffinity, or stand-ins of the same
// shape in tests.
using SetDisplayAffinityFunction = BOOL(WINAPI*)(HWND window, DWORD affinity);
using GetDisplayAffinityFunction = BOOL(WINAPI*)(HWND window, DWORD* affinity);

// Display affinities (winuser.h has the second only for newer targets).
inline constexpr DWORD kAffinityNone = 0;             // WDA_NONE
inline constexpr DWORD kAffinityMonitor = 1;          // WDA_MONITOR: black in captures
inline constexpr DWORD kAffinityExcludeCapture = 17;  // WDA_EXCLUDEFROMCAPTURE: left out

// Keeps a window out of screenshots and screen shares where the system allows it: left out
// (Windows 10 2004 and later), else shown black, else (older systems) as it is, which is logged
// once per object as an error line, kept without LogDetails. A system may accept an affinity and
// apply another (Windows 10 before 2004 takes "left out" as "shown black"): what the window then
// reports is what it got.
class CaptureAffinity {
public:
    explicit CaptureAffinity(SetDisplayAffinityFunction set = ::SetWindowDisplayAffinity,
                             GetDisplayAffinityFunction get = ::GetWindowDisplayAffinity)
        : set_(set), get_(get) {}
    CaptureAffinity(const CaptureAffinity&) = delete;
    CaptureAffinity& operator=(const CaptureAffinity&) = delete;

    // Hides the window from captures, or with `hide` false lets them see it again. Gives the
    // affinity the window reports after an accepted call (the one asked for when it reports
    // none): kAffinityNone when the system refused.
    DWORD Apply(HWND window, bool hide);

private:
    DWORD Reported(HWND window, DWORD asked);

    SetDisplayAffinityFunction set_;
    GetDisplayAffinityFunction get_;
    bool refusalLogged_ = false;
};

}  // namespace snipora
