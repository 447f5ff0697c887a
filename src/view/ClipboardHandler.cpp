#include "view/ClipboardHandler.h"

#include <iterator>
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

// The key of a list's "Show all" row: below every item's Id, so that the row comes last.
constexpr uint32_t kShowAllKey = 0;
static_assert(kShowAllKey < FirstItemId);

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

void CClipboardHandler::AttachTreeNode(CItemNode& parent, CItemNode& node) {
    if (tree_ == nullptr) {
        node.TreeNode = nullptr;
        return;
    }
    node.TreeNode = tree_->AddLast(parent.TreeNode, &node);
    needsSort_ = true;
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
        root_.MarkSeen(node);
        node.InHistory = false;
        // A second call must not give a category a second entry.
        if (node.TreeNode == nullptr) {
            AttachTreeNode(root_, node);
        }
    }
}

// One category's records during a refresh, walked from the newest down beside the items.
struct CClipboardHandler::Walk {
    explicit Walk(CItemNode& node) : category(node), from(node.Children.end()) {}

    CItemNode& category;
    // The first record above the next item's Id.
    CItemNode::ChildMap::iterator from;
    uint32_t lastId = 0;
    // While the items come newest first, as the list keeps them, every record is either met
    // again, new or walked past; those walked past are the ones that may go. Otherwise, or once
    // the tree refused a record its entry, the refresh looks at every record.
    bool inOrder = true;
    bool refused = false;
    size_t kept = 0;
    // The entries the list has to show, and how many of them wait behind its "Show all" row.
    size_t listed = 0;
    size_t more = 0;
    std::vector<CItemNode::ChildMap::iterator> passed;
    // The new records, newest first.
    std::vector<CItemNode*> fresh;

    // The record for the item `id`, found or new.
    CItemNode& Meet(uint32_t id) {
        inOrder = inOrder && (kept + fresh.size() == 0 || id < lastId);
        lastId = id;
        if (!inOrder) {
            auto [node, existed] = category.GetChild(id, from);
            Count(node, existed);
            return node;
        }
        // One step down the records for each met or passed: a step may cost a walk through
        // the map's inner nodes, which lie anywhere in memory.
        while (from != category.Children.begin()) {
            const auto below = std::prev(from);
            if (below->first < id) {
                break;
            }
            from = below;
            if (below->first == id) {
                category.MarkSeen(*below->second);
                Count(*below->second, true);
                return *below->second;
            }
            passed.push_back(below);
        }
        from = category.Children.emplace_hint(from, id, std::make_unique<CItemNode>());
        Count(*from->second, false);
        return *from->second;
    }
    // The records are met in the order of their rows.
    void Count(CItemNode& node, bool existed) {
        node.Row = static_cast<uint32_t>(kept + fresh.size());
        if (existed) {
            ++kept;
        } else {
            fresh.push_back(&node);
        }
    }
    // Every record below the last one met has been walked past too.
    void Finish() {
        while (from != category.Children.begin()) {
            passed.push_back(--from);
        }
    }
};

void CClipboardHandler::RefreshTree() {
    if (!Enabled()) {
        return;
    }
    root_.NewMarks();

    const bool filtering = Filtering();
    // Another search, or its end, caps the lists again.
    if (const auto searched =
            filtering ? std::u16string_view(filter_->Text()) : std::u16string_view();
        searched != searched_) {
        searched_ = searched;
        CapLists();
    }
    std::vector<Walk> walks;
    walks.reserve(root_.Children.size());
    for (auto& [key, category] : root_.Children) {
        category->Filtered = filtering;
        category->Total = 0;
        walks.emplace_back(*category);
    }
    // The walk of each category, by its number (the two are 0 and 1).
    const auto walkOf = [&](int32_t category) -> Walk* {
        for (Walk& walk : walks) {
            if (walk.category.Id == static_cast<uint32_t>(category)) {
                return &walk;
            }
        }
        return nullptr;
    };
    Walk* const historyWalk = walkOf(kHistoryCategory);
    Walk* const notesWalk = walkOf(kNotesCategory);
    size_t history = 0;
    std::vector<bool> matches;
    if (filtering) {
        Search(matches);
    } else {
        lastSearch_.reset();
    }
    auto match = matches.begin();
    for (const auto& item : Items()) {
        const bool matched = filtering && *match++;
        const bool inHistory = item->Category == kHistoryCategory;
        // Categories other than the two have no node and are not shown.
        Walk* walk = inHistory                          ? historyWalk
                     : item->Category == kNotesCategory ? notesWalk
                                                        : walkOf(item->Category);
        if (walk == nullptr) {
            continue;
        }
        CItemNode& parent = walk->category;
        ++parent.Total;
        if (filtering ? !matched : inHistory && ++history > historyShown_) {
            continue;
        }
        if (++walk->listed > listCap_ && !parent.ShowsAll) {
            ++walk->more;
            continue;
        }
        // Without its category's entry, an item's entry would land among the categories.
        if (tree_ != nullptr && parent.TreeNode == nullptr) {
            continue;
        }
        const size_t freshBefore = walk->fresh.size();
        CItemNode& node = walk->Meet(item->Id);
        if (walk->fresh.size() != freshBefore) {
            // An Id is never given to another item, and an item whose text changes takes a new
            // one, so the caption of a record that stays is still right.
            node.Id = item->Id;
            node.Caption = MakeDisplayText(item->Text);
            node.Time = item->CaptureTime;
            node.Size = item->Length;
            node.IsCategory = false;
            node.Category = item->Category;
            node.InHistory = inHistory;
            parent.MarkSeen(node);
        }
    }

    for (Walk& walk : walks) {
        CloseList(walk);
        walk.Finish();
        AttachNewEntries(walk);
    }
    // Deleting entries keeps a sorted tree sorted: only appended entries need the sort, which
    // comes first, so that the tree view has no level left to sort while it deletes.
    if (needsSort_ && tree_ != nullptr) {
        tree_->SortAll(&CompareEntries);
    }
    needsSort_ = false;
    for (Walk& walk : walks) {
        RemoveUnseen(walk);
        // The row stands for the entries behind it; one the tree refused, for none.
        const auto row = walk.category.Children.find(kShowAllKey);
        walk.category.Size = static_cast<uint32_t>(
            walk.category.Children.size() +
            (row != walk.category.Children.end() ? row->second->More - 1 : 0));
    }
    root_.Size = static_cast<uint32_t>(root_.Children.size());
}

// Marks the items that pass the filter, in the list's order. The texts are read oldest first,
// the order in which a loaded file lays them out in memory: read forwards, they arrive from
// memory ahead of the search. A filter that holds the last one's text reads only the texts that
// passed that one, and those of the items that came since (the list keeps its items by Id,
// newest first): no other can pass it.
void CClipboardHandler::Search(std::vector<bool>& matches) {
    matches.assign(Items().size(), false);
    const bool narrowing =
        lastSearch_ && filter_->Narrows(lastSearch_->filter) && lastSearch_->undos == UndoCount();
    std::vector<uint32_t> passed;
    auto previous =
        narrowing ? lastSearch_->passed.cbegin() : std::vector<uint32_t>::const_iterator();
    auto match = matches.rbegin();
    for (auto item = Items().rbegin(); item != Items().rend(); ++item, ++match) {
        const uint32_t id = (*item)->Id;
        if (narrowing && id <= lastSearch_->newest) {
            while (previous != lastSearch_->passed.cend() && *previous < id) {
                ++previous;
            }
            if (previous == lastSearch_->passed.cend() || *previous != id) {
                continue;
            }
        }
        if (filter_->Matches((*item)->Text)) {
            *match = true;
            passed.push_back(id);
        }
    }
    lastSearch_ = LastSearch{*filter_, std::move(passed), Items().empty() ? 0 : Items().front()->Id,
                             UndoCount()};
}

void CClipboardHandler::ShowAll(int32_t category) {
    if (const auto it = root_.Children.find(static_cast<uint32_t>(category));
        it != root_.Children.end()) {
        it->second->ShowsAll = true;
    }
}

bool CClipboardHandler::CapLists() {
    bool any = false;
    for (auto& [key, category] : root_.Children) {
        any = any || category->ShowsAll;
        category->ShowsAll = false;
    }
    return any;
}

// A list with entries past its cap closes with its "Show all" row, met after the oldest item
// shown, as its key is below every Id; a list without is left to lose the row it had.
void CClipboardHandler::CloseList(Walk& walk) {
    CItemNode& category = walk.category;
    if (walk.more == 0 || (tree_ != nullptr && category.TreeNode == nullptr)) {
        return;
    }
    const size_t freshBefore = walk.fresh.size();
    CItemNode& row = walk.Meet(kShowAllKey);
    if (walk.fresh.size() != freshBefore) {
        row.Id = kShowAllKey;
        row.IsCategory = false;
        row.Category = category.Category;
        row.InHistory = false;
        category.MarkSeen(row);
    }
    row.More = static_cast<uint32_t>(walk.more);
}

// Gives the records that are new to a category their entries. A refresh that takes at least half
// as many entries of a long list away as it leaves, or brings back at least as many as it leaves
// (a search typed or taken back, a list cleared), empties the list's entry and fills it anew, in
// order: a tree view may walk all its entries for each one it deletes, and a list built in order
// needs no sort. It is built from the bottom up, each entry put first, as a tree view may walk
// the whole level to put one last. Their records stay; only their entries are new, and lose a
// selection they had.
void CClipboardHandler::AttachNewEntries(Walk& walk) {
    constexpr size_t kFewestToRefill = 64;
    CItemNode& category = walk.category;
    if (tree_ == nullptr || category.TreeNode == nullptr) {
        return;
    }
    const size_t coming = walk.fresh.size();
    const size_t staying = walk.kept;
    const size_t going = category.Children.size() - staying - coming;
    const bool refill = (going >= kFewestToRefill && going * 2 >= staying) ||
                        (coming >= kFewestToRefill && coming >= staying);
    if (!refill) {
        for (CItemNode* child : walk.fresh) {
            AttachTreeNode(category, *child);
            Refused(walk, *child);
        }
        return;
    }
    tree_->DeleteChildren(category.TreeNode);
    // Oldest first, each above the last, to stand newest first as the sort leaves them.
    for (auto& [key, child] : category.Children) {
        child->TreeNode = nullptr;
        if (category.Sees(*child)) {
            child->TreeNode = tree_->AddFirst(category.TreeNode, child.get());
            Refused(walk, *child);
        }
    }
}

// A record the tree refused goes with the unseen, to be tried again next time.
void CClipboardHandler::Refused(Walk& walk, CItemNode& child) {
    if (child.TreeNode == nullptr) {
        walk.category.MarkUnseen(child);
        walk.refused = true;
    }
}

// Destroys the category's records that the refresh did not meet, with their entries: those it
// walked past, or all it holds when the items came out of order.
void CClipboardHandler::RemoveUnseen(Walk& walk) {
    CItemNode& category = walk.category;
    if (!walk.inOrder || walk.refused) {
        category.RemoveUnseen(tree_);
        return;
    }
    for (const auto it : walk.passed) {
        CItemNode& child = *it->second;
        if (category.Sees(child)) {
            continue;
        }
        // A null entry would stand for the whole tree.
        if (tree_ != nullptr && child.TreeNode != nullptr) {
            tree_->Delete(child.TreeNode);
        }
        category.Children.erase(it);
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
