// The baseline of the idle benchmark: a bare window with nothing but a 10 ms timer. Words on the
// command line add calls to each tick, to see what each costs: cursor, key, rect, foreground.
#include <windows.h>

#include <cwchar>

namespace {

bool g_cursor = false, g_key = false, g_rect = false, g_foreground = false;

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        POINT p;
        RECT r;
        if (g_cursor) {
            ::GetCursorPos(&p);
        }
        if (g_key) {
            ::GetKeyState(VK_CONTROL);
        }
        if (g_rect) {
            ::GetWindowRect(window, &r);
        }
        if (g_foreground) {
            ::GetForegroundWindow();
        }
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    g_cursor = std::wcsstr(commandLine, L"cursor") != nullptr;
    g_key = std::wcsstr(commandLine, L"key") != nullptr;
    g_rect = std::wcsstr(commandLine, L"rect") != nullptr;
    g_foreground = std::wcsstr(commandLine, L"foreground") != nullptr;
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = L"IdleTimer";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"Idle timer", WS_POPUP, 0, 0,
                                    200, 29, nullptr, nullptr, instance, nullptr);
    ::ShowWindow(window, SW_SHOWNOACTIVATE);
    ::SetTimer(window, 1, 10, nullptr);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&message);
    }
    return 0;
}
