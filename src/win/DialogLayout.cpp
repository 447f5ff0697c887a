#include "win/DialogLayout.h"

#include "win/Dpi.h"

namespace snipora::win {

void LayOutDialog(HWND dialog, int clientWidth, int clientHeight,
                  std::span<const ControlPlace> places) {
    const Dpi dpi = Dpi::OfScreen();
    for (const ControlPlace& place : places) {
        if (HWND control = ::GetDlgItem(dialog, place.id)) {
            ::MoveWindow(control, dpi.Scale(place.x), dpi.Scale(place.y), dpi.Scale(place.width),
                         dpi.Scale(place.height), FALSE);
        }
    }

    RECT frame{0, 0, dpi.Scale(clientWidth), dpi.Scale(clientHeight)};
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

}  // namespace snipora::win
