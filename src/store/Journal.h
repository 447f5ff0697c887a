#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/FilePath.h"
#include "store/FileSystem.h"
#include "store/Streams.h"

namespace snipora {

class CDataBase;

// What a journal was begun against: the data file as it was then. A journal whose base is not
// the data file beside it (left behind by a stop between writing the data file and removing the
// journal) is not replayed.
struct JournalBase {
    uint64_t FileBytes = 0;  // the data file's size; 0 when there is none
    uint64_t Items = 0;
    uint32_t Newest = 0;  // checksum of the newest item's category, time and text
    friend bool operator==(const JournalBase&, const JournalBase&) = default;
};

// The base of the lists as they were just read from, or written to, a data file of that size.
JournalBase BaseOf(const CDataBase& lists, uint64_t fileBytes);

// What a replay found.
struct JournalReplay {
    bool Belongs = false;  // the header is whole and names the lists' data file as its base
    size_t Records = 0;    // whole records applied
    uint64_t Dropped = 0;  // bytes after the last whole record, not applied
    std::string Problem;   // why they were dropped, or why nothing was applied
};

// Applies the journal in `in` to `lists`, just loaded from the data file that `base` describes:
// each whole record in order, up to the first one that is cut short, fails its checksum or makes
// no sense.
JournalReplay ReplayJournal(IReadStream& in, CDataBase& lists, const JournalBase& base);

// The bytes of a journal's header for the given base.
std::string JournalHeader(const JournalBase& base);

// The checksum of the header and of each record: CRC-32 (IEEE), continued from `crc`.
uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);

// Keeps the changes of the lists on disk between full writes of the data file: each Append
// writes only what changed since the last one, as small records with a checksum each, to a file
// beside the data file, and waits until they are on the disk. A Fold writes the data file anew
// and removes the journal.
//
// Items are known by their Ids, which grow: new items come first in the list with Ids above all
// known ones, and an item whose category changes comes back under a new Id. Records name an item
// by its place in the order of the base's items (oldest first) followed by those added since.
class CJournal {
public:
    explicit CJournal(IFileSystem& files) : files_(files) {}
    CJournal(const CJournal&) = delete;
    CJournal& operator=(const CJournal&) = delete;

    // The journal's file beside a data file: its name with ".journal" added.
    static FilePath PathFor(const FilePath& data) { return data + ".journal"; }

    // Loads the data file into `lists` and replays the journal beside it; what it drops is
    // logged. True if there was a journal: the caller then folds it, and until then Append asks
    // for a fold. Errors of the data file pass to the caller, as from CDataBase::LoadFromFile.
    bool Load(CDataBase& lists, const FilePath& data);

    // Appends the changes of `lists` since the last Append, Load or Fold to the journal of
    // `data`, and flushes them. False, with nothing written, when only a fold can record them: the
    // journal would outgrow the larger of 1 MB and a quarter of the data file, the data file moved,
    // an earlier write failed, or the list changed in a way that records cannot say. A failing
    // write raises its AppError, and the journal takes no more appends until a fold.
    bool Append(const CDataBase& lists, const FilePath& data);

    // Writes the data file anew from `lists` and removes the journal (and that of an earlier data
    // file). Errors pass to the caller; Append then keeps asking for a fold.
    void Fold(CDataBase& lists, const FilePath& data);

    // The journal's size on disk, its header included; 0 before the first append.
    uint64_t Bytes() const { return bytes_; }
    static constexpr uint64_t kMinLimit = 1024 * 1024;

private:
    // Takes the lists as the new base, just read from or written to `data`.
    void Reset(const CDataBase& lists, const FilePath& data);

    IFileSystem& files_;
    FilePath data_;
    JournalBase base_;
    std::unique_ptr<IAppendFile> file_;
    uint64_t bytes_ = 0;
    bool needsFold_ = true;
    // The Ids of the base's items and of those added since, oldest first, by their place in
    // the records; `alive_` says which are still in the list.
    std::vector<uint32_t> known_;
    std::vector<bool> alive_;
};

}  // namespace snipora
