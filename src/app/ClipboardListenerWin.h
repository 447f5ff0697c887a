#pragma once

#include <windows.h>

namespace snipora {

// The window's clipboard format listener: the system posts it WM_CLIPBOARDUPDATE after each
// change of the clipboard, with no chain in between that a viewer could break or keep to itself.
class ClipboardListener {
public:
    explicit ClipboardListener(HWND self) : self_(self) {}
    ClipboardListener(const ClipboardListener&) = delete;
    ClipboardListener& operator=(const ClipboardListener&) = delete;
    ~ClipboardListener() { Stop(); }

    // Starts listening; a refusal is logged, and the viewer chain alone reports the changes.
    void Listen();
    // Stops listening. Nothing when not listening.
    void Stop();

private:
    HWND self_;
    bool listening_ = false;
};

}  // namespace snipora
