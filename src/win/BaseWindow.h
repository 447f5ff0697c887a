#pragma once

#include <windows.h>

namespace snipora::win {

// Shows an error in the standard error box, owned by `owner` (may be null).
void ShowErrorBox(HWND owner, const char* utf8Text);

// Where the firewall sends the errors it stops: the standard error box, unless a test puts its
// own in its place. Returns the one before.
using ErrorReporter = void (*)(HWND owner, const char* utf8Text);
ErrorReporter SetErrorReporter(ErrorReporter reporter);
void ReportError(HWND owner, const char* utf8Text);

// Runs a handler behind the exception firewall: an exception ends the handler, its message is
// shown in the standard error box, and the caller's message loop goes on.
template <typename Handler>
LRESULT Firewall(HWND window, LRESULT failed, Handler&& handler) noexcept;

// A window whose messages go to a member handler. The static window procedure finds the object
// through the window's user data, set from the creation parameter; no global map.
class BaseWindow {
public:
    BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;
    virtual ~BaseWindow();

    HWND Handle() const { return window_; }

    // The window's rectangle on the screen.
    RECT ScreenRect() const;
    // Another place or size, the other left as it is; neither activates the window nor changes
    // its place in the z-order.
    void MoveTo(int left, int top) const;
    void Resize(int width, int height) const;

protected:
    // Registers the class on first use and creates the window.
    bool Create(const wchar_t* className, DWORD exStyle, DWORD style, const wchar_t* title, int x,
                int y, int width, int height, HWND owner, HICON icon = nullptr);
    // Messages not handled go to DefWindowProcW.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Called once the window is destroyed; the handle is no longer valid.
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

// The pointer's position on the screen.
POINT CursorPos();
// The work area (the screen without the taskbar) of the monitor nearest to a point.
RECT WorkAreaAt(POINT point);

// The dialog or message box of this thread that takes the input now: the innermost of those
// open, as each one disables its owner. Null when none is open.
HWND FindOpenDialog();

}  // namespace snipora::win

#include "win/BaseWindow.inl"
