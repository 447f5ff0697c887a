#include <gtest/gtest.h>

#include "app/ItemMenu.h"

namespace snipora {
namespace {

TEST(ItemMenu, AdaptsToTheEntryUnderThePointer) {
    CItemNode history;
    history.Id = 100001;
    history.InHistory = true;
    const auto forHistory = AdaptItemMenu(&history, true);
    ASSERT_TRUE(forHistory);
    EXPECT_EQ(forHistory->moveCaption, u"Move to clipboard");
    EXPECT_TRUE(forHistory->moveToNotesEnabled);
    EXPECT_TRUE(forHistory->entryCommandsEnabled);
    EXPECT_EQ(forHistory->clearCaption, u"Clear history\u2026");
    EXPECT_FALSE(forHistory->undoEnabled);
    EXPECT_TRUE(AdaptItemMenu(&history, true, true)->undoEnabled);

    CItemNode note;
    note.Id = 100002;
    note.Category = 1;
    const auto forNote = AdaptItemMenu(&note, true);
    ASSERT_TRUE(forNote);
    EXPECT_EQ(forNote->moveCaption, u"Copy to clipboard");
    EXPECT_FALSE(forNote->moveToNotesEnabled);
    EXPECT_EQ(forNote->clearCaption, u"Clear quick notes\u2026");

    // A header offers the clear of its list and Undo, nothing that needs an entry.
    CItemNode category;
    category.IsCategory = true;
    category.Category = 1;
    const auto forHeader = AdaptItemMenu(&category, true, true);
    ASSERT_TRUE(forHeader);
    EXPECT_FALSE(forHeader->entryCommandsEnabled);
    EXPECT_FALSE(forHeader->moveToNotesEnabled);
    EXPECT_EQ(forHeader->clearCaption, u"Clear quick notes\u2026");
    EXPECT_TRUE(forHeader->undoEnabled);
    // The history's header, which is not itself in the history, clears the history.
    CItemNode historyHeader;
    historyHeader.IsCategory = true;
    historyHeader.Category = 0;
    const auto forHistoryHeader = AdaptItemMenu(&historyHeader, true);
    ASSERT_TRUE(forHistoryHeader);
    EXPECT_EQ(forHistoryHeader->clearCaption, u"Clear history\u2026");
    EXPECT_FALSE(forHistoryHeader->entryCommandsEnabled);
    // A list's "Show all" row is no entry and has no menu: nothing to move, delete or clear.
    CItemNode showAll;
    showAll.More = 1;
    EXPECT_FALSE(AdaptItemMenu(&showAll, true, true));
    EXPECT_FALSE(AdaptItemMenu(&history, false));  // the left button only selects
    EXPECT_FALSE(AdaptItemMenu(nullptr, true));
}

TEST(ItemMenu, ClearAsksWithTheCountOfItsList) {
    EXPECT_EQ(ClearQuestion(0, 25), u"Delete all 25 history entries?");
    EXPECT_EQ(ClearQuestion(0, 1), u"Delete the 1 history entry?");
    EXPECT_EQ(ClearQuestion(1, 10), u"Delete all 10 quick notes?");
    EXPECT_EQ(ClearQuestion(1, 1), u"Delete the 1 quick note?");
    // Copies of damaged data files are named, and the question asks what to do with them.
    EXPECT_EQ(ClearQuestion(0, 1, {u"data.dat.damaged-3"}),
              u"Delete the 1 history entry?\n\nA copy of a damaged data file, data.dat.damaged-3, "
              u"still holds every text it held, deleted ones too.\n\nYes: delete the copies with "
              u"the history entries.\nNo: delete only the history entries.\nCancel: delete "
              u"nothing.");
    EXPECT_EQ(
        ClearQuestion(1, 12, {u"data.dat.damaged", u"data.dat.damaged-2", u"data.dat.damaged-10"}),
        u"Delete all 12 quick notes?\n\n3 copies of damaged data files, data.dat.damaged, "
        u"data.dat.damaged-2 and data.dat.damaged-10, still hold every text they held, "
        u"deleted ones too.\n\nYes: delete the copies with the quick notes.\nNo: delete "
        u"only the quick notes.\nCancel: delete nothing.");
}

TEST(ItemMenu, TheCommandFindsItsEntryByIdOrNothing) {
    CItemNode root;
    root.IsCategory = true;
    for (uint32_t category : {0u, 1u}) {
        CItemNode& node = root.GetChild(category).first;
        node.IsCategory = true;
        node.Id = category;
        node.GetChild(100000 + category).first.Id = 100000 + category;
    }
    ASSERT_NE(FindShownEntry(root, 100001), nullptr);
    EXPECT_EQ(FindShownEntry(root, 100001)->Id, 100001u);
    EXPECT_EQ(FindShownEntry(root, 100000)->Id, 100000u);
    // Category numbers are not entries; an entry that left the lists is not found.
    EXPECT_EQ(FindShownEntry(root, 1), nullptr);
    root.Children.at(1)->Children.clear();
    EXPECT_EQ(FindShownEntry(root, 100001), nullptr);
}

}  // namespace
}  // namespace snipora
