#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

#include "view/TreeView.h"

namespace snipora::test {

// A tree view in memory. Every entry gets a serial number that is never given again, so a test
// can tell an entry that stayed from one deleted and added anew. Calls on entries that are not
// in the tree are counted as faults, not followed.
class FakeTreeView final : public ITreeView {
public:
    struct Entry {
        uint64_t serial = 0;
        CItemNode* data = nullptr;
        Entry* parent = nullptr;
        std::vector<std::unique_ptr<Entry>> children;
    };

    int adds = 0;
    int deletes = 0;  // entries gone, counting those below a deleted one
    int sorts = 0;
    int faults = 0;
    bool refuseAdds = false;  // as a control out of memory would

    TreeEntry AddLast(TreeEntry parent, CItemNode* data) override {
        return Add(parent, data, false);
    }
    TreeEntry AddFirst(TreeEntry parent, CItemNode* data) override {
        return Add(parent, data, true);
    }
    TreeEntry Add(TreeEntry parent, CItemNode* data, bool first) {
        if (refuseAdds) {
            return nullptr;
        }
        Entry* under = parent == nullptr ? &root_ : Find(parent);
        if (under == nullptr) {
            ++faults;
            return nullptr;
        }
        auto entry = std::make_unique<Entry>();
        entry->serial = ++serial_;
        entry->data = data;
        entry->parent = under;
        Entry* added = entry.get();
        under->children.insert(first ? under->children.begin() : under->children.end(),
                               std::move(entry));
        live_.insert(added);
        ++adds;
        return reinterpret_cast<TreeEntry>(added);
    }

    void Delete(TreeEntry handle) override {
        if (handle == nullptr) {
            while (!root_.children.empty()) {
                Delete(reinterpret_cast<TreeEntry>(root_.children.back().get()));
            }
            return;
        }
        Entry* entry = Find(handle);
        if (entry == nullptr) {
            ++faults;
            return;
        }
        Forget(*entry);
        auto& siblings = entry->parent->children;
        siblings.erase(std::find_if(siblings.begin(), siblings.end(),
                                    [entry](const auto& e) { return e.get() == entry; }));
    }

    void DeleteChildren(TreeEntry handle) override {
        Entry* entry = Find(handle);
        if (entry == nullptr) {
            ++faults;
            return;
        }
        for (auto& child : entry->children) {
            Forget(*child);
        }
        entry->children.clear();
    }

    void SortAll(EntryCompare compare) override {
        ++sorts;
        SortBelow(root_, compare);
    }

    const std::vector<std::unique_ptr<Entry>>& TopLevel() const { return root_.children; }
    Entry* Find(TreeEntry handle) const {
        Entry* entry = reinterpret_cast<Entry*>(handle);
        return live_.count(entry) != 0 ? entry : nullptr;
    }
    size_t Count() const { return live_.size(); }

private:
    void Forget(Entry& entry) {
        for (auto& child : entry.children) {
            Forget(*child);
        }
        live_.erase(&entry);
        ++deletes;
    }
    static void SortBelow(Entry& entry, EntryCompare compare) {
        std::stable_sort(
            entry.children.begin(), entry.children.end(),
            [compare](const auto& a, const auto& b) { return compare(a->data, b->data) < 0; });
        for (auto& child : entry.children) {
            SortBelow(*child, compare);
        }
    }

    Entry root_;
    uint64_t serial_ = 0;
    std::unordered_set<Entry*> live_;
};

}  // namespace snipora::test
