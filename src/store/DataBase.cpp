#include "store/DataBase.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "common/Error.h"
#include "common/TextScan.h"
#include "common/Utf.h"
#include "log/Logger.h"
#include "store/DisplayText.h"

namespace snipora {

CDataBase::CDataBase(IClipboard& clipboard, IFileSystem& files)
    : clipboard_(clipboard), files_(files) {}

CDataBase::~CDataBase() {
    items_.clear();
    enabled_ = false;
}

void CDataBase::SetWindow(WindowHandle window) {
    window_ = window;
    enabled_ = true;
}

CDataBase::ItemList::iterator CDataBase::Find(uint32_t id) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if ((*it)->Id == id) {
            return it;
        }
    }
    return items_.end();
}

void CDataBase::RenumberToFront(ItemList::iterator it) {
    (*it)->Id = nextId_++;
    items_.splice(items_.begin(), items_, it);
}

void CDataBase::CaptureClipboard() {
    if (!enabled_ || !clipboard_.HasText()) {
        return;
    }
    // Content that its owner marked as private (passwords) is not recorded at all.
    if (clipboard_.IsPrivate(window_)) {
        return;
    }
    // Made outside the list: reading the clipboard may let a nested capture run, which must not
    // see a half-made item.
    ItemList fresh(items_.get_allocator());
    CTextItem& item = *fresh.emplace_front();
    if (item.ReadFromClipboard(clipboard_, window_)) {
        item.Category = HistoryCategory;
        item.Id = nextId_++;
        lastCaptured_ = MakeDisplayText(item.Text);
        items_.splice(items_.begin(), fresh);
    }
    TrimHistory();
}

// Drops the oldest history item when there are more than HistoryLimit; one per call.
void CDataBase::TrimHistory() {
    size_t count = 0;
    auto oldest = items_.end();
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if ((*it)->Category == HistoryCategory) {
            ++count;
            oldest = it;
        }
    }
    if (count > HistoryLimit) {
        items_.erase(oldest);
    }
}

bool CDataBase::MoveToClipboard(uint32_t id) {
    if (!enabled_) {
        return false;
    }
    auto it = Find(id);
    if (it == items_.end()) {
        return false;
    }
    if ((*it)->Category != HistoryCategory) {
        return (*it)->WriteToClipboard(clipboard_, window_);
    }
    // A history item leaves the list before the clipboard changes, so that the capture that the
    // change sets off finds it gone. Its neighbour marks the place to put it back if the write
    // fails; that neighbour may itself be gone by then, trimmed by a nested capture.
    auto next = std::next(it);
    const uint32_t nextId = next == items_.end() ? 0 : (*next)->Id;
    ItemList taken(items_.get_allocator());
    taken.splice(taken.begin(), items_, it);
    if (taken.front()->WriteToClipboard(clipboard_, window_)) {
        return true;
    }
    auto place = nextId == 0 ? items_.end() : Find(nextId);
    items_.splice(place, taken);
    return false;
}

bool CDataBase::MoveToCategory(uint32_t id, int32_t category) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if ((*it)->Id == id && (*it)->Category != category) {
            (*it)->Category = category;
            RenumberToFront(it);
            return true;
        }
    }
    return false;
}

bool CDataBase::DeleteItem(uint32_t id) {
    auto it = Find(id);
    if (it == items_.end()) {
        return false;
    }
    items_.erase(it);
    return true;
}

void CDataBase::ClearCategory(int32_t category) {
    items_.remove_if([category](const auto& item) { return item->Category == category; });
}

bool CDataBase::SaveToFile(const FilePath& path) {
    auto file = files_.CreateReplacement(path);
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        (*it)->SaveToStream(*file);
    }
    file->Commit();
    return true;
}

namespace {

// Reads a stream in large blocks, out of which records are taken in place: a note of a few
// bytes costs no call through the stream, and its text is copied once, into its string.
class RecordReader {
public:
    static constexpr size_t kBlockBytes = 128 * 1024;

    explicit RecordReader(IReadStream& stream) : stream_(stream) {}

    // Bytes in the block that are not taken yet.
    size_t Available() const { return end_ - begin_; }
    // Bytes not taken yet, in the block or still in the stream.
    uint64_t Remaining() const { return Available() + stream_.Remaining(); }
    const char* Bytes() const { return reinterpret_cast<const char*>(block_.get()) + begin_; }
    // Records are 16 bytes and whole units long, so a text starts on a unit.
    const char16_t* Units() const { return block_.get() + begin_ / sizeof(char16_t); }
    void Skip(size_t bytes) { begin_ += bytes; }

    // Makes at least `bytes`, at most a block, available where the stream still holds them.
    void Fill(size_t bytes) {
        if (Available() >= bytes || stream_.Remaining() == 0) {
            return;
        }
        auto* first = reinterpret_cast<char*>(block_.get());
        std::memmove(first, first + begin_, Available());
        end_ = Available();
        begin_ = 0;
        end_ += stream_.Read(first + end_, kBlockBytes - end_);
    }

private:
    IReadStream& stream_;
    std::unique_ptr<char16_t[]> block_{new char16_t[kBlockBytes / sizeof(char16_t)]};
    size_t begin_ = 0;
    size_t end_ = 0;
};

}  // namespace

bool CDataBase::LoadRecords(IReadStream& stream) {
    RecordReader in(stream);
    for (;;) {
        in.Fill(CTextItem::HeadSize);
        if (in.Available() < CTextItem::HeadSize) {
            return in.Available() == 0;
        }
        const CTextItem::Head head = CTextItem::ReadHead(in.Bytes());
        in.Skip(CTextItem::HeadSize);
        // A count that runs past the end of the data marks a damaged record: nothing is
        // allocated for more than the stream still holds.
        uint64_t left = uint64_t{head.Count} * sizeof(char16_t);
        if (left > in.Available() && left <= RecordReader::kBlockBytes) {
            in.Fill(static_cast<size_t>(left));
        }
        if (left <= in.Available()) {
            // The usual case: the whole text lies in the block and is copied once, into place.
            const std::u16string_view text(in.Units(), FindZeroUnit(in.Units(), head.Count));
            (*items_.emplace_front(head, text, &texts_)).Id = nextId_++;
            in.Skip(static_cast<size_t>(left));
            continue;
        }
        if (left > in.Remaining()) {
            return false;
        }
        // A text longer than the block comes through it in pieces, each copied once.
        CTextItem& item = *items_.emplace_front(head, std::u16string_view(), &texts_);
        item.Text.reserve(head.Count);
        for (bool open = true; left > 0;) {
            in.Fill(static_cast<size_t>(std::min<uint64_t>(left, RecordReader::kBlockBytes)));
            const auto piece =
                static_cast<size_t>(std::min<uint64_t>(in.Available() & ~size_t{1}, left));
            if (piece == 0) {
                // The stream ended before the text did.
                items_.pop_front();
                return false;
            }
            if (open) {
                open = item.AddUnits(in.Units(), piece / sizeof(char16_t));
            }
            in.Skip(piece);
            left -= piece;
        }
        item.Id = nextId_++;
    }
}

bool CDataBase::LoadFromFile(const FilePath& path) {
    items_.clear();
    texts_.Release();
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
        items_.clear();
        throw;
    }
    // The next save would drop the damaged tail for good: keep the file as it is now.
    file.reset();
    const FilePath kept = path + ".damaged";
    try {
        CopyWholeFile(files_, path, kept);
        LogError("[DataBase] Damaged data file kept as " + PathToUtf8(kept));
    } catch (const AppError& e) {
        LogError(std::string("[DataBase] ") + e.what());
    }
    return true;
}

}  // namespace snipora
