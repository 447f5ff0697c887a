#pragma once

#include <list>
#include <utility>

#include "store/ItemMemory.h"
#include "store/TextItem.h"

namespace snipora {

// One entry of the item list, holding its item in place so that an item and its list node are
// one block; `->` and `*` reach the item.
class ItemEntry {
public:
    template <typename... Args>
    explicit ItemEntry(Args&&... args) : item_(std::forward<Args>(args)...) {}
    CTextItem* operator->() { return &item_; }
    const CTextItem* operator->() const { return &item_; }
    CTextItem& operator*() { return item_; }
    const CTextItem& operator*() const { return item_; }

private:
    CTextItem item_;
};

// The entries come from a pool of equal blocks, so that a file of many notes loads without
// asking the system heap for each list node; each text has storage of its own.
using ItemList = std::list<ItemEntry, PoolAllocator<ItemEntry>>;

}  // namespace snipora
