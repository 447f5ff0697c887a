// Pasting several texts: joined, or one by one with the paste-next key; the user's clipboard
// put back afterwards.
#include "app/MultiPasteWin.h"

#include <utility>

#include "app/PopupController.h"
#include "app/PopupInputWin.h"
#include "common/Utf.h"
#include "log/Logger.h"
#include "win/Text.h"

namespace snipora {
namespace {

// How long a paste may take to read its text before it counts as over all the same.
constexpr UINT kReadWaitMs = 1000;

// wParam of kAdvanceMessage.
constexpr WPARAM kRead = 0;      // the target read the text on offer
constexpr WPARAM kNextText = 1;  // a press that waited: the next text goes now

// The window in front now, to paste into; none of this program's own.
PasteTarget FrontTarget() {
    const PasteTarget target = CurrentPasteTarget();
    return IsOwnProcessWindow(target.window) ? PasteTarget{} : target;
}

}  // namespace

MultiPaste::MultiPaste(HWND window, int hotKeyId, UINT_PTR timerId, IMultiPasteHost& host)
    : window_(window),
      hotKeyId_(hotKeyId),
      timerId_(timerId),
      host_(host),
      nextKey_(window, hotKeyId) {}

MultiPaste::~MultiPaste() {
    ::KillTimer(window_, timerId_);
}

void MultiPaste::SetNextKey(int32_t shortcut) {
    const TriggerKeys keys = MakeTriggerKeys(0, shortcut, [] { return 1; });
    const bool changed =
        keys.systemKey != nextVirtualKey_ || keys.systemModifiers != nextModifiers_;
    nextVirtualKey_ = keys.systemKey;
    nextModifiers_ = keys.systemModifiers;
    nextKeyName_ = keys.systemKey != 0 ? HotKeyName(keys) : std::wstring();
    if (changed && queue_.Running()) {
        nextKey_.Unregister();
        takenReported_ = false;
        StartQueue({});  // registers the new key for the queue that runs
    }
}

void MultiPaste::PasteTogether(std::u16string joined, const PasteTarget& target) {
    if (state_ != State::Idle) {
        return;  // one paste at a time: a queue's paste runs
    }
    if (!saved_) {
        saved_ = SavedClipboard::Take(window_);
    }
    together_ = true;
    Paste(joined, target);
}

void MultiPaste::StartQueue(std::vector<std::u16string> texts) {
    if (!texts.empty()) {
        const size_t count = texts.size();
        if (queue_.Start(std::move(texts))) {
            host_.Tell(L"A new list to paste one by one (" + std::to_wstring(count) +
                       L" texts) took the place of the one that was running.");
        }
        if (!saved_) {
            saved_ = SavedClipboard::Take(window_);
        }
    }
    if (!queue_.Running()) {
        return;
    }
    if (!nextKey_.Registered()) {
        if (nextVirtualKey_ == 0) {
            host_.Tell(L"No key is set to paste the next text: choose one in the settings.");
        } else if (!nextKey_.Register(nextModifiers_, nextVirtualKey_) && !takenReported_) {
            takenReported_ = true;
            LogError("[MultiPaste] The paste-next key " +
                     Utf16ToUtf8(std::u16string(win::Utf16(nextKeyName_))) +
                     " is used by another program");
            host_.Tell(L"Another program uses " + nextKeyName_ +
                       L", the key that pastes the next text. Choose another key in the "
                       L"settings.");
        }
    }
    host_.QueueChanged();
}

void MultiPaste::StopQueue() {
    queue_.Stop();
    if (state_ == State::Idle) {
        EndQueue();
    }
}

void MultiPaste::NextPressed() {
    if (state_ != State::Idle && !queue_.Running()) {
        return;
    }
    if (const std::u16string* text = queue_.Pressed()) {
        Paste(*text, FrontTarget());
    }
}

void MultiPaste::Paste(const std::u16string& text, const PasteTarget& target) {
    offered_ = text;
    rendered_ = false;
    host_.OwnWriteBegins();
    const bool offered = OfferText(window_);
    host_.OwnWriteEnds(::GetClipboardSequenceNumber());
    if (!offered) {
        LogError("[MultiPaste] The clipboard could not be opened to paste a text");
        Over(false);
        return;
    }
    state_ = State::Pasting;
    const PasteOutcome outcome = host_.PasteInto(target);
    if (outcome == PasteOutcome::Pasted) {
        state_ = State::Waiting;
        if (rendered_) {
            ::PostMessageW(window_, kAdvanceMessage, kRead, 0);
        } else {
            ::SetTimer(window_, timerId_, kReadWaitMs, nullptr);
        }
        return;
    }
    state_ = State::Idle;
    LogInfo(("[MultiPaste] Not pasted (" + std::to_string(static_cast<int>(outcome)) +
             "): the text keeps its place")
                .c_str());
    if (outcome == PasteOutcome::Elevated && !elevatedReported_) {
        elevatedReported_ = true;
        host_.Tell(L"Snipora cannot paste into a program running as administrator.");
    }
    Over(false);
}

void MultiPaste::Advance() {
    if (state_ != State::Waiting) {
        return;
    }
    ::KillTimer(window_, timerId_);
    state_ = State::Idle;
    Over(true);
}

void MultiPaste::Over(bool pasted) {
    if (std::exchange(together_, false)) {
        // Not pasted anywhere, the joined text waits on the clipboard for the user.
        if (!pasted && !queue_.Running()) {
            saved_.reset();
        }
        PutBackIfIdle();
        return;
    }
    if (queue_.Finished(pasted) != nullptr) {
        ::PostMessageW(window_, kAdvanceMessage, kNextText, 0);
    }
    host_.QueueChanged();
    if (!queue_.Running()) {
        EndQueue();
    }
}

void MultiPaste::EndQueue() {
    nextKey_.Unregister();
    PutBackIfIdle();
    host_.QueueChanged();
}

// Only over what this program offered: a copy the user made meanwhile stays.
void MultiPaste::PutBackIfIdle() {
    if (!saved_ || state_ != State::Idle || queue_.Running()) {
        return;
    }
    const SavedClipboard saved = std::move(*saved_);
    saved_.reset();
    if (!saved.Taken() || ::GetClipboardOwner() != window_) {
        return;
    }
    host_.OwnWriteBegins();
    const bool putBack = saved.PutBack(window_);
    host_.OwnWriteEnds(::GetClipboardSequenceNumber());
    if (!putBack) {
        LogError("[MultiPaste] The clipboard could not be put back as it was");
    }
}

std::optional<LRESULT> MultiPaste::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_HOTKEY:
            if (static_cast<int>(wParam) != hotKeyId_) {
                return std::nullopt;
            }
            NextPressed();
            return 0;
        case WM_RENDERFORMAT:
            if (wParam == CF_UNICODETEXT && RenderOfferedText(window_, offered_, false)) {
                rendered_ = true;
                if (state_ == State::Waiting) {
                    ::PostMessageW(window_, kAdvanceMessage, kRead, 0);
                }
            }
            return 0;
        case WM_RENDERALLFORMATS:
            RenderOfferedText(window_, offered_, true);
            return 0;
        case WM_DESTROYCLIPBOARD:
            return 0;
        case WM_TIMER:
            if (wParam != timerId_) {
                return std::nullopt;
            }
            Advance();
            return 0;
        case kAdvanceMessage:
            if (wParam == kRead) {
                Advance();
            } else if (state_ == State::Idle && queue_.Running()) {
                // The press that waited: the queue handed its text out already.
                Paste(queue_.Current(), FrontTarget());
            }
            return 0;
        default:
            return std::nullopt;
    }
}

}  // namespace snipora
