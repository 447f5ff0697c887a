#include "app/ClipboardListenerWin.h"

#include <string>

#include "log/Logger.h"

namespace snipora {

void ClipboardListener::Listen() {
    if (listening_) {
        return;
    }
    listening_ = ::AddClipboardFormatListener(self_) != FALSE;
    if (!listening_) {
        LogError("[ClipboardListener] The system refused the clipboard format listener (error " +
                 std::to_string(::GetLastError()) + "); the viewer chain alone reports copies");
    }
}

void ClipboardListener::Stop() {
    if (listening_) {
        listening_ = false;
        ::RemoveClipboardFormatListener(self_);
    }
}

}  // namespace snipora
