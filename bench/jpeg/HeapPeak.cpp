#include "HeapPeak.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define HEAP_PEAK_COUNTS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define HEAP_PEAK_COUNTS 0
#endif
#endif
#if !defined(HEAP_PEAK_COUNTS) && defined(__GLIBC__)
#define HEAP_PEAK_COUNTS 1
#endif
#if !defined(HEAP_PEAK_COUNTS)
#define HEAP_PEAK_COUNTS 0
#endif

namespace {

std::atomic<std::size_t> gInUse{0};
std::atomic<std::size_t> gPeak{0};
std::atomic<std::size_t> gBase{0};

[[maybe_unused]] void Added(void* block) {
  if (block == nullptr) return;
  const std::size_t size = malloc_usable_size(block);
  const std::size_t now = gInUse.fetch_add(size, std::memory_order_relaxed) + size;
  std::size_t peak = gPeak.load(std::memory_order_relaxed);
  while (now > peak && !gPeak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {}
}

[[maybe_unused]] void Removed(void* block) {
  if (block != nullptr) gInUse.fetch_sub(malloc_usable_size(block), std::memory_order_relaxed);
}

}  // namespace

namespace HeapPeak {

bool Available() { return HEAP_PEAK_COUNTS != 0; }

std::size_t InUse() { return gInUse.load(std::memory_order_relaxed); }

void Reset() {
  std::size_t now = gInUse.load(std::memory_order_relaxed);
  gBase.store(now, std::memory_order_relaxed);
  gPeak.store(now, std::memory_order_relaxed);
}

std::size_t PeakSinceReset() { return gPeak.load(std::memory_order_relaxed) - gBase.load(std::memory_order_relaxed); }

}  // namespace HeapPeak

#if HEAP_PEAK_COUNTS

// The C library's allocator under its own names.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);

void* malloc(std::size_t size) {
  void* block = __libc_malloc(size);
  Added(block);
  return block;
}

void* calloc(std::size_t count, std::size_t size) {
  void* block = __libc_calloc(count, size);
  Added(block);
  return block;
}

void* realloc(void* block, std::size_t size) {
  std::size_t before = block != nullptr ? malloc_usable_size(block) : 0;
  void* moved = __libc_realloc(block, size);
  if (moved == nullptr && size != 0) return nullptr;  // the old block stays as it was
  gInUse.fetch_sub(before, std::memory_order_relaxed);
  Added(moved);
  return moved;
}

void free(void* block) {
  Removed(block);
  __libc_free(block);
}

void* memalign(std::size_t alignment, std::size_t size) {
  void* block = __libc_memalign(alignment, size);
  Added(block);
  return block;
}

void* aligned_alloc(std::size_t alignment, std::size_t size) { return memalign(alignment, size); }

int posix_memalign(void** result, std::size_t alignment, std::size_t size) {
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  void* block = memalign(alignment, size);
  if (block == nullptr) return ENOMEM;
  *result = block;
  return 0;
}
}

#endif
