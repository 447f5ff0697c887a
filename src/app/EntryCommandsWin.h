#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "view/ClipboardHandler.h"
#include "win/UniqueGdiObject.h"

namespace snipora {

// What the entry commands need of the window that offers them.
class IEntryCommandsHost {
public:
    virtual ~IEntryCommandsHost() = default;
    // The lists, or null while there are none (before the start, after the close).
    virtual CClipboardHandler* Handler() const = 0;
    // The lists changed: the tree shows them anew and a save follows.
    virtual void ListsChanged() = 0;
    // Texts left the lists: the data file is written anew soon, so that no file keeps them.
    virtual void Erased() = 0;
    // Selects a shown entry, unfolding its list and scrolling it into view.
    virtual void SelectEntry(uint32_t id) = 0;
    // The chosen entry is on the clipboard: paste it where the popup was summoned, if anywhere.
    virtual void EntryOnClipboard() = 0;
    virtual void ShowBalloon(const std::wstring& text) = 0;
    // The owner of the entry menu and of the questions asked.
    virtual HWND QuestionOwner() const = 0;
    // The data file, beside which copies of damaged data files are kept.
    virtual FilePath DataFile() const = 0;
    // The entries chosen together in the popup, in the order of choosing; empty while one alone
    // is selected. Move to clipboard, Move to notes and Delete act on all of them.
    virtual std::vector<uint32_t> SelectedIds() { return {}; }
    // Pastes several texts (kIdPasteTogether and the ids after it): the selection's, or the
    // lines of `record` for kIdPasteLinesOneByOne.
    virtual void PasteSeveral(WORD, const CItemNode*) {}
};

// The commands on the tree's entries and their menu: move to the clipboard, move to the notes,
// delete, clear a list (asking first) and undo, with the balloons that tell of what failed. Each
// acts on the given entry; from the menu, on the one it was opened for.
class EntryCommands {
public:
    explicit EntryCommands(IEntryCommandsHost& host);
    EntryCommands(const EntryCommands&) = delete;
    EntryCommands& operator=(const EntryCommands&) = delete;

    // Runs the command of an entry menu's item (kIdMoveToClipboard and the ids after it).
    void Run(WORD id, const CItemNode* record);

    void BtMoveToClipboardClick(const CItemNode* record);
    void BtMoveToNotesClick(const CItemNode* record);
    void BtDeleteItemClick(const CItemNode* record);
    void BtClearTextClick(const CItemNode* record);
    void Undo();

    // The entry menu for `record` at a point on the screen. The command chosen goes to that
    // entry, found again by its Id: if it left the lists while the menu was open, the command
    // does nothing.
    void ShowMenu(const CItemNode* record, POINT screen);

private:
    IEntryCommandsHost& host_;
    win::UniqueMenu menu_;
    HMENU separators_ = nullptr;  // "Paste together"'s submenu, owned by menu_
};

}  // namespace snipora
