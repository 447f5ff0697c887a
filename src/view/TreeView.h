#pragma once

namespace snipora {

class CItemNode;

// An entry of the tree view, opaque to the model; null stands for the tree's root.
struct TreeEntryTag;
using TreeEntry = TreeEntryTag*;

// Decides the order of two sibling entries from their records: negative puts `a` first.
using EntryCompare = int (*)(const CItemNode* a, const CItemNode* b);

// The few operations of a tree view control that the model needs. The entries belong to the
// tree view; their data is a record that the model owns.
class ITreeView {
public:
    virtual ~ITreeView() = default;

    // Appends an entry with an empty text and `data` as the last child of `parent`, or as the
    // last top-level entry when `parent` is null. Null if the control refused.
    virtual TreeEntry AddLast(TreeEntry parent, CItemNode* data) = 0;
    // The same, as the first child. A control finds that place at once, where the last may cost
    // it a walk over the level: Windows' tree view walks a level from its first entry to check
    // the place of every entry inserted, so a level filled by appending costs it the square of
    // its length.
    virtual TreeEntry AddFirst(TreeEntry parent, CItemNode* data) = 0;

    // Deletes an entry with every entry below it. Null deletes every entry of the tree.
    virtual void Delete(TreeEntry entry) = 0;

    // Deletes every entry below `entry`, which stays as it is, expanded or not.
    virtual void DeleteChildren(TreeEntry entry) = 0;

    // Sorts the children of every entry, and the top-level entries, by `compare`, which is the
    // same on every call. Adding is the only call that disturbs an order, so a level that
    // gained no entry since the last sort may be left as it is.
    virtual void SortAll(EntryCompare compare) = 0;
};

}  // namespace snipora
