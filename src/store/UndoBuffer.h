#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "store/ItemList.h"
#include "store/ListOperation.h"

namespace snipora {

// What Undo reverts: what the last delete or clear took away from the lists, or else the last
// new note, edit or move (a Change), whichever came last.
//
// What holds: the entries kept are ordered by Id, newest first, and none of them is in the
// lists. Keeping takes the place of what was kept before, and of a change; a change takes the
// place of both; a clear that found nothing keeps what was kept (it never reaches here). A
// change's entry is in the lists: one that leaves them takes its change with it.
class UndoBuffer {
public:
    explicit UndoBuffer(const PoolAllocator<ItemEntry>& allocator) : kept_(allocator) {}
    UndoBuffer(const UndoBuffer&) = delete;
    UndoBuffer& operator=(const UndoBuffer&) = delete;

    // A new note, an edit or a move, as Undo reverts it.
    struct Change {
        enum Kind { Added, Edited, Moved } What = Added;
        ItemList::iterator Entry;
        std::u16string Text;   // Edited: the text before
        int32_t Category = 0;  // Moved: the list and the place in it before
        uint32_t Place = 0;
    };

    // Keeps the one entry, taken out of `from`.
    void KeepOne(ItemList& from, ItemList::iterator it);
    // Keeps all of `taken`, which is left with what was kept before.
    void KeepAll(ItemList& taken) {
        kept_.swap(taken);
        change_.reset();
    }
    // Keeps a change instead of any entries taken.
    void KeepChange(Change change) {
        kept_.clear();
        change_ = std::move(change);
    }
    const std::optional<Change>& LastChange() const { return change_; }
    // The entry leaves the lists: a change of it can no longer be undone.
    void Leaving(ItemList::iterator it) {
        if (change_ && change_->Entry == it) {
            change_.reset();
        }
    }
    // Forgets what is kept.
    void Forget() {
        kept_.clear();
        change_.reset();
    }
    // Forgets the kept entries for which `gone` is true.
    template <typename Gone>
    void ForgetIf(Gone gone) {
        kept_.remove_if([&](ItemEntry& entry) { return gone(*entry); });
    }
    bool Empty() const { return kept_.empty() && !change_; }

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
    std::optional<Change> change_;
    uint64_t restoredCount_ = 0;
};

}  // namespace snipora
