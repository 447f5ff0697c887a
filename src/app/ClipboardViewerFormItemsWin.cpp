// What the entry commands need of the window, and the paste into the window the popup was
// summoned over.
#include "app/ClipboardViewerFormWin.h"
#include "app/ItemMenu.h"
#include "app/NoteEditorWin.h"

#include <windowsx.h>
#include "settings/SettingsStorageWin.h"

namespace snipora {

void TClipboardViewerForm::ListsChanged() {
    recorder_->Changed();
}

void TClipboardViewerForm::Erased() {
    recorder_->Erased();
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
    // The popup closes first: from the choice on, the keys typed reach the target as typed,
    // while the paste waits for the modifiers to be released.
    popup_.SetExpanded(false);
    PasteIntoTarget();
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

void TClipboardViewerForm::SelectEntry(uint32_t id) {
    if (const CClipboardHandler* handler = Handler()) {
        tree_->SelectEntry(FindShownEntry(handler->Root(), id));
    }
}

// The popup closes before the editor opens, and the window that was in front before it (or
// before the editor, when the popup was not summoned over one) has the focus back once the
// editor closes.
void TClipboardViewerForm::EditText(const std::u16string& original, bool isNew,
                                    const std::function<void(const EditOutcome&)>& ok) {
    PasteTarget before = popup_.AtCursor() ? target_ : CurrentPasteTarget();
    if (IsOwnProcessWindow(before.window)) {
        before = {};
    }
    const RECT popup = ScreenRect();
    popup_.SetExpanded(false);
    {
        struct Editing {
            bool& flag;
            explicit Editing(bool& f) : flag(f) { flag = true; }
            ~Editing() { flag = false; }
        } editing(editing_);
        NoteEditor editor(original, isNew, palette_, popup);
        editor.Run(Handle(), ok);
    }
    ReturnTo(before);
}

void TClipboardViewerForm::NewNoteFromTray(bool fromClipboard) {
    if (fromClipboard) {
        commands_.NewNoteFromClipboard();
    } else {
        commands_.NewNote();
    }
}

void TClipboardViewerForm::DropAsked(uint32_t id, const CItemNode& beside, bool below) {
    if (const CClipboardHandler* handler = Handler()) {
        commands_.Drop(FindShownEntry(handler->Root(), id), beside, below);
    }
}

// Space opens the selected entry's preview, or closes the one shown.
void TClipboardViewerForm::PreviewAsked(const CItemNode* record) {
    if (preview_->Shown()) {
        preview_->Hide();
    } else {
        ShowPreview(record);
    }
}

// The preview follows the selection.
void TClipboardViewerForm::SelectionChanged(const CItemNode* record) {
    if (preview_ && preview_->Shown() && (record == nullptr || record->Id != preview_->ShownId())) {
        ShowPreview(record);
    }
}

void TClipboardViewerForm::ShowPreview(const CItemNode* record) {
    const CClipboardHandler* handler = Handler();
    if (handler == nullptr || record == nullptr || record->IsCategory || record->IsShowAll() ||
        !popup_.Expanded()) {
        preview_->Hide();
        return;
    }
    for (const auto& item : handler->Items()) {
        if (item->Id == record->Id) {
            preview_->Show(record->Id, std::u16string(std::u16string_view(item->Text)),
                           ScreenRect(), dpi_, palette_);
            return;
        }
    }
    preview_->Hide();
}

// Resting 0.6 s on a row of the open popup shows that row's preview, once for each rest.
void TClipboardViewerForm::WatchHover() {
    constexpr DWORD kRestMs = 600;
    const DWORD position = ::GetMessagePos();
    const POINT at{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (at.x != hoverAt_.x || at.y != hoverAt_.y) {
        hoverAt_ = at;
        hoverSince_ = ::GetTickCount();
        hoverDone_ = false;
        return;
    }
    if (hoverDone_ || ::GetTickCount() - hoverSince_ < kRestMs) {
        return;
    }
    hoverDone_ = true;
    POINT inTree = at;
    RECT client{};
    ::ScreenToClient(tree_->Control(), &inTree);
    ::GetClientRect(tree_->Control(), &client);
    if (!::PtInRect(&client, inTree)) {
        return;
    }
    if (HTREEITEM item = tree_->EntryAt(inTree)) {
        const CItemNode* record = Win32TreeView::RecordOf(tree_->Control(), item);
        if (record != nullptr && !record->IsCategory && !record->IsShowAll() &&
            record->Id != preview_->ShownId()) {
            ShowPreview(record);
        }
    }
}

}  // namespace snipora
