#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "support/HistoryLists.h"
#include "support/TreeHostWin.h"
#include "view/ClipboardHandler.h"
#include "view/ItemFormat.h"
#include "view/ItemsTreeWin.h"

namespace snipora {
namespace {

// Answers the tree's events as the popup would, counting them.
class Events final : public IItemsTreeEvents {
public:
    void ItemsTreeMouseDown(UINT, int, int) override { ++mouseDowns; }
    void ItemsTreeDblClick() override { ++doubleClicks; }
    LRESULT ItemsTreeCustomDrawItem(NMTVCUSTOMDRAW&) override { return CDRF_DODEFAULT; }
    bool TreeKeyDown(UINT) override { return false; }
    void TreeChar(wchar_t unit) override { typed += unit; }
    void TreeMenuKey() override { ++menuKeys; }
    std::u16string TreeItemText(const CItemNode& record) override {
        return SpokenText(record, u"10:11:12", u"6b");
    }
    int mouseDowns = 0, doubleClicks = 0, menuKeys = 0;
    std::wstring typed;
};

class TreeViewWinTest : public ::testing::Test {
protected:
    TreeViewWinTest() {
        host.onNotify = [this](NMHDR& header) { return items.Notify(header); };
        handler = lists.Show(&host.Tree());
        handler->RefreshTree();
    }
    uint32_t Copy(const std::u16string& text) {
        lists.Copy(text);
        handler->RefreshTree();
        return handler->Items().front()->Id;
    }
    CItemNode* Record(HTREEITEM item) const {
        return Win32TreeView::RecordOf(host.Control(), item);
    }
    HTREEITEM CategoryItem(size_t category) const { return host.Children(nullptr).at(category); }
    std::vector<uint32_t> Shown(size_t category) const {
        std::vector<uint32_t> ids;
        for (HTREEITEM item : host.Children(CategoryItem(category))) {
            ids.push_back(Record(item)->Id);
        }
        return ids;
    }
    // Every entry of the control, top to bottom, with its record.
    std::vector<std::pair<HTREEITEM, CItemNode*>> Entries() const {
        std::vector<std::pair<HTREEITEM, CItemNode*>> entries;
        for (HTREEITEM category : host.Children(nullptr)) {
            entries.emplace_back(category, Record(category));
            for (HTREEITEM item : host.Children(category)) {
                entries.emplace_back(item, Record(item));
            }
        }
        return entries;
    }

    test::TreeHost host{true};
    Events events;
    ItemsTree items{host.Control(), events};
    test::HistoryLists lists;
    CClipboardHandler* handler = nullptr;
};

TEST_F(TreeViewWinTest, TheControlShowsTheNewestHistoryAndAllNotesNewestFirst) {
    std::vector<uint32_t> ids;
    for (int i = 0; i < 13; ++i) {
        ids.push_back(Copy(u"text " + std::u16string(1, u'a' + i)));
    }
    std::vector<uint32_t> notes;
    for (int i : {0, 5, 2}) {
        handler->MoveToCategory(ids[i], kNotesCategory);
        notes.insert(notes.begin(), handler->Items().front()->Id);
    }
    handler->RefreshTree();

    ASSERT_EQ(host.Children(nullptr).size(), 2u);
    EXPECT_EQ(Record(CategoryItem(0))->Caption, u"Clipboard history");
    EXPECT_EQ(Record(CategoryItem(1))->Caption, u"Quick notes");
    EXPECT_EQ(Shown(0),
              (std::vector<uint32_t>{ids[12], ids[11], ids[10], ids[9], ids[8], ids[7], ids[6]}));
    EXPECT_EQ(Shown(1), notes);
    EXPECT_EQ(Record(CategoryItem(0))->Size, 7u);
    EXPECT_EQ(Record(CategoryItem(1))->Size, 3u);
    EXPECT_EQ(host.Count(), 12u);

    // The entries' texts, as a screen reader asks for them, say what the rows show; a short
    // buffer gets the start.
    const auto text = [&](HTREEITEM item, int capacity = 64) {
        wchar_t buffer[64] = L"x";
        TVITEMW query{};
        query.mask = TVIF_TEXT | TVIF_HANDLE;
        query.hItem = item;
        query.pszText = buffer;
        query.cchTextMax = capacity;
        EXPECT_TRUE(
            ::SendMessageW(host.Control(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)));
        return std::wstring(query.pszText);
    };
    // The header counts the 10 entries kept, of which it shows 7.
    EXPECT_EQ(text(CategoryItem(0)), L"Clipboard history, 10 entries");
    EXPECT_EQ(text(host.Child(CategoryItem(0))), L"10:11:12, 6b: text m");
    EXPECT_EQ(text(host.Child(CategoryItem(1))), L"text c");
    EXPECT_EQ(text(host.Child(CategoryItem(1)), 4), L"tex");

    // Typed characters and double clicks are the window's: the control's own search by typing
    // does not move the selection to an entry whose text starts so.
    ::SendMessageW(host.Control(), TVM_SELECTITEM, TVGN_CARET,
                   reinterpret_cast<LPARAM>(CategoryItem(0)));
    ::SendMessageW(host.Control(), WM_CHAR, L't', 0);
    ::SendMessageW(host.Control(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(events.typed, L"t");
    EXPECT_EQ(events.doubleClicks, 1);
    EXPECT_EQ(host.Next(nullptr, TVGN_CARET), CategoryItem(0));
    EXPECT_EQ(host.State(CategoryItem(0)) & TVIS_EXPANDED, 0u);

    // Refreshes with no change add, delete and reorder nothing.
    const auto before = Entries();
    const int deleted = host.deleted;
    handler->RefreshTree();
    handler->RefreshTree();
    EXPECT_EQ(Entries(), before);
    EXPECT_EQ(host.deleted, deleted);

    // A long list filled anew, from the bottom up: newest first, then its "Show all" row.
    handler->SetListCap(1);
    for (int i = 0; i < 75; ++i) {
        handler->MoveToCategory(Copy(u"note"), kNotesCategory);
    }
    handler->SetListCap(70);
    handler->RefreshTree();
    const std::vector<uint32_t> shown = Shown(1);
    ASSERT_EQ(shown.size(), 71u);
    EXPECT_TRUE(std::is_sorted(shown.rbegin() + 1, shown.rend()));
    EXPECT_EQ(shown.back(), 0u);
    EXPECT_EQ(text(host.Children(CategoryItem(1)).back()), L"Show all (8 more)");
}

TEST_F(TreeViewWinTest, EmptyingALevelLeavesItOpenOrFolded) {
    for (int i = 0; i < 3; ++i) {
        handler->MoveToCategory(Copy(u"note"), kNotesCategory);
        Copy(u"history");
    }
    handler->RefreshTree();
    const HTREEITEM history = CategoryItem(0), notes = CategoryItem(1);
    ::SendMessageW(host.Control(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(history));
    ASSERT_EQ(host.Children(notes).size(), 3u);
    const size_t count = host.Count();
    const int deleted = host.deleted;
    for (HTREEITEM level : {history, notes}) {
        host.Tree().DeleteChildren(Win32TreeView::ToEntry(level));
        EXPECT_TRUE(host.Children(level).empty());
    }
    EXPECT_EQ(host.Count(), 2u);
    EXPECT_EQ(host.deleted - deleted, static_cast<int>(count) - 2);
    EXPECT_NE(host.State(history) & TVIS_EXPANDED, 0u);
    EXPECT_EQ(host.State(notes) & TVIS_EXPANDED, 0u);
    // The handler's records lost their entries: it is not asked to refresh this tree again.
    lists.container.DestroyHandler();
}

TEST_F(TreeViewWinTest, ExpansionAndSelectionOfEntriesThatStaySurvive) {
    for (int i = 0; i < 8; ++i) {
        Copy(u"text " + std::u16string(1, u'a' + i));
    }
    ::SendMessageW(host.Control(), TVM_EXPAND, TVE_EXPAND,
                   reinterpret_cast<LPARAM>(CategoryItem(0)));
    const HTREEITEM selected = host.Children(CategoryItem(0)).at(2);
    const uint32_t selectedId = Record(selected)->Id;
    ::SendMessageW(host.Control(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected));

    Copy(u"newer");
    handler->MoveToCategory(Shown(0).at(1), kNotesCategory);
    {
        // As a keystroke of the search refreshes: no entry is left marked as a drop target.
        ItemsTree::Batch batch(items);
        handler->RefreshTree();
    }
    EXPECT_EQ(host.Next(nullptr, TVGN_DROPHILITE), nullptr);
    EXPECT_EQ(host.State(CategoryItem(0)) & TVIS_DROPHILITED, 0u);
    EXPECT_TRUE(host.State(CategoryItem(0)) & TVIS_EXPANDED);
    EXPECT_EQ(host.Next(nullptr, TVGN_CARET), selected);
    EXPECT_EQ(Record(selected)->Id, selectedId);
    EXPECT_EQ(Shown(0).at(2), selectedId);

    // When the selected entry goes, whatever the control selects instead is a live record.
    handler->DeleteItem(selectedId);
    handler->RefreshTree();
    const HTREEITEM now = host.Next(nullptr, TVGN_CARET);
    if (now != nullptr) {
        const CItemNode* record = Record(now);
        bool live = false;
        for (const auto& [key, category] : handler->Root().Children) {
            live = live || category.get() == record;
            for (const auto& [id, node] : category->Children) {
                live = live || node.get() == record;
            }
        }
        EXPECT_TRUE(live);
    }
}

TEST_F(TreeViewWinTest, CreatingAndDestroyingTheHandlerEmptyTheControl) {
    Copy(u"one");
    ASSERT_EQ(host.Count(), 3u);
    lists.container.DestroyHandler();
    EXPECT_EQ(host.Count(), 0u);

    // Entries that the handler does not know go too.
    TVINSERTSTRUCTW insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    ::SendMessageW(host.Control(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
    ASSERT_EQ(host.Count(), 1u);
    handler = lists.container.CreateHandler(&host.Tree(), &lists.window);
    EXPECT_EQ(host.Count(), 0u);
    handler->AddCategories();
    Copy(u"two");
    EXPECT_EQ(host.Count(), 3u);
    EXPECT_EQ(Shown(0), std::vector<uint32_t>{handler->Items().front()->Id});
}

// The tree takes the control's messages while it lives, and gives the control back as it was; a
// control that goes first leaves it nothing to undo.
TEST(ItemsTreeWin, HooksTheControlForItsLifeOnly) {
    Events events;
    test::TreeHost host(true);
    const LONG_PTR controlProc = ::GetWindowLongPtrW(host.Control(), GWLP_WNDPROC);
    {
        ItemsTree items(host.Control(), events);
        ::SendMessageW(host.Control(), WM_CHAR, L'x', 0);
    }
    ::SendMessageW(host.Control(), WM_CHAR, L'y', 0);
    EXPECT_EQ(events.typed, L"x");
    EXPECT_EQ(::GetWindowLongPtrW(host.Control(), GWLP_WNDPROC), controlProc);

    auto gone = std::make_unique<test::TreeHost>(true);
    ItemsTree outliving(gone->Control(), events);
    gone.reset();
    ::SendMessageW(host.Control(), WM_CHAR, L'z', 0);
    EXPECT_EQ(events.typed, L"x");
}

}  // namespace
}  // namespace snipora
