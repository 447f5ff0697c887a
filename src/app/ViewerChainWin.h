#pragma once

#include <windows.h>

namespace snipora {

// The window's membership of the clipboard-viewer chain: joining at the head, passing the
// chain's messages on, leaving it again (at the latest when this object goes), and a watch for a
// later viewer that keeps the change notifications to itself.
class ViewerChain {
public:
    explicit ViewerChain(HWND self) : self_(self) {}
    ViewerChain(const ViewerChain&) = delete;
    ViewerChain& operator=(const ViewerChain&) = delete;
    ~ViewerChain() { Leave(); }

    // Joins at the head; the system then notifies the window of the clipboard's content.
    void Join();
    // Leaves, handing the head to the next viewer. Nothing when not joined.
    void Leave();

    // WM_DRAWCLIPBOARD: Notified when it arrives, PassOn once the window has taken the content.
    // Notified also after the window took the content on its own (Tick).
    void Notified();
    void PassOn(WPARAM wParam, LPARAM lParam);
    // WM_CHANGECBCHAIN: repairs the link to the next viewer, or passes it on.
    void ChainChanged(WPARAM wParam, LPARAM lParam);

    // Called on every tick of the window's timer; about once a second it compares the
    // clipboard's change count with the one at the last notification. When the count moved and
    // no notification followed within a second, a viewer that joined later is keeping them: the
    // window leaves and joins again at the head. True when it did so without being notified by
    // the join, so that the caller takes the content itself and calls Notified.
    bool Tick();

private:
    HWND self_;
    HWND next_ = nullptr;
    bool joined_ = false;
    bool notified_ = false;   // a notification came since the flag was cleared
    DWORD seenSequence_ = 0;  // the clipboard's change count at the last notification
    bool overdue_ = false;    // the count had moved at the last check
    DWORD lastCheck_ = 0;     // tick count of the last comparison
};

}  // namespace snipora
