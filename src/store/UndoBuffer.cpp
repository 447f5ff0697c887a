#include "store/UndoBuffer.h"

#include <string>
#include <string_view>
#include <utility>

namespace snipora {

void UndoBuffer::KeepOne(ItemList& from, ItemList::iterator it) {
    Forget();
    kept_.splice(kept_.begin(), from, it);
}

// What was taken comes back in its place among those left, as their Ids, which fall along both
// lists, merge them.
ListOperation UndoBuffer::Restoring(const ItemList& items) const {
    if (!moved_.empty()) {
        return Returning(items);
    }
    ListOperation op;
    op.What = ListOperation::Restore;
    uint32_t at = 0;
    auto left = items.begin();
    for (const auto& taken : kept_) {
        for (; left != items.end() && (*left)->Id > taken->Id; ++left) {
            ++at;
        }
        op.Entries.push_back({at++, taken->Id, taken->Category, taken->CaptureTime,
                              std::u16string(std::u16string_view(taken->Text))});
    }
    return op;
}

// The same merge, among the entries that were not moved: their Ids are those they had.
ListOperation UndoBuffer::Returning(const ItemList& items) const {
    ListOperation op;
    op.What = ListOperation::ReturnKeys;
    const auto moved = [this](uint32_t key) {
        for (const Moved& entry : moved_) {
            if (entry.Key == key) {
                return true;
            }
        }
        return false;
    };
    uint32_t at = 0;
    auto left = items.begin();
    for (const Moved& entry : moved_) {
        for (; left != items.end() && ((*left)->Id > entry.Id || moved((*left)->Key)); ++left) {
            at += moved((*left)->Key) ? 0 : 1;
        }
        op.Keys.push_back(entry.Key);
        op.Entries.push_back({at++, entry.Id, entry.Category, 0.0, {}});
    }
    return op;
}

bool UndoBuffer::Ordered() const {
    uint32_t last = UINT32_MAX;
    for (const auto& entry : kept_) {
        if (entry->Id >= last) {
            return false;
        }
        last = entry->Id;
    }
    last = UINT32_MAX;
    for (const Moved& entry : moved_) {
        if (entry.Id >= last) {
            return false;
        }
        last = entry.Id;
    }
    return true;
}

}  // namespace snipora
