// The commands on the tree's entries, with their question and their balloons.
#include "app/EntryCommandsWin.h"

#include "app/CommandIds.h"
#include "app/ItemMenu.h"
#include "app/PasteMenuWin.h"
#include "common/Error.h"
#include "common/Utf.h"
#include "log/Logger.h"
#include "store/ClipboardWin.h"
#include "win/Text.h"

namespace snipora {

EntryCommands::EntryCommands(IEntryCommandsHost& host) : host_(host), menu_(::CreatePopupMenu()) {
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdMoveToClipboard, L"Move to clipboard");
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdMoveToNotes, L"Move to notes");
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdDeleteItem, L"Delete item");
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdClearText, L"Clear history\u2026");
    ::AppendMenuW(menu_.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdUndo, L"Undo\tCtrl+Z");
    ::AppendMenuW(menu_.Get(), MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdEdit, L"Edit\u2026\tF2");
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdNewNote, L"New note\u2026\tCtrl+N");
    ::AppendMenuW(menu_.Get(), MF_STRING, kIdNewNoteFromClipboard, L"New note from clipboard");
    AppendSeveralItems(menu_.Get(), separators_);
}

void EntryCommands::ShowMenu(const CItemNode* record, POINT screen) {
    CClipboardHandler* handler = host_.Handler();
    const auto menu = AdaptItemMenu(record, true, handler != nullptr && handler->CanUndo());
    if (!menu) {
        return;
    }
    const uint32_t entry = record->Id;
    const bool onHeader = record->IsCategory;
    const auto enable = [this](UINT id, bool enabled) {
        ::EnableMenuItem(menu_.Get(), id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    ::ModifyMenuW(menu_.Get(), kIdMoveToClipboard, MF_BYCOMMAND | MF_STRING, kIdMoveToClipboard,
                  win::Wide(std::u16string(menu->moveCaption)));
    ::ModifyMenuW(menu_.Get(), kIdClearText, MF_BYCOMMAND | MF_STRING, kIdClearText,
                  win::Wide(std::u16string(menu->clearCaption)));
    enable(kIdMoveToClipboard, menu->entryCommandsEnabled);
    enable(kIdMoveToNotes, menu->moveToNotesEnabled);
    enable(kIdDeleteItem, menu->entryCommandsEnabled);
    enable(kIdUndo, menu->undoEnabled);
    enable(kIdEdit, menu->entryCommandsEnabled);
    EnableSeveralItems(menu_.Get(), separators_, host_.SelectedIds().size() > 1, onHeader);
    ::SetMenuDefaultItem(menu_.Get(), kIdMoveToClipboard, FALSE);
    const UINT command = ::TrackPopupMenu(menu_.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x,
                                          screen.y, 0, host_.QuestionOwner(), nullptr);
    handler = host_.Handler();  // the lists may have gone while the menu was open
    if (command == kIdUndo || command == kIdNewNote || command == kIdNewNoteFromClipboard) {
        Run(static_cast<WORD>(command), nullptr);
    } else if (command != 0 && handler != nullptr) {
        const auto& categories = handler->Root().Children;
        const auto header = onHeader ? categories.find(entry) : categories.end();
        const CItemNode* chosen = header != categories.end()
                                      ? header->second.get()
                                      : FindShownEntry(handler->Root(), entry);
        if (chosen != nullptr) {
            Run(static_cast<WORD>(command), chosen);
        }
    }
}

void EntryCommands::Run(WORD id, const CItemNode* record) {
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
        case kIdUndo:
            Undo();
            break;
        case kIdEdit:
            Edit(record);
            break;
        case kIdNewNote:
            NewNote();
            break;
        case kIdNewNoteFromClipboard:
            NewNoteFromClipboard();
            break;
        default:
            if (id >= kIdPasteTogether && id <= kIdPasteLinesOneByOne) {
                host_.PasteSeveral(id, record);
            }
            break;
    }
}

void EntryCommands::BtMoveToClipboardClick(const CItemNode* record) {
    CClipboardHandler* handler = host_.Handler();
    if (handler != nullptr && !host_.SelectedIds().empty()) {
        host_.PasteSeveral(kIdPasteTogether, record);  // joined, as one paste
        return;
    }
    if (record == nullptr || handler == nullptr || record->IsShowAll()) {
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

void EntryCommands::BtMoveToNotesClick(const CItemNode* record) {
    CClipboardHandler* handler = host_.Handler();
    if (const auto ids = host_.SelectedIds(); handler != nullptr && !ids.empty()) {
        if (handler->MoveItemsToCategory(ids, kNotesCategory) != 0) {
            host_.ListsChanged();
            host_.SelectEntry(handler->Items().front()->Id);
        }
        return;
    }
    if (record == nullptr || handler == nullptr || !record->InHistory || record->IsShowAll()) {
        return;
    }
    // As a move of several, so that Undo takes it back to its place in the history.
    if (handler->MoveItemsToCategory({record->Id}, kNotesCategory) == 0) {
        return;
    }
    host_.ListsChanged();
    host_.SelectEntry(handler->Items().front()->Id);  // the moved note heads the list
}

void EntryCommands::BtDeleteItemClick(const CItemNode* record) {
    CClipboardHandler* handler = host_.Handler();
    if (const auto ids = host_.SelectedIds(); handler != nullptr && !ids.empty()) {
        if (handler->DeleteItems(ids) != 0) {  // one Undo brings all back
            host_.ListsChanged();
            host_.Erased();
        }
        return;
    }
    if (record == nullptr || handler == nullptr || record->IsShowAll()) {
        return;
    }
    handler->DeleteItem(record->Id);
    host_.ListsChanged();
    host_.Erased();
}

namespace {

// Removes the copies of damaged data files; one that cannot go is logged and shown.
void RemoveDamagedCopies(const std::vector<FilePath>& copies, IEntryCommandsHost& host) {
    for (const FilePath& copy : copies) {
        try {
            PlatformFileSystem().RemoveFile(copy);
        } catch (const AppError& e) {
            LogError(std::string("[EntryCommands] ") + e.what());
            host.ShowBalloon(L"Snipora could not remove a copy of a damaged data file: " +
                             std::wstring(win::Wide(Utf8ToUtf16(e.what()))));
        }
    }
}

}  // namespace

// Asks first, naming how many entries go, hidden ones included, and the copies of damaged data
// files, which hold the texts they held; nothing is deleted by default.
void EntryCommands::BtClearTextClick(const CItemNode* record) {
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
    const std::vector<FilePath> copies = DamagedCopies(PlatformFileSystem(), host_.DataFile());
    std::vector<std::u16string> names;
    for (const FilePath& copy : copies) {
        const std::wstring_view path = copy.native();
        names.emplace_back(win::Utf16(path.substr(path.find_last_of(L"\\/") + 1)));
    }
    const std::u16string question = ClearQuestion(category, count, names);
    const UINT buttons = copies.empty() ? MB_YESNO | MB_DEFBUTTON2 : MB_YESNOCANCEL | MB_DEFBUTTON3;
    const int answer = ::MessageBoxW(host_.QuestionOwner(), win::Wide(question), L"Snipora",
                                     buttons | MB_ICONQUESTION);
    // With copies, No clears the list alone; without, it is the answer that deletes nothing.
    if (answer != IDYES && (copies.empty() || answer != IDNO)) {
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
    if (answer == IDYES) {
        RemoveDamagedCopies(copies, host_);
    }
}

// Brings back what the last delete or clear took, in its place, and selects its newest entry.
void EntryCommands::Undo() {
    CClipboardHandler* handler = host_.Handler();
    if (handler == nullptr) {
        return;
    }
    if (const uint32_t id = handler->Undo(); id != 0) {
        host_.ListsChanged();
        host_.WriteNow();
        host_.Erased();  // a note or an edited text that went
        host_.SelectEntry(id);
    }
}

namespace {

// The text of the entry of the Id, or nullopt when it has left the lists.
std::optional<std::u16string> TextOf(const CClipboardHandler& handler, uint32_t id) {
    for (const auto& item : handler.Items()) {
        if (item->Id == id) {
            return std::u16string(std::u16string_view(item->Text));
        }
    }
    return std::nullopt;
}

}  // namespace

void EntryCommands::Edit(const CItemNode* record) {
    CClipboardHandler* handler = host_.Handler();
    if (record == nullptr || handler == nullptr || record->IsCategory || record->IsShowAll()) {
        return;
    }
    const uint32_t id = record->Id;
    const std::optional<std::u16string> original = TextOf(*handler, id);
    if (original) {
        host_.EditText(*original, false,
                       [&](const EditOutcome& outcome) { Edited(id, *original, outcome); });
    }
}

void EntryCommands::Edited(uint32_t id, const std::u16string& original,
                           const EditOutcome& outcome) {
    CClipboardHandler* handler = host_.Handler();  // the lists may have gone or changed meanwhile
    if (handler == nullptr) {
        return;
    }
    // An entry that left the lists meanwhile (trimmed, forgotten) keeps its new text as a note.
    if (TextOf(*handler, id) != original) {
        if (outcome.What == EditOutcome::Replace && handler->AddNote(outcome.Text) != 0) {
            host_.ListsChanged();
            host_.WriteNow();
            host_.ShowBalloon(
                L"The entry left the list while it was edited: its new text is a "
                L"new note.");
        }
        return;
    }
    // The edited entry takes a new Id; a save may give it another key, not another Id.
    uint32_t edited = 0;
    if (outcome.What == EditOutcome::AskDelete) {
        handler->DeleteItem(id);
    } else {
        const uint32_t key = handler->KeyOf(id);
        if (!handler->ReplaceText(id, outcome.Text)) {
            return;
        }
        edited = handler->IdOfKey(key);
    }
    host_.ListsChanged();
    if (edited != 0) {
        host_.SelectEntry(edited);
    }
    host_.WriteNow();
    host_.Erased();  // the old text
}

void EntryCommands::NewNote() {
    if (host_.Handler() == nullptr) {
        return;
    }
    host_.EditText(u"", true, [this](const EditOutcome& outcome) {
        CClipboardHandler* handler = host_.Handler();
        if (outcome.What != EditOutcome::Replace || handler == nullptr) {
            return;
        }
        if (const uint32_t id = handler->AddNote(outcome.Text); id != 0) {
            host_.ListsChanged();
            host_.SelectEntry(id);
            host_.WriteNow();
        }
    });
}

void EntryCommands::NewNoteFromClipboard() {
    CClipboardHandler* handler = host_.Handler();
    if (handler == nullptr) {
        return;
    }
    StoredText text;
    if (SystemClipboard().ReadText(host_.QuestionOwner(), text) != ClipboardRead::Text ||
        std::u16string_view(text).empty()) {
        host_.ShowBalloon(L"The clipboard holds no text for a note.");
        return;
    }
    if (const uint32_t id = handler->AddNote(text); id != 0) {
        host_.ListsChanged();
        host_.SelectEntry(id);
        host_.WriteNow();
    }
}

void EntryCommands::Reorder(const CItemNode* record, UINT virtualKey) {
    CClipboardHandler* handler = host_.Handler();
    if (record == nullptr || handler == nullptr || record->IsCategory || record->IsShowAll() ||
        record->Category != kNotesCategory) {
        return;
    }
    const uint32_t place = handler->PlaceOf(record->Id);
    uint32_t to = UINT32_MAX;  // the bottom
    switch (virtualKey) {
        case VK_UP:
            to = place == 0 ? 0 : place - 1;
            break;
        case VK_DOWN:
            to = place + 1;
            break;
        case VK_HOME:
            to = 0;
            break;
        default:
            break;
    }
    MoveIntoNotes(record, to);
}

void EntryCommands::MoveIntoNotes(const CItemNode* record, uint32_t place) {
    CClipboardHandler* handler = host_.Handler();
    if (record == nullptr || handler == nullptr || record->IsCategory || record->IsShowAll()) {
        return;
    }
    const uint32_t key = handler->KeyOf(record->Id);
    if (handler->MoveToPlace(record->Id, kNotesCategory, place)) {
        Moved(handler->IdOfKey(key));
    }
}

void EntryCommands::Drop(const CItemNode* record, const CItemNode& beside, bool below) {
    CClipboardHandler* handler = host_.Handler();
    if (record == nullptr || handler == nullptr || record->IsCategory || record->IsShowAll()) {
        return;
    }
    if (beside.IsCategory) {
        MoveIntoNotes(record, 0);
        return;
    }
    const uint32_t key = handler->KeyOf(record->Id);
    if (handler->MoveBeside(record->Id, beside.Id, below)) {
        Moved(handler->IdOfKey(key));
    }
}

void EntryCommands::Moved(uint32_t id) {
    host_.ListsChanged();
    host_.SelectEntry(id);
    host_.WriteNow();
}

}  // namespace snipora
