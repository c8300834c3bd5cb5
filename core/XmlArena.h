#pragma once
// Storage of the nodes and attributes of the document model.
//
// Every TmyXmlNode and TmyXmlAttrNode carries one hidden word in front of it:
// null for an object from the ordinary heap, or the arena it was carved from.
// The reader builds its whole tree in one arena (blocks of 64 KB filled in
// order) instead of one heap allocation per node and attribute; such an object
// is still destroyed on its own with delete, and the arena gives its blocks
// back when its last object is gone. The memory of a parsed tree is therefore
// held until all of its nodes are destroyed (at most what that parse took).
//
// Blocks given back are kept for the next parse up to kMaxCachedBytes for the
// whole process, so that reading a file again does not fetch fresh pages from
// the system each time; they go back to the system when the module is
// unloaded or the process ends.

#include <atomic>
#include <cstddef>

class TXmlArena {
 public:
  static constexpr std::size_t kBlockSize = std::size_t{64} << 10;
  static constexpr std::size_t kMaxCachedBytes = std::size_t{64} << 20;

  // A new arena, held by its creator until Finish.
  static TXmlArena* Create();
  // The creator drops its hold; the arena goes with its last object.
  void Finish() noexcept;

  // An object of at most a few hundred bytes, with the hidden word set to this
  // arena. Only the creator allocates, before Finish.
  void* Allocate(std::size_t aSize);

  // Operator new and delete of the model's classes.
  static void* HeapAllocate(std::size_t aSize);  // with the hidden word null
  static void Free(void* aObject) noexcept;      // either kind
  // The arena of an object, null for a heap object.
  static TXmlArena* ArenaOf(void* aObject) noexcept { return static_cast<TXmlArena**>(aObject)[-1]; }

  TXmlArena(const TXmlArena&) = delete;
  TXmlArena& operator=(const TXmlArena&) = delete;

 private:
  friend class TXmlFreeBatch;
  struct Block {
    Block* next;
  };

  TXmlArena() = default;
  ~TXmlArena();
  void Release(std::size_t aCount = 1) noexcept;
  void AddBlock();

  // Objects alive, plus kHold while the creator fills the arena. Allocations
  // are counted in allocated_ and added at Finish, so that carving an object
  // costs no atomic operation.
  static constexpr std::size_t kHold = std::size_t{1} << 62;
  std::atomic<std::size_t> live_{kHold};
  std::size_t allocated_ = 0;
  Block* blocks_ = nullptr;
  char* pos_ = nullptr;
  char* limit_ = nullptr;
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

  void Free(void* aObject) noexcept {
    TXmlArena* arena = aObject != nullptr ? TXmlArena::ArenaOf(aObject) : nullptr;
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
