#include "store/ItemMemory.h"

#include <algorithm>

namespace snipora {

void* BlockPool::AllocateSlowly(size_t bytes, size_t alignment) {
    if (blockSize_ == 0 && bytes >= sizeof(FreeBlock) && alignment <= alignof(Unit)) {
        blockSize_ = bytes;
        // Blocks follow each other at the pointer alignment that list nodes need.
        blockUnits_ = (bytes + sizeof(Unit) - 1) / sizeof(Unit);
    }
    if (!Pooled(bytes, alignment)) {
        return std::pmr::get_default_resource()->allocate(bytes, alignment);
    }
    // Blocks are cut from a new chunk only as they are asked for, so that no pass over the chunk
    // comes before the items are written.
    chunks_.emplace_back(new Unit[blockUnits_ * nextChunkBlocks_]);
    carved_ = chunks_.back().get();
    carveEnd_ = carved_ + blockUnits_ * nextChunkBlocks_;
    nextChunkBlocks_ = std::min<size_t>(nextChunkBlocks_ * 2, 4096);
    void* block = carved_;
    carved_ += blockUnits_;
    return block;
}

}  // namespace snipora
