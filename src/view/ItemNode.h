#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "view/TreeView.h"

namespace snipora {

// A record behind one tree view entry: a category, or a shown item. The records form a tree that
// mirrors the tree view; an invisible root holds the categories, keyed by category number, and
// each category holds its shown items, keyed by item Id, and its "Show all" row while it has one.
class CItemNode {
public:
    using ChildMap = std::map<uint32_t, std::unique_ptr<CItemNode>>;

    CItemNode() = default;
    CItemNode(const CItemNode&) = delete;
    CItemNode& operator=(const CItemNode&) = delete;
    // Destroys the records below; their tree view entries are the tree view's business.
    ~CItemNode() = default;

    // The child under `key` and whether it was there already. An existing child is marked seen;
    // a new one is left unmarked for the caller.
    std::pair<CItemNode&, bool> GetChild(uint32_t key);
    // The same, for keys asked for from the highest down, as a refresh meets the newest items
    // first: `from` starts at Children.end() and is carried from one call to the next, so that a
    // refresh walks the children once instead of searching them for every key. Keys out of that
    // order are still found.
    std::pair<CItemNode&, bool> GetChild(uint32_t key, ChildMap::iterator& from);
    // Destroys every record below and resets every field.
    void Clear();

    // A child is seen in a refresh when its mark is its parent's. NewMarks, on the root, starts
    // a refresh: every item below is unseen and the categories are seen, with no pass over the
    // items. RemoveUnseen destroys the unseen children, with their entries in `tree` (may be
    // null), and those below.
    bool Sees(const CItemNode& child) const { return child.Mark == Mark; }
    void MarkSeen(CItemNode& child) const { child.Mark = Mark; }
    void MarkUnseen(CItemNode& child) const { child.Mark = Mark - 1; }
    void NewMarks();
    void RemoveUnseen(ITreeView* tree);

    ChildMap Children;
    uint32_t Id = 0;
    TreeEntry TreeNode = nullptr;
    std::u16string Caption;
    uint32_t Size = 0;
    // Counts the refreshes on the root; see Sees.
    uint32_t Mark = 0;
    bool IsCategory = false;
    int32_t Category = 0;
    bool InHistory = false;
    double Time = 0.0;
    // An entry's place in its list as of the last refresh, 0 at the top: what its row's
    // background follows, known without a walk over the rows above it.
    uint32_t Row = 0;
    int32_t SkinBand = 0;
    int32_t IconIndex = 0;
    // Category node: how many items of the category the lists hold (Total), and whether a filter
    // is on, Size then counting those that pass it.
    bool Filtered = false;
    uint32_t Total = 0;
    // Category node: the list shows every entry it has, beyond the cap on a list's rows.
    bool ShowsAll = false;
    // The "Show all" row that closes a capped list, keyed 0 (no item's Id) among the items: how
    // many more entries the list has than it shows. 0 on every other record.
    uint32_t More = 0;

    bool IsShowAll() const { return More != 0; }
};

}  // namespace snipora
