#include "settings/DialogLayoutWin.h"

namespace snipora::Settings {

void LayOutDialog(HWND dialog, int clientWidth, int clientHeight,
                  std::span<const ControlPlace> places) {
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    if (dpi <= 0) {
        dpi = 96;
    }
    const auto scale = [dpi](int pixels) { return ::MulDiv(pixels, dpi, 96); };

    for (const ControlPlace& place : places) {
        if (HWND control = ::GetDlgItem(dialog, place.id)) {
            ::MoveWindow(control, scale(place.x), scale(place.y), scale(place.width),
                         scale(place.height), FALSE);
        }
    }

    RECT frame{0, 0, scale(clientWidth), scale(clientHeight)};
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(dialog, GWL_EXSTYLE));
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;

    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int left = area.left + (area.right - area.left - width) / 2;
    const int top = area.top + (area.bottom - area.top - height) / 2;
    ::SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(dialog, nullptr, TRUE);
}

}  // namespace snipora::Settings
