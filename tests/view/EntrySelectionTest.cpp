#include "view/EntrySelection.h"

#include <gtest/gtest.h>

#include "store/DataBase.h"

namespace snipora {
namespace {

using Ids = std::vector<uint32_t>;
using Texts = std::vector<std::u16string>;

TEST(EntrySelection, RowsJoinAndLeaveAndAreNumberedInTheOrderOfChoosing) {
    EntrySelection selection;
    selection.Collapse(10);
    EXPECT_TRUE(selection.Empty());
    // A Ctrl+click on a second row selects both; again on the first row takes it out.
    selection.Toggle(30, 10);
    EXPECT_EQ(selection.Ids(), (Ids{10, 30}));
    selection.Toggle(20, 30);
    EXPECT_EQ(selection.NumberOf(20), 3u);
    selection.Toggle(10, 20);
    EXPECT_EQ(selection.Ids(), (Ids{30, 20}));
    EXPECT_EQ(selection.NumberOf(20), 2u);
    EXPECT_EQ(selection.NumberOf(10), 0u);
    // Shift+Down twice from the anchor (20), then back up once: the range shrinks.
    selection.Extend({20, 21});
    selection.Extend({20, 21, 22});
    EXPECT_EQ(selection.Ids(), (Ids{30, 20, 21, 22}));
    selection.Extend({20, 21});
    EXPECT_EQ(selection.Ids(), (Ids{30, 20, 21}));
    // Ctrl+Space on the caret alone selects it; Ctrl+A adds a list's rows after those chosen.
    EntrySelection one;
    one.Collapse(5);
    one.Toggle(5, 5);
    EXPECT_EQ(one.Ids(), (Ids{5}));
    one.AddAll({7, 6, 5, 4});
    EXPECT_EQ(one.Ids(), (Ids{5, 7, 6, 4}));
    // An entry that left the lists leaves the selection and the numbers close up.
    one.KeepIf([](uint32_t id) { return id != 7; });
    EXPECT_EQ(one.NumberOf(6), 2u);
    one.Collapse(4);
    EXPECT_TRUE(one.Empty());
    EXPECT_EQ(one.Anchor(), 4u);
}

TEST(EntrySelection, TextsArePastedInCopyOrderThenTheNotesInTheirListsOrder) {
    BlockPool pool;
    ItemList items{PoolAllocator<ItemEntry>(pool)};
    // The list holds the newest first: Ids fall along it.
    const struct {
        uint32_t id;
        int32_t category;
        const char16_t* text;
    } rows[] = {{9, kHistoryCategory, u"h3"},
                {8, kNotesCategory, u"n1"},
                {7, kHistoryCategory, u"h2"},
                {6, kNotesCategory, u"n2"},
                {5, kHistoryCategory, u"h1"}};
    for (const auto& row : rows) {
        CTextItem& item = *items.emplace_back(0.0);
        item.Id = row.id;
        item.Category = row.category;
        item.Text = std::u16string_view(row.text);
    }
    // Chosen newest first, mixed: history oldest first, then the notes as listed; 4 is gone.
    EXPECT_EQ(PasteOrder({6, 9, 4, 8, 5}, items), (Texts{u"h1", u"h3", u"n1", u"n2"}));
    EXPECT_EQ(PasteOrder({}, items), Texts{});
    EXPECT_EQ(JoinTexts({u"a", u"", u"c"}, u"\r\n"), u"a\r\n\r\nc");
    EXPECT_EQ(JoinTexts({u"a"}, u", "), u"a");
    EXPECT_EQ(JoinTexts({}, u", "), u"");
    EXPECT_EQ(LinesOf(u"one\r\ntwo\n\nthree\rfour\r\n"),
              (Texts{u"one", u"two", u"three", u"four"}));
    EXPECT_EQ(LinesOf(u"\r\n"), Texts{});
}

}  // namespace
}  // namespace snipora
