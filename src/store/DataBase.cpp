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

void CDataBase::InsertAtFront(std::unique_ptr<CTextItem> item) {
    item->Id = nextId_++;
    items_.push_front(std::move(item));
}

void CDataBase::CaptureClipboard() {
    if (!enabled_ || !clipboard_.HasText()) {
        return;
    }
    // Content that its owner marked as private (passwords) is not recorded at all.
    if (clipboard_.IsPrivate(window_)) {
        return;
    }
    auto item = std::make_unique<CTextItem>();
    if (item->ReadFromClipboard(clipboard_, window_)) {
        item->Category = HistoryCategory;
        lastCaptured_ = MakeDisplayText(item->Text);
        InsertAtFront(std::move(item));
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
        (*it)->WriteToClipboard(clipboard_, window_);
        return true;
    }
    // A history item leaves the list before the clipboard changes, so that the capture that the
    // change sets off finds it gone. Its neighbour marks the place to put it back if the write
    // fails; that neighbour may itself be gone by then, trimmed by a nested capture.
    auto next = std::next(it);
    const uint32_t nextId = next == items_.end() ? 0 : (*next)->Id;
    ItemList taken;
    taken.splice(taken.begin(), items_, it);
    if (taken.front()->WriteToClipboard(clipboard_, window_)) {
        return true;
    }
    auto place = nextId == 0 ? items_.end() : Find(nextId);
    items_.splice(place, taken);
    return true;
}

bool CDataBase::MoveToCategory(uint32_t id, int32_t category) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if ((*it)->Id == id && (*it)->Category != category) {
            std::unique_ptr<CTextItem> item = std::move(*it);
            items_.erase(it);
            item->Category = category;
            InsertAtFront(std::move(item));
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
        auto item = std::make_unique<CTextItem>(0.0);
        if (!item->LoadFromStream(stream)) {
            return false;
        }
        InsertAtFront(std::move(item));
    }
    return true;
}

bool CDataBase::LoadFromFile(const FilePath& path) {
    items_.clear();
    if (!files_.FileExists(path)) {
        return false;
    }
    auto file = files_.OpenForReading(path);
    if (LoadRecords(*file)) {
        return true;
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
