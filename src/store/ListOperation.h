#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/Streams.h"

namespace snipora {

// One change of the lists, as CDataBase::Apply carries it out and the journal writes it. An entry
// is named by its key (CTextItem::Key), which stays with it while it moves or its text changes.
// Keys are given out in the order in which entries enter the lists: a data file's entries, oldest
// first, take 1 upwards as they are read, and every Add or Restore takes the next. Replaying the
// same operations on the same data file therefore names the same entries.
struct ListOperation {
    enum Kind : uint32_t {
        Add = 3,          // a captured text enters its list first of all: Category, Time, Text
        Remove = 4,       // Key leaves its list, kept for Undo
        MoveToList = 5,   // Key goes to the list Category, first of all
        MoveWithin = 6,   // Key goes to Place in its own list; with HasTime, Time becomes its time
        Replace = 7,      // Key's text becomes Text; it keeps its place
        Clear = 8,        // every entry of the list Category leaves it, kept for Undo
        Trim = 9,         // the oldest history entries beyond Place (the history size) leave it
        Restore = 10,     // Undo brings back Entries, each at its place among all entries
        Forget = 11,      // the history entries Keys leave it for good
        RemoveKeys = 13,  // the entries Keys leave their lists, kept for Undo together
        MoveKeysToList = 14,  // the entries Keys go to the list Category, first of all, in the
                              // order of their places
        ReturnKeys = 15,      // Undo takes the entries Keys back to their lists: each to the list
                              // and the place of its Entries' match (Category, At)
    };
    // An entry that Undo brings back: At is its index among all entries once all are back. Id
    // is the Id it had, which it keeps if it still falls between its neighbours' Ids; it is not
    // recorded, as Ids are not kept on disk.
    struct Entry {
        uint32_t At = 0;
        uint32_t Id = 0;
        int32_t Category = 0;
        double Time = 0.0;
        std::u16string Text;
    };

    Kind What = Add;
    uint32_t Key = 0;
    int32_t Category = 0;
    uint32_t Place = 0;
    bool HasTime = false;
    double Time = 0.0;
    std::u16string Text;
    std::vector<uint32_t> Keys;
    std::vector<Entry> Entries;

    // Whether the operation takes a text out of the lists, so that only writing the data file
    // anew takes it off the disk.
    bool Erases() const;
};

// A journal record: kind (4), two values (4 + 4), a time or size (8), the payload's byte count
// (4), and the CRC-32 of those 24 bytes and the payload (4); then the payload.
inline constexpr size_t kJournalRecordBytes = 28;

// Appends the record of `op` to `out`.
void AppendRecord(std::string& out, const ListOperation& op);

// The record of a finished fold: the journal was written into the data file of `bytes` bytes
// and `hash` (StreamHash). It carries no change of the lists.
inline constexpr uint32_t kFoldedKind = 12;
void AppendFoldedRecord(std::string& out, uint64_t bytes, uint64_t hash);

// One record read back.
struct JournalRecord {
    enum Status { Read, End, Cut, BadChecksum, Nonsense } Result = End;
    bool Folded = false;  // a fold record: FoldedBytes and FoldedHash are set, Op is not
    uint64_t FoldedBytes = 0;
    uint64_t FoldedHash = 0;
    ListOperation Op;
    uint64_t Bytes = 0;  // bytes taken from the stream
};
JournalRecord ReadRecord(IReadStream& in);

// CRC-32 (IEEE), continued from `crc`.
uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);

}  // namespace snipora
