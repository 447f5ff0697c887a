#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "store/ItemMemory.h"

namespace snipora {
namespace {

struct Block {
    unsigned char* at;
    size_t bytes;
};

// Fills every block with its own byte and checks afterwards that no other block wrote over it.
void ExpectApart(const std::vector<Block>& blocks) {
    for (size_t i = 0; i < blocks.size(); ++i) {
        std::memset(blocks[i].at, static_cast<int>(i % 251), blocks[i].bytes);
    }
    for (size_t i = 0; i < blocks.size(); ++i) {
        const unsigned char* begin = blocks[i].at;
        const unsigned char* end = begin + blocks[i].bytes;
        EXPECT_EQ(std::find_if(begin, end, [&](unsigned char b) { return b != i % 251; }), end)
            << "block " << i;
    }
}

TEST(BlockPool, HandsFreedBlocksOutAgainAndPassesOtherSizesOn) {
    BlockPool pool;
    std::vector<Block> blocks;
    for (int i = 0; i < 1000; ++i) {
        blocks.push_back({static_cast<unsigned char*>(pool.Allocate(88, 8)), 88});
        ASSERT_EQ(reinterpret_cast<uintptr_t>(blocks.back().at) % 8, 0u);
    }
    blocks.push_back({static_cast<unsigned char*>(pool.Allocate(24, 8)), 24});
    ExpectApart(blocks);
    void* freed = blocks[500].at;
    pool.Deallocate(freed, 88, 8);
    EXPECT_EQ(pool.Allocate(88, 8), freed);
    for (const Block& block : blocks) {
        pool.Deallocate(block.at, block.bytes, 8);
    }
}

}  // namespace
}  // namespace snipora
