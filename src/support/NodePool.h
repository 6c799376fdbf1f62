#ifndef CUBOMB_SUPPORT_NODEPOOL_H
#define CUBOMB_SUPPORT_NODEPOOL_H

// A memory resource for containers whose small nodes come and go all the time:
// freed blocks go on a free list per size and are handed out again; memory
// returns to the system only when the pool goes. Not thread-safe.

#include <cstddef>
#include <memory>
#include <vector>

#include "system/MemoryResource.h"

class NodePool : public pmr::memory_resource {
public:
    NodePool() = default;
    NodePool(const NodePool&) = delete;
    NodePool& operator=(const NodePool&) = delete;

private:
    static constexpr size_t kGrain = 16;
    static constexpr size_t kLargestPooled = 256;
    static constexpr size_t kChunkBytes = 64 * 1024;

    struct FreeBlock {
        FreeBlock* next;
    };

    void* do_allocate(size_t bytes, size_t alignment) override;
    void do_deallocate(void* block, size_t bytes, size_t alignment) override;
    bool do_is_equal(const pmr::memory_resource& other) const noexcept override { return this == &other; }

    static size_t SizeClass(size_t bytes) { return (bytes + kGrain - 1) / kGrain; }
    void* Carve(size_t bytes);

    FreeBlock* freeLists[kLargestPooled / kGrain + 1] = {};
    std::vector<std::unique_ptr<std::byte[]>> chunks;
    size_t chunkUsed = kChunkBytes;
};

#endif
