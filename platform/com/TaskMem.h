#pragma once
// The COM task allocator: memory that one side of an interface allocates and
// the other side frees (texts the host returns are freed with CoTaskMemFree).

#include <cstddef>

// A block of `size` bytes, or null when none is left. A size of 0 gives a
// valid block of its own.
void* CoTaskMemAlloc(std::size_t size);
// Resizes a block (null allocates); null when none is left, the old block then
// stays valid.
void* CoTaskMemRealloc(void* block, std::size_t size);
// Frees a block; null is ignored.
void CoTaskMemFree(void* block);
