#pragma once

#include <cstdint>
#include <string>

#include "store/Clipboard.h"

namespace snipora {

// One content of the clipboard, read as soon as the system reported it, for the capture to
// record later: by then the clipboard may hold another. One taken during a pause holds only its
// number: nothing was asked of the clipboard.
struct ClipboardSnapshot {
    uint32_t sequence = 0;  // the system's number of the content
    bool isPrivate = false;
    bool hasText = false;
    ClipboardRead result = ClipboardRead::NoData;
    std::u16string text;
};

// Asks `clipboard` what the capture asks, in the same order: the text of a private content is
// never read.
ClipboardSnapshot TakeSnapshot(IClipboard& clipboard, WindowHandle window, uint32_t sequence);

// The clipboard as the capture reads it: while a snapshot is served, its answers; otherwise the
// live clipboard's. Writes always go to the live clipboard.
class SnapshotClipboard final : public IClipboard {
public:
    explicit SnapshotClipboard(IClipboard& live) : live_(live) {}

    // Serves `snapshot`, which must outlive the serving, until Serve(nullptr).
    void Serve(const ClipboardSnapshot* snapshot) { snapshot_ = snapshot; }

    bool HasText() override;
    bool IsPrivate(WindowHandle owner) override;
    ClipboardRead ReadText(WindowHandle owner, StoredText& text) override;
    bool WriteText(WindowHandle owner, std::u16string_view text) override {
        return live_.WriteText(owner, text);
    }

private:
    IClipboard& live_;
    const ClipboardSnapshot* snapshot_ = nullptr;
};

}  // namespace snipora
