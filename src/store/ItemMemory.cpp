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
    if (free_ == nullptr) {
        // Every block starts on a max_align_t boundary.
        const size_t units = (blockSize_ + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
        chunks_.emplace_back(new std::max_align_t[units * nextChunkBlocks_]);
        std::max_align_t* chunk = chunks_.back().get();
        for (size_t i = nextChunkBlocks_; i-- > 0;) {
            auto* block = reinterpret_cast<FreeBlock*>(chunk + i * units);
            block->next = free_;
            free_ = block;
        }
        nextChunkBlocks_ = std::min<size_t>(nextChunkBlocks_ * 2, 4096);
    }
    FreeBlock* block = free_;
    free_ = block->next;
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
