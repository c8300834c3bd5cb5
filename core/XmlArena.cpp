#include "core/XmlArena.h"

#include <atomic>
#include <cstdint>
#include <limits>
#include <mutex>
#include <new>
#include <utility>
#include <vector>

#include "core/XmlBlockPool.h"

namespace {

constexpr std::size_t kWord = sizeof(void*);
constexpr std::align_val_t kBlockAlign{TXmlArena::kBlockSize};

void* NewBlock() { return ::operator new(TXmlArena::kBlockSize, kBlockAlign); }
void DeleteBlock(void* aBlock) noexcept { ::operator delete(aBlock, kBlockAlign); }

std::size_t RoundUp(std::size_t n) { return (n + kWord - 1) & ~(kWord - 1); }

// Set when the cache is gone (the module is unloaded or the process ends):
// blocks are then taken from and given back to the heap directly. Constant
// and trivially destructible, so it can be read after the cache is destroyed.
std::atomic<bool> gCacheClosed{false};

// Blocks of kBlockSize bytes that arenas gave back, for the next ones.
class BlockCache {
 public:
  // Room for every block the cache may keep is taken at once, so that giving
  // a block back never needs memory.
  BlockCache() { blocks_.reserve(kMaxBlocks); }
  // The blocks kept go back to the heap with the cache, so that unloading the
  // module leaves nothing behind; a tree that a static object frees later
  // gives its blocks to the heap (gCacheClosed).
  ~BlockCache() {
    std::lock_guard<std::mutex> lock(mutex_);
    gCacheClosed.store(true);
    for (void* b : blocks_) DeleteBlock(b);
    blocks_.clear();
  }

  void* Take() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!blocks_.empty()) {
        void* b = blocks_.back();
        blocks_.pop_back();
        return b;
      }
    }
    return NewBlock();
  }

  void Give(void* aBlock) noexcept {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (blocks_.size() < kMaxBlocks) {
        blocks_.push_back(aBlock);
        return;
      }
    }
    DeleteBlock(aBlock);
  }

 private:
  static constexpr std::size_t kMaxBlocks = TXmlArena::kMaxCachedBytes / TXmlArena::kBlockSize;
  std::mutex mutex_;
  std::vector<void*> blocks_;
};

// The cache; null once it is gone.
BlockCache* Cache() {
  static BlockCache cache;
  return gCacheClosed.load() ? nullptr : &cache;
}

void* TakeBlock() {
  if (BlockCache* cache = Cache()) return cache->Take();
  return NewBlock();
}

void GiveBlock(void* aBlock) noexcept {
  if (BlockCache* cache = Cache())
    cache->Give(aBlock);
  else
    DeleteBlock(aBlock);
}

}  // namespace

TXmlArena* TXmlArena::Create(std::shared_ptr<TXmlBlockPool> aPool) { return new TXmlArena(std::move(aPool)); }

void* TXmlArena::TakeCachedBlock() { return TakeBlock(); }

void TXmlArena::GiveCachedBlock(void* aBlock) noexcept { GiveBlock(aBlock); }

TXmlArena::~TXmlArena() {
  while (blocks_ != nullptr) {
    Block* b = blocks_;
    blocks_ = b->next;
    if (pool_ != nullptr)
      pool_->Give(b);
    else
      GiveBlock(b);
  }
  while (chunks_ != nullptr) {
    Chunk* c = chunks_;
    chunks_ = c->next;
    ::operator delete(c);
  }
}

TXmlArena* TXmlArena::ArenaAt(const void* aAddress) noexcept {
  const auto start = reinterpret_cast<std::uintptr_t>(aAddress) & ~(std::uintptr_t{kBlockSize} - 1);
  return reinterpret_cast<const Block*>(start)->arena;
}

char* TXmlArena::AllocateBytes(std::size_t aSize) {
  if (aSize <= kBlockSize / 8) {
    // With the attributes, whose values they are; the position stays aligned for objects.
    const std::size_t need = RoundUp(aSize);
    Lane& lane = lanes_[kAttributeLane];
    if (static_cast<std::size_t>(lane.limit - lane.pos) < need) AddBlock(lane);
    char* p = lane.pos;
    lane.pos += need;
    return p;
  }
  if (aSize > std::numeric_limits<std::size_t>::max() - sizeof(Chunk)) throw std::bad_alloc();
  auto* c = static_cast<Chunk*>(::operator new(sizeof(Chunk) + aSize));
  c->next = chunks_;
  chunks_ = c;
  return reinterpret_cast<char*>(c + 1);
}

void TXmlArena::AddBlock(Lane& aLane) {
  auto* b = static_cast<Block*>(pool_ != nullptr ? pool_->Take() : TakeBlock());
  b->next = blocks_;
  b->arena = this;
  blocks_ = b;
  aLane.pos = reinterpret_cast<char*>(b) + RoundUp(sizeof(Block));
  aLane.limit = reinterpret_cast<char*>(b) + kBlockSize;
}

void* TXmlArena::AllocateInNewBlock(std::size_t aSize, TLane aLane) {
  if (RoundUp(aSize) > kBlockSize - RoundUp(sizeof(Block))) throw std::bad_alloc();
  AddBlock(lanes_[aLane]);
  return Allocate(aSize, aLane);
}

void TXmlArena::Finish() noexcept {
  live_.fetch_add(allocated_, std::memory_order_relaxed);
  allocated_ = 0;
  Release(kHold);
}

void TXmlArena::Release(std::size_t aCount) noexcept {
  // The last object (or the creator's hold) takes the arena down; the
  // acquire-release pair makes every other holder's writes visible first.
  if (live_.fetch_sub(aCount, std::memory_order_acq_rel) == aCount) delete this;
}

void TXmlFreeBatch::FreeOther(void* aObject, TXmlArena* aArena) noexcept {
  if (aObject == nullptr) return;
  if (aArena == nullptr) {
    ::operator delete(aObject);
    return;
  }
  Flush();
  arena_ = aArena;
  count_ = 1;
}

void TXmlFreeBatch::Flush() noexcept {
  if (arena_ != nullptr) arena_->Release(count_);
  arena_ = nullptr;
  count_ = 0;
}
