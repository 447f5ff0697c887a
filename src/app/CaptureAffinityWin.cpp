#include "app/CaptureAffinityWin.h"

#include <string>

#include "log/Logger.h"

namespace snipora {

DWORD CaptureAffinity::Reported(HWND window, DWORD asked) {
    DWORD reported = asked;
    if (!get_(window, &reported)) {
        return asked;
    }
    if (reported != asked) {
        LogInfo(("[CaptureAffinity] Asked for display affinity " + std::to_string(asked) +
                 ", the window has " + std::to_string(reported))
                    .c_str());
    }
    return reported;
}

DWORD CaptureAffinity::Apply(HWND window, bool hide) {
    if (!hide) {
        set_(window, kAffinityNone);
        return kAffinityNone;
    }
    for (DWORD affinity : {kAffinityExcludeCapture, kAffinityMonitor}) {
        if (set_(window, affinity)) {
            return Reported(window, affinity);
        }
    }
    if (!refusalLogged_) {
        refusalLogged_ = true;
        // Kept whatever LogDetails says: the user asked for the hiding and does not get it.
        LogError(
            "[CaptureAffinity] The system does not let the window be hidden from screen "
            "captures; it stays visible in them.");
    }
    return kAffinityNone;
}

}  // namespace snipora
