#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/FilePath.h"
#include "store/DataBase.h"
#include "store/FileSystem.h"
#include "store/StreamHash.h"
#include "store/Streams.h"

namespace snipora {

// The journal's file: a header naming the data file it was begun on (magic, FileIdentity, CRC-32),
// then records (ListOperation.h), each one operation on the lists or a fold. Rules:
// - The data files a journal can be replayed onto are its points: the one of its header and the
//   target of each fold record. A replay starts after the last point that is the data file beside
//   it and applies every operation from there, in order, up to the first record that is cut short,
//   fails its checksum or makes no sense. A journal with no such point is not replayed.
// - A fold writes the new data file beside its old one, then records in the journal that it is
//   folded into that file's identity and waits until that is on the disk, and only then puts the
//   new file in the old one's place and removes the journal. At every step between, a start finds
//   either the old data file and a journal that replays onto it, or the new one and a journal whose
//   last point is the new one: nothing is lost and nothing removed comes back.
// - A journal that cannot be removed is emptied; one that cannot be written to either is left as
//   it is, and no data file it could be replayed onto is put in the data file's place.
// - The journals of the previous version (header "SNPJRNL1", records by place) are replayed once,
//   through the same operations, and folded.
struct JournalReplay {
    bool Belongs = false;  // a point of the journal is the data file
    size_t Records = 0;    // operations applied
    uint64_t Dropped = 0;  // bytes after the last whole record, not applied
    std::string Problem;   // why they were dropped, or why nothing was applied
};

// Applies the journal in `in` to `lists`, just loaded from the data file of identity `data`.
// With `replayed`, it receives a journal that replays what was applied onto that data file.
JournalReplay ReplayJournal(IReadStream& in, CDataBase& lists, const FileIdentity& data,
                            std::string* replayed = nullptr);

// The bytes of a journal's header for a data file.
std::string JournalHeader(const FileIdentity& base);
// The header of the previous version's journal for lists just read from a data file of that
// size: its size, the count of items and a checksum of the newest.
std::string LegacyJournalHeader(const CDataBase& lists, uint64_t fileBytes);

// Keeps the operations on the lists on disk between full writes of the data file: it hears each
// operation as it is carried out, and each Append writes those not yet written, as records with a
// checksum each, to a file beside the data file, and waits until they are on the disk. A Fold
// writes the data file anew and removes the journal, in the order described above.
class CJournal final : public IOperationLog {
public:
    explicit CJournal(IFileSystem& files) : files_(files) {}
    CJournal(const CJournal&) = delete;
    CJournal& operator=(const CJournal&) = delete;
    ~CJournal();

    // The journal's file beside a data file: its name with ".journal" added.
    static FilePath PathFor(const FilePath& data) { return data + ".journal"; }

    // Loads the data file into `lists` and replays the journal beside it; what it drops is
    // logged. True if there was a journal: the caller then folds it, and until then Append asks
    // for a fold. From then on the journal hears the lists' operations. Errors of the data file
    // pass to the caller, as from CDataBase::LoadFromFile.
    bool Load(CDataBase& lists, const FilePath& data);

    // Writes the operations on `lists` since the last Append, Load or Fold to the journal of
    // `data`, and flushes them. False, with nothing written, when only a fold can record them: the
    // journal would outgrow the larger of 1 MB and a quarter of the data file, the data file moved,
    // an earlier write failed, or these are not the lists it hears. A failing write raises its
    // AppError, and the journal takes no more appends until a fold.
    bool Append(const CDataBase& lists, const FilePath& data);

    // Writes the data file anew from `lists` and removes the journal (and that of an earlier data
    // file). Errors pass to the caller; Append then keeps asking for a fold.
    void Fold(CDataBase& lists, const FilePath& data);

    // The journal's size, its header included, as written through the file system (before any
    // encryption); 0 before the first append.
    uint64_t Bytes() const { return bytes_; }
    static constexpr uint64_t kMinLimit = 1024 * 1024;

    void Recorded(const ListOperation& op) override;
    void ListsGone() override { lists_ = nullptr; }

private:
    // Hears `lists`, just read from or written to `data` of identity `base`, with an empty
    // journal.
    void Start(CDataBase& lists, const FilePath& data, const FileIdentity& base);
    // Makes sure the journal beside `data` cannot be replayed onto anything but `target` once
    // that replaces the data file, without losing what it replays onto the data file there now.
    void MarkFolded(const CDataBase& lists, const FilePath& data, const FileIdentity& target);
    // Removes a journal, or empties one that cannot be removed; logs what it cannot do.
    void Remove(const FilePath& path);
    uint64_t Limit() const { return std::max(kMinLimit, base_.Bytes / 4); }
    // What holds between calls (in builds with SNIPORA_CHECK_INVARIANTS): while a fold is due
    // nothing waits to be written; an open file holds at least its header, and only a journal
    // that has written nothing yet, or must be folded, has none open.
    void CheckInvariants() const;

    IFileSystem& files_;
    CDataBase* lists_ = nullptr;
    FilePath data_;
    FileIdentity base_;
    std::unique_ptr<IAppendFile> file_;
    uint64_t bytes_ = 0;   // whole records this journal wrote to its file, the header included
    std::string pending_;  // the records of operations not written yet
    bool needsFold_ = true;
    // After a load, until the fold: a journal that replays onto the data file what was replayed.
    std::string replayed_;
};

}  // namespace snipora
