// The commands on the tree's entries, with their question and their balloons.
#include "app/EntryCommandsWin.h"

#include "app/ClipboardViewerFormWin.h"
#include "app/ItemMenu.h"
#include "win/Text.h"

namespace snipora {

void EntryCommands::Run(WORD id, const CItemNode* record) {
    switch (id) {
        case kIdMoveToClipboard:
            MoveToClipboard(record);
            break;
        case kIdMoveToNotes:
            MoveToNotes(record);
            break;
        case kIdDeleteItem:
            Delete(record);
            break;
        case kIdClearText:
            Clear(record);
            break;
        case kIdUndo:
            Undo();
            break;
        default:
            break;
    }
}

void EntryCommands::MoveToClipboard(const CItemNode* record) {
    CClipboardHandler* handler = host_.Handler();
    if (record == nullptr || handler == nullptr) {
        return;
    }
    // An empty category moves nothing, and what the clipboard holds is pasted as it is.
    const bool isEntry = !record->IsCategory;
    const bool moved = handler->MoveToClipboard(record->Id);
    host_.ListsChanged();
    if (isEntry && !moved) {
        // Pasting now would insert whatever the clipboard still holds.
        host_.ShowBalloon(
            L"Snipora cannot put the text on the clipboard: another program is using it.");
        return;
    }
    host_.EntryOnClipboard();
}

void EntryCommands::MoveToNotes(const CItemNode* record) {
    CClipboardHandler* handler = host_.Handler();
    if (record == nullptr || handler == nullptr || !record->InHistory) {
        return;
    }
    if (!handler->MoveToCategory(record->Id, NotesCategory)) {
        return;
    }
    host_.ListsChanged();
    host_.SelectEntry(handler->Items().front()->Id);  // the moved note heads the list
}

void EntryCommands::Delete(const CItemNode* record) {
    CClipboardHandler* handler = host_.Handler();
    if (record == nullptr || handler == nullptr) {
        return;
    }
    handler->DeleteItem(record->Id);
    host_.ListsChanged();
    host_.Erased();
}

// Asks first, naming how many entries go, hidden ones included; No is the default.
void EntryCommands::Clear(const CItemNode* record) {
    CClipboardHandler* handler = host_.Handler();
    if (record == nullptr || handler == nullptr) {
        return;
    }
    const int32_t category = record->Category;
    const auto header = handler->Root().Children.find(static_cast<uint32_t>(category));
    const size_t count = header != handler->Root().Children.end() ? header->second->Total : 0;
    if (count == 0) {
        return;
    }
    const std::u16string question = ClearQuestion(category, count);
    if (::MessageBoxW(host_.QuestionOwner(), win::Wide(question), L"Snipora",
                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return;
    }
    // The lists may have gone while the question was open.
    handler = host_.Handler();
    if (handler == nullptr) {
        return;
    }
    handler->ClearCategory(category);
    host_.ListsChanged();
    host_.Erased();
}

// Brings back what the last delete or clear took, in its place, and selects its newest entry.
void EntryCommands::Undo() {
    CClipboardHandler* handler = host_.Handler();
    if (handler == nullptr) {
        return;
    }
    if (const uint32_t id = handler->Undo(); id != 0) {
        host_.ListsChanged();
        host_.SelectEntry(id);
    }
}

}  // namespace snipora
