#pragma once

#include <cstddef>
#include <cstdint>

#include "store/HashIndex.h"
#include "store/ItemList.h"

namespace snipora {

// The history's entries of a list by their texts' hashes, so that a capture finds an equal text
// without comparing it to every entry. Built at the first search that needs it, not at load: a
// loaded list's texts are hashed only when a capture looks for a duplicate.
//
// What holds: once built, the index holds each history entry of the list once, and every entry
// it holds carries its text's hash. The list's owner keeps it so by telling it of each history
// entry that enters the list or is about to leave it (or whose text is about to change, and has
// changed).
class HistoryIndex {
public:
    explicit HistoryIndex(ItemList& items) : items_(items), index_(items.end(), {}) {}
    HistoryIndex(const HistoryIndex&) = delete;
    HistoryIndex& operator=(const HistoryIndex&) = delete;

    // A history entry entered the list, or is about to leave it. Nothing while not built.
    void Entered(ItemList::iterator it);
    void Leaving(ItemList::iterator it);
    // Forgets every entry, to be built again at the next search.
    void Drop();
    // The newest history entry whose text equals the item's, or with a nonzero `id` only the
    // entry of that Id if its text is equal; the list's end for none. Sets the item's hash.
    ItemList::iterator Find(CTextItem& item, uint32_t id);
    // True if the index, when built, holds `count` entries.
    bool Holds(size_t count) const { return !built_ || index_.Size() == count; }

private:
    struct HashOfEntry {
        uint32_t operator()(ItemList::iterator it) const { return (*it)->TextHash; }
    };
    ItemList& items_;
    HashIndex<ItemList::iterator, HashOfEntry> index_;
    bool built_ = false;
};

}  // namespace snipora
