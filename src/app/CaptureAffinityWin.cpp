#include "app/CaptureAffinityWin.h"

#include "log/Logger.h"

namespace snipora {

DWORD CaptureAffinity::Apply(HWND window, bool hide) {
    if (!hide) {
        set_(window, kAffinityNone);
        return kAffinityNone;
    }
    for (DWORD affinity : {kAffinityExcludeCapture, kAffinityMonitor}) {
        if (set_(window, affinity)) {
            return affinity;
        }
    }
    if (!refusalLogged_) {
        refusalLogged_ = true;
        LogInfo(
            "[CaptureAffinity] The system does not let the window be hidden from screen "
            "captures; it stays visible in them.");
    }
    return kAffinityNone;
}

}  // namespace snipora
