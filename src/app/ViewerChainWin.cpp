#include "app/ViewerChainWin.h"

#include "log/Logger.h"

namespace snipora {
namespace {

constexpr DWORD kCheckMs = 1000;

}  // namespace

void ViewerChain::Join() {
    if (joined_) {
        return;
    }
    notified_ = false;
    overdue_ = false;
    seenSequence_ = ::GetClipboardSequenceNumber();
    joined_ = true;
    next_ = ::SetClipboardViewer(self_);
}

void ViewerChain::Leave() {
    if (!joined_) {
        return;
    }
    joined_ = false;
    ::ChangeClipboardChain(self_, next_);
    next_ = nullptr;
}

void ViewerChain::Notified() {
    notified_ = true;
    overdue_ = false;
    seenSequence_ = ::GetClipboardSequenceNumber();
}

void ViewerChain::PassOn(WPARAM wParam, LPARAM lParam) {
    // A program that renders its content only when asked changes the clipboard again while the
    // window reads it, and no notification follows that change.
    seenSequence_ = ::GetClipboardSequenceNumber();
    if (next_ != nullptr && ::IsWindow(next_)) {
        ::PostMessageW(next_, WM_DRAWCLIPBOARD, wParam, lParam);
    }
}

void ViewerChain::ChainChanged(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(wParam) == next_) {
        next_ = reinterpret_cast<HWND>(lParam);
    } else if (next_ != nullptr && ::IsWindow(next_)) {
        ::PostMessageW(next_, WM_CHANGECBCHAIN, wParam, lParam);
    }
}

bool ViewerChain::Tick() {
    // The tick count is a read of shared memory; the change count below asks the system.
    const DWORD now = ::GetTickCount();
    if (now - lastCheck_ < kCheckMs) {
        return false;
    }
    lastCheck_ = now;
    if (!joined_ || ::GetClipboardSequenceNumber() == seenSequence_) {
        overdue_ = false;
        return false;
    }
    if (!overdue_) {
        overdue_ = true;  // a notification may still be on its way
        return false;
    }
    LogInfo(
        "[ClipboardViewer] No notification of a clipboard change: joining the viewer chain "
        "again");
    Leave();
    Join();
    return !notified_;
}

}  // namespace snipora
