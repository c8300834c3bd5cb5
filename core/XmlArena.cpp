#include "core/XmlArena.h"

#include <mutex>
#include <new>
#include <vector>

namespace {

constexpr std::size_t kWord = sizeof(void*);

std::size_t RoundUp(std::size_t n) { return (n + kWord - 1) & ~(kWord - 1); }

// Blocks of kBlockSize bytes that arenas gave back, for the next ones.
class BlockCache {
 public:
  void* Take() {
    {
      std::lock_guard<std::mutex> lock(FMutex);
      if (!FBlocks.empty()) {
        void* b = FBlocks.back();
        FBlocks.pop_back();
        return b;
      }
    }
    return ::operator new(TXmlArena::kBlockSize);
  }

  void Give(void* aBlock) noexcept {
    {
      std::lock_guard<std::mutex> lock(FMutex);
      if (FBlocks.size() < TXmlArena::kMaxCachedBytes / TXmlArena::kBlockSize) {
        try {
          FBlocks.push_back(aBlock);
          return;
        } catch (...) {
          // no room to keep it: give it to the system below
        }
      }
    }
    ::operator delete(aBlock);
  }

 private:
  std::mutex FMutex;
  std::vector<void*> FBlocks;
};

// Never destroyed: a tree that a static object frees at exit still gives its
// blocks back to a living cache.
BlockCache& Cache() {
  static BlockCache* cache = new BlockCache;
  return *cache;
}

}  // namespace

TXmlArena* TXmlArena::Create() { return new TXmlArena; }

TXmlArena::~TXmlArena() {
  while (FBlocks != nullptr) {
    Block* b = FBlocks;
    FBlocks = b->next;
    Cache().Give(b);
  }
}

void TXmlArena::AddBlock() {
  auto* b = static_cast<Block*>(Cache().Take());
  b->next = FBlocks;
  FBlocks = b;
  FPos = reinterpret_cast<char*>(b) + RoundUp(sizeof(Block));
  FLimit = reinterpret_cast<char*>(b) + kBlockSize;
}

void* TXmlArena::Allocate(std::size_t aSize) {
  std::size_t need = kWord + RoundUp(aSize);
  if (static_cast<std::size_t>(FLimit - FPos) < need) {
    if (need > kBlockSize - RoundUp(sizeof(Block))) throw std::bad_alloc();
    AddBlock();
  }
  char* p = FPos;
  FPos += need;
  *reinterpret_cast<TXmlArena**>(p) = this;
  ++FAllocated;
  return p + kWord;
}

void* TXmlArena::HeapAllocate(std::size_t aSize) {
  char* p = static_cast<char*>(::operator new(kWord + aSize));
  *reinterpret_cast<TXmlArena**>(p) = nullptr;
  return p + kWord;
}

void TXmlArena::Free(void* aObject) noexcept {
  if (aObject == nullptr) return;
  char* p = static_cast<char*>(aObject) - kWord;
  TXmlArena* arena = *reinterpret_cast<TXmlArena**>(p);
  if (arena == nullptr)
    ::operator delete(p);
  else
    arena->Release();
}

void TXmlArena::Finish() noexcept {
  FLive.fetch_add(FAllocated, std::memory_order_relaxed);
  FAllocated = 0;
  Release(kHold);
}

void TXmlArena::Release(std::size_t aCount) noexcept {
  // The last object (or the creator's hold) takes the arena down; the
  // acquire-release pair makes every other holder's writes visible first.
  if (FLive.fetch_sub(aCount, std::memory_order_acq_rel) == aCount) delete this;
}

void TXmlFreeBatch::FreeOther(void* aObject, TXmlArena* aArena) noexcept {
  if (aObject == nullptr) return;
  if (aArena == nullptr) {
    ::operator delete(static_cast<char*>(aObject) - kWord);
    return;
  }
  Flush();
  FArena = aArena;
  FCount = 1;
}

void TXmlFreeBatch::Flush() noexcept {
  if (FArena != nullptr) FArena->Release(FCount);
  FArena = nullptr;
  FCount = 0;
}
