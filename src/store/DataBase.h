#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/FilePath.h"
#include "common/OleDate.h"
#include "store/Clipboard.h"
#include "store/ClipboardTransfer.h"
#include "store/FileSystem.h"
#include "store/HistoryIndex.h"
#include "store/ItemList.h"
#include "store/ItemMemory.h"
#include "store/ListOperation.h"
#include "store/StreamHash.h"
#include "store/TextItem.h"
#include "store/UndoBuffer.h"

namespace snipora {

inline constexpr uint32_t FirstItemId = 100000;
inline constexpr size_t kDefaultHistorySize = 25;
inline constexpr size_t kMaxHistorySize = 100000;
inline constexpr int32_t kHistoryCategory = 0;
inline constexpr int32_t kNotesCategory = 1;
// What Undo answers when it took a new note away and no entry took its place in its list: no
// entry's Id, but not 0, which means nothing was undone.
inline constexpr uint32_t kUndoneNoEntry = 1;
static_assert(kUndoneNoEntry < FirstItemId);
// How many copies of damaged data files are kept beside the data file.
inline constexpr int kDamagedCopies = 10;

// Where the copy of a damaged data file goes: "data.dat.damaged", then "data.dat.damaged-2" and
// so on up to DamagedCopies, the first name that is free; with all taken, the oldest of them.
FilePath DamagedCopyPath(IFileSystem& files, const FilePath& path);
// The copies of damaged data files kept beside the data file at `path` that are there now, in
// the order of their names. They hold every text the damaged file held, deleted ones too.
std::vector<FilePath> DamagedCopies(IFileSystem& files, const FilePath& path);
// Keeps a file that cannot be decrypted aside, as it lies on the disk: copied to the first free
// of "<name>.locked", "<name>.locked-2" and so on up to kDamagedCopies. Such a copy is never
// overwritten: with all taken, or when the copy fails, an AppError is raised instead.
FilePath KeepLockedCopy(IFileSystem& files, const FilePath& path);

// Told of every operation that changed the lists, as it was carried out (the journal).
class IOperationLog {
public:
    virtual void Recorded(const ListOperation& op) = 0;
    // The lists are going: nothing more will be recorded.
    virtual void ListsGone() = 0;

protected:
    ~IOperationLog() = default;
};

// Keeps the clipboard history and the quick notes in one list, newest first, and alone decides
// how texts enter and leave it. Every change of the list is one ListOperation, carried out by
// Apply alone (ListOperations.cpp), which tells the log of it: the journal records what was done,
// and its replay does it again through the same code.
//
// The jobs around the lists have homes of their own: ClipboardTransfer reads and writes the
// clipboard, UndoBuffer keeps what Undo brings back, HistoryIndex finds a captured text among the
// history's; the data file's format is DataFile.cpp, the journal Journal.h.
//
// What holds after every operation (CheckInvariants, in builds with SNIPORA_CHECK_INVARIANTS):
// - Ids fall strictly along the list and are all below the next Id: the list is ordered by Id,
//   newest first. An entry that moves up, or whose text changes, takes a new Id, and so do the
//   entries before it; an Id is never given to another entry.
// - Keys are unique, from 1 and below the next key, and each names its entry (KeyOf). A loaded
//   file's entries take 1 upwards, oldest first; the entries an operation adds take the next.
//   Keys change only when the lists are written to a data file (Rekey), which starts a journal.
// - HistoryCount is the number of history entries; the index of their texts, once built, holds
//   each of them once.
// - No text holds a zero unit.
// - What Undo keeps is ordered by Id, newest first, and is no longer in the list; the entries
//   a move of several took away, which Undo takes back, are ordered by the Ids they had.
class CDataBase {
public:
    using ItemList = snipora::ItemList;

    CDataBase(IClipboard& clipboard, IFileSystem& files);
    CDataBase(const CDataBase&) = delete;
    CDataBase& operator=(const CDataBase&) = delete;
    virtual ~CDataBase();

    // The window that owns what is put on the clipboard; enables capturing.
    void SetWindow(WindowHandle window) { transfer_.SetWindow(window); }

    // The log told of each operation from now on; null for none. A log that is replaced hears
    // ListsGone.
    void SetLog(IOperationLog* log);
    // Carries out one operation; false, with nothing changed, when it makes no sense for the
    // lists as they are (an unknown key, a move to where the entry is, a clear of an empty list).
    // Only carried-out operations reach the log.
    bool Apply(const ListOperation& op);

    // Records the text on the clipboard as the newest history item (ClipboardTransfer reads it;
    // AddCaptured decides).
    void CaptureClipboard() { transfer_.Capture(); }
    // Records a captured text as the newest history item. A text equal to a history item's moves
    // that item to the top with the new capture time instead, unless duplicates are kept; notes
    // are never looked at. With a nonzero `chosen`, the history entry of that Id, whose text was
    // put on the clipboard last, is the one moved up if its text is equal, duplicates kept or not.
    void AddCaptured(CTextItem& item, uint32_t chosen);
    void SetKeepDuplicates(bool keep) { keepDuplicates_ = keep; }
    // Puts an item's text on the clipboard. The item stays in its place: the capture that the
    // change sets off (the next capture, whenever it comes) moves a history item to the top as
    // the newest, even with duplicates kept, and gives a note's text a history entry. While
    // nothing is captured (recording paused) the list stays as it is. False when there is no
    // such item or the clipboard could not be written.
    bool MoveToClipboard(uint32_t id) { return transfer_.Write(id); }
    bool MoveToCategory(uint32_t id, int32_t category);
    // The note, the edit and the moves below are what Undo reverts next, in place of what it
    // would have reverted before.
    //
    // Adds a note of the text at the top of the notes, stamped now; its Id, or 0 for an empty
    // text. As in the data file, a text ends at a zero unit.
    uint32_t AddNote(std::u16string_view text);
    // Moves an entry to `place` in its own list (0 for the top; past the end for the bottom).
    // False, with nothing changed, when it is there already.
    bool MoveWithinList(uint32_t id, uint32_t place);
    // Moves an entry to `place` in the list `category`, its own or the other one.
    bool MoveToPlace(uint32_t id, int32_t category, uint32_t place);
    // Moves an entry directly above (or `below`) the entry `besideId`, into its list.
    bool MoveBeside(uint32_t id, uint32_t besideId, bool below);
    // Gives an entry another text; it keeps its place and its time, and takes a new Id (its
    // entry's Id afterwards: IdOfKey). The old text is kept only for Undo.
    bool ReplaceText(uint32_t id, std::u16string_view text);
    // Both keep what they take away for Undo, in place of what was kept before; a clear that
    // finds nothing keeps what was kept.
    bool DeleteItem(uint32_t id);
    // The number of items taken away.
    size_t ClearCategory(int32_t category);
    // Several entries at once, as one operation that one Undo takes back: those of the Ids that
    // are in the lists (an Id met twice counts once) leave them, kept for Undo together. The
    // number taken away; 0, with nothing changed and nothing kept, when none is there.
    size_t DeleteItems(const std::vector<uint32_t>& ids);
    // Moves the entries of the Ids found to the top of `category`'s list, in their order in the
    // lists; those already there stay where they are. The number moved. One Undo takes them all
    // back to their lists and places.
    size_t MoveItemsToCategory(const std::vector<uint32_t>& ids, int32_t category);
    // Deletes the history items more than `minutes` old by the clock; notes stay. Ages are
    // reckoned between instants, so that neither summer time nor a change of time zone moves
    // them; a capture time later than now (stamped while the clock ran ahead), or none that is a
    // date, counts as now and is stored so. When the newest history item goes, LastCaptured
    // becomes the newest that stays, or empty. Gives the number deleted from the list. Nothing
    // forgotten can be undone: what Undo keeps is forgotten alike.
    size_t ForgetHistory(int32_t minutes);
    // The clock that stamps captures and ages them; the system's unless set.
    void SetClock(IClock& clock) { clock_ = &clock; }
    // Puts back what the last delete or clear took away, each item at its old place among those
    // left (the list stays ordered by Id), or takes what the last move of several took to
    // another list back to its list and place; and forgets it. Or it reverts the last new note,
    // edit or move of one entry, if that came last: the note goes (as a delete, but not kept),
    // the old text comes back, the entry goes back to its list and place. The Id of the entry to
    // select then: the newest item put back, the entry edited or moved, the entry that took the
    // note's place in its list (kUndoneNoEntry when none did); 0 when there is nothing to undo.
    uint32_t Undo();
    bool CanUndo() const { return !undo_.Empty(); }
    // How many times Undo has put items back: only then does an item come back with an Id below
    // the newest. Between two equal counts, the list gains no item but newer ones.
    uint64_t UndoCount() const { return undo_.RestoredCount(); }

    // Writes every item, oldest first, through a crash-safe replacement of the file.
    bool SaveToFile(const FilePath& path);
    // Writes every item's record, oldest first.
    void WriteRecords(IWriteStream& out) const;
    // Gives the entries the keys that loading the file just written would give them: 1 upwards,
    // oldest first.
    void Rekey();
    // Forgets what Undo would bring back.
    void ForgetUndo() { undo_.Forget(); }
    // Replaces the list by the file's items. A damaged tail is not loaded; the file is first kept
    // beside it (see DamagedCopyPath) and LastDamage says so. False if there is no file. A file
    // that cannot be opened or read raises its AppError and leaves the list empty. A file that
    // cannot be decrypted (LockedFileError) is kept aside (KeepLockedCopy) and leaves the list
    // empty; LastDamage says so.
    // With `identity`, it is set to the identity of the file's bytes as they were read. Loading is
    // no operation and reaches no log: lists that a journal hears are loaded through it.
    bool LoadFromFile(const FilePath& path, FileIdentity* identity = nullptr);
    // Reads records until the stream ends, inserting each complete one at the front. True if
    // the stream ended on a record boundary.
    bool LoadRecords(IReadStream& stream);

    // What the last load found: whether the file was damaged, and the copy kept of it or why
    // none could be kept; or whether it was locked (it could not be decrypted at all, and the
    // lists start empty), why, and the copy kept of it.
    struct Damage {
        bool found = false;
        bool locked = false;
        FilePath keptAs;    // empty when no copy could be made
        std::string error;  // why not, or why it is locked
    };
    const Damage& LastDamage() const { return damage_; }

    // How many history items are kept: a capture drops the oldest beyond it. At least 1.
    void SetHistorySize(size_t size) { historySize_ = size < 1 ? 1 : size; }
    size_t HistorySize() const { return historySize_; }
    size_t HistoryCount() const { return historyCount_; }
    // Drops the oldest history items beyond the history size, all at once; returns how many.
    size_t TrimHistory();

    // The key of the entry of the Id, or 0.
    uint32_t KeyOf(uint32_t id);
    // The Id of the entry of the key, or 0.
    uint32_t IdOfKey(uint32_t key);
    // The number of entries above the entry of the Id in its own list.
    uint32_t PlaceOf(uint32_t id);

    const ItemList& Items() const { return items_; }
    const std::u16string& LastCaptured() const { return lastCaptured_; }
    bool Enabled() const { return transfer_.Enabled(); }

private:
    ItemList::iterator Find(uint32_t id);
    ItemList::iterator FindKey(uint32_t key);
    // Gives the entry at `last` and every one before it new Ids, in order.
    void Renumber(ItemList::iterator last);
    // The operations' own parts (ListOperations.cpp).
    bool Carry(const ListOperation& op);
    void Added(ItemList::iterator it);
    // Takes the entry out of the count, the index and the keys before it leaves the list.
    void Leaving(ItemList::iterator it);
    bool RestoreEntries(const std::vector<ListOperation::Entry>& entries);
    uint32_t UndoChange(const UndoBuffer::Change& change);
    uint32_t PlaceIn(ItemList::const_iterator it) const;
    bool CarrySeveral(const ListOperation& op);
    bool ReturnEntries(const ListOperation& op);
    void KeepIdsOrRenumber(ItemList::iterator last);
    // The keys of the Ids that are in the lists, each once, in the order given.
    std::vector<uint32_t> KeysOf(const std::vector<uint32_t>& ids);
    void CheckInvariants() const;

    IFileSystem& files_;
    ClipboardTransfer transfer_;
    IClock* clock_ = &SystemClock();
    uint32_t nextId_ = FirstItemId;
    uint32_t nextKey_ = 1;
    IOperationLog* log_ = nullptr;
    size_t historySize_ = kDefaultHistorySize;
    size_t historyCount_ = 0;  // items of the history category in the list
    std::u16string lastCaptured_;
    Damage damage_;
    bool keepDuplicates_ = false;
    BlockPool pool_;
    ItemList items_{PoolAllocator<ItemEntry>(pool_)};
    // What the last delete or clear took away.
    UndoBuffer undo_{PoolAllocator<ItemEntry>(pool_)};
    // The history's entries by their texts' hashes.
    HistoryIndex historyIndex_{items_};
    // The entry of each key, or the list's end for a key whose entry has gone.
    std::vector<ItemList::iterator> byKey_{items_.end()};
};

}  // namespace snipora
