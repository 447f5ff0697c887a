#pragma once

#include <cstdint>

#include "store/Clipboard.h"

namespace snipora {

class CDataBase;

// Carries texts between the system clipboard and the lists: reads what a change of the
// clipboard put there and hands it to the lists as a capture, and puts an entry's text back on
// it. The lists decide what a capture does to them (CDataBase::AddCaptured); this class only
// knows the clipboard, the window that owns it, and which entry it wrote last.
class ClipboardTransfer {
public:
    ClipboardTransfer(IClipboard& clipboard, CDataBase& lists)
        : clipboard_(clipboard), lists_(lists) {}
    ClipboardTransfer(const ClipboardTransfer&) = delete;
    ClipboardTransfer& operator=(const ClipboardTransfer&) = delete;

    // The window that owns what is written; from then on texts are carried.
    void SetWindow(WindowHandle window) {
        window_ = window;
        enabled_ = true;
    }
    bool Enabled() const { return enabled_; }

    // Reads the clipboard's text and hands it to the lists, unless its owner marked it private
    // or there is none.
    void Capture();
    // Puts the text of the entry of the Id on the clipboard; the capture that follows names that
    // entry to the lists. False when there is no such entry or the clipboard could not be written.
    bool Write(uint32_t id);

private:
    IClipboard& clipboard_;
    CDataBase& lists_;
    WindowHandle window_ = nullptr;
    bool enabled_ = false;
    // The history entry whose text Write put on the clipboard, until the next capture.
    uint32_t chosen_ = 0;
};

}  // namespace snipora
