#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <memory_resource>
#include <vector>

namespace snipora {

// A memory resource for many blocks of one size, such as the nodes of a list: blocks are cut
// from chunks in turn and go back to a free list, so that taking one costs a few instructions. The
// size is that of the first request; other sizes pass to the default resource. Chunks are given
// back only when the pool goes.
class BlockPool final : public std::pmr::memory_resource {
public:
    BlockPool() = default;
    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;

private:
    struct FreeBlock {
        FreeBlock* next;
    };
    // Blocks are whole numbers of these, which align anything that holds a pointer or a double.
    static constexpr size_t kUnitBytes = std::max(alignof(void*), alignof(double));
    struct alignas(kUnitBytes) Unit {
        char bytes[kUnitBytes];
    };

    void* do_allocate(size_t bytes, size_t alignment) override;
    void do_deallocate(void* block, size_t bytes, size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }
    bool Pooled(size_t bytes, size_t alignment) const {
        return bytes == blockSize_ && blockSize_ != 0 && alignment <= alignof(Unit);
    }
    // Everything but a block from the free list or the current chunk.
    void* AllocateSlowly(size_t bytes, size_t alignment);

    size_t blockSize_ = 0;
    size_t blockUnits_ = 0;  // units per block
    size_t nextChunkBlocks_ = 64;
    FreeBlock* free_ = nullptr;
    Unit* carved_ = nullptr;  // the next block not yet handed out
    Unit* carveEnd_ = nullptr;
    std::vector<std::unique_ptr<Unit[]>> chunks_;
};

}  // namespace snipora
