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
    ::SetWindowSubclass(tree_, TreeSubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

// Mouse buttons going down on the tree select the entry under them; the right one also opens the
// entry menu. The right button is not passed on, so the tree view starts no drag of its own. A
// double click anywhere on a row is the window's.
LRESULT CALLBACK TClipboardViewerForm::TreeSubclassProc(HWND tree, UINT message, WPARAM wParam,
                                                        LPARAM lParam, UINT_PTR id,
                                                        DWORD_PTR self) {
    auto* form = reinterpret_cast<TClipboardViewerForm*>(self);
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_RBUTTONDOWN:
            win::Firewall(tree, 0, [&]() -> LRESULT {
                form->ItemsTreeMouseDown(message, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
                return 0;
            });
            if (message == WM_RBUTTONDOWN) {
                return 0;
            }
            break;
        case WM_LBUTTONDBLCLK:
            // Ours alone: the tree view would fold or unfold, and only over an entry's text.
            return win::Firewall(tree, 0, [&]() -> LRESULT {
                form->ItemsTreeDblClick();
                return 0;
            });
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(tree, TreeSubclassProc, id);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(tree, message, wParam, lParam);
}

void TClipboardViewerForm::ItemsTreeMouseDown(UINT button, int x, int y) {
    TVHITTESTINFO hit{};
    hit.pt = {x, y};
    HTREEITEM item = TreeView_HitTest(tree_, &hit);
    if (item == nullptr) {
        return;
    }
    TreeView_SelectItem(tree_, item);
    const auto menu = AdaptItemMenu(SelectedRecord(), button == WM_RBUTTONDOWN);
    if (!menu) {
        return;
    }
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
    if (command != 0) {
        OnCommand(static_cast<WORD>(command), 0);
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
    BtMoveToClipboardClick();
}

const CItemNode* TClipboardViewerForm::SelectedRecord() const {
    HTREEITEM selected = TreeView_GetSelection(tree_);
    return selected != nullptr ? Win32TreeView::RecordOf(tree_, selected) : nullptr;
}

void TClipboardViewerForm::ListsChanged() {
    handler_->RefreshTree();
    ScheduleSave();
}

void TClipboardViewerForm::BtMoveToClipboardClick() {
    const CItemNode* record = SelectedRecord();
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
    const PasteOutcome outcome = PasteClipboardInto(target_, &Settings::GetSettingsStorage());
    if (outcome == PasteOutcome::Elevated && trayIcon_) {
        trayIcon_->ShowBalloon(L"Snipora",
                               L"Snipora cannot paste into a program running as administrator. "
                               L"The text is on the clipboard.");
    }
}

void TClipboardViewerForm::BtMoveToNotesClick() {
    const CItemNode* record = SelectedRecord();
    if (record == nullptr || handler_ == nullptr || !record->InHistory) {
        return;
    }
    handler_->MoveToCategory(record->Id, NotesCategory);
    ListsChanged();
}

void TClipboardViewerForm::BtDeleteItemClick() {
    const CItemNode* record = SelectedRecord();
    if (record == nullptr || handler_ == nullptr) {
        return;
    }
    handler_->DeleteItem(record->Id);
    ListsChanged();
}

void TClipboardViewerForm::BtClearTextClick() {
    const CItemNode* record = SelectedRecord();
    if (record == nullptr || handler_ == nullptr) {
        return;
    }
    handler_->ClearCategory(record->Category);
    ListsChanged();
}

}  // namespace snipora
