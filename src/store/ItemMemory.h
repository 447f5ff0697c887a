#pragma once

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

    void* do_allocate(size_t bytes, size_t alignment) override;
    void do_deallocate(void* block, size_t bytes, size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }
    bool Pooled(size_t bytes, size_t alignment) const {
        return bytes == blockSize_ && alignment <= alignof(std::max_align_t);
    }

    size_t blockSize_ = 0;
    size_t nextChunkBlocks_ = 64;
    FreeBlock* free_ = nullptr;
    std::max_align_t* carved_ = nullptr;  // the next block not yet handed out
    std::max_align_t* carveEnd_ = nullptr;
    std::vector<std::unique_ptr<std::max_align_t[]>> chunks_;
};

// Where the texts of a loaded data file live. Small texts lie one after another in large blocks,
// so that loading many notes costs no heap call per note; the blocks are given back all at once
// by Release, and what a text that goes before then leaves behind stays unused until that point.
// Large texts have blocks of their own, given back as they go.
class TextArena final : public std::pmr::memory_resource {
public:
    static constexpr size_t PackedLimit = 4096;  // bytes

    TextArena() = default;
    TextArena(const TextArena&) = delete;
    TextArena& operator=(const TextArena&) = delete;

    // Only when no text from the arena is left.
    void Release() { packed_.release(); }

private:
    void* do_allocate(size_t bytes, size_t alignment) override;
    void do_deallocate(void* block, size_t bytes, size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }

    std::pmr::monotonic_buffer_resource packed_{64 * 1024};
};

}  // namespace snipora
