#pragma once
// Nodes and attributes that a thread builds and frees again soon after (the
// markup of one generated page), carved from an arena with their texts instead
// of taken from the heap one by one.
//
// While a TXmlBuildArena is open on a thread, a node or attribute that the
// thread makes as a child or attribute of one of the scope's roots, or of a
// node of the scope's arena, comes from the arena (XmlArena.h), and so do the
// texts that the thread gives such an object; everything else comes from the
// heap as always. An object of the arena is an ordinary node of the model: it
// can be changed, moved, kept after the scope closes or deleted one by one. The
// arena goes with its last object, so an object kept longer holds the memory of
// its whole scope: a scope is meant for a document whose objects go together.
//
// Scopes nest on a thread: closing one opens the one before it again.
//
// A scope given a block pool (XmlBlockPool.h) makes its arena with that pool.

#include <array>
#include <cstddef>
#include <initializer_list>
#include <memory>

class TXmlArena;
class TXmlBlockPool;
class TmyXmlNode;

class TXmlBuildArena {
 public:
  static constexpr std::size_t kMaxRoots = 8;
  // Opens a scope on this thread for children of the given roots (null ones
  // are left out; at most kMaxRoots).
  explicit TXmlBuildArena(std::initializer_list<const TmyXmlNode*> aRoots) : TXmlBuildArena(nullptr, aRoots) {}
  // The same, the arena's blocks taken from and given back to aPool.
  TXmlBuildArena(std::shared_ptr<TXmlBlockPool> aPool, std::initializer_list<const TmyXmlNode*> aRoots);
  ~TXmlBuildArena();
  TXmlBuildArena(const TXmlBuildArena&) = delete;
  TXmlBuildArena& operator=(const TXmlBuildArena&) = delete;

  // The arena for a new child or attribute of aParent: the open scope's when
  // aParent is one of its roots or an object of its arena; null (the heap)
  // otherwise or without an open scope on this thread.
  static TXmlArena* For(const TmyXmlNode* aParent) noexcept;
  // True when aArena is the arena of the scope open on this thread.
  static bool IsOpen(const TXmlArena* aArena) noexcept;

 private:
  TXmlArena* arena_;
  std::array<const TmyXmlNode*, kMaxRoots> roots_{};
  std::size_t rootCount_ = 0;
  TXmlBuildArena* outer_;
};
