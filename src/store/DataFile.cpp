// The data file: both lists written anew through a replacement, and read back record by record,
// with a damaged tail dropped and the file kept beside it.
#include <algorithm>
#include <cstring>
#include <memory>

#include "common/Error.h"
#include "common/TextScan.h"
#include "common/Utf.h"
#include "log/Logger.h"
#include "store/DataBase.h"

namespace snipora {

bool CDataBase::SaveToFile(const FilePath& path) {
    auto file = files_.CreateReplacement(path);
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        (*it)->SaveToStream(*file);
    }
    file->Commit();
    return true;
}

namespace {

// Reads a stream into large blocks, out of which records are taken in place. A text that lies
// whole in a block is not copied: its item shares it, and the block joins `blocks` for as long
// as the list lasts. So a note of a few bytes costs no call through the stream and no copy.
class RecordReader {
public:
    static constexpr size_t kBlockBytes = 1024 * 1024;
    // A text that runs past the end of its block moves to a new block with the rest of the
    // stream if it is no longer than this; a longer one gets storage of its own, so that no more
    // than this is left unused at the end of a block.
    static constexpr size_t kMoveLimit = 64 * 1024;

    RecordReader(IReadStream& stream, std::vector<std::unique_ptr<char16_t[]>>& blocks)
        : stream_(stream), blocks_(blocks) {}

    // Bytes in the block that are not taken yet.
    size_t Available() const { return end_ - begin_; }
    // Bytes not taken yet, in the block or still in the stream.
    uint64_t Remaining() const { return Available() + stream_.Remaining(); }
    const char* Bytes() const { return reinterpret_cast<const char*>(block_) + begin_; }
    void Skip(size_t bytes) { begin_ += bytes; }

    // Takes a text of `count` units that lies whole in the block, up to its first zero unit.
    // Records are 16 bytes and whole units long, so a text starts on a unit.
    std::u16string_view TakeText(uint32_t count) {
        const char16_t* units = block_ + begin_ / sizeof(char16_t);
        begin_ += size_t{count} * sizeof(char16_t);
        return {units, FindZeroUnit(units, count)};
    }

    // Makes at least `bytes`, at most kMoveLimit, available where the stream still holds them.
    void Fill(size_t bytes) {
        if (Available() >= bytes || stream_.Remaining() == 0) {
            return;
        }
        if (capacity_ - begin_ < bytes) {
            MoveToNewBlock(bytes);
        }
        end_ += stream_.Read(reinterpret_cast<char*>(block_) + end_, capacity_ - end_);
    }

    // Copies the `bytes` that come next, those in the block and then those still in the
    // stream, to `out`, and gives back the block's room that they took. False if the stream
    // ends first.
    bool CopyOut(void* out, size_t bytes) {
        const size_t have = Available();
        std::memcpy(out, Bytes(), have);
        const size_t rest = bytes - have;
        end_ = begin_;
        return stream_.Read(static_cast<char*>(out) + have, rest) == rest;
    }

private:
    void MoveToNewBlock(size_t bytes) {
        const uint64_t wanted =
            std::max<uint64_t>(bytes, std::min<uint64_t>(kBlockBytes, Remaining()));
        const auto units = static_cast<size_t>((wanted + 1) / sizeof(char16_t));
        char16_t* block =
            blocks_.emplace_back(std::make_unique_for_overwrite<char16_t[]>(units)).get();
        // Each page is touched before the system reads into it: under Wine, a read into pages
        // not touched yet made a load about 40% slower than touching them first.
        auto* bytesAt = reinterpret_cast<char*>(block);
        for (size_t at = 0; at < units * sizeof(char16_t); at += 4096) {
            bytesAt[at] = 0;
        }
        if (Available() != 0) {
            std::memcpy(block, Bytes(), Available());
        }
        end_ = Available();
        begin_ = 0;
        block_ = block;
        capacity_ = units * sizeof(char16_t);
    }

    IReadStream& stream_;
    std::vector<std::unique_ptr<char16_t[]>>& blocks_;
    char16_t* block_ = nullptr;
    size_t capacity_ = 0;  // bytes
    size_t begin_ = 0;
    size_t end_ = 0;
};

}  // namespace

bool CDataBase::LoadRecords(IReadStream& stream) {
    DropIndex();
    RecordReader in(stream, loadedBlocks_);
    for (;;) {
        in.Fill(CTextItem::kHeadSize);
        if (in.Available() < CTextItem::kHeadSize) {
            return in.Available() == 0;
        }
        const CTextItem::Head head = CTextItem::ReadHead(in.Bytes());
        in.Skip(CTextItem::kHeadSize);
        // A count that runs past the end of the data marks a damaged record: nothing is
        // allocated for more than the stream still holds.
        const uint64_t bytes = uint64_t{head.Count} * sizeof(char16_t);
        if (bytes > in.Available() && bytes > in.Remaining()) {
            return false;
        }
        if (bytes <= RecordReader::kMoveLimit) {
            in.Fill(static_cast<size_t>(bytes));
        }
        CTextItem& item = *items_.emplace_front(head);
        if (bytes <= in.Available()) {
            // The usual case: the whole text lies in the block.
            item.Text.Share(in.TakeText(head.Count));
        } else {
            char16_t* units = item.Text.Allocate(head.Count);
            if (!in.CopyOut(units, static_cast<size_t>(bytes))) {
                // The stream ended before the text did.
                items_.pop_front();
                return false;
            }
            item.Text.Truncate(FindZeroUnit(units, head.Count));
        }
        item.Id = nextId_++;
        historyCount_ += head.Category == kHistoryCategory;
    }
}

FilePath DamagedCopyPath(IFileSystem& files, const FilePath& path) {
    const FilePath first = path + ".damaged";
    FilePath oldest;
    int64_t oldestTime = 0;
    for (int n = 1; n <= kDamagedCopies; ++n) {
        std::string suffix = "-";
        suffix += std::to_string(n);
        const FilePath name = n == 1 ? first : first + suffix;
        if (!files.FileExists(name)) {
            return name;
        }
        const int64_t time = files.LastWriteTime(name);
        if (oldest.native().empty() || time < oldestTime) {
            oldest = name;
            oldestTime = time;
        }
    }
    return oldest;
}

bool CDataBase::LoadFromFile(const FilePath& path) {
    undo_.clear();
    DropIndex();
    items_.clear();
    historyCount_ = 0;
    loadedBlocks_.clear();
    damage_ = {};
    if (!files_.FileExists(path)) {
        return false;
    }
    auto file = files_.OpenForReading(path);
    try {
        if (LoadRecords(*file)) {
            return true;
        }
    } catch (...) {
        // A file that fails half way is treated as one that could not be opened.
        DropIndex();
        items_.clear();
        historyCount_ = 0;
        throw;
    }
    // The next save would drop the damaged tail for good: keep the file as it is now.
    file.reset();
    damage_.found = true;
    try {
        const FilePath kept = DamagedCopyPath(files_, path);
        CopyWholeFile(files_, path, kept);
        damage_.keptAs = kept;
        LogError("[DataBase] Damaged data file kept as " + PathToUtf8(kept));
    } catch (const AppError& e) {
        damage_.error = e.what();
        LogError(std::string("[DataBase] ") + e.what());
    }
    return true;
}

}  // namespace snipora
