// The commands on the tree's entries, and the paste into the window the popup was summoned over.
#include <windowsx.h>

#include "app/ClipboardViewerFormWin.h"
#include "app/ItemMenu.h"
#include "settings/SettingsStorageWin.h"
#include "win/Text.h"

namespace snipora {

void TClipboardViewerForm::CreateItemMenu() {
    itemMenu_.Reset(::CreatePopupMenu());
    ::AppendMenuW(itemMenu_.Get(), MF_STRING, kIdMoveToClipboard, L"Move to clipboard");
    ::AppendMenuW(itemMenu_.Get(), MF_STRING, kIdMoveToNotes, L"Move to notes");
    ::AppendMenuW(itemMenu_.Get(), MF_STRING, kIdDeleteItem, L"Delete item");
    ::AppendMenuW(itemMenu_.Get(), MF_STRING, kIdClearText, L"Clear");
    ::SetMenuDefaultItem(itemMenu_.Get(), kIdMoveToClipboard, FALSE);
}

void TClipboardViewerForm::ItemsTreeMouseDown(UINT button, int x, int y) {
    TVHITTESTINFO hit{};
    hit.pt = {x, y};
    HTREEITEM item = TreeView_HitTest(tree_, &hit);
    if (item == nullptr) {
        return;
    }
    TreeView_SelectItem(tree_, item);
    if (button == WM_RBUTTONDOWN) {
        OpenItemMenu(x, y);
    }
}

// The entry menu for the selected entry, at a point in the tree's coordinates. The command
// chosen goes to that entry, found again by its Id: if it left the lists while the menu was
// open, the command does nothing.
void TClipboardViewerForm::OpenItemMenu(int x, int y) {
    const CItemNode* record = SelectedRecord();
    const auto menu = AdaptItemMenu(record, true);
    if (!menu) {
        return;
    }
    const uint32_t entry = record->Id;
    const std::u16string caption(menu->moveCaption);
    ::ModifyMenuW(itemMenu_.Get(), kIdMoveToClipboard, MF_BYCOMMAND | MF_STRING, kIdMoveToClipboard,
                  win::Wide(caption));
    ::EnableMenuItem(itemMenu_.Get(), kIdMoveToClipboard, MF_BYCOMMAND | MF_ENABLED);
    ::EnableMenuItem(itemMenu_.Get(), kIdMoveToNotes,
                     MF_BYCOMMAND | (menu->moveToNotesEnabled ? MF_ENABLED : MF_GRAYED));
    ::EnableMenuItem(itemMenu_.Get(), kIdDeleteItem, MF_BYCOMMAND | MF_ENABLED);
    ::SetMenuDefaultItem(itemMenu_.Get(), kIdMoveToClipboard, FALSE);
    POINT at{x, y};
    ::ClientToScreen(tree_, &at);
    const UINT command = ::TrackPopupMenu(itemMenu_.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x,
                                          at.y, 0, Handle(), nullptr);
    if (command != 0 && handler_ != nullptr) {
        if (const CItemNode* chosen = FindShownEntry(handler_->Root(), entry)) {
            RunEntryCommand(static_cast<WORD>(command), chosen);
        }
    }
}

void TClipboardViewerForm::RunEntryCommand(WORD id, const CItemNode* record) {
    switch (id) {
        case kIdMoveToClipboard:
            BtMoveToClipboardClick(record);
            break;
        case kIdMoveToNotes:
            BtMoveToNotesClick(record);
            break;
        case kIdDeleteItem:
            BtDeleteItemClick(record);
            break;
        case kIdClearText:
            BtClearTextClick(record);
            break;
        default:
            break;
    }
}

void TClipboardViewerForm::ItemsTreeDblClick() {
    HTREEITEM selected = TreeView_GetSelection(tree_);
    if (selected == nullptr) {
        return;
    }
    if (TreeView_GetChild(tree_, selected) != nullptr) {
        TreeView_Expand(tree_, selected, TVE_TOGGLE);
        return;
    }
    BtMoveToClipboardClick(SelectedRecord());
}

const CItemNode* TClipboardViewerForm::SelectedRecord() const {
    HTREEITEM selected = TreeView_GetSelection(tree_);
    return selected != nullptr ? Win32TreeView::RecordOf(tree_, selected) : nullptr;
}

void TClipboardViewerForm::ListsChanged() {
    handler_->RefreshTree();
    ScheduleSave();
}

void TClipboardViewerForm::BtMoveToClipboardClick(const CItemNode* record) {
    if (record == nullptr || handler_ == nullptr) {
        return;
    }
    // An empty category moves nothing, and what the clipboard holds is pasted as it is.
    const bool isEntry = !record->IsCategory;
    const bool moved = handler_->MoveToClipboard(record->Id);
    ListsChanged();
    if (isEntry && !moved) {
        // Pasting now would insert whatever the clipboard still holds.
        if (trayIcon_) {
            trayIcon_->ShowBalloon(
                L"Snipora",
                L"Snipora cannot put the text on the clipboard: another program is using it.");
        }
        return;
    }
    if (!popup_.AtCursor()) {
        return;  // opened with the button: no target, the text waits on the clipboard
    }
    PasteIntoTarget();
    popup_.SetExpanded(false);
}

void TClipboardViewerForm::PasteIntoTarget() {
    // A copy: a trigger handled while the paste runs the queue may not change where it goes.
    const PasteTarget target = target_;
    struct Pasting {
        bool& flag;
        explicit Pasting(bool& f) : flag(f) { flag = true; }
        ~Pasting() { flag = false; }
    } pasting(pasting_);
    const PasteOutcome outcome = PasteClipboardInto(target, &settings::GetSettingsStorage());
    if (outcome == PasteOutcome::Elevated && trayIcon_) {
        trayIcon_->ShowBalloon(L"Snipora",
                               L"Snipora cannot paste into a program running as administrator. "
                               L"The text is on the clipboard.");
    }
}

void TClipboardViewerForm::BtMoveToNotesClick(const CItemNode* record) {
    if (record == nullptr || handler_ == nullptr || !record->InHistory) {
        return;
    }
    handler_->MoveToCategory(record->Id, NotesCategory);
    ListsChanged();
}

void TClipboardViewerForm::BtDeleteItemClick(const CItemNode* record) {
    if (record == nullptr || handler_ == nullptr) {
        return;
    }
    handler_->DeleteItem(record->Id);
    ListsChanged();
    saver_->Erased();
}

void TClipboardViewerForm::BtClearTextClick(const CItemNode* record) {
    if (record == nullptr || handler_ == nullptr) {
        return;
    }
    handler_->ClearCategory(record->Category);
    ListsChanged();
    saver_->Erased();
}

}  // namespace snipora
