#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "store/DisplayText.h"
#include "support/FakeClipboard.h"
#include "support/MemoryStreams.h"
#include "support/Records.h"
#include "view/ClipboardHandler.h"
#include "view/FakeTreeView.h"
#include "view/ItemFormat.h"

namespace snipora {
namespace {

using test::FakeTreeView;
using Entry = FakeTreeView::Entry;

class ClipboardHandlerTest : public ::testing::Test {
protected:
    ClipboardHandlerTest() : container(clipboard, PlatformFileSystem()) {
        handler = container.CreateHandler(&tree, &window);
        handler->AddCategories();
        handler->RefreshTree();
    }

    uint32_t Copy(const std::u16string& text) {
        clipboard.Put(text);
        handler->CaptureClipboard();
        handler->RefreshTree();
        return handler->Items().front()->Id;
    }
    const Entry& CategoryEntry(int32_t category) const {
        return *tree.TopLevel().at(static_cast<size_t>(category));
    }
    // The Ids that a category's entries show, top to bottom.
    std::vector<uint32_t> Shown(int32_t category) const {
        std::vector<uint32_t> ids;
        for (const auto& entry : CategoryEntry(category).children) {
            ids.push_back(entry->data->Id);
        }
        return ids;
    }
    std::vector<uint64_t> Serials() const {
        std::vector<uint64_t> serials;
        for (const auto& category : tree.TopLevel()) {
            serials.push_back(category->serial);
            for (const auto& entry : category->children) {
                serials.push_back(entry->serial);
            }
        }
        return serials;
    }
    // Every record has its one entry, whose data it is, under its parent's entry, and each
    // category counts its children.
    void ExpectBound() const {
        const CItemNode& root = handler->Root();
        ASSERT_EQ(tree.TopLevel().size(), 2u);
        size_t records = 0;
        for (const auto& [key, category] : root.Children) {
            const Entry* entry = tree.Find(category->TreeNode);
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ(entry->data, category.get());
            EXPECT_EQ(entry->parent->parent, nullptr);
            // A "Show all" row, last, stands for the entries behind it.
            const auto row = category->Children.find(0);
            const bool closed = row != category->Children.end();
            EXPECT_EQ(category->Size,
                      category->Children.size() + (closed ? row->second->More - 1 : 0));
            if (closed) {
                EXPECT_EQ(entry->children.back()->data, row->second.get());
                EXPECT_GT(row->second->More, 0u);
                EXPECT_EQ(row->second->Category, category->Category);
                EXPECT_FALSE(row->second->InHistory || row->second->IsCategory);
            }
            for (const auto& [id, node] : category->Children) {
                const Entry* child = tree.Find(node->TreeNode);
                ASSERT_NE(child, nullptr);
                EXPECT_EQ(child->data, node.get());
                EXPECT_EQ(child->parent, entry);
                ASSERT_LT(node->Row, entry->children.size());
                EXPECT_EQ(entry->children[node->Row]->data, node.get());  // its place in the list
                EXPECT_EQ(id, node->Id);
                EXPECT_TRUE(node->Children.empty());
            }
            records += 1 + category->Children.size();
        }
        EXPECT_EQ(tree.Count(), records);
        EXPECT_EQ(tree.faults, 0);
    }

    int window = 0;
    test::FakeClipboard clipboard;
    FakeTreeView tree;
    CBaseContainer container;
    CClipboardHandler* handler = nullptr;
};

TEST_F(ClipboardHandlerTest, EmptyDatabaseShowsTheTwoCategories) {
    ExpectBound();
    const CItemNode& history = *CategoryEntry(0).data;
    const CItemNode& notes = *CategoryEntry(1).data;
    EXPECT_EQ(history.Caption, u"Clipboard history");
    EXPECT_EQ(notes.Caption, u"Quick notes");
    EXPECT_EQ(history.Id, 0u);
    EXPECT_EQ(notes.Id, 1u);
    EXPECT_EQ(notes.Category, 1);
    EXPECT_EQ(notes.SkinBand, 1);
    EXPECT_EQ(notes.IconIndex, 1);
    EXPECT_TRUE(history.IsCategory && notes.IsCategory);
    EXPECT_FALSE(history.InHistory || notes.InHistory);
    EXPECT_EQ(history.Size + notes.Size, 0u);

    // A second call must not give the categories a second pair of entries.
    handler->AddCategories();
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(tree.adds, 2);
}

TEST_F(ClipboardHandlerTest, HistoryShowsTheSevenNewestNewestFirst) {
    std::vector<uint32_t> ids;
    for (int i = 0; i < 10; ++i) {
        ids.push_back(Copy(u"text " + std::u16string(1, u'0' + i)));
    }
    ExpectBound();
    EXPECT_EQ(Shown(0),
              (std::vector<uint32_t>{ids[9], ids[8], ids[7], ids[6], ids[5], ids[4], ids[3]}));
    EXPECT_EQ(CategoryEntry(0).data->Size, 7u);
    EXPECT_EQ(HeaderTitle(*CategoryEntry(0).data), u"Clipboard history (10)") << "10 kept";

    // Deleting a shown item brings the eighth-newest in at the bottom.
    ASSERT_TRUE(handler->DeleteItem(ids[7]));
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(Shown(0),
              (std::vector<uint32_t>{ids[9], ids[8], ids[6], ids[5], ids[4], ids[3], ids[2]}));
}

TEST_F(ClipboardHandlerTest, AFilterShowsEveryMatchOfBothListsAndCountsThem) {
    std::vector<uint32_t> ids;
    for (int i = 0; i < 20; ++i) {
        ids.push_back(Copy((i % 5 == 0 ? u"Match " : u"other ") + std::u16string(1, u'a' + i)));
    }
    ASSERT_TRUE(handler->MoveToCategory(ids[5], kNotesCategory));
    const uint32_t note = handler->Items().front()->Id;
    // Beyond the caption's 200 units.
    const uint32_t deep =
        Copy(std::u16string(300, u' ') + u"x" + std::u16string(300, u'y') + u"MATCH");
    const TextFilter filter(u"match", SystemCaseFolding());
    handler->SetFilter(&filter);
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(tree.faults, 0);
    // The history is searched beyond its seven newest.
    EXPECT_EQ(Shown(0), (std::vector<uint32_t>{deep, ids[15], ids[10], ids[0]}));
    EXPECT_EQ(Shown(1), std::vector<uint32_t>{note});
    const CItemNode& history = *CategoryEntry(0).data;
    EXPECT_TRUE(history.Filtered);
    EXPECT_EQ(history.Total, 20u);
    EXPECT_EQ(CategoryEntry(1).data->Total, 1u);

    // A key that takes most of a long list away refills the list's entry with those that stay;
    // the category's entry itself stays.
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(handler->MoveToCategory(
            Copy(u"note " + std::u16string(1, u'a' + i % 26) + (i == 42 ? u" Match" : u"")),
            kNotesCategory));
    }
    const TextFilter none;
    handler->SetFilter(&none);
    handler->RefreshTree();
    ASSERT_EQ(Shown(1).size(), 101u);
    const uint64_t notesSerial = CategoryEntry(1).serial;
    handler->SetFilter(&filter);
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(Shown(1).size(), 2u);
    EXPECT_EQ(Shown(1).back(), note);
    EXPECT_EQ(CategoryEntry(1).serial, notesSerial);

    // An empty filter, and then none, bring the usual tree back: the long list refilled in
    // order, under the same category entry.
    const TextFilter empty;
    handler->SetFilter(&empty);
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(Shown(0).size(), kDefaultHistoryShown);
    EXPECT_FALSE(history.Filtered);
    const std::vector<uint32_t> notes = Shown(1);
    EXPECT_EQ(notes.size(), 101u);
    EXPECT_TRUE(std::is_sorted(notes.rbegin(), notes.rend()));
    EXPECT_EQ(CategoryEntry(1).serial, notesSerial);
    handler->SetFilter(nullptr);
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(Shown(0).front(), deep);
    EXPECT_EQ(Shown(0).size(), kDefaultHistoryShown);
}

TEST_F(ClipboardHandlerTest, ASearchRefillsAListOnlyWhenAtLeastHalfAsManyGoAsStay) {
    const auto note = [&](std::u16string text, int number) {
        for (char digit : std::to_string(number)) {
            text += static_cast<char16_t>(digit);
        }
        ASSERT_TRUE(handler->MoveToCategory(Copy(text), kNotesCategory));
    };
    for (int i = 0; i < 80; ++i) {
        note(u"drop ", i);
    }
    // The search takes the 80 others away: with 150 staying their entries are made anew, with
    // 200 the others are deleted one by one and those that stay keep theirs.
    const TextFilter keep(u"keep", SystemCaseFolding());
    int kept = 0;
    for (auto [keeping, refilled] : {std::pair{150, true}, std::pair{200, false}}) {
        while (kept < keeping) {
            note(u"keep ", kept++);
        }
        handler->SetFilter(nullptr);
        handler->RefreshTree();
        const uint64_t newest = CategoryEntry(1).children.front()->serial;
        handler->SetFilter(&keep);
        handler->RefreshTree();
        ExpectBound();
        EXPECT_EQ(Shown(1).size(), static_cast<size_t>(keeping));
        EXPECT_EQ(CategoryEntry(1).children.front()->serial != newest, refilled) << keeping;
    }
}

// A list shows up to the cap, then one row for the rest; the header counts them all.
TEST_F(ClipboardHandlerTest, AListPastItsCapEndsInAShowAllRowThatCountsTheRest) {
    handler->SetListCap(3);
    handler->SetHistoryShown(5);
    std::vector<uint32_t> notes;
    const auto note = [&](const std::u16string& text) {
        const uint32_t id = Copy(text);
        EXPECT_TRUE(handler->MoveToCategory(id, kNotesCategory));
        notes.insert(notes.begin(), handler->Items().front()->Id);
        handler->RefreshTree();
    };
    const auto more = [&](int32_t category) {
        const auto& rows = CategoryEntry(category).children;
        return rows.empty() ? 0u : rows.back()->data->More;
    };
    for (const char16_t* text : {u"note a", u"note b", u"note c"}) {
        note(text);
    }
    // Exactly the cap: no row.
    ExpectBound();
    EXPECT_EQ(Shown(1), notes);
    EXPECT_EQ(more(1), 0u);
    // One past: the row, for one.
    note(u"note d");
    ExpectBound();
    EXPECT_EQ(Shown(1), (std::vector<uint32_t>{notes[0], notes[1], notes[2], 0}));
    EXPECT_EQ(more(1), 1u);
    EXPECT_EQ(CategoryEntry(1).data->Size, 4u);
    // A capture while capped: the newest comes in above, and the row counts one more.
    const uint64_t rowSerial = CategoryEntry(1).children.back()->serial;
    note(u"note e");
    ExpectBound();
    EXPECT_EQ(Shown(1), (std::vector<uint32_t>{notes[0], notes[1], notes[2], 0}));
    EXPECT_EQ(more(1), 2u);
    EXPECT_EQ(CategoryEntry(1).children.back()->serial, rowSerial);
    // The history is capped within the shown: 5 of 6 to list, 3 on rows.
    for (int i = 0; i < 6; ++i) {
        Copy(u"copy " + std::u16string(1, u'0' + i));
    }
    ExpectBound();
    EXPECT_EQ(more(0), 2u);
    EXPECT_EQ(CategoryEntry(0).data->Size, 5u);

    // Show all lists the rest, and no row.
    handler->ShowAll(kNotesCategory);
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(Shown(1), notes);
    EXPECT_EQ(more(0), 2u);
    note(u"note f");
    EXPECT_EQ(Shown(1), notes);

    // A search caps its matches the same way, and counts them against the list's total; its
    // end caps the lists again.
    const TextFilter filter(u"note", SystemCaseFolding());
    handler->SetFilter(&filter);
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(Shown(1), (std::vector<uint32_t>{notes[0], notes[1], notes[2], 0}));
    EXPECT_EQ(more(1), 3u);
    EXPECT_EQ(more(0), 0u);
    EXPECT_EQ(CategoryEntry(1).data->Size, 6u);
    EXPECT_EQ(CategoryEntry(1).data->Total, 6u);
    handler->ShowAll(kNotesCategory);
    handler->RefreshTree();
    EXPECT_EQ(Shown(1), notes);
    EXPECT_TRUE(handler->CapLists());
    EXPECT_FALSE(handler->CapLists());
    handler->ShowAll(kNotesCategory);
    handler->SetFilter(nullptr);
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(more(1), 3u);

    // A list filled anew, from the bottom up, still ends in its row.
    for (int i = 0; i < 70; ++i) {
        ASSERT_TRUE(handler->MoveToCategory(Copy(u"more"), kNotesCategory));
    }
    handler->SetListCap(70);
    const uint64_t notesSerial = CategoryEntry(1).children.front()->serial;
    handler->RefreshTree();
    ExpectBound();
    EXPECT_NE(CategoryEntry(1).children.front()->serial, notesSerial);
    EXPECT_EQ(more(1), 6u);
    const std::vector<uint32_t> shown = Shown(1);
    EXPECT_TRUE(std::is_sorted(shown.rbegin(), shown.rend()));
}

// A search that holds the last one's text reads only what passed that one and what came since;
// it finds what a search of every entry finds, whatever came, went or came back between.
TEST_F(ClipboardHandlerTest, ASearchNarrowedFromTheLastFindsWhatAFullSearchFinds) {
    handler->SetHistoryShown(100);
    std::vector<uint32_t> ids;
    for (const char16_t* text :
         {u"Alpha beta", u"alphabet", u"ALP", u"gamma", u"beta alpha", u"al\r\nph", u"ph"}) {
        ids.push_back(Copy(text));
    }
    ASSERT_TRUE(handler->MoveToCategory(ids[3], kNotesCategory));
    const auto search = [&](const std::u16string& text) {
        const TextFilter filter(text, SystemCaseFolding());
        handler->SetFilter(&filter);
        handler->RefreshTree();
        std::vector<uint32_t> shown = Shown(0), expected;
        const std::vector<uint32_t> notes = Shown(1);
        shown.insert(shown.end(), notes.begin(), notes.end());
        for (const auto& item : handler->Items()) {
            if (filter.Matches(item->Text)) {
                expected.push_back(item->Id);
            }
        }
        std::sort(shown.begin(), shown.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(shown, expected) << std::string(text.begin(), text.end());
        handler->SetFilter(nullptr);  // the next search still narrows from this one
        return shown.size();
    };
    EXPECT_EQ(search(u"al"), 5u);
    ASSERT_TRUE(handler->DeleteItem(ids[1]));
    EXPECT_EQ(search(u"al"), 4u);
    // Back in its place, with its Id: read again though it did not pass the last search.
    handler->Undo();
    EXPECT_EQ(search(u"alp"), 4u);
    Copy(u"new ALPHA");
    EXPECT_EQ(search(u"alph"), 4u);
    EXPECT_EQ(search(u"alp"), 5u);  // Backspace
    EXPECT_EQ(search(u"lp"), 5u);
    EXPECT_EQ(search(u"b"), 3u);
    EXPECT_EQ(search(u"beta"), 2u);
    EXPECT_EQ(search(u"xbeta"), 0u);
    EXPECT_EQ(search(u"ph"), 6u);
}

TEST_F(ClipboardHandlerTest, NotesAreAllShownMostRecentlyMovedFirst) {
    std::vector<uint32_t> ids;
    for (int i = 0; i < 12; ++i) {
        ids.push_back(Copy(u"note " + std::u16string(1, u'a' + i)));
    }
    std::vector<uint32_t> notes;
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(handler->MoveToCategory(ids[i], kNotesCategory));
        notes.insert(notes.begin(), handler->Items().front()->Id);
    }
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(Shown(1), notes);
    EXPECT_EQ(CategoryEntry(1).data->Size, 10u);
    EXPECT_EQ(Shown(0), (std::vector<uint32_t>{ids[11], ids[10]}));

    // Moving a shown history entry: it leaves the history and heads the notes, same text.
    ASSERT_TRUE(handler->MoveToCategory(ids[11], kNotesCategory));
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(Shown(0), std::vector<uint32_t>{ids[10]});
    const CItemNode& moved = *CategoryEntry(1).children.front()->data;
    EXPECT_GT(moved.Id, notes.front());
    EXPECT_EQ(moved.Caption, u"note l");
    EXPECT_FALSE(moved.InHistory);
    EXPECT_EQ(moved.Category, kNotesCategory);
}

TEST_F(ClipboardHandlerTest, EntriesThatStayAreNeverRecreated) {
    for (int i = 0; i < 9; ++i) {
        Copy(std::u16string{u'i', char16_t(u'0' + i)});
    }
    const auto before = Serials();
    const int adds = tree.adds, deletes = tree.deletes, sorts = tree.sorts;
    handler->RefreshTree();
    handler->RefreshTree();
    EXPECT_EQ(Serials(), before);
    EXPECT_EQ(tree.adds, adds);
    EXPECT_EQ(tree.deletes, deletes);
    EXPECT_EQ(tree.sorts, sorts);

    // One capture: one entry in at the top, the oldest shown one out, the rest untouched.
    const uint32_t id = Copy(u"new");
    auto after = Serials();
    EXPECT_EQ(tree.adds, adds + 1);
    EXPECT_EQ(tree.deletes, deletes + 1);
    EXPECT_EQ(CategoryEntry(0).children.front()->data->Id, id);
    after.erase(after.begin() + 1);
    auto expected = before;
    expected.erase(expected.end() - 2);
    EXPECT_EQ(after, expected);
}

TEST_F(ClipboardHandlerTest, AnEntryTheTreeRefusedIsTriedAgain) {
    tree.refuseAdds = true;
    Copy(u"text");
    ExpectBound();
    EXPECT_EQ(CategoryEntry(0).data->Size, 0u);
    tree.refuseAdds = false;
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(CategoryEntry(0).data->Size, 1u);
}

// A refresh walks each list's records once beside the items: the records that go may lie above
// the first that stays, between, or below the last.
TEST_F(ClipboardHandlerTest, ASearchTakesEntriesFromAboveBetweenAndBelowThoseThatStay) {
    std::vector<uint32_t> ids;
    for (int i = 0; i < 6; ++i) {
        ids.push_back(Copy((i == 1 || i == 3 ? u"kept " : u"gone ") + std::u16string(1, u'a' + i)));
    }
    const TextFilter all(u"e", SystemCaseFolding()), kept(u"kept", SystemCaseFolding());
    for (const TextFilter* filter : {&all, &kept, &all}) {
        handler->SetFilter(filter);
        handler->RefreshTree();
        ExpectBound();
    }
    handler->SetFilter(&kept);
    handler->RefreshTree();
    EXPECT_EQ(Shown(0), (std::vector<uint32_t>{ids[3], ids[1]}));

    // Entries the tree refuses while a long list is filled anew leave the model with them.
    for (int i = 0; i < 70; ++i) {
        ASSERT_TRUE(
            handler->MoveToCategory(Copy(i % 30 == 0 ? u"kept note" : u"note"), kNotesCategory));
    }
    handler->SetFilter(nullptr);
    handler->RefreshTree();
    tree.refuseAdds = true;
    handler->SetFilter(&kept);
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(CategoryEntry(1).data->Size, 0u);
    tree.refuseAdds = false;
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(CategoryEntry(1).data->Size, 3u);
    EXPECT_EQ(CategoryEntry(1).data->Total, 70u);
}

TEST_F(ClipboardHandlerTest, EntryRecordsCarryTheItemAndItsDisplayText) {
    const std::u16string text = u"  \r\n" + std::u16string(300, u'x');
    Copy(text);
    Copy(u" \t\r\n ");
    Copy(std::u16string(200, u' ') + u"hidden");
    ExpectBound();
    const auto& entries = CategoryEntry(0).children;
    EXPECT_EQ(entries[0]->data->Caption, u"");
    EXPECT_EQ(entries[1]->data->Caption, u"");
    const CItemNode& long_text = *entries[2]->data;
    EXPECT_EQ(long_text.Caption, MakeDisplayText(text));
    EXPECT_EQ(long_text.Caption.size(), 196u);
    EXPECT_EQ(long_text.Size, 304u);
    EXPECT_EQ(long_text.Time, handler->Items().back()->CaptureTime);
    EXPECT_TRUE(long_text.InHistory);
    EXPECT_FALSE(long_text.IsCategory);
}

TEST_F(ClipboardHandlerTest, CommandsWithoutAnItemAndUnknownCategoriesChangeNothing) {
    std::string bytes = test::Record(kHistoryCategory, 40000.0, u"shown") +
                        test::Record(5, 40000.0, u"foreign") +
                        test::Record(-1, 40000.0, u"negative");
    test::MemoryReadStream in(bytes);
    ASSERT_TRUE(handler->LoadRecords(in));
    handler->RefreshTree();
    ExpectBound();
    EXPECT_EQ(tree.Count(), 3u);

    // A command from a category entry names the category number, which no item has.
    const int adds = tree.adds, deletes = tree.deletes;
    EXPECT_FALSE(handler->DeleteItem(CategoryEntry(1).data->Id));
    EXPECT_FALSE(handler->MoveToCategory(CategoryEntry(0).data->Id, kNotesCategory));
    handler->RefreshTree();
    EXPECT_EQ(tree.adds, adds);
    EXPECT_EQ(tree.deletes, deletes);
}

TEST_F(ClipboardHandlerTest, ReplacingOrDestroyingTheHandlerEmptiesTheTree) {
    Copy(u"one");
    Copy(u"two");
    ASSERT_EQ(tree.Count(), 4u);

    // The new handler starts on an empty tree, with nothing left of the old one.
    handler = container.CreateHandler(&tree, &window);
    EXPECT_EQ(tree.Count(), 0u);
    EXPECT_TRUE(handler->Items().empty());
    handler->AddCategories();
    Copy(u"three");
    ExpectBound();
    EXPECT_EQ(tree.Count(), 3u);

    container.DestroyHandler();
    EXPECT_EQ(container.Handler(), nullptr);
    EXPECT_EQ(tree.Count(), 0u);
    EXPECT_EQ(tree.faults, 0);
}

TEST(ClipboardHandlerUnbound, DoesNothingBeforeBindAndWorksWithoutATree) {
    test::FakeClipboard clipboard;
    int window = 0;
    CClipboardHandler handler(clipboard, PlatformFileSystem());
    handler.AddCategories();
    handler.RefreshTree();
    EXPECT_TRUE(handler.Root().Children.empty());

    handler.Bind(nullptr, &window);
    handler.AddCategories();
    clipboard.Put(u"text");
    handler.CaptureClipboard();
    handler.RefreshTree();
    const CItemNode& history = *handler.Root().Children.at(0);
    EXPECT_EQ(history.Size, 1u);
    EXPECT_EQ(history.TreeNode, nullptr);
    EXPECT_EQ(history.Children.begin()->second->TreeNode, nullptr);
}

TEST(CompareEntries, OrdersCategoriesUpAndItemsNewestFirst) {
    CItemNode history, notes, older, newer;
    history.IsCategory = notes.IsCategory = true;
    notes.Id = 1;
    older.Id = 100000;
    newer.Id = 0x80000000u;  // compared unsigned
    EXPECT_LT(CClipboardHandler::CompareEntries(&history, &notes), 0);
    EXPECT_GT(CClipboardHandler::CompareEntries(&notes, &history), 0);
    EXPECT_LT(CClipboardHandler::CompareEntries(&newer, &older), 0);
    EXPECT_GT(CClipboardHandler::CompareEntries(&older, &newer), 0);
    // An entry equals itself, as a sort needs; an entry without a record compares equal.
    EXPECT_EQ(CClipboardHandler::CompareEntries(&older, &older), 0);
    EXPECT_EQ(CClipboardHandler::CompareEntries(nullptr, &older), 0);
}

TEST(ItemNode, AWalkFromTheHighestKeyFindsAndAddsWhatALookupWould) {
    CItemNode category;
    for (uint32_t key : {10u, 20u, 30u, 40u}) {
        category.GetChild(key).first.Id = key;
    }
    auto from = category.Children.end();
    std::vector<std::pair<uint32_t, bool>> met;
    // Down past a gap, onto a new key between two, below all, and back up out of order.
    for (uint32_t key : {40u, 35u, 30u, 10u, 5u, 20u, 45u}) {
        auto [node, existed] = category.GetChild(key, from);
        node.Id = key;
        met.emplace_back(key, existed);
    }
    EXPECT_EQ(
        met,
        (std::vector<std::pair<uint32_t, bool>>{
            {40, true}, {35, false}, {30, true}, {10, true}, {5, false}, {20, true}, {45, false}}));
    std::vector<uint32_t> keys;
    for (const auto& [key, child] : category.Children) {
        EXPECT_EQ(child->Id, key);
        keys.push_back(key);
    }
    EXPECT_EQ(keys, (std::vector<uint32_t>{5, 10, 20, 30, 35, 40, 45}));
}

}  // namespace
}  // namespace snipora
