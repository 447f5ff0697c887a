// The entry menu, what the entry commands need of the window, and the paste into the window the
// popup was summoned over.
#include <windowsx.h>

#include "app/ClipboardViewerFormWin.h"
#include "app/ItemMenu.h"
#include "settings/SettingsStorageWin.h"
#include "view/ItemFormat.h"
#include "win/Text.h"

namespace snipora {

void TClipboardViewerForm::CreateItemMenu() {
    itemMenu_.Reset(::CreatePopupMenu());
    ::AppendMenuW(itemMenu_.Get(), MF_STRING, kIdMoveToClipboard, L"Move to clipboard");
    ::AppendMenuW(itemMenu_.Get(), MF_STRING, kIdMoveToNotes, L"Move to notes");
    ::AppendMenuW(itemMenu_.Get(), MF_STRING, kIdDeleteItem, L"Delete item");
    ::AppendMenuW(itemMenu_.Get(), MF_STRING, kIdClearText, L"Clear history\u2026");
    ::AppendMenuW(itemMenu_.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(itemMenu_.Get(), MF_STRING, kIdUndo, L"Undo\tCtrl+Z");
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
        return;
    }
    // The expander at a header's right end folds and unfolds its list.
    RECT row{};
    const CItemNode* record = Win32TreeView::RecordOf(tree_, item);
    if (button == WM_LBUTTONDOWN && record != nullptr && record->IsCategory &&
        !record->Children.empty() && TreeView_GetItemRect(tree_, item, &row, FALSE) &&
        x >= row.right - dpi_.Scale(HeaderExpanderWidth)) {
        TreeView_Expand(tree_, item, TVE_TOGGLE);
    }
}

// The entry menu for the selected entry, at a point in the tree's coordinates. The command
// chosen goes to that entry, found again by its Id: if it left the lists while the menu was
// open, the command does nothing.
void TClipboardViewerForm::OpenItemMenu(int x, int y) {
    const CItemNode* record = SelectedRecord();
    const auto menu = AdaptItemMenu(record, true, handler_ != nullptr && handler_->CanUndo());
    if (!menu) {
        return;
    }
    const uint32_t entry = record->Id;
    const bool onHeader = record->IsCategory;
    const auto enable = [this](UINT id, bool enabled) {
        ::EnableMenuItem(itemMenu_.Get(), id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    ::ModifyMenuW(itemMenu_.Get(), kIdMoveToClipboard, MF_BYCOMMAND | MF_STRING, kIdMoveToClipboard,
                  win::Wide(std::u16string(menu->moveCaption)));
    ::ModifyMenuW(itemMenu_.Get(), kIdClearText, MF_BYCOMMAND | MF_STRING, kIdClearText,
                  win::Wide(std::u16string(menu->clearCaption)));
    enable(kIdMoveToClipboard, menu->entryCommandsEnabled);
    enable(kIdMoveToNotes, menu->moveToNotesEnabled);
    enable(kIdDeleteItem, menu->entryCommandsEnabled);
    enable(kIdUndo, menu->undoEnabled);
    ::SetMenuDefaultItem(itemMenu_.Get(), kIdMoveToClipboard, FALSE);
    POINT at{x, y};
    ::ClientToScreen(tree_, &at);
    const UINT command = ::TrackPopupMenu(itemMenu_.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x,
                                          at.y, 0, Handle(), nullptr);
    if (command == kIdUndo) {
        commands_.Undo();
    } else if (command != 0 && handler_ != nullptr) {
        const auto& categories = handler_->Root().Children;
        const auto header = onHeader ? categories.find(entry) : categories.end();
        const CItemNode* chosen = header != categories.end()
                                      ? header->second.get()
                                      : FindShownEntry(handler_->Root(), entry);
        if (chosen != nullptr) {
            commands_.Run(static_cast<WORD>(command), chosen);
        }
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

void TClipboardViewerForm::Erased() {
    saver_->Erased();
}

void TClipboardViewerForm::ShowBalloon(const std::wstring& text) {
    if (trayIcon_) {
        trayIcon_->ShowBalloon(L"Snipora", text);
    }
}

void TClipboardViewerForm::EntryOnClipboard() {
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

// Selects a shown entry, unfolding its list and scrolling it into view.
void TClipboardViewerForm::SelectEntry(uint32_t id) {
    const CItemNode* node = FindShownEntry(handler_->Root(), id);
    if (node == nullptr || node->TreeNode == nullptr) {
        return;
    }
    const HTREEITEM item = Win32TreeView::ToItem(node->TreeNode);
    TreeView_SelectItem(tree_, item);
    TreeView_EnsureVisible(tree_, item);
}

}  // namespace snipora
