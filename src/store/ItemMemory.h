#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <memory_resource>
#include <vector>

namespace snipora {

// A pool for many blocks of one size, such as the nodes of a list: blocks are cut
// from chunks in turn and go back to a free list, so that taking one costs a few instructions. The
// size is that of the first request; other sizes pass to the default resource. Chunks are given
// back only when the pool goes.
class BlockPool {
public:
    BlockPool() = default;
    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;

    // Inline, so that taking or giving back a list node costs no call.
    void* Allocate(size_t bytes, size_t alignment) {
        if (bytes == blockSize_ && alignment <= alignof(Unit)) {
            if (free_ != nullptr) {
                FreeBlock* block = free_;
                free_ = block->next;
                return block;
            }
            if (carved_ != carveEnd_) {
                void* block = carved_;
                carved_ += blockUnits_;
                return block;
            }
        }
        return AllocateSlowly(bytes, alignment);
    }
    void Deallocate(void* block, size_t bytes, size_t alignment) {
        if (!Pooled(bytes, alignment)) {
            std::pmr::get_default_resource()->deallocate(block, bytes, alignment);
            return;
        }
        auto* freed = static_cast<FreeBlock*>(block);
        freed->next = free_;
        free_ = freed;
    }

private:
    struct FreeBlock {
        FreeBlock* next;
    };
    // Blocks are whole numbers of these, which align anything that holds a pointer or a double.
    static constexpr size_t kUnitBytes = std::max(alignof(void*), alignof(double));
    struct alignas(kUnitBytes) Unit {
        char bytes[kUnitBytes];
    };

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

// Hands out the blocks of one pool to a standard container, with no virtual call for each.
template <typename T>
class PoolAllocator {
public:
    using value_type = T;

    explicit PoolAllocator(BlockPool& pool) noexcept : pool_(&pool) {}
    template <typename U>
    PoolAllocator(const PoolAllocator<U>& other) noexcept : pool_(other.pool_) {}

    T* allocate(size_t count) {
        return static_cast<T*>(pool_->Allocate(count * sizeof(T), alignof(T)));
    }
    void deallocate(T* block, size_t count) noexcept {
        pool_->Deallocate(block, count * sizeof(T), alignof(T));
    }
    friend bool operator==(const PoolAllocator& a, const PoolAllocator& b) {
        return a.pool_ == b.pool_;
    }

private:
    template <typename>
    friend class PoolAllocator;
    BlockPool* pool_;
};

}  // namespace snipora
