#include "win/Dpi.h"

#include "win/Gdi.h"
#include "win/SystemLibrary.h"

namespace snipora::win {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
// shcore's GetDpiForMonitor with MDT_EFFECTIVE_DPI (0).
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

int MonitorDpi(HMONITOR monitor) {
    static const SystemLibrary shcore(L"shcore.dll");
    static const auto getDpiForMonitor = shcore.Find<GetDpiForMonitorFn>("GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (monitor == nullptr || getDpiForMonitor == nullptr ||
        FAILED(getDpiForMonitor(monitor, 0, &x, &y))) {
        return 0;
    }
    return static_cast<int>(x);
}

int ScreenDpi() {
    const ScreenDc screen;
    return screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSX) : 0;
}

}  // namespace

Dpi Dpi::OfScreen() {
    return Dpi(ChooseDpi(0, 0, ScreenDpi()));
}

Dpi Dpi::OfWindow(HWND window) {
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const int own = window != nullptr && getDpiForWindow != nullptr
                        ? static_cast<int>(getDpiForWindow(window))
                        : 0;
    if (own > 0) {
        return Dpi(own);
    }
    const int monitor =
        window != nullptr ? MonitorDpi(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)) : 0;
    return Dpi(ChooseDpi(own, monitor, monitor > 0 ? 0 : ScreenDpi()));
}

Dpi Dpi::AtPoint(POINT point) {
    const int monitor = MonitorDpi(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST));
    return Dpi(ChooseDpi(0, monitor, monitor > 0 ? 0 : ScreenDpi()));
}

}  // namespace snipora::win
