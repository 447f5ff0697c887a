// The popup tree's selection of several entries: Shift and Ctrl with the arrows, the space bar,
// A and the mouse.
#include "view/HistoryTreeWin.h"

#include "view/ClipboardHandler.h"
#include "view/ItemNode.h"

namespace snipora {
namespace {

const CItemNode* ShownEntry(const CClipboardHandler* handler, uint32_t id) {
    if (handler == nullptr || id == 0) {
        return nullptr;
    }
    for (const auto& [key, category] : handler->Root().Children) {
        if (const auto entry = category->Children.find(id); entry != category->Children.end()) {
            return entry->second.get();
        }
    }
    return nullptr;
}

}  // namespace

uint32_t HistoryTree::EntryIdOf(HTREEITEM item) const {
    const CItemNode* record = item != nullptr ? Win32TreeView::RecordOf(tree_, item) : nullptr;
    return record != nullptr && !record->IsCategory && !record->IsShowAll() ? record->Id : 0;
}

std::vector<uint32_t> HistoryTree::SelectedIds() {
    if (!selection_.Empty()) {
        selection_.KeepIf([this](uint32_t id) { return ShownEntry(handler_, id) != nullptr; });
    }
    return selection_.Ids();
}

void HistoryTree::CollapseSelection() {
    const bool had = !selection_.Empty();
    selection_.Collapse(0);
    if (had) {
        ::InvalidateRect(tree_, nullptr, FALSE);
        events_.ChosenTogetherChanged();
    }
}

// The next entry up or down, over headers and "Show all" rows, becomes the caret; the rows from
// the anchor to it are selected.
void HistoryTree::ExtendSelection(UINT virtualKey) {
    HTREEITEM caret = TreeView_GetSelection(tree_);
    if (caret == nullptr) {
        return;
    }
    if (selection_.Empty() || selection_.Anchor() == 0) {
        const uint32_t id = EntryIdOf(caret);
        if (id == 0) {
            return;
        }
        selection_.Collapse(id);
    }
    const bool down = virtualKey == VK_DOWN;
    HTREEITEM next = caret;
    do {
        next = down ? TreeView_GetNextVisible(tree_, next) : TreeView_GetPrevVisible(tree_, next);
    } while (next != nullptr && EntryIdOf(next) == 0);
    if (next == nullptr) {
        return;
    }
    selection_.Extend(RangeTo(next));
    TreeView_SelectItem(tree_, next);
    TreeView_EnsureVisible(tree_, next);
    ::InvalidateRect(tree_, nullptr, FALSE);
    events_.ChosenTogetherChanged();
}

// The entries shown from the anchor to `to`, the anchor first; only `to` when the anchor is
// not shown.
std::vector<uint32_t> HistoryTree::RangeTo(HTREEITEM to) const {
    const CItemNode* anchor = ShownEntry(handler_, selection_.Anchor());
    const HTREEITEM from = anchor != nullptr && anchor->TreeNode != nullptr
                               ? Win32TreeView::ToItem(anchor->TreeNode)
                               : to;
    RECT a{}, b{};
    TreeView_GetItemRect(tree_, from, &a, FALSE);
    TreeView_GetItemRect(tree_, to, &b, FALSE);
    const bool down = b.top >= a.top;
    std::vector<uint32_t> range;
    for (HTREEITEM at = from; at != nullptr;
         at = down ? TreeView_GetNextVisible(tree_, at) : TreeView_GetPrevVisible(tree_, at)) {
        if (const uint32_t id = EntryIdOf(at)) {
            range.push_back(id);
        }
        if (at == to) {
            break;
        }
    }
    return range;
}

void HistoryTree::ToggleSelected() {
    const uint32_t caret = EntryIdOf(TreeView_GetSelection(tree_));
    if (caret == 0) {
        return;
    }
    selection_.Toggle(caret, caret);
    ::InvalidateRect(tree_, nullptr, FALSE);
    events_.ChosenTogetherChanged();
}

// Ctrl+click adds or removes the row; Shift+click selects from the anchor to it.
bool HistoryTree::SelectionClick(HTREEITEM item) {
    const bool control = (items_->MouseKeys() & MK_CONTROL) != 0;
    const bool shift = (items_->MouseKeys() & MK_SHIFT) != 0;
    const uint32_t id = EntryIdOf(item);
    if ((!control && !shift) || id == 0) {
        return false;
    }
    const uint32_t caret = EntryIdOf(TreeView_GetSelection(tree_));
    if (control) {
        selection_.Toggle(id, caret);
    } else {
        if (selection_.Empty() || selection_.Anchor() == 0) {
            selection_.Collapse(caret != 0 ? caret : id);
        }
        selection_.Extend(RangeTo(item));
    }
    TreeView_SelectItem(tree_, item);
    ::InvalidateRect(tree_, nullptr, FALSE);
    events_.ChosenTogetherChanged();
    return true;
}

// Every entry shown under the caret's header (or under the header that is the caret).
void HistoryTree::SelectAllOfList() {
    HTREEITEM caret = TreeView_GetSelection(tree_);
    if (caret == nullptr) {
        return;
    }
    HTREEITEM header = TreeView_GetParent(tree_, caret);
    if (header == nullptr) {
        header = caret;
    }
    std::vector<uint32_t> ids;
    for (HTREEITEM at = TreeView_GetChild(tree_, header); at != nullptr;
         at = TreeView_GetNextSibling(tree_, at)) {
        if (const uint32_t id = EntryIdOf(at)) {
            ids.push_back(id);
        }
    }
    if (ids.empty()) {
        return;
    }
    if (selection_.Empty()) {
        selection_.Collapse(ids.front());
    }
    selection_.AddAll(ids);
    ::InvalidateRect(tree_, nullptr, FALSE);
    events_.ChosenTogetherChanged();
}

}  // namespace snipora
