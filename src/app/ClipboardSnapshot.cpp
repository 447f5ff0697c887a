#include "app/ClipboardSnapshot.h"

#include "store/StoredText.h"

namespace snipora {

ClipboardSnapshot TakeSnapshot(IClipboard& clipboard, WindowHandle window, uint32_t sequence) {
    ClipboardSnapshot snapshot;
    snapshot.sequence = sequence;
    snapshot.isPrivate = clipboard.IsPrivate(window);
    if (snapshot.isPrivate) {
        return snapshot;
    }
    snapshot.hasText = clipboard.HasText();
    if (snapshot.hasText) {
        StoredText text;
        snapshot.result = clipboard.ReadText(window, text);
        snapshot.text = text;
    }
    return snapshot;
}

bool SnapshotClipboard::HasText() {
    return snapshot_ != nullptr ? snapshot_->hasText : live_.HasText();
}

bool SnapshotClipboard::IsPrivate(WindowHandle owner) {
    return snapshot_ != nullptr ? snapshot_->isPrivate : live_.IsPrivate(owner);
}

ClipboardRead SnapshotClipboard::ReadText(WindowHandle owner, StoredText& text) {
    if (snapshot_ == nullptr) {
        return live_.ReadText(owner, text);
    }
    if (!snapshot_->hasText) {
        return ClipboardRead::NoData;
    }
    if (snapshot_->result == ClipboardRead::Text) {
        text = snapshot_->text;
    }
    return snapshot_->result;
}

}  // namespace snipora
