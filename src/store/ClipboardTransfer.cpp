#include "store/ClipboardTransfer.h"

#include <algorithm>
#include <utility>

#include "store/DataBase.h"

namespace snipora {

void ClipboardTransfer::Capture() {
    // Only the capture that comes next after a chosen entry's write looks for that entry.
    const uint32_t chosen = std::exchange(chosen_, 0);
    // Content that its owner marked as private (passwords), or whose owner is a program whose
    // copies are not recorded, is not recorded at all. The owner is judged first: asking whether
    // text is there may wait on a program that does not answer, and once its window has gone,
    // so has its name.
    if (!enabled_ || clipboard_.IsPrivate(window_) || !clipboard_.HasText()) {
        return;
    }
    // Read outside the lists: reading the clipboard may let a nested capture run, which must not
    // see a half-made entry.
    CTextItem item;
    if (item.ReadFromClipboard(clipboard_, window_)) {
        lists_.AddCaptured(item, chosen);
    } else {
        lists_.TrimHistory();
    }
}

bool ClipboardTransfer::Write(uint32_t id) {
    if (!enabled_) {
        return false;
    }
    const auto& items = lists_.Items();
    const auto it = std::find_if(items.begin(), items.end(),
                                 [id](const ItemEntry& entry) { return entry->Id == id; });
    if (it == items.end()) {
        return false;
    }
    // The entry stays where it is: the capture that the change sets off moves it up. While
    // nothing is captured (recording paused, a clipboard that cannot be read) it keeps its place.
    chosen_ = (*it)->Category == kHistoryCategory ? id : 0;
    if (clipboard_.WriteText(window_, (*it)->Text)) {
        return true;
    }
    chosen_ = 0;
    return false;
}

}  // namespace snipora
