#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/HotKeyWin.h"
#include "app/PasteQueue.h"
#include "app/PasteWin.h"
#include "store/SavedClipboardWin.h"

namespace snipora {

// What pasting several texts needs of the window that offers it.
class IMultiPasteHost {
public:
    virtual ~IMultiPasteHost() = default;
    // Pastes what the clipboard holds into `target`, as a chosen entry is pasted.
    virtual PasteOutcome PasteInto(const PasteTarget& target) = 0;
    // This program writes the clipboard, which is no copy to record: from Begins to Ends, with
    // the number of the content written.
    virtual void OwnWriteBegins() = 0;
    virtual void OwnWriteEnds(uint32_t sequence) = 0;
    // The queue started, moved on or ended: the bar's text changes.
    virtual void QueueChanged() = 0;
    virtual void Tell(const std::wstring& text) = 0;
};

// Pastes several texts: joined, as one paste, or one by one, a text for each press of the
// paste-next key, into the window in front. The user's clipboard is kept before the first paste
// and put back, every format of it, once the pastes are over: after the joined text was read, or
// after the queue's last text. Nothing that this class puts on the clipboard is recorded as a
// copy. The texts are offered on the clipboard and given only when the target reads them, which
// tells that the paste arrived; a paste that nothing reads within a while counts as over all
// the same.
class MultiPaste {
public:
    // `window` owns what is offered on the clipboard and takes the paste-next key, under
    // `hotKeyId`, and the timer `timerId`.
    MultiPaste(HWND window, int hotKeyId, UINT_PTR timerId, IMultiPasteHost& host);
    MultiPaste(const MultiPaste&) = delete;
    MultiPaste& operator=(const MultiPaste&) = delete;
    ~MultiPaste();

    // [Main] PasteNextHotKey as a shortcut code; 0 turns it off.
    void SetNextKey(int32_t shortcut);
    // Pastes `joined` into `target`; with no target to paste into, it waits on the clipboard.
    void PasteTogether(std::u16string joined, const PasteTarget& target);
    // Queues `texts`, in place of a running queue (which is said).
    void StartQueue(std::vector<std::u16string> texts);
    void StopQueue();
    bool QueueRunning() const { return queue_.Running(); }
    // The bar's text while a queue runs: "Next (2 of 5): " and the text's beginning.
    std::u16string BarText() const { return queue_.BarText(kBarTextLength); }

    // The answer to the messages it takes: its hot key, the clipboard's render requests, its
    // timer and its own message.
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    static constexpr UINT kAdvanceMessage = WM_APP + 30;

private:
    static constexpr size_t kBarTextLength = 60;
    void NextPressed();
    // Offers the text and pastes it into the target; the end comes with Advance.
    void Paste(const std::u16string& text, const PasteTarget& target);
    // The paste that ran is over: read by the target, or given up on.
    void Advance();
    void Over(bool pasted);
    void PutBackIfIdle();
    void EndQueue();

    HWND window_;
    int hotKeyId_;
    UINT_PTR timerId_;
    IMultiPasteHost& host_;
    SystemHotKey nextKey_;
    UINT nextModifiers_ = 0;
    UINT nextVirtualKey_ = 0;
    std::wstring nextKeyName_;
    bool takenReported_ = false;
    bool elevatedReported_ = false;
    PasteQueue queue_;
    std::optional<SavedClipboard> saved_;  // the user's clipboard, to be put back
    std::u16string offered_;               // the text on offer
    enum class State : uint8_t { Idle, Pasting, Waiting } state_ = State::Idle;
    bool together_ = false;  // the paste that runs is a joined one, not the queue's
    bool rendered_ = false;  // the target read the text on offer
};

}  // namespace snipora
