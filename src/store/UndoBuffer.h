#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "store/ItemList.h"
#include "store/ListOperation.h"

namespace snipora {

// What the last delete or clear took away from the lists, or the last move of several entries
// took to another list, for Undo to bring back.
//
// What holds: the entries kept are ordered by Id, newest first, and none of them is in the
// lists; the entries moved are in the lists, each named by its key, with the Id and the list it
// had before, ordered by that Id, newest first. Keeping takes the place of what was kept or
// moved before; a clear that found nothing keeps what was kept (it never reaches here).
class UndoBuffer {
public:
    explicit UndoBuffer(const PoolAllocator<ItemEntry>& allocator) : kept_(allocator) {}
    UndoBuffer(const UndoBuffer&) = delete;
    UndoBuffer& operator=(const UndoBuffer&) = delete;

    // An entry that a move took to another list.
    struct Moved {
        uint32_t Key = 0;
        uint32_t Id = 0;  // before the move
        int32_t Category = 0;
    };

    // Keeps the one entry, taken out of `from`.
    void KeepOne(ItemList& from, ItemList::iterator it);
    // Keeps all of `taken`, which is left with what was kept before.
    void KeepAll(ItemList& taken) {
        kept_.swap(taken);
        moved_.clear();
    }
    // Keeps the entries a move took, newest first, to bring them back to their lists.
    void KeepMoved(std::vector<Moved> moved) {
        kept_.clear();
        moved_ = std::move(moved);
    }
    // Forgets what is kept.
    void Forget() {
        kept_.clear();
        moved_.clear();
    }
    // Forgets the kept entries for which `gone` is true.
    template <typename Gone>
    void ForgetIf(Gone gone) {
        kept_.remove_if([&](ItemEntry& entry) { return gone(*entry); });
    }
    bool Empty() const { return kept_.empty() && moved_.empty(); }

    // The operation that brings back what is kept, each entry at its old place among `items`
    // (ordered by Id, newest first, as the kept are: the Ids merge them); or that moves the
    // entries moved back to their lists and places. Nothing to do when nothing is kept.
    ListOperation Restoring(const ItemList& items) const;
    // What was kept has come back: it is forgotten, and the count of Undos grows.
    void Restored() {
        Forget();
        ++restoredCount_;
    }
    // How many times Undo has put entries back.
    uint64_t RestoredCount() const { return restoredCount_; }

    // True if the kept entries are ordered by Id, newest first.
    bool Ordered() const;

private:
    ListOperation Returning(const ItemList& items) const;

    // Newest first.
    ItemList kept_;
    std::vector<Moved> moved_;
    uint64_t restoredCount_ = 0;
};

}  // namespace snipora
