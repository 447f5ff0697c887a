#include "store/HistoryIndex.h"

#include "store/DataBase.h"

namespace snipora {

void HistoryIndex::Entered(ItemList::iterator it) {
    if (built_) {
        if ((*it)->TextHash == 0) {
            (*it)->TextHash = HashText((*it)->Text);
        }
        index_.Add(it);
    }
}

void HistoryIndex::Leaving(ItemList::iterator it) {
    if (built_) {
        index_.Remove(it);
    }
}

void HistoryIndex::Drop() {
    index_.Clear();
    built_ = false;
}

// Entries of equal hashes have their texts compared. With duplicates kept, several entries may
// hold the text: the newest of them is the one meant, unless one is named.
ItemList::iterator HistoryIndex::Find(CTextItem& item, uint32_t id) {
    if (!built_) {
        built_ = true;
        for (auto it = items_.begin(); it != items_.end(); ++it) {
            if ((*it)->Category == kHistoryCategory) {
                Entered(it);
            }
        }
    }
    if (item.TextHash == 0) {
        item.TextHash = HashText(item.Text);
    }
    auto found = items_.end();
    index_.ForEachOf(item.TextHash, [&](ItemList::iterator it) {
        if ((id != 0 ? (*it)->Id == id : found == items_.end() || (*it)->Id > (*found)->Id) &&
            (*it)->Text == item.Text) {
            found = it;
        }
        return false;
    });
    return found;
}

}  // namespace snipora
