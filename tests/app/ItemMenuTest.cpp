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

}  // namespace
}  // namespace snipora
