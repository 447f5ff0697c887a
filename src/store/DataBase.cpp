#include "store/DataBase.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "common/Error.h"
#include "common/TextScan.h"
#include "common/Utf.h"
#include "log/Logger.h"
#include "store/DisplayText.h"
#include "store/HistoryAge.h"

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
    // Only the capture that comes next after a chosen entry's write looks for that entry.
    const uint32_t chosen = std::exchange(chosen_, 0);
    // Content that its owner marked as private (passwords), or whose owner is a program whose
    // copies are not recorded, is not recorded at all. The owner is judged first: asking whether
    // text is there may wait on a program that does not answer, and once its window has gone,
    // so has its name.
    if (!enabled_ || clipboard_.IsPrivate(window_) || !clipboard_.HasText()) {
        return;
    }
    // Made outside the list: reading the clipboard may let a nested capture run, which must not
    // see a half-made item.
    ItemList fresh(items_.get_allocator());
    CTextItem& item = *fresh.emplace_front();
    if (item.ReadFromClipboard(clipboard_, window_)) {
        item.Instant = clock_->NowUtcMs();
        item.CaptureTime = LocalOleDate(*clock_, item.Instant);
        item.Category = kHistoryCategory;
        lastCaptured_ = MakeDisplayText(item.Text);
        // The text of the entry chosen last moves that entry up, duplicates kept or not.
        auto equal = chosen != 0 ? FindInHistory(item, chosen) : items_.end();
        if (equal == items_.end() && !keepDuplicates_) {
            equal = FindInHistory(item, 0);
        }
        if (equal != items_.end()) {
            (*equal)->CaptureTime = item.CaptureTime;
            (*equal)->Instant = item.Instant;
            RenumberToFront(equal);
            return;
        }
        item.Id = nextId_++;
        items_.splice(items_.begin(), fresh);
        ++historyCount_;
        Indexed(items_.begin());
    }
    TrimHistory();
}

// Items of equal hashes have their texts compared. With duplicates kept, several items may hold
// the text: the newest of them is the one meant, unless one is named.
CDataBase::ItemList::iterator CDataBase::FindInHistory(CTextItem& item, uint32_t id) {
    if (!indexBuilt_) {
        indexBuilt_ = true;
        for (auto it = items_.begin(); it != items_.end(); ++it) {
            if ((*it)->Category == kHistoryCategory) {
                Indexed(it);
            }
        }
    }
    if (item.TextHash == 0) {
        item.TextHash = HashText(item.Text);
    }
    auto found = items_.end();
    historyIndex_.ForEachOf(item.TextHash, [&](ItemList::iterator it) {
        if ((id != 0 ? (*it)->Id == id : found == items_.end() || (*it)->Id > (*found)->Id) &&
            (*it)->Text == item.Text) {
            found = it;
        }
        return false;
    });
    return found;
}

void CDataBase::Indexed(ItemList::iterator it) {
    if (indexBuilt_) {
        if ((*it)->TextHash == 0) {
            (*it)->TextHash = HashText((*it)->Text);
        }
        historyIndex_.Add(it);
    }
}

void CDataBase::Unindexed(ItemList::iterator it) {
    if (indexBuilt_) {
        historyIndex_.Remove(it);
    }
}

void CDataBase::DropIndex() {
    historyIndex_.Clear();
    indexBuilt_ = false;
}

// The history's oldest items are the last of its items in the list: they are sought from the end,
// and only while there are too many, so that a capture with a long list costs no walk over it.
size_t CDataBase::TrimHistory() {
    size_t dropped = 0;
    for (auto it = items_.end(); historyCount_ > historySize_ && it != items_.begin();) {
        --it;
        if ((*it)->Category == kHistoryCategory) {
            Unindexed(it);
            it = items_.erase(it);
            --historyCount_;
            ++dropped;
        }
    }
    return dropped;
}

uint32_t CDataBase::AddItem(int32_t category, double captureTime, std::u16string_view text) {
    CTextItem& item = *items_.emplace_front(captureTime);
    item.Text = text;
    item.Length = static_cast<uint32_t>(text.size());
    item.Category = category;
    item.Id = nextId_++;
    if (category == kHistoryCategory) {
        ++historyCount_;
        Indexed(items_.begin());
    }
    return item.Id;
}

void CDataBase::DeleteItems(const std::vector<uint32_t>& ids) {
    if (ids.empty()) {
        return;
    }
    // The list runs from the largest Id down, the Ids from the smallest up.
    auto wanted = ids.rbegin();
    for (auto it = items_.begin(); it != items_.end() && wanted != ids.rend();) {
        while (wanted != ids.rend() && *wanted > (*it)->Id) {
            ++wanted;
        }
        if (wanted != ids.rend() && *wanted == (*it)->Id) {
            if ((*it)->Category == kHistoryCategory) {
                --historyCount_;
                Unindexed(it);
            }
            it = items_.erase(it);
        } else {
            ++it;
        }
    }
}

bool CDataBase::MoveToClipboard(uint32_t id) {
    if (!enabled_) {
        return false;
    }
    const auto it = Find(id);
    if (it == items_.end()) {
        return false;
    }
    // The entry stays where it is: the capture that the change sets off moves it up. While
    // nothing is captured (recording paused, a clipboard that cannot be read) it keeps its place.
    chosen_ = (*it)->Category == kHistoryCategory ? id : 0;
    if ((*it)->WriteToClipboard(clipboard_, window_)) {
        return true;
    }
    chosen_ = 0;
    return false;
}

bool CDataBase::MoveToCategory(uint32_t id, int32_t category) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if ((*it)->Id == id && (*it)->Category != category) {
            if ((*it)->Category == kHistoryCategory) {
                --historyCount_;
                Unindexed(it);
            }
            (*it)->Category = category;
            if (category == kHistoryCategory) {
                ++historyCount_;
                Indexed(it);
            }
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
    if ((*it)->Category == kHistoryCategory) {
        --historyCount_;
        Unindexed(it);
    }
    undo_.clear();
    undo_.splice(undo_.begin(), items_, it);
    return true;
}

size_t CDataBase::ClearCategory(int32_t category) {
    ItemList taken(items_.get_allocator());
    for (auto it = items_.begin(); it != items_.end();) {
        auto next = std::next(it);
        if ((*it)->Category == category) {
            taken.splice(taken.end(), items_, it);
        }
        it = next;
    }
    const size_t count = taken.size();
    if (count != 0) {
        if (category == kHistoryCategory) {
            historyCount_ -= count;
            historyIndex_.Clear();
        }
        undo_.swap(taken);
    }
    return count;
}

uint32_t CDataBase::Undo() {
    if (undo_.empty()) {
        return 0;
    }
    const uint32_t newest = undo_.front()->Id;
    ++undoCount_;
    // Positions stay valid as the merge moves the items over.
    std::vector<ItemList::iterator> history;
    for (auto it = undo_.begin(); it != undo_.end(); ++it) {
        if ((*it)->Category == kHistoryCategory) {
            history.push_back(it);
        }
    }
    historyCount_ += history.size();
    items_.merge(undo_, [](const ItemEntry& a, const ItemEntry& b) { return a->Id > b->Id; });
    for (const auto it : history) {
        Indexed(it);
    }
    return newest;
}

size_t CDataBase::ForgetHistory(int32_t minutes) {
    if (minutes <= 0) {
        return 0;
    }
    const int64_t now = clock_->NowUtcMs();
    LocalInstants instantOf(*clock_);
    const auto tooOld = [&](CTextItem& item) {
        if (item.Category != kHistoryCategory) {
            return false;
        }
        if (item.Instant == CTextItem::kUnknownInstant || item.Instant > now) {
            const auto instant = instantOf(item.CaptureTime);
            if (instant && *instant <= now) {
                item.Instant = *instant;
            } else {
                item.Instant = now;
                item.CaptureTime = LocalOleDate(*clock_, now);
            }
        }
        return IsPastAge(item.Instant, now, minutes);
    };
    auto isHistory = [](const ItemEntry& item) { return item->Category == kHistoryCategory; };
    const auto newest = std::find_if(items_.begin(), items_.end(), isHistory);
    const uint32_t newestId = newest == items_.end() ? 0 : (*newest)->Id;
    size_t forgotten = 0;
    for (auto it = items_.begin(); it != items_.end();) {
        if (tooOld(**it)) {
            Unindexed(it);
            it = items_.erase(it);
            --historyCount_;
            ++forgotten;
        } else {
            ++it;
        }
    }
    undo_.remove_if([&](ItemEntry& item) { return tooOld(*item); });
    if (newestId != 0 && Find(newestId) == items_.end()) {
        const auto left = std::find_if(items_.begin(), items_.end(), isHistory);
        lastCaptured_ = left == items_.end() ? std::u16string() : MakeDisplayText((*left)->Text);
    }
    return forgotten;
}

}  // namespace snipora
