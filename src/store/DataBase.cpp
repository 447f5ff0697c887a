#include "store/DataBase.h"

#include "common/Error.h"
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

bool CDataBase::LoadRecords(IReadStream& stream) {
    while (stream.Remaining() > 0) {
        CTextItem& item = *items_.emplace_front(0.0, &texts_);
        if (!item.LoadFromStream(stream)) {
            items_.pop_front();
            return false;
        }
        item.Id = nextId_++;
    }
    return true;
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
