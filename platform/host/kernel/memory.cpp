// Local memory: counted blocks; LocalFree rejects pointers it did not hand out.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/host/kernel/counters_and_faults.h"
#include "platform/kernel.h"

namespace {

struct Blocks {
    std::mutex mutex;
    std::unordered_set<void*> live;
};

Blocks& LiveBlocks()
{
    static Blocks* blocks = new Blocks;  // lives until process exit
    return *blocks;
}

}  // namespace

extern "C" HANDLE LocalAlloc(UINT flags, SIZE_T bytes)
{
    if (vtsim::internal::ShouldFail(vtsim::Fault::Allocation)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (flags & LMEM_ZEROINIT) {
        std::memset(block, 0, bytes);
    }
    {
        Blocks& blocks = LiveBlocks();
        std::lock_guard lock(blocks.mutex);
        blocks.live.insert(block);
    }
    vtsim::internal::Adjust(vtsim::internal::Counter::Allocations, +1);
    return block;
}

extern "C" HANDLE LocalFree(HANDLE memory)
{
    if (memory == nullptr) {
        return nullptr;
    }
    {
        Blocks& blocks = LiveBlocks();
        std::lock_guard lock(blocks.mutex);
        if (blocks.live.erase(memory) == 0) {
            // Not a live block (freed twice or never allocated): the failure
            // result is the handle itself.
            SetLastError(ERROR_INVALID_HANDLE);
            return memory;
        }
    }
    std::free(memory);
    vtsim::internal::Adjust(vtsim::internal::Counter::Allocations, -1);
    return nullptr;
}
