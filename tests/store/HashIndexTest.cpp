#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "store/HashIndex.h"

namespace snipora {
namespace {

// Positions are indices into a table of hashes, so that a test chooses where each one lands.
struct HashOfIndex {
    const std::vector<uint32_t>* hashes;
    uint32_t operator()(int position) const { return (*hashes)[static_cast<size_t>(position)]; }
};

class HashIndexTest : public ::testing::Test {
protected:
    // The positions of the hash, in the order met.
    std::vector<int> Of(uint32_t hash) const {
        std::vector<int> met;
        index.ForEachOf(hash, [&](int position) {
            met.push_back(position);
            return false;
        });
        return met;
    }
    // Every position added and not removed is found under its hash, and only those.
    void ExpectHolds(const std::vector<int>& held) const {
        EXPECT_EQ(index.Size(), held.size());
        for (size_t position = 0; position < hashes.size(); ++position) {
            const auto found = Of(hashes[position]);
            const bool in = std::count(held.begin(), held.end(), static_cast<int>(position)) != 0;
            EXPECT_EQ(std::count(found.begin(), found.end(), static_cast<int>(position)),
                      in ? 1 : 0)
                << "position " << position;
        }
    }

    std::vector<uint32_t> hashes;
    HashIndex<int, HashOfIndex> index{-1, HashOfIndex{&hashes}};
};

TEST_F(HashIndexTest, EmptyFindsAndRemovesNothing) {
    hashes = {5};
    EXPECT_TRUE(Of(5).empty());
    EXPECT_FALSE(index.Remove(0));
    index.Add(0);
    EXPECT_TRUE(index.Remove(0));
    EXPECT_FALSE(index.Remove(0));
    EXPECT_TRUE(Of(5).empty());
}

// Sixteen slots: homes 14 and 15 run over the end of the table into its start, where a position
// at home 0 waits behind them; removing from the front of such a run moves the rest back.
TEST_F(HashIndexTest, RunsOverTheEndOfTheTableCloseUpWhenOneGoes) {
    hashes = {14, 14, 15, 0, 1, 14, 3};
    for (int position = 0; position < 6; ++position) {
        index.Add(position);
    }
    ExpectHolds({0, 1, 2, 3, 4, 5});
    EXPECT_EQ(Of(14), (std::vector<int>{0, 1, 5}));
    EXPECT_FALSE(index.Remove(6));  // never added
    ASSERT_TRUE(index.Remove(0));
    ExpectHolds({1, 2, 3, 4, 5});
    ASSERT_TRUE(index.Remove(2));
    ExpectHolds({1, 3, 4, 5});
    ASSERT_TRUE(index.Remove(5));  // the last of the run, at the table's start
    ExpectHolds({1, 3, 4});
    index.Add(6);
    index.Add(0);
    ExpectHolds({0, 1, 3, 4, 6});
    index.Clear();
    ExpectHolds({});
}

// Two positions at home 15, the last slot: the second wraps to slot 0. Removing the first moves
// the second back over the end into slot 15, and slot 0 is free again, with nothing left in it.
TEST_F(HashIndexTest, RemovingTheFirstOfARunThatWrapsMovesTheSecondBackOverTheEnd) {
    hashes = {15, 15, 15, 15, 0};
    index.Add(0);
    index.Add(1);
    ASSERT_TRUE(index.Remove(0));
    ExpectHolds({1});
    EXPECT_EQ(Of(15), (std::vector<int>{1}));
    index.Add(4);  // home 0
    ASSERT_TRUE(index.Remove(1));
    ExpectHolds({4});
    index.Add(2);
    index.Add(3);
    ExpectHolds({2, 3, 4});
    EXPECT_EQ(Of(15), (std::vector<int>{2, 3}));
    EXPECT_EQ(Of(0), (std::vector<int>{4}));
}

// The table doubles as it passes half full; equal hashes stay apart.
TEST_F(HashIndexTest, GrowsAndKeepsEveryPositionOfAHash) {
    std::vector<int> held;
    for (int position = 0; position < 100; ++position) {
        hashes.push_back(position % 3 == 0 ? 7u : static_cast<uint32_t>(position) * 2654435761u);
        index.Add(position);
        held.push_back(position);
    }
    ExpectHolds(held);
    EXPECT_EQ(Of(7).size(), 34u);
    for (int position = 0; position < 100; position += 2) {
        ASSERT_TRUE(index.Remove(position));
        held.erase(std::find(held.begin(), held.end(), position));
    }
    ExpectHolds(held);
    EXPECT_EQ(Of(7).size(), 17u);
}

}  // namespace
}  // namespace snipora
