#pragma once
// Arena blocks (XmlArena.h) kept for the next arenas of one owner.
//
// The process's cache keeps at most TXmlArena::kMaxCachedBytes of the blocks
// that arenas give back; the rest go to the heap, which hands large free
// stretches back to the system, and the next arenas then fault those pages in
// anew. An owner that drops and builds again more than that (the designer's
// undo history: a snapshot of every object of the page a press, 16 of them)
// keeps the blocks of its dropped trees in a pool of its own, however many,
// until it gives them up (Trim) or goes.
//
// The arenas made with a pool hold it, so the pool lives as long as its owner
// or its last arena, whichever goes last; its blocks then go to the process's
// cache. Arenas on any thread may take and give back blocks.

#include <cstddef>
#include <memory>
#include <mutex>

class TXmlBlockPool {
 public:
  static std::shared_ptr<TXmlBlockPool> Create() { return std::shared_ptr<TXmlBlockPool>(new TXmlBlockPool); }
  ~TXmlBlockPool();
  TXmlBlockPool(const TXmlBlockPool&) = delete;
  TXmlBlockPool& operator=(const TXmlBlockPool&) = delete;

  // The blocks kept.
  std::size_t Count() const;
  // Gives every block kept to the process's cache.
  void Trim() noexcept;

 private:
  friend class TXmlArena;
  TXmlBlockPool() = default;
  // A kept block, or one from the process's cache when none is kept.
  void* Take();
  // Keeps a block that an arena of the pool gives back.
  void Give(void* aBlock) noexcept;
  // A kept block holds the next one in its first bytes.
  struct Kept {
    Kept* next;
  };
  Kept* TakeAll() noexcept;

  mutable std::mutex mutex_;
  Kept* kept_ = nullptr;
  std::size_t count_ = 0;
};
