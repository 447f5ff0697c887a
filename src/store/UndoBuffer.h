#pragma once

#include <cstdint>

#include "store/ItemList.h"
#include "store/ListOperation.h"

namespace snipora {

// What the last delete or clear took away from the lists, for Undo to bring back.
//
// What holds: the entries kept are ordered by Id, newest first, and none of them is in the
// lists. Keeping takes the place of what was kept before; a clear that found nothing keeps what
// was kept (it never reaches here).
class UndoBuffer {
public:
    explicit UndoBuffer(const PoolAllocator<ItemEntry>& allocator) : kept_(allocator) {}
    UndoBuffer(const UndoBuffer&) = delete;
    UndoBuffer& operator=(const UndoBuffer&) = delete;

    // Keeps the one entry, taken out of `from`.
    void KeepOne(ItemList& from, ItemList::iterator it);
    // Keeps all of `taken`, which is left with what was kept before.
    void KeepAll(ItemList& taken) { kept_.swap(taken); }
    // Forgets what is kept.
    void Forget() { kept_.clear(); }
    // Forgets the kept entries for which `gone` is true.
    template <typename Gone>
    void ForgetIf(Gone gone) {
        kept_.remove_if([&](ItemEntry& entry) { return gone(*entry); });
    }
    bool Empty() const { return kept_.empty(); }

    // The operation that brings back what is kept, each entry at its old place among `items`
    // (ordered by Id, newest first, as the kept are: the Ids merge them). Nothing to do when
    // nothing is kept.
    ListOperation Restoring(const ItemList& items) const;
    // What was kept has come back: it is forgotten, and the count of Undos grows.
    void Restored() {
        kept_.clear();
        ++restoredCount_;
    }
    // How many times Undo has put entries back.
    uint64_t RestoredCount() const { return restoredCount_; }

    // True if the kept entries are ordered by Id, newest first.
    bool Ordered() const;

private:
    // Newest first.
    ItemList kept_;
    uint64_t restoredCount_ = 0;
};

}  // namespace snipora
