#include "support/NodePool.h"

void* NodePool::do_allocate(size_t bytes, size_t alignment) {
    const size_t sizeClass = SizeClass(bytes);
    if (sizeClass * kGrain > kLargestPooled || alignment > kGrain) {
        return pmr::new_delete_resource()->allocate(bytes, alignment);
    }
    FreeBlock*& head = freeLists[sizeClass];
    if (head != nullptr) {
        // Freed blocks lie anywhere: fetching the next one now hides most of
        // the wait for it when it is handed out.
        FreeBlock* const block = head;
        head = block->next;
        __builtin_prefetch(head);
        return block;
    }
    return Carve(sizeClass * kGrain);
}

void NodePool::do_deallocate(void* block, size_t bytes, size_t alignment) {
    const size_t sizeClass = SizeClass(bytes);
    if (sizeClass * kGrain > kLargestPooled || alignment > kGrain) {
        pmr::new_delete_resource()->deallocate(block, bytes, alignment);
        return;
    }
    FreeBlock* const freed = static_cast<FreeBlock*>(block);
    freed->next = freeLists[sizeClass];
    freeLists[sizeClass] = freed;
}

void* NodePool::Carve(size_t bytes) {
    if (chunkUsed + bytes > kChunkBytes) {
        chunks.push_back(std::make_unique<std::byte[]>(kChunkBytes));
        chunkUsed = 0;
    }
    void* const block = chunks.back().get() + chunkUsed;
    chunkUsed += bytes;
    return block;
}
