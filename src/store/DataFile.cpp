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
#include "store/SealedFiles.h"

namespace snipora {

bool CDataBase::SaveToFile(const FilePath& path) {
    auto file = files_.CreateReplacement(path);
    WriteRecords(*file);
    file->Commit();
    return true;
}

void CDataBase::WriteRecords(IWriteStream& out) const {
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        (*it)->SaveToStream(out);
    }
}

namespace {

// Reads a stream through one buffer, out of which the records are taken: a file of many short
// notes costs no call through the stream for each. Each text is copied out into storage of its
// own, so that the buffer can be reused and a text that leaves the lists for good frees its
// memory with it.
class RecordReader {
public:
    static constexpr size_t kBufferBytes = 1024 * 1024;

    explicit RecordReader(IReadStream& stream)
        : stream_(stream),
          capacity_(static_cast<size_t>(
              std::clamp<uint64_t>(stream.Remaining(), CTextItem::kHeadSize, kBufferBytes))),
          buffer_(std::make_unique_for_overwrite<char[]>(capacity_)) {}

    // Bytes in the buffer that are not taken yet.
    size_t Available() const { return end_ - begin_; }
    // Bytes not taken yet, in the buffer or still in the stream.
    uint64_t Remaining() const { return Available() + stream_.Remaining(); }
    const char* Bytes() const { return buffer_.get() + begin_; }
    void Skip(size_t bytes) { begin_ += bytes; }

    // Makes at least `bytes`, no more than the buffer holds, available where the stream still
    // holds them.
    void Fill(size_t bytes) {
        if (Available() >= bytes || stream_.Remaining() == 0) {
            return;
        }
        if (capacity_ - begin_ < bytes) {
            std::memmove(buffer_.get(), Bytes(), Available());
            end_ = Available();
            begin_ = 0;
        }
        end_ += stream_.Read(buffer_.get() + end_, capacity_ - end_);
    }

    // Copies the `bytes` that come next, those in the buffer and then those still in the
    // stream, to `out`. False if the stream ends first.
    bool CopyOut(void* out, size_t bytes) {
        const size_t here = std::min(bytes, Available());
        std::memcpy(out, Bytes(), here);
        begin_ += here;
        const size_t rest = bytes - here;
        return rest == 0 || stream_.Read(static_cast<char*>(out) + here, rest) == rest;
    }

private:
    IReadStream& stream_;
    size_t capacity_;
    std::unique_ptr<char[]> buffer_;
    size_t begin_ = 0;
    size_t end_ = 0;
};

}  // namespace

bool CDataBase::LoadRecords(IReadStream& stream) {
    historyIndex_.Drop();
    RecordReader in(stream);
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
        if (bytes > in.Remaining()) {
            return false;
        }
        CTextItem& item = *items_.emplace_front(head);
        if (head.Count != 0) {
            char16_t* units = item.Text.Allocate(head.Count);
            if (!in.CopyOut(units, static_cast<size_t>(bytes))) {
                // The stream ended before the text did.
                items_.pop_front();
                return false;
            }
            item.Text.Truncate(FindZeroUnit(units, head.Count));
        }
        item.Id = nextId_++;
        item.Key = nextKey_++;
        byKey_.push_back(items_.begin());
        historyCount_ += head.Category == kHistoryCategory;
    }
}

namespace {

// The name of the n-th copy of a kind ("damaged", "locked"), from 1.
FilePath CopyName(const FilePath& path, const char* kind, int n) {
    const FilePath first = path + "." + kind;
    // Appended rather than joined with +, which GCC 12 warns of wrongly in a release build.
    std::string suffix = "-";
    suffix += std::to_string(n);
    return n == 1 ? first : first + suffix;
}

}  // namespace

std::vector<FilePath> DamagedCopies(IFileSystem& files, const FilePath& path) {
    std::vector<FilePath> copies;
    for (int n = 1; n <= kDamagedCopies; ++n) {
        if (FilePath name = CopyName(path, "damaged", n); files.FileExists(name)) {
            copies.push_back(std::move(name));
        }
    }
    return copies;
}

FilePath DamagedCopyPath(IFileSystem& files, const FilePath& path) {
    FilePath oldest;
    int64_t oldestTime = 0;
    for (int n = 1; n <= kDamagedCopies; ++n) {
        const FilePath name = CopyName(path, "damaged", n);
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

FilePath KeepLockedCopy(IFileSystem& files, const FilePath& path) {
    for (int n = 1; n <= kDamagedCopies; ++n) {
        if (const FilePath name = CopyName(path, "locked", n); !files.FileExists(name)) {
            CopyWholeFile(files.Disk(), path, name);
            return name;
        }
    }
    throw AppError(FormatText("Cannot keep a copy of file \"%s\". %s copies are kept already.",
                              {PathToUtf8(path), std::to_string(kDamagedCopies)}));
}

bool CDataBase::LoadFromFile(const FilePath& path, FileIdentity* identity) {
    const auto empty = [this] {
        undo_.Forget();
        historyIndex_.Drop();
        items_.clear();
        historyCount_ = 0;
        byKey_.assign(1, items_.end());
        nextKey_ = 1;
    };
    empty();
    damage_ = {};
    if (identity != nullptr) {
        *identity = StreamHash().Identity();
    }
    if (!files_.FileExists(path)) {
        return false;
    }
    std::unique_ptr<IReadFile> file;
    try {
        file = files_.OpenForReading(path);
    } catch (const LockedFileError& e) {
        // Kept aside as it is, so that the lists written from now on cannot overwrite it; a file
        // that cannot be kept aside is not written either (the error passes on).
        damage_.found = true;
        damage_.locked = true;
        damage_.error = e.Problem();
        damage_.keptAs = KeepLockedCopy(files_, path);
        LogError(std::string("[DataBase] ") + e.what() + " Kept as " + PathToUtf8(damage_.keptAs) +
                 "; the lists start empty.");
        return true;
    }
    bool whole = false;
    try {
        if (identity != nullptr) {
            HashingReadStream in(*file);
            whole = LoadRecords(in);
            // A damaged tail is still part of the file.
            char rest[4096];
            while (in.Read(rest, sizeof rest) != 0) {
            }
            *identity = in.Hash().Identity();
        } else {
            whole = LoadRecords(*file);
        }
    } catch (...) {
        // A file that fails half way is treated as one that could not be opened.
        empty();
        throw;
    }
    const std::string fault = file->Fault();
    if (whole && fault.empty()) {
        return true;
    }
    // The next save would drop the damaged tail for good: keep the file as it is now.
    file.reset();
    damage_.found = true;
    try {
        const FilePath kept = DamagedCopyPath(files_, path);
        CopyWholeFile(files_.Disk(), path, kept);
        damage_.keptAs = kept;
        LogError("[DataBase] Damaged data file kept as " + PathToUtf8(kept) +
                 (fault.empty() ? std::string() : ": " + fault));
    } catch (const AppError& e) {
        damage_.error = e.what();
        LogError(std::string("[DataBase] ") + e.what());
    }
    return true;
}

}  // namespace snipora
