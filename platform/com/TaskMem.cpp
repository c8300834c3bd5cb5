#include "platform/com/TaskMem.h"

#include <cstdlib>

void* CoTaskMemAlloc(std::size_t size) { return std::malloc(size == 0 ? 1 : size); }

void* CoTaskMemRealloc(void* block, std::size_t size) { return std::realloc(block, size == 0 ? 1 : size); }

void CoTaskMemFree(void* block) { std::free(block); }
