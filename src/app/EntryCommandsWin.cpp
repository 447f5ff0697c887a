// The commands on the tree's entries, with their question and their balloons.
#include "app/EntryCommandsWin.h"

#include "app/CommandIds.h"
#include "app/ItemMenu.h"
#include "app/PasteMenuWin.h"
#include "common/Error.h"
#include "common/Utf.h"
#include "log/Logger.h"
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
    EnableSeveralItems(menu_.Get(), separators_, host_.SelectedIds().size() > 1, onHeader);
    ::SetMenuDefaultItem(menu_.Get(), kIdMoveToClipboard, FALSE);
    const UINT command = ::TrackPopupMenu(menu_.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x,
                                          screen.y, 0, host_.QuestionOwner(), nullptr);
    handler = host_.Handler();  // the lists may have gone while the menu was open
    if (command == kIdUndo) {
        Undo();
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
    if (!handler->MoveToCategory(record->Id, kNotesCategory)) {
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
        host_.SelectEntry(id);
    }
}

}  // namespace snipora
