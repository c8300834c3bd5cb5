#pragma once
// Storage of the nodes and attributes of the document model.
//
// A TmyXmlNode or TmyXmlAttrNode comes from the ordinary heap or from an
// arena; the reader marks its objects (their name is "resident", XmlString.h),
// and their delete finds the arena from the address (ArenaAt). The reader builds its whole tree in one arena (blocks of
// 64 KB filled in order) instead of one heap allocation per node and attribute; such an object is still destroyed on
// its own with delete, and the arena gives its blocks back when its last object is gone. The memory of a parsed tree is
// therefore held until all of its nodes are destroyed (at most what that parse took).
//
// A tree read and not changed since goes at once: deleting its root gives the
// whole arena back without visiting a node (ReleaseTree). Any change to one of
// its objects (a link, an attribute, a text) marks the arena as changed
// (MarkChanged), and its tree is then destroyed node by node as any other.
// The arena also keeps the copy of the document text that the tree's names and
// values point into.
//
// Blocks are aligned to their size, so the arena of any object inside one is
// found from the object's address (ArenaAt).
//
// Blocks given back are kept for the next parse up to kMaxCachedBytes for the
// whole process, so that reading a file again does not fetch fresh pages from
// the system each time; they go back to the system when the module is
// unloaded or the process ends. An arena made with a block pool
// (XmlBlockPool.h) takes its blocks from that pool first and gives them back
// to it.

#include <atomic>
#include <cstddef>
#include <memory>
#include <utility>

class TXmlBlockPool;

class TXmlArena {
 public:
  static constexpr std::size_t kBlockSize = std::size_t{64} << 10;
  static constexpr std::size_t kMaxCachedBytes = std::size_t{64} << 20;

  // A new arena, held by its creator until Finish; with aPool, its blocks
  // come from and go back to that pool, which the arena holds until it goes.
  static TXmlArena* Create(std::shared_ptr<TXmlBlockPool> aPool = nullptr);
  // The creator drops its hold; the arena goes with its last object.
  void Finish() noexcept;

  // Nodes and attributes are carved from blocks of their own: a walk over the
  // nodes (a search, the writer) then reads them one after the other in
  // memory, not one in every few hundred bytes between the attributes.
  enum TLane { kNodeLane, kAttributeLane, kLaneCount };

  // An object of at most a few hundred bytes. Only the creator allocates,
  // before Finish.
  void* Allocate(std::size_t aSize, TLane aLane = kNodeLane) {
    const std::size_t need = (aSize + sizeof(void*) - 1) & ~(sizeof(void*) - 1);
    Lane& lane = lanes_[aLane];
    if (static_cast<std::size_t>(lane.limit - lane.pos) < need) return AllocateInNewBlock(aSize, aLane);
    char* p = lane.pos;
    lane.pos += need;
    ++allocated_;
    return p;
  }
  // An object whose construction failed right after Allocate.
  void Unallocate() noexcept { --allocated_; }

  // Room for aSize bytes that live as long as the arena (the copy of the text
  // and decoded texts); only the creator allocates, before Finish.
  char* AllocateBytes(std::size_t aSize);

  // The tree's root, for the one-step release.
  void SetRoot(const void* aRoot) noexcept { root_ = aRoot; }
  bool IsRoot(const void* aObject) const noexcept { return aObject == root_; }
  // Marks the tree as changed since it was read.
  void MarkChanged() noexcept {
    if (!changed_.load(std::memory_order_relaxed)) changed_.store(true, std::memory_order_relaxed);
  }
  bool Changed() const noexcept { return changed_.load(std::memory_order_relaxed); }
  // The arena of an address inside one of its blocks.
  static TXmlArena* ArenaAt(const void* aAddress) noexcept;
  static void MarkChangedAt(const void* aAddress) noexcept { ArenaAt(aAddress)->MarkChanged(); }
  // Called while the unchanged tree's root is destroyed: every other object of
  // the arena goes with it; the root's own delete gives back the last one.
  void ReleaseTree() noexcept { Release(live_.load(std::memory_order_relaxed) - 1); }

  // Gives back one object of this arena, whose destructor has run.
  void Free() noexcept { Release(); }
  // The destroying delete of the model's classes: destroys the object, then gives
  // a reader's object back to its arena and a heap object to the heap.
  template <class T>
  static void Destroy(T* aObject) noexcept {
    TXmlArena* arena = aObject->ArenaOrNull();
    aObject->~T();
    if (arena != nullptr)
      arena->Free();
    else
      ::operator delete(aObject);
  }

  TXmlArena(const TXmlArena&) = delete;
  TXmlArena& operator=(const TXmlArena&) = delete;

 private:
  friend class TXmlFreeBatch;
  friend class TXmlBlockPool;
  // A block from the process's cache or the heap, and one given back to it.
  static void* TakeCachedBlock();
  static void GiveCachedBlock(void* aBlock) noexcept;
  struct Block {
    Block* next;
    TXmlArena* arena;
  };
  // Allocations too large for a block, in a list of their own.
  struct Chunk {
    Chunk* next;
  };

  explicit TXmlArena(std::shared_ptr<TXmlBlockPool> aPool) noexcept : pool_(std::move(aPool)) {}
  ~TXmlArena();
  void Release(std::size_t aCount = 1) noexcept;
  // Where the next object of one lane goes, in its newest block.
  struct Lane {
    char* pos = nullptr;
    char* limit = nullptr;
  };
  void AddBlock(Lane& aLane);
  void* AllocateInNewBlock(std::size_t aSize, TLane aLane);

  // Objects alive, plus kHold while the creator fills the arena. Allocations
  // are counted in allocated_ and added at Finish, so that carving an object
  // costs no atomic operation.
  static constexpr std::size_t kHold = std::size_t{1} << 62;
  std::atomic<std::size_t> live_{kHold};
  std::size_t allocated_ = 0;
  std::atomic<bool> changed_{false};
  const void* root_ = nullptr;
  std::shared_ptr<TXmlBlockPool> pool_;
  Block* blocks_ = nullptr;
  Chunk* chunks_ = nullptr;
  Lane lanes_[kLaneCount];
};

// Frees many objects whose destructors have already run, giving an arena its
// objects back in one step per run of objects from the same arena; used when a
// whole subtree or attribute list goes at once.
class TXmlFreeBatch {
 public:
  TXmlFreeBatch() = default;
  ~TXmlFreeBatch() { Flush(); }
  TXmlFreeBatch(const TXmlFreeBatch&) = delete;
  TXmlFreeBatch& operator=(const TXmlFreeBatch&) = delete;

  // aArena: the object's arena, null for a heap object.
  void Free(void* aObject, TXmlArena* aArena) noexcept {
    TXmlArena* arena = aObject != nullptr ? aArena : nullptr;
    if (arena != nullptr && arena == arena_)
      ++count_;
    else
      FreeOther(aObject, arena);
  }

 private:
  void FreeOther(void* aObject, TXmlArena* aArena) noexcept;
  void Flush() noexcept;
  TXmlArena* arena_ = nullptr;
  std::size_t count_ = 0;
};
