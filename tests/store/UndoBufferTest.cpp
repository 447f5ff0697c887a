#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/UndoBuffer.h"

namespace snipora {
namespace {

// Lists of entries by Id, newest first, from one pool.
class UndoBufferTest : public ::testing::Test {
protected:
    ItemList Make(const std::vector<uint32_t>& ids) {
        ItemList list{PoolAllocator<ItemEntry>(pool)};
        for (const uint32_t id : ids) {
            CTextItem& item = *list.emplace_back(2.5);
            item.Id = id;
            item.Category = static_cast<int32_t>(id % 2);
            item.Text = std::u16string(1, static_cast<char16_t>(u'a' + id % 26));
        }
        return list;
    }

    BlockPool pool;
    UndoBuffer undo{PoolAllocator<ItemEntry>(pool)};
};

// Each kept entry goes back at its place among those left, the Ids merging the two lists: above
// all, between two, below all, and several in a row.
TEST_F(UndoBufferTest, RestoringPlacesEachEntryAmongThoseLeftByItsId) {
    const struct {
        std::vector<uint32_t> left;
        std::vector<uint32_t> kept;
        std::vector<uint32_t> places;
    } cases[] = {
        {{}, {7}, {0}},
        {{5, 3}, {9}, {0}},
        {{9, 3}, {5}, {1}},
        {{9, 5}, {3}, {2}},
        {{9, 5, 1}, {8, 7, 3, 2}, {1, 2, 4, 5}},
        {{4}, {9, 8, 2, 1}, {0, 1, 3, 4}},
    };
    for (const auto& c : cases) {
        ItemList left = Make(c.left);
        ItemList taken = Make(c.kept);
        undo.KeepAll(taken);
        const ListOperation op = undo.Restoring(left);
        EXPECT_EQ(op.What, ListOperation::Restore);
        std::vector<uint32_t> places;
        for (size_t i = 0; i < op.Entries.size(); ++i) {
            places.push_back(op.Entries[i].At);
            EXPECT_EQ(op.Entries[i].Id, c.kept[i]);
            EXPECT_EQ(op.Entries[i].Category, static_cast<int32_t>(c.kept[i] % 2));
            EXPECT_EQ(op.Entries[i].Time, 2.5);
            EXPECT_EQ(op.Entries[i].Text,
                      std::u16string(1, static_cast<char16_t>(u'a' + c.kept[i] % 26)));
        }
        EXPECT_EQ(places, c.places) << "left " << c.left.size() << ", kept " << c.kept.size();
    }
}

// Keeping one entry moves it out of its list and replaces what was kept; a restore forgets it
// and is counted.
TEST_F(UndoBufferTest, KeepingReplacesWhatWasKeptAndRestoringForgetsIt) {
    ItemList list = Make({9, 5, 3});
    ItemList taken = Make({8, 7});
    undo.KeepAll(taken);
    EXPECT_TRUE(taken.empty());
    undo.KeepOne(list, std::next(list.begin()));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.back()->Id, 3u);
    const ListOperation op = undo.Restoring(list);
    ASSERT_EQ(op.Entries.size(), 1u);
    EXPECT_EQ(op.Entries[0].Id, 5u);
    EXPECT_EQ(op.Entries[0].At, 1u);
    EXPECT_EQ(undo.RestoredCount(), 0u);
    undo.Restored();
    EXPECT_TRUE(undo.Empty());
    EXPECT_EQ(undo.RestoredCount(), 1u);
    EXPECT_TRUE(undo.Restoring(list).Entries.empty());
}

TEST_F(UndoBufferTest, ForgetIfDropsOnlyTheMatchingAndOrderIsChecked) {
    ItemList taken = Make({9, 6, 4, 1});
    undo.KeepAll(taken);
    EXPECT_TRUE(undo.Ordered());
    undo.ForgetIf([](const CTextItem& item) { return item.Id % 2 == 0; });
    ItemList none = Make({});
    const ListOperation op = undo.Restoring(none);
    ASSERT_EQ(op.Entries.size(), 2u);
    EXPECT_EQ(op.Entries[0].Id, 9u);
    EXPECT_EQ(op.Entries[1].Id, 1u);
    ItemList unordered = Make({3, 3});
    undo.KeepAll(unordered);
    EXPECT_FALSE(undo.Ordered());
    ItemList rising = Make({2, 5});
    undo.KeepAll(rising);
    EXPECT_FALSE(undo.Ordered());
}

}  // namespace
}  // namespace snipora
