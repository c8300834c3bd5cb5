#include "platform/win/GlobalMemory.h"

#include <cstdlib>
#include <mutex>
#include <new>
#include <unordered_map>

namespace {

struct BlockTable {
  std::mutex mutex;
  std::unordered_map<const void*, std::size_t> sizes;
};

BlockTable& Table() {
  static BlockTable* table = new BlockTable;  // used until the process ends
  return *table;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t bytes) {
  // One byte at least, so that every block has an address of its own.
  void* block = std::calloc(bytes == 0 ? 1 : bytes, 1);
  if (block == nullptr) return nullptr;
  BlockTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  t.sizes[block] = bytes;
  return block;
}

LPVOID GlobalLock(HGLOBAL block) {
  BlockTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  return t.sizes.count(block) != 0 ? block : nullptr;
}

BOOL GlobalUnlock(HGLOBAL block) {
  (void)block;
  return FALSE;  // no lock count is kept: "unlocked" at once
}

std::size_t GlobalSize(HGLOBAL block) {
  BlockTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.sizes.find(block);
  return it != t.sizes.end() ? it->second : 0;
}

HGLOBAL GlobalFree(HGLOBAL block) {
  if (block == nullptr) return nullptr;
  BlockTable& t = Table();
  {
    std::lock_guard<std::mutex> lock(t.mutex);
    if (t.sizes.erase(block) == 0) return block;
  }
  std::free(block);
  return nullptr;
}
