#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "store/ItemList.h"
#include "store/ListOperation.h"

namespace snipora {

// What Undo reverts, whichever came last: what the last delete or clear took away from the lists,
// what the last move of several entries took to another list, or the last new note, edit or
// move of one entry (a Change).
//
// What holds: only one of the three is kept at a time; keeping one forgets the others. The
// entries kept are ordered by Id, newest first, and none of them is in the lists; the entries
// moved are in the lists, each named by its key, with the Id and the list it had before, ordered
// by that Id, newest first. A clear that found nothing keeps what was kept (it never reaches
// here). A change's entry is in the lists: one that leaves them takes its change with it.
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
    // An entry that a move of several took to another list.
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
        change_.reset();
        moved_.clear();
    }
    // Keeps a change instead of anything else.
    void KeepChange(Change change) {
        kept_.clear();
        moved_.clear();
        change_ = std::move(change);
    }
    const std::optional<Change>& LastChange() const { return change_; }
    // The entry leaves the lists: a change of it can no longer be undone.
    void Leaving(ItemList::iterator it) {
        if (change_ && change_->Entry == it) {
            change_.reset();
        }
    }
    // Keeps the entries a move took, newest first, to bring them back to their lists.
    void KeepMoved(std::vector<Moved> moved) {
        kept_.clear();
        change_.reset();
        moved_ = std::move(moved);
    }
    // Forgets what is kept.
    void Forget() {
        kept_.clear();
        change_.reset();
        moved_.clear();
    }
    // Forgets the kept entries for which `gone` is true.
    template <typename Gone>
    void ForgetIf(Gone gone) {
        kept_.remove_if([&](ItemEntry& entry) { return gone(*entry); });
    }
    bool Empty() const { return kept_.empty() && !change_ && moved_.empty(); }

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
    std::optional<Change> change_;
    std::vector<Moved> moved_;
    uint64_t restoredCount_ = 0;
};

}  // namespace snipora
