// Several entries at once: pasted together or one by one, and the bar's text about them.
#include <string>
#include <vector>

#include "app/ClipboardViewerFormWin.h"
#include "app/PasteMenuWin.h"
#include "settings/Keys.h"
#include "settings/SettingsStorageWin.h"
#include "settings/SettingsValues.h"
#include "view/EntrySelection.h"
#include "win/Text.h"

namespace snipora {

// The texts in the order they were copied. The popup closes first, as for one entry; with no
// window it was summoned over, the joined text waits on the clipboard. The joined text is the
// newest history entry, as a copy of it would be, while the entries chosen stay in their places.
void TClipboardViewerForm::PasteSeveral(WORD command, const CItemNode* record) {
    CClipboardHandler* handler = Handler();
    if (handler == nullptr) {
        return;
    }
    std::vector<std::u16string> texts;
    if (command == kIdPasteLinesOneByOne) {
        if (record == nullptr || record->IsCategory || record->IsShowAll()) {
            return;
        }
        for (const auto& item : handler->Items()) {
            if (item->Id == record->Id) {
                texts = LinesOf(std::u16string_view(item->Text));
                break;
            }
        }
    } else {
        std::vector<uint32_t> ids = tree_->SelectedIds();
        if (ids.empty() && record != nullptr) {
            ids.push_back(record->Id);
        }
        texts = PasteOrder(ids, handler->Items());
    }
    if (texts.empty()) {
        return;
    }
    const bool summoned = popup_.AtCursor();
    const PasteTarget target = summoned ? target_ : PasteTarget{};
    if (popup_.Expanded()) {
        popup_.SetExpanded(false);
    }
    if (command == kIdPasteOneByOne || command == kIdPasteLinesOneByOne) {
        // The user goes on in the window the popup was summoned over (the menu took the front).
        if (summoned) {
            ReturnTo(target);
        }
        multi_->StartQueue(std::move(texts));
        return;
    }
    bool named = false;
    const std::u16string_view chosen = SeparatorOf(command, named);
    const std::u16string separator =
        named ? std::u16string(chosen)
              : settings::JoinSeparatorOf(
                    settings::GetSettingsStorage().GetMainString(keys::kJoinSeparator, u""));
    std::u16string joined = JoinTexts(texts, separator);
    if (!recorder_->Paused()) {
        CTextItem item;
        item.Text = joined;
        item.Length = static_cast<uint32_t>(joined.size());
        handler->AddCaptured(item, 0);
        ListsChanged();
    }
    multi_->PasteTogether(std::move(joined), target);
}

PasteOutcome TClipboardViewerForm::PasteInto(const PasteTarget& target) {
    struct Pasting {
        bool& flag;
        explicit Pasting(bool& f) : flag(f) { flag = true; }
        ~Pasting() { flag = false; }
    } pasting(pasting_);
    return PasteClipboardInto(target, &settings::GetSettingsStorage());
}

void TClipboardViewerForm::StopPasteQueue() {
    if (multi_) {
        multi_->StopQueue();
    }
}

void TClipboardViewerForm::UpdateBarText() {
    if (!bar_ || !recorder_) {
        return;
    }
    const std::u16string queue = multi_ ? multi_->BarText() : std::u16string();
    bar_->SetLabelClickable(!queue.empty());
    const size_t chosen = tree_ && popup_.Expanded() ? tree_->SelectedIds().size() : 0;
    if (!queue.empty()) {
        bar_->SetText(win::Wide(queue));
    } else if (chosen > 1) {
        bar_->SetText((std::to_wstring(chosen) + L" selected").c_str());
    } else {
        bar_->SetText(recorder_->BarText().c_str());
    }
}

// A click on the queue's text ends the queue.
void TClipboardViewerForm::OnBarClick(POINT screen) {
    if (multi_ && multi_->QueueRunning() && bar_->OnLabel(screen)) {
        multi_->StopQueue();
    }
}

}  // namespace snipora
