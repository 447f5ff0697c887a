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

    CItemNode note;
    note.Id = 100002;
    note.Category = 1;
    const auto forNote = AdaptItemMenu(&note, true);
    ASSERT_TRUE(forNote);
    EXPECT_EQ(forNote->moveCaption, u"Copy to clipboard");
    EXPECT_FALSE(forNote->moveToNotesEnabled);

    CItemNode category;
    category.IsCategory = true;
    EXPECT_FALSE(AdaptItemMenu(&category, true));  // a category is selected, no menu
    EXPECT_FALSE(AdaptItemMenu(&history, false));  // the left button only selects
    EXPECT_FALSE(AdaptItemMenu(nullptr, true));
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
