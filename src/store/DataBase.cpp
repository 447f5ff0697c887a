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
    : files_(files), transfer_(clipboard, *this) {}

CDataBase::~CDataBase() {
    if (log_ != nullptr) {
        log_->ListsGone();
    }
    items_.clear();
}

void CDataBase::SetLog(IOperationLog* log) {
    if (log_ != nullptr && log_ != log) {
        log_->ListsGone();
    }
    log_ = log;
}

CDataBase::ItemList::iterator CDataBase::Find(uint32_t id) {
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if ((*it)->Id == id) {
            return it;
        }
    }
    return items_.end();
}

CDataBase::ItemList::iterator CDataBase::FindKey(uint32_t key) {
    return key < byKey_.size() ? byKey_[key] : items_.end();
}

uint32_t CDataBase::KeyOf(uint32_t id) {
    const auto it = Find(id);
    return it == items_.end() ? 0 : (*it)->Key;
}

void CDataBase::AddCaptured(CTextItem& item, uint32_t chosen) {
    const int64_t instant = clock_->NowUtcMs();
    ListOperation op;
    op.Time = LocalOleDate(*clock_, instant);
    lastCaptured_ = MakeDisplayText(item.Text);
    // The text of the entry chosen last moves that entry up, duplicates kept or not.
    auto equal = chosen != 0 ? historyIndex_.Find(item, chosen) : items_.end();
    if (equal == items_.end() && !keepDuplicates_) {
        equal = historyIndex_.Find(item, 0);
    }
    if (equal != items_.end()) {
        op.What = ListOperation::MoveWithin;
        op.Key = (*equal)->Key;
        op.HasTime = true;
        Apply(op);
        items_.front()->Instant = instant;
        return;
    }
    op.What = ListOperation::Add;
    op.Category = kHistoryCategory;
    op.Text = std::u16string_view(item.Text);
    Apply(op);
    items_.front()->Instant = instant;
    TrimHistory();
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
    ListOperation op;
    op.What = ListOperation::Forget;
    for (auto& item : items_) {
        if (tooOld(*item)) {
            op.Keys.push_back(item->Key);
        }
    }
    undo_.ForgetIf(tooOld);
    if (op.Keys.empty()) {
        return 0;
    }
    Apply(op);
    if (newestId != 0 && Find(newestId) == items_.end()) {
        const auto left = std::find_if(items_.begin(), items_.end(), isHistory);
        lastCaptured_ = left == items_.end() ? std::u16string() : MakeDisplayText((*left)->Text);
    }
    return op.Keys.size();
}

}  // namespace snipora
