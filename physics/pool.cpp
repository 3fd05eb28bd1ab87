#include "physics/pool.h"

void* neDefaultAllocator::Alloc(size_t size, s32) {
    usedMemory += static_cast<u32>(size);
    return std::malloc(size);
}

void neDefaultAllocator::Free(void* block) { std::free(block); }
