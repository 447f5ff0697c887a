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

TEST(TextArena, PacksTextsOverManyChunksAlignedAndApart) {
    TextArena arena;
    for (int round = 0; round < 2; ++round) {
        std::vector<Block> blocks;
        // Past several chunks, mostly short texts so that each chunk ends close to full, with
        // sizes at the packed limit and over it, and both alignments.
        for (size_t i = 0; i < 20000; ++i) {
            const size_t bytes =
                i % 50 == 0 ? TextArena::PackedLimit - 1 + i / 50 % 3 : (i * 37) % 301 + 1;
            const size_t alignment = i % 3 == 0 ? 8 : 2;
            auto* at = static_cast<unsigned char*>(arena.allocate(bytes, alignment));
            ASSERT_EQ(reinterpret_cast<uintptr_t>(at) % alignment, 0u);
            blocks.push_back({at, bytes});
        }
        ExpectApart(blocks);
        for (const Block& block : blocks) {
            arena.deallocate(block.at, block.bytes, 2);
        }
        arena.Release();
    }
}

TEST(BlockPool, HandsFreedBlocksOutAgainAndPassesOtherSizesOn) {
    BlockPool pool;
    std::vector<Block> blocks;
    for (int i = 0; i < 1000; ++i) {
        blocks.push_back({static_cast<unsigned char*>(pool.allocate(88, 8)), 88});
        ASSERT_EQ(reinterpret_cast<uintptr_t>(blocks.back().at) % 8, 0u);
    }
    blocks.push_back({static_cast<unsigned char*>(pool.allocate(24, 8)), 24});
    ExpectApart(blocks);
    void* freed = blocks[500].at;
    pool.deallocate(freed, 88, 8);
    EXPECT_EQ(pool.allocate(88, 8), freed);
    for (const Block& block : blocks) {
        pool.deallocate(block.at, block.bytes, 8);
    }
}

}  // namespace
}  // namespace snipora
