#include "store/UndoBuffer.h"

#include <string>
#include <string_view>
#include <utility>

namespace snipora {

void UndoBuffer::KeepOne(ItemList& from, ItemList::iterator it) {
    kept_.clear();
    change_.reset();
    kept_.splice(kept_.begin(), from, it);
}

// What was taken comes back in its place among those left, as their Ids, which fall along both
// lists, merge them.
ListOperation UndoBuffer::Restoring(const ItemList& items) const {
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

bool UndoBuffer::Ordered() const {
    uint32_t last = UINT32_MAX;
    for (const auto& entry : kept_) {
        if (entry->Id >= last) {
            return false;
        }
        last = entry->Id;
    }
    return true;
}

}  // namespace snipora
