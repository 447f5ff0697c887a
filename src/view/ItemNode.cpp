#include "view/ItemNode.h"

#include <iterator>

namespace snipora {

std::pair<CItemNode&, bool> CItemNode::GetChild(uint32_t key) {
    auto [it, inserted] = Children.try_emplace(key);
    if (inserted) {
        it->second = std::make_unique<CItemNode>();
    } else {
        MarkSeen(*it->second);
    }
    return {*it->second, !inserted};
}

std::pair<CItemNode&, bool> CItemNode::GetChild(uint32_t key, ChildMap::iterator& from) {
    // `from` becomes the first child above `key`.
    if (from != Children.end() && from->first <= key) {
        from = Children.upper_bound(key);
    }
    while (from != Children.begin() && std::prev(from)->first > key) {
        --from;
    }
    if (from != Children.begin() && std::prev(from)->first == key) {
        --from;
        MarkSeen(*from->second);
        return {*from->second, true};
    }
    from = Children.emplace_hint(from, key, std::make_unique<CItemNode>());
    return {*from->second, false};
}

void CItemNode::Clear() {
    Children.clear();
    TreeNode = nullptr;
    Id = 0;
    Size = 0;
    Category = 0;
    SkinBand = 0;
    IconIndex = 0;
    Filtered = false;
    Total = 0;
    ShowsAll = false;
    More = 0;
    Time = 0.0;
    Row = 0;
    Caption.clear();
    Mark = 0;
    IsCategory = false;
    InHistory = false;
}

void CItemNode::NewMarks() {
    // Items' marks lag behind the root's: a new mark is one none of them holds yet.
    ++Mark;
    for (auto& [key, child] : Children) {
        if (child->IsCategory) {
            MarkSeen(*child);
        }
    }
}

void CItemNode::RemoveUnseen(ITreeView* tree) {
    for (auto it = Children.begin(); it != Children.end();) {
        CItemNode& child = *it->second;
        child.RemoveUnseen(tree);
        if (Sees(child) || !child.Children.empty()) {
            ++it;
            continue;
        }
        // A null entry would stand for the whole tree.
        if (tree != nullptr && child.TreeNode != nullptr) {
            tree->Delete(child.TreeNode);
        }
        it = Children.erase(it);
    }
}

}  // namespace snipora
