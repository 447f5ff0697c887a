#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/DataBase.h"
#include "view/ItemNode.h"
#include "view/TextFilter.h"
#include "view/TreeView.h"

namespace snipora {

// How many of the newest history items the tree shows unless told otherwise; the older ones
// wait, hidden, until newer ones are deleted or moved to the notes.
inline constexpr size_t kDefaultHistoryShown = 7;

// How many entries a list shows at most, searching or not, unless told otherwise: a longer list
// closes with a "Show all" row that counts the rest, and lists them once chosen.
inline constexpr size_t kDefaultListCap = 2000;

// The item database together with a model of what the popup's tree view shows: a record per
// category and per shown item, each with exactly one tree view entry whose data it is.
class CClipboardHandler final : public CDataBase {
public:
    CClipboardHandler(IClipboard& clipboard, IFileSystem& files);
    // Deletes the handler's entries from the tree view before their records go, so that no
    // entry is left pointing at a destroyed record.
    ~CClipboardHandler() override;

    // Attaches the tree view to fill (may be null: a model without a view) and the window that
    // owns the clipboard; enables the database.
    void Bind(ITreeView* tree, WindowHandle window);

    // Creates the two category entries, "Clipboard history" above "Quick notes". Once only:
    // later calls change nothing.
    void AddCategories();

    // How many of the newest history items the tree shows, at least 1; from the next refresh.
    void SetHistoryShown(size_t shown) { historyShown_ = shown < 1 ? 1 : shown; }
    // How many entries a list shows before its "Show all" row, at least 1; from the next refresh.
    void SetListCap(size_t cap) { listCap_ = cap < 1 ? 1 : cap; }
    // From the next refresh, the list of `category` shows every entry it has, until the search
    // text changes or CapLists.
    void ShowAll(int32_t category);
    // Every list shows at most the cap again from the next refresh; whether one showed all.
    bool CapLists();

    // Brings the tree in line with the database: the historyShown newest history items and all
    // notes, newest first, each list up to its cap and then its "Show all" row. A category's Size
    // counts every entry its list has to show, those behind the row too. Entries that stay are kept
    // as they are, with their selection and expanded state, unless many of a list's entries come or
    // go at once: the list is then filled anew.
    void RefreshTree();

    // While `filter` is set and not empty, the tree shows every item of either list whose whole
    // text passes it, the history beyond its shown newest too, and the categories count
    // their matches against their totals. The filter stays the caller's; null ends filtering.
    // Takes effect at the next refresh.
    void SetFilter(const TextFilter* filter) { filter_ = filter; }
    bool Filtering() const { return filter_ != nullptr && !filter_->Empty(); }

    // The order of siblings: categories by ascending number, items newest (largest Id) first.
    static int CompareEntries(const CItemNode* a, const CItemNode* b);

    const CItemNode& Root() const { return root_; }
    ITreeView* TreeView() const { return tree_; }

private:
    struct Walk;
    // Appends the node's entry, which the next sort puts in its place.
    void AttachTreeNode(CItemNode& parent, CItemNode& node);
    void AttachNewEntries(Walk& walk);
    void Refused(Walk& walk, CItemNode& child);
    void RemoveUnseen(Walk& walk);
    void CloseList(Walk& walk);
    void Search(std::vector<bool>& matches);

    CItemNode root_;
    ITreeView* tree_ = nullptr;
    const TextFilter* filter_ = nullptr;
    size_t historyShown_ = kDefaultHistoryShown;
    size_t listCap_ = kDefaultListCap;
    // The search text of the last refresh, empty when there was none.
    std::u16string searched_;
    // The last search, for the next to narrow: its filter, the Ids that passed it, ascending, the
    // newest Id it read and the list's UndoCount then.
    struct LastSearch {
        TextFilter filter;
        std::vector<uint32_t> passed;
        uint32_t newest = 0;
        uint64_t undos = 0;
    };
    std::optional<LastSearch> lastSearch_;
    // Set when an entry was appended and the tree's order is no longer known to be right.
    bool needsSort_ = false;
};

// The one holder of the live handler. Creating a handler replaces the one before.
class CBaseContainer {
public:
    CBaseContainer(IClipboard& clipboard, IFileSystem& files);
    CBaseContainer(const CBaseContainer&) = delete;
    CBaseContainer& operator=(const CBaseContainer&) = delete;
    ~CBaseContainer();

    // Destroys the live handler, empties the tree view of whatever it still holds, and binds a
    // new handler to it. The tree view must outlive the handler.
    CClipboardHandler* CreateHandler(ITreeView* tree, WindowHandle window);
    // Destroys the live handler, if any; its entries leave the tree view.
    void DestroyHandler();

    CClipboardHandler* Handler() const { return handler_.get(); }

private:
    IClipboard& clipboard_;
    IFileSystem& files_;
    std::unique_ptr<CClipboardHandler> handler_;
};

}  // namespace snipora
