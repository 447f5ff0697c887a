#include "store/ItemMemory.h"

#include <algorithm>

namespace snipora {

void* BlockPool::do_allocate(size_t bytes, size_t alignment) {
    if (blockSize_ == 0 && bytes >= sizeof(FreeBlock) && alignment <= alignof(std::max_align_t)) {
        blockSize_ = bytes;
    }
    if (!Pooled(bytes, alignment)) {
        return std::pmr::get_default_resource()->allocate(bytes, alignment);
    }
    if (free_ != nullptr) {
        FreeBlock* block = free_;
        free_ = block->next;
        return block;
    }
    // Every block starts on a max_align_t boundary.
    const size_t units = (blockSize_ + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
    if (carved_ == carveEnd_) {
        // Blocks are cut from a new chunk only as they are asked for, so that no pass over the
        // chunk comes before the items are written.
        chunks_.emplace_back(new std::max_align_t[units * nextChunkBlocks_]);
        carved_ = chunks_.back().get();
        carveEnd_ = carved_ + units * nextChunkBlocks_;
        nextChunkBlocks_ = std::min<size_t>(nextChunkBlocks_ * 2, 4096);
    }
    void* block = carved_;
    carved_ += units;
    return block;
}

void BlockPool::do_deallocate(void* block, size_t bytes, size_t alignment) {
    if (!Pooled(bytes, alignment)) {
        std::pmr::get_default_resource()->deallocate(block, bytes, alignment);
        return;
    }
    auto* freed = static_cast<FreeBlock*>(block);
    freed->next = free_;
    free_ = freed;
}

void* TextArena::do_allocate(size_t bytes, size_t alignment) {
    if (bytes <= PackedLimit) {
        return packed_.allocate(bytes, alignment);
    }
    return std::pmr::get_default_resource()->allocate(bytes, alignment);
}

void TextArena::do_deallocate(void* block, size_t bytes, size_t alignment) {
    if (bytes > PackedLimit) {
        std::pmr::get_default_resource()->deallocate(block, bytes, alignment);
    }
}

}  // namespace snipora
