// The operations on the lists and their Undo: every change of the list passes through Apply.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <unordered_set>

#include "store/DataBase.h"

namespace snipora {

bool CDataBase::Apply(const ListOperation& op) {
    if (!Carry(op)) {
        return false;
    }
    CheckInvariants();
    if (log_ != nullptr) {
        log_->Recorded(op);
    }
    return true;
}

void CDataBase::Renumber(ItemList::iterator last) {
    for (auto it = std::next(last); it != items_.begin();) {
        --it;
        (*it)->Id = nextId_++;
    }
}

void CDataBase::Added(ItemList::iterator it) {
    (*it)->Key = nextKey_++;
    byKey_.push_back(it);
    if ((*it)->Category == kHistoryCategory) {
        ++historyCount_;
        historyIndex_.Entered(it);
    }
}

void CDataBase::Leaving(ItemList::iterator it) {
    undo_.Leaving(it);
    if ((*it)->Category == kHistoryCategory) {
        --historyCount_;
        historyIndex_.Leaving(it);
    }
    byKey_[(*it)->Key] = items_.end();
}

bool CDataBase::Carry(const ListOperation& op) {
    const auto it = FindKey(op.Key);
    const bool known = it != items_.end();
    switch (op.What) {
        case ListOperation::Add: {
            CTextItem& item = *items_.emplace_front(op.Time);
            item.Text = op.Text;
            item.Length = static_cast<uint32_t>(op.Text.size());
            item.Category = op.Category;
            item.Id = nextId_++;
            Added(items_.begin());
            return true;
        }
        case ListOperation::Remove:
            if (!known) {
                return false;
            }
            Leaving(it);
            undo_.KeepOne(items_, it);
            return true;
        case ListOperation::MoveToList:
            if (!known || (*it)->Category == op.Category) {
                return false;
            }
            if ((*it)->Category == kHistoryCategory) {
                --historyCount_;
                historyIndex_.Leaving(it);
            }
            (*it)->Category = op.Category;
            if (op.Category == kHistoryCategory) {
                ++historyCount_;
                historyIndex_.Entered(it);
            }
            items_.splice(items_.begin(), items_, it);
            Renumber(it);
            return true;
        case ListOperation::MoveWithin: {
            if (!known) {
                return false;
            }
            // Directly below the entry that is to be above it in its list, or first of all.
            auto to = items_.begin();
            uint32_t above = op.Place;
            for (auto at = items_.begin(); above > 0 && at != items_.end(); ++at) {
                if (at != it && (*at)->Category == (*it)->Category) {
                    to = std::next(at);
                    --above;
                }
            }
            if (to != it) {
                items_.splice(to, items_, it);
            }
            if (op.HasTime) {
                (*it)->CaptureTime = op.Time;
                (*it)->Instant = CTextItem::kUnknownInstant;
            }
            Renumber(it);
            return true;
        }
        case ListOperation::Replace:
            if (!known) {
                return false;
            }
            if ((*it)->Category == kHistoryCategory) {
                historyIndex_.Leaving(it);
            }
            (*it)->Text = op.Text;
            (*it)->Length = static_cast<uint32_t>(op.Text.size());
            (*it)->TextHash = 0;
            if ((*it)->Category == kHistoryCategory) {
                historyIndex_.Entered(it);
            }
            Renumber(it);
            return true;
        case ListOperation::Clear: {
            ItemList taken(items_.get_allocator());
            for (auto at = items_.begin(); at != items_.end();) {
                const auto next = std::next(at);
                if ((*at)->Category == op.Category) {
                    Leaving(at);
                    taken.splice(taken.end(), items_, at);
                }
                at = next;
            }
            if (taken.empty()) {
                return false;
            }
            undo_.KeepAll(taken);
            return true;
        }
        case ListOperation::Trim: {
            // The history's oldest items are the last of its items in the list: they are sought
            // from the end, and only while there are too many, so that a capture with a long list
            // costs no walk over it.
            const size_t size = std::max<size_t>(op.Place, 1);
            if (historyCount_ <= size) {
                return false;
            }
            for (auto at = items_.end(); historyCount_ > size && at != items_.begin();) {
                --at;
                if ((*at)->Category == kHistoryCategory) {
                    Leaving(at);
                    at = items_.erase(at);
                }
            }
            return true;
        }
        case ListOperation::Forget: {
            std::unordered_set<uint32_t> keys(op.Keys.begin(), op.Keys.end());
            for (const uint32_t key : keys) {
                const auto gone = FindKey(key);
                if (gone == items_.end() || (*gone)->Category != kHistoryCategory) {
                    return false;
                }
            }
            if (keys.size() != op.Keys.size() || keys.empty()) {
                return false;
            }
            for (const uint32_t key : keys) {
                const auto gone = FindKey(key);
                Leaving(gone);
                items_.erase(gone);
            }
            return true;
        }
        case ListOperation::RemoveKeys:
        case ListOperation::MoveKeysToList:
            return CarrySeveral(op);
        case ListOperation::ReturnKeys:
            return ReturnEntries(op);
        case ListOperation::Restore:
            return RestoreEntries(op.Entries);
    }
    return false;
}

// Several entries at once: all known and each named once, or nothing is done.
bool CDataBase::CarrySeveral(const ListOperation& op) {
    const std::unordered_set<uint32_t> keys(op.Keys.begin(), op.Keys.end());
    if (keys.empty() || keys.size() != op.Keys.size()) {
        return false;
    }
    for (const uint32_t key : keys) {
        if (FindKey(key) == items_.end()) {
            return false;
        }
    }
    const bool move = op.What == ListOperation::MoveKeysToList;
    // In the order of their places, so that they keep it among themselves.
    ItemList taken(items_.get_allocator());
    std::vector<UndoBuffer::Moved> moved;
    for (auto at = items_.begin(); at != items_.end();) {
        const auto next = std::next(at);
        if (keys.contains((*at)->Key) && (!move || (*at)->Category != op.Category)) {
            moved.push_back({(*at)->Key, (*at)->Id, (*at)->Category});
            if (move && (*at)->Category == kHistoryCategory) {
                --historyCount_;
                historyIndex_.Leaving(at);
            }
            if (!move) {
                Leaving(at);
            }
            taken.splice(taken.end(), items_, at);
        }
        at = next;
    }
    if (taken.empty()) {
        return false;
    }
    if (!move) {
        undo_.KeepAll(taken);
        return true;
    }
    const auto last = std::prev(taken.end());
    for (auto at = taken.begin(); at != taken.end(); ++at) {
        (*at)->Category = op.Category;
    }
    items_.splice(items_.begin(), taken);
    for (auto at = items_.begin();; ++at) {
        if (op.Category == kHistoryCategory) {
            ++historyCount_;
            historyIndex_.Entered(at);
        }
        if (at == last) {
            break;
        }
    }
    Renumber(last);
    undo_.KeepMoved(std::move(moved));
    return true;
}

// Each entry back to its list and its place among all, in ascending places.
bool CDataBase::ReturnEntries(const ListOperation& op) {
    const auto& entries = op.Entries;
    const std::unordered_set<uint32_t> keys(op.Keys.begin(), op.Keys.end());
    if (keys.empty() || keys.size() != op.Keys.size() || entries.size() != op.Keys.size()) {
        return false;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        if (FindKey(op.Keys[i]) == items_.end() || entries[i].At >= items_.size() ||
            (i > 0 && entries[i].At <= entries[i - 1].At)) {
            return false;
        }
    }
    ItemList taken(items_.get_allocator());
    for (const uint32_t key : op.Keys) {
        const auto it = FindKey(key);
        if ((*it)->Category == kHistoryCategory) {
            --historyCount_;
            historyIndex_.Leaving(it);
        }
        taken.splice(taken.end(), items_, it);
    }
    auto at = items_.begin();
    size_t index = 0;
    auto last = items_.end();
    for (size_t i = 0; i < entries.size(); ++i) {
        for (; index < entries[i].At; ++index) {
            ++at;
        }
        last = taken.begin();
        items_.splice(at, taken, last);
        (*last)->Category = entries[i].Category;
        (*last)->Id = entries[i].Id;
        if (entries[i].Category == kHistoryCategory) {
            ++historyCount_;
            historyIndex_.Entered(last);
        }
        ++index;
    }
    KeepIdsOrRenumber(last);
    undo_.Restored();
    return true;
}

// The entries down to `last` keep the Ids they were given where those still fall along the
// list; otherwise they take new ones.
void CDataBase::KeepIdsOrRenumber(ItemList::iterator last) {
    uint32_t above = nextId_;
    for (auto it = items_.begin(); it != std::next(last); ++it) {
        if ((*it)->Id == 0 || (*it)->Id >= above) {
            Renumber(last);
            return;
        }
        above = (*it)->Id;
    }
    if (std::next(last) != items_.end() && (*std::next(last))->Id >= (*last)->Id) {
        Renumber(last);
    }
}

bool CDataBase::RestoreEntries(const std::vector<ListOperation::Entry>& entries) {
    // Each at its place among all, in ascending places, each above the next one in its place.
    if (entries.empty()) {
        return false;
    }
    size_t count = items_.size();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].At > count + i || (i > 0 && entries[i].At <= entries[i - 1].At)) {
            return false;
        }
    }
    auto at = items_.begin();
    size_t index = 0;
    auto last = items_.end();
    for (const ListOperation::Entry& entry : entries) {
        for (; index < entry.At; ++index) {
            ++at;
        }
        last = items_.emplace(at, entry.Time);
        CTextItem& item = **last;
        item.Id = entry.Id;
        item.Text = entry.Text;
        item.Length = static_cast<uint32_t>(entry.Text.size());
        item.Category = entry.Category;
        ++index;
        Added(last);
    }
    // The Ids they had, where those still keep the list in order; new ones otherwise.
    KeepIdsOrRenumber(last);
    undo_.Restored();
    return true;
}

bool CDataBase::MoveToCategory(uint32_t id, int32_t category) {
    ListOperation op;
    op.What = ListOperation::MoveToList;
    op.Key = KeyOf(id);
    op.Category = category;
    return op.Key != 0 && Apply(op);
}

uint32_t CDataBase::AddNote(std::u16string_view text) {
    ListOperation op;
    op.What = ListOperation::Add;
    op.Category = kNotesCategory;
    op.Text = text.substr(0, text.find(u'\0'));
    if (op.Text.empty()) {
        return 0;
    }
    const int64_t instant = clock_->NowUtcMs();
    op.Time = LocalOleDate(*clock_, instant);
    if (!Apply(op)) {
        return 0;
    }
    items_.front()->Instant = instant;
    undo_.KeepChange({UndoBuffer::Change::Added, items_.begin(), {}, 0, 0});
    return items_.front()->Id;
}

uint32_t CDataBase::PlaceIn(ItemList::const_iterator it) const {
    return static_cast<uint32_t>(std::count_if(items_.begin(), it, [&](const ItemEntry& item) {
        return item->Category == (*it)->Category;
    }));
}

uint32_t CDataBase::PlaceOf(uint32_t id) {
    const auto it = Find(id);
    return it == items_.end() ? 0 : PlaceIn(it);
}

bool CDataBase::MoveWithinList(uint32_t id, uint32_t place) {
    const auto it = Find(id);
    if (it == items_.end()) {
        return false;
    }
    return MoveToPlace(id, (*it)->Category, place);
}

bool CDataBase::MoveToPlace(uint32_t id, int32_t category, uint32_t place) {
    const auto it = Find(id);
    if (it == items_.end()) {
        return false;
    }
    UndoBuffer::Change change{UndoBuffer::Change::Moved, it, {}, (*it)->Category, PlaceIn(it)};
    ListOperation op;
    op.Key = (*it)->Key;
    if (category != change.Category) {
        op.What = ListOperation::MoveToList;
        op.Category = category;
        if (!Apply(op)) {
            return false;
        }
    } else {
        // The bottom is the place below every other entry of the list.
        const auto others =
            std::count_if(items_.begin(), items_.end(),
                          [&](const ItemEntry& at) { return at->Category == category; }) -
            1;
        if (std::min<uint32_t>(place, static_cast<uint32_t>(others)) == change.Place) {
            return false;
        }
    }
    // Moved to another list, the entry heads it.
    if (category == change.Category || place != 0) {
        op.What = ListOperation::MoveWithin;
        op.Place = place;
        Apply(op);
    }
    undo_.KeepChange(std::move(change));
    return true;
}

bool CDataBase::MoveBeside(uint32_t id, uint32_t besideId, bool below) {
    const auto it = Find(id);
    const auto beside = Find(besideId);
    if (it == items_.end() || beside == items_.end() || it == beside) {
        return false;
    }
    const int32_t category = (*beside)->Category;
    uint32_t place = PlaceIn(beside) + (below ? 1 : 0);
    // Within its list, the entry leaves its place first: those below it move up one.
    if ((*it)->Category == category && PlaceIn(it) < place) {
        --place;
    }
    return MoveToPlace(id, category, place);
}

bool CDataBase::ReplaceText(uint32_t id, std::u16string_view text) {
    const auto it = Find(id);
    if (it == items_.end()) {
        return false;
    }
    ListOperation op;
    op.What = ListOperation::Replace;
    op.Key = (*it)->Key;
    // As in the data file, a text ends at a zero unit.
    op.Text = text.substr(0, text.find(u'\0'));
    UndoBuffer::Change change{UndoBuffer::Change::Edited, it,
                              std::u16string(std::u16string_view((*it)->Text)), 0, 0};
    if (!Apply(op)) {
        return false;
    }
    undo_.KeepChange(std::move(change));
    return true;
}

namespace {

ListOperation SeveralKeys(ListOperation::Kind what, const std::vector<uint32_t>& keys) {
    ListOperation op;
    op.What = what;
    op.Keys = keys;
    return op;
}

}  // namespace

size_t CDataBase::DeleteItems(const std::vector<uint32_t>& ids) {
    ListOperation op = SeveralKeys(ListOperation::RemoveKeys, KeysOf(ids));
    const size_t count = op.Keys.size();
    return count != 0 && Apply(op) ? count : 0;
}

size_t CDataBase::MoveItemsToCategory(const std::vector<uint32_t>& ids, int32_t category) {
    ListOperation op = SeveralKeys(ListOperation::MoveKeysToList, KeysOf(ids));
    op.Category = category;
    const size_t count =
        static_cast<size_t>(std::count_if(op.Keys.begin(), op.Keys.end(), [&](uint32_t key) {
            return (*FindKey(key))->Category != category;
        }));
    return count != 0 && Apply(op) ? count : 0;
}

std::vector<uint32_t> CDataBase::KeysOf(const std::vector<uint32_t>& ids) {
    std::vector<uint32_t> keys;
    for (const uint32_t id : ids) {
        const uint32_t key = KeyOf(id);
        if (key != 0 && std::find(keys.begin(), keys.end(), key) == keys.end()) {
            keys.push_back(key);
        }
    }
    return keys;
}

bool CDataBase::DeleteItem(uint32_t id) {
    ListOperation op;
    op.What = ListOperation::Remove;
    op.Key = KeyOf(id);
    return op.Key != 0 && Apply(op);
}

size_t CDataBase::ClearCategory(int32_t category) {
    const size_t count =
        static_cast<size_t>(std::count_if(items_.begin(), items_.end(), [&](const ItemEntry& item) {
            return item->Category == category;
        }));
    ListOperation op;
    op.What = ListOperation::Clear;
    op.Category = category;
    return count != 0 && Apply(op) ? count : 0;
}

size_t CDataBase::TrimHistory() {
    const size_t before = historyCount_;
    ListOperation op;
    op.What = ListOperation::Trim;
    op.Place = static_cast<uint32_t>(historySize_);
    return historyCount_ > historySize_ && Apply(op) ? before - historyCount_ : 0;
}

uint32_t CDataBase::Undo() {
    if (undo_.LastChange()) {
        const UndoBuffer::Change change = *undo_.LastChange();
        undo_.Forget();
        return UndoChange(change);
    }
    if (undo_.Empty()) {
        return 0;
    }
    const ListOperation op = undo_.Restoring(items_);
    if (!Apply(op)) {
        return 0;
    }
    return (*std::next(items_.begin(), op.Entries.front().At))->Id;
}

uint32_t CDataBase::UndoChange(const UndoBuffer::Change& change) {
    const auto it = change.Entry;
    ListOperation op;
    op.Key = (*it)->Key;
    switch (change.What) {
        case UndoBuffer::Change::Added: {
            // The entry below it in its list takes its place, or else the one above it.
            uint32_t next = kUndoneNoEntry;
            const auto same = [&](const ItemEntry& item) {
                return item->Category == (*it)->Category;
            };
            if (const auto below = std::find_if(std::next(it), items_.end(), same);
                below != items_.end()) {
                next = (*below)->Id;
            } else if (const auto above =
                           std::find_if(std::make_reverse_iterator(it), items_.rend(), same);
                       above != items_.rend()) {
                next = (*above)->Id;
            }
            op.What = ListOperation::Remove;
            Apply(op);
            undo_.Forget();  // a new note taken back is not kept
            return next;
        }
        case UndoBuffer::Change::Edited:
            op.What = ListOperation::Replace;
            op.Text = change.Text;
            Apply(op);
            break;
        case UndoBuffer::Change::Moved:
            if ((*it)->Category != change.Category) {
                op.What = ListOperation::MoveToList;
                op.Category = change.Category;
                Apply(op);
            }
            op.What = ListOperation::MoveWithin;
            op.Place = change.Place;
            Apply(op);
            break;
    }
    return (*it)->Id;
}

uint32_t CDataBase::IdOfKey(uint32_t key) {
    const auto it = FindKey(key);
    return it == items_.end() ? 0 : (*it)->Id;
}

void CDataBase::Rekey() {
    byKey_.assign(1, items_.end());
    nextKey_ = 1;
    for (auto it = items_.end(); it != items_.begin();) {
        --it;
        (*it)->Key = nextKey_++;
        byKey_.push_back(it);
    }
    CheckInvariants();
}

void CDataBase::CheckInvariants() const {
#ifdef SNIPORA_CHECK_INVARIANTS
    const auto fail = [](const char* what) {
        std::fprintf(stderr, "CDataBase invariant broken: %s\n", what);
        std::abort();
    };
    uint32_t lastId = nextId_;
    size_t history = 0;
    size_t keyed = 0;
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        const CTextItem& item = **it;
        if (item.Id >= lastId) {
            fail("Ids fall along the list, below the next Id");
        }
        lastId = item.Id;
        if (item.Key == 0 || item.Key >= nextKey_ || item.Key >= byKey_.size() ||
            byKey_[item.Key] != it) {
            fail("each key names its entry");
        }
        history += item.Category == kHistoryCategory;
        if (std::u16string_view(item.Text).find(u'\0') != std::u16string_view::npos) {
            fail("no text holds a zero unit");
        }
    }
    for (const auto& at : byKey_) {
        keyed += at != items_.end();
    }
    if (keyed != items_.size() || byKey_.size() != nextKey_) {
        fail("a key for each entry and none for one gone");
    }
    if (history != historyCount_ || !historyIndex_.Holds(historyCount_)) {
        fail("the history's count and index");
    }
    if (!undo_.Ordered()) {
        fail("what Undo keeps is ordered by Id");
    }
#endif
}

}  // namespace snipora
