#include "win/BaseWindow.h"

#include <string_view>

#include "common/Utf.h"
#include "win/Text.h"

namespace snipora::win {

void ShowErrorBox(HWND owner, const char* utf8Text) {
    const std::u16string text = Utf8ToUtf16(utf8Text != nullptr ? utf8Text : "");
    ::MessageBoxW(owner, Wide(text), L"Snipora", MB_OK | MB_ICONERROR);
}

namespace {
ErrorReporter g_reporter = ShowErrorBox;
}  // namespace

ErrorReporter SetErrorReporter(ErrorReporter reporter) {
    const ErrorReporter previous = g_reporter;
    g_reporter = reporter != nullptr ? reporter : ShowErrorBox;
    return previous;
}

void ReportError(HWND owner, const char* utf8Text) {
    g_reporter(owner, utf8Text);
}

BaseWindow::~BaseWindow() {
    if (window_ != nullptr) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

bool BaseWindow::Create(const wchar_t* className, DWORD exStyle, DWORD style, const wchar_t* title,
                        int x, int y, int width, int height, HWND owner, HICON icon) {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (!::GetClassInfoExW(instance, className, &existing)) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = className;
        wc.hIcon = icon;
        wc.hIconSm = icon;
        if (!::RegisterClassExW(&wc)) {
            return false;
        }
    }
    return ::CreateWindowExW(exStyle, className, title, style, x, y, width, height, owner, nullptr,
                             instance, this) != nullptr;
}

RECT BaseWindow::ScreenRect() const {
    RECT r{};
    ::GetWindowRect(window_, &r);
    return r;
}

void BaseWindow::MoveTo(int left, int top) const {
    ::SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void BaseWindow::Resize(int width, int height) const {
    ::SetWindowPos(window_, nullptr, 0, 0, width, height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT CursorPos() {
    POINT p{};
    ::GetCursorPos(&p);
    return p;
}

RECT WorkAreaAt(POINT point) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = ::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    if (monitor != nullptr && ::GetMonitorInfoW(monitor, &info)) {
        return info.rcWork;
    }
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

namespace {

BOOL CALLBACK FindEnabledDialog(HWND window, LPARAM found) {
    wchar_t name[8] = {};
    ::GetClassNameW(window, name, 8);
    if (std::wstring_view(name) == L"#32770" && ::IsWindowVisible(window) &&
        ::IsWindowEnabled(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindOpenDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindEnabledDialog,
                        reinterpret_cast<LPARAM>(&found));
    return found;
}

LRESULT BaseWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK BaseWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<BaseWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<BaseWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        const LRESULT result = ::DefWindowProcW(window, message, wParam, lParam);
        self->window_ = nullptr;
        self->OnDestroyed();
        return result;
    }
    return Firewall(window, 0, [&] { return self->HandleMessage(message, wParam, lParam); });
}

}  // namespace snipora::win
