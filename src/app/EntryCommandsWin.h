#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/NoteText.h"

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
    // The changes are written now: the user typed, edited or moved an entry, and may end the
    // program right after.
    virtual void WriteNow() = 0;
    // Selects a shown entry, unfolding its list and scrolling it into view.
    virtual void SelectEntry(uint32_t id) = 0;
    // The chosen entry is on the clipboard: paste it where the popup was summoned, if anywhere.
    virtual void EntryOnClipboard() = 0;
    virtual void ShowBalloon(const std::wstring& text) = 0;
    // The owner of the entry menu and of the questions asked.
    virtual HWND QuestionOwner() const = 0;
    // The data file, beside which copies of damaged data files are kept.
    virtual FilePath DataFile() const = 0;
    // Closes the popup and opens the editor on `original` (empty for a new note). What OK does
    // with the text goes to `ok` as the editor closes; then the window that was in front before
    // the popup has the focus again.
    virtual void EditText(const std::u16string& original, bool isNew,
                          const std::function<void(const EditOutcome&)>& ok) = 0;
    // The entries chosen together in the popup, in the order of choosing; empty while one alone
    // is selected. Move to clipboard, Move to notes and Delete act on all of them.
    virtual std::vector<uint32_t> SelectedIds() { return {}; }
    // Pastes several texts (kIdPasteTogether and the ids after it): the selection's, or the
    // lines of `record` for kIdPasteLinesOneByOne.
    virtual void PasteSeveral(WORD, const CItemNode*) {}
};

// The commands on the tree's entries and their menu: move to the clipboard, move to the notes,
// delete, clear a list (asking first), undo, edit, a new note and the notes' order, with the
// balloons that tell of what failed. Each acts on the given entry; from the menu, on the one it was
// opened for.
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
    // The editor on the entry's text; its OK replaces the text, or deletes the entry emptied.
    void Edit(const CItemNode* record);
    // The editor, empty, for a new note at the top of the notes.
    void NewNote();
    // The clipboard's text as a new note at the top of the notes, at once.
    void NewNoteFromClipboard();
    // Moves a note one place up or down (VK_UP, VK_DOWN), or to the top or bottom of the notes
    // (VK_HOME, VK_END). History entries keep their time order.
    void Reorder(const CItemNode* record, UINT virtualKey);
    // Moves an entry to a place in the notes: a note within them, a history entry into them.
    void MoveIntoNotes(const CItemNode* record, uint32_t place);
    // Moves an entry dragged with the mouse directly above or below the note `beside`, or to
    // the top of the notes when let go on their header.
    void Drop(const CItemNode* record, const CItemNode& beside, bool below);

    // The entry menu for `record` at a point on the screen. The command chosen goes to that
    // entry, found again by its Id: if it left the lists while the menu was open, the command
    // does nothing.
    void ShowMenu(const CItemNode* record, POINT screen);

private:
    // What the editor's OK does to the entry of the Id, whose text was `original`.
    void Edited(uint32_t id, const std::u16string& original, const EditOutcome& outcome);
    // An entry moved, and took the Id `id`: it is shown selected, and written.
    void Moved(uint32_t id);

    IEntryCommandsHost& host_;
    win::UniqueMenu menu_;
    HMENU separators_ = nullptr;  // "Paste together"'s submenu, owned by menu_
};

}  // namespace snipora
