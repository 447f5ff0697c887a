#include "view/ClipboardHandler.h"

#include <map>
#include <vector>

#include "store/DisplayText.h"

namespace snipora {

namespace {

struct CategoryRow {
    uint32_t key;
    const char16_t* caption;
    int32_t skinBand;
    int32_t iconIndex;
};

constexpr CategoryRow kCategories[] = {
    {kHistoryCategory, u"Clipboard history", 0, 0},
    {kNotesCategory, u"Quick notes", 1, 1},
};

}  // namespace

CClipboardHandler::CClipboardHandler(IClipboard& clipboard, IFileSystem& files)
    : CDataBase(clipboard, files) {}

CClipboardHandler::~CClipboardHandler() {
    if (tree_ != nullptr) {
        for (auto& [key, category] : root_.Children) {
            if (category->TreeNode != nullptr) {
                tree_->Delete(category->TreeNode);
            }
        }
    }
    root_.Clear();
}

void CClipboardHandler::Bind(ITreeView* tree, WindowHandle window) {
    tree_ = tree;
    SetWindow(window);
}

void CClipboardHandler::AttachTreeNode(CItemNode& parent, CItemNode& node, bool outOfOrder) {
    if (tree_ == nullptr) {
        node.TreeNode = nullptr;
        return;
    }
    node.TreeNode = tree_->AddLast(parent.TreeNode, &node);
    needsSort_ = needsSort_ || outOfOrder;
}

void CClipboardHandler::AddCategories() {
    if (!Enabled()) {
        return;
    }
    root_.IsCategory = true;
    for (const CategoryRow& row : kCategories) {
        CItemNode& node = root_.GetChild(row.key).first;
        node.Caption = row.caption;
        node.Id = row.key;
        node.Category = static_cast<int32_t>(row.key);
        node.SkinBand = row.skinBand;
        node.IconIndex = row.iconIndex;
        node.IsCategory = true;
        node.Seen = true;
        node.InHistory = false;
        // A second call must not give a category a second entry.
        if (node.TreeNode == nullptr) {
            AttachTreeNode(root_, node);
        }
    }
}

void CClipboardHandler::RefreshTree() {
    if (!Enabled()) {
        return;
    }
    root_.ClearMarks();

    const bool filtering = Filtering();
    for (auto& [key, category] : root_.Children) {
        category->Filtered = filtering;
        category->Total = 0;
    }
    size_t history = 0;
    // Each category, with how far its walk down its entries, newest first, has come.
    struct Walk {
        CItemNode* category;
        CItemNode::ChildMap::iterator from;
    };
    std::map<uint32_t, Walk> walks;
    for (auto& [key, category] : root_.Children) {
        walks.emplace(key, Walk{category.get(), category->Children.end()});
    }
    // A search reads the texts oldest first, the order in which a loaded file lays them out in
    // memory: read forwards, they arrive from memory ahead of the search.
    std::vector<bool> matches;
    if (filtering) {
        matches.resize(Items().size());
        auto match = matches.rbegin();
        for (auto item = Items().rbegin(); item != Items().rend(); ++item, ++match) {
            *match = filter_->Matches((*item)->Text);
        }
    }
    auto match = matches.begin();
    for (const auto& item : Items()) {
        const bool matched = filtering && *match++;
        const bool inHistory = item->Category == kHistoryCategory;
        // Categories other than the two have no node and are not shown.
        auto walk = walks.find(static_cast<uint32_t>(item->Category));
        if (walk == walks.end()) {
            continue;
        }
        CItemNode& parent = *walk->second.category;
        ++parent.Total;
        if (filtering ? !matched : inHistory && ++history > historyShown_) {
            continue;
        }
        // Without its category's entry, an item's entry would land among the categories.
        if (tree_ != nullptr && parent.TreeNode == nullptr) {
            continue;
        }
        auto [node, existed] = parent.GetChild(item->Id, walk->second.from);
        if (!existed) {
            // An Id is never given to another item, nor is an item's text changed, so the
            // caption of a record that stays is still right.
            node.Id = item->Id;
            node.Caption = MakeDisplayText(item->Text);
            node.Time = item->CaptureTime;
            node.Size = item->Length;
            node.IsCategory = false;
            node.Category = item->Category;
            node.InHistory = inHistory;
            node.Seen = true;
        }
    }

    for (auto& [key, category] : root_.Children) {
        AttachNewEntries(*category);
    }
    // Deleting entries keeps a sorted tree sorted: only appended entries need the sort, which
    // comes first, so that the tree view has no level left to sort while it deletes.
    if (needsSort_ && tree_ != nullptr) {
        tree_->SortAll(&CompareEntries);
    }
    needsSort_ = false;
    root_.RemoveUnseen(tree_);
    root_.UpdateCounts();
}

// Gives the records that are new to a category their entries. A refresh that takes at least half
// as many entries of a long list away as it leaves, or brings back at least as many as it leaves
// (a search typed or taken back, a list cleared), empties the list's entry and fills it anew, in
// order: a tree view may walk all its entries for each one it deletes, and a list built in order
// needs no sort. Their records stay; only their entries are new, and lose a selection they had.
void CClipboardHandler::AttachNewEntries(CItemNode& category) {
    constexpr size_t kFewestToRefill = 64;
    if (tree_ == nullptr || category.TreeNode == nullptr) {
        return;
    }
    size_t going = 0, coming = 0;
    for (const auto& [id, child] : category.Children) {
        going += child->Seen ? 0 : 1;
        coming += child->Seen && child->TreeNode == nullptr ? 1 : 0;
    }
    const size_t staying = category.Children.size() - going - coming;
    const bool refill = (going >= kFewestToRefill && going * 2 >= staying) ||
                        (coming >= kFewestToRefill && coming >= staying);
    if (refill) {
        tree_->DeleteChildren(category.TreeNode);
    }
    // Newest first, as the sort leaves them.
    for (auto it = category.Children.rbegin(); it != category.Children.rend(); ++it) {
        CItemNode& child = *it->second;
        if (refill) {
            child.TreeNode = nullptr;
        }
        if (child.Seen && child.TreeNode == nullptr) {
            AttachTreeNode(category, child, !refill);
            // One the tree refused goes with the unseen, to be tried again next time.
            child.Seen = child.TreeNode != nullptr;
        }
    }
}

int CClipboardHandler::CompareEntries(const CItemNode* a, const CItemNode* b) {
    if (a == nullptr || b == nullptr || a->Id == b->Id) {
        return 0;
    }
    if (a->IsCategory && b->IsCategory) {
        return a->Id < b->Id ? -1 : 1;
    }
    return a->Id < b->Id ? 1 : -1;
}

CBaseContainer::CBaseContainer(IClipboard& clipboard, IFileSystem& files)
    : clipboard_(clipboard), files_(files) {}

CBaseContainer::~CBaseContainer() {
    DestroyHandler();
}

CClipboardHandler* CBaseContainer::CreateHandler(ITreeView* tree, WindowHandle window) {
    DestroyHandler();
    if (tree != nullptr) {
        tree->Delete(nullptr);
    }
    auto handler = std::make_unique<CClipboardHandler>(clipboard_, files_);
    handler->Bind(tree, window);
    handler_ = std::move(handler);
    return handler_.get();
}

void CBaseContainer::DestroyHandler() {
    handler_.reset();
}

}  // namespace snipora
