#include <gtest/gtest.h>

#include <string>

#include "store/DataBase.h"
#include "store/HistoryIndex.h"

namespace snipora {
namespace {

class HistoryIndexTest : public ::testing::Test {
protected:
    // Adds an entry at the front, as a capture does, and tells the index.
    ItemList::iterator Add(uint32_t id, std::u16string_view text,
                           int32_t category = kHistoryCategory) {
        CTextItem& item = *items.emplace_front(1.0);
        item.Id = id;
        item.Category = category;
        item.Text = text;
        if (category == kHistoryCategory) {
            index.Entered(items.begin());
        }
        return items.begin();
    }
    uint32_t Found(std::u16string_view text, uint32_t id = 0) {
        CTextItem item;
        item.Text = text;
        const auto it = index.Find(item, id);
        EXPECT_EQ(item.TextHash, HashText(text));
        return it == items.end() ? 0 : (*it)->Id;
    }

    BlockPool pool;
    ItemList items{PoolAllocator<ItemEntry>(pool)};
    HistoryIndex index{items};
};

// Built at the first search from the history's entries only; the newest equal text is found,
// or the named entry's, and a note's never.
TEST_F(HistoryIndexTest, FindsTheNewestEqualHistoryTextOrTheNamedOne) {
    Add(1, u"same");
    Add(2, u"other");
    Add(3, u"same");
    Add(4, u"note", kNotesCategory);
    EXPECT_TRUE(index.Holds(99));  // not built yet
    EXPECT_EQ((*items.begin())->TextHash, 0u);
    EXPECT_EQ(Found(u"same"), 3u);
    EXPECT_TRUE(index.Holds(3));
    EXPECT_FALSE(index.Holds(4));
    EXPECT_EQ(Found(u"same", 1), 1u);
    EXPECT_EQ(Found(u"same", 2), 0u);
    EXPECT_EQ(Found(u"note"), 0u);
    EXPECT_EQ(Found(u"sam"), 0u);
    // Kept in step once built: a newer entry is found, one leaving is not.
    const auto newest = Add(5, u"same");
    EXPECT_NE((*newest)->TextHash, 0u);
    EXPECT_EQ(Found(u"same"), 5u);
    index.Leaving(newest);
    items.erase(newest);
    EXPECT_EQ(Found(u"same"), 3u);
    EXPECT_TRUE(index.Holds(3));
    index.Drop();
    EXPECT_TRUE(index.Holds(0));
    EXPECT_TRUE(index.Holds(7));
    EXPECT_EQ(Found(u"other"), 2u);
    EXPECT_TRUE(index.Holds(3));
}

}  // namespace
}  // namespace snipora
