#include "core/XmlBuildArena.h"

#include <stdexcept>
#include <utility>

#include "core/XmlArena.h"
#include "core/XmlNode.h"

namespace {

// The scope open on this thread; null when there is none.
thread_local TXmlBuildArena* tOpen = nullptr;

}  // namespace

TXmlBuildArena::TXmlBuildArena(std::shared_ptr<TXmlBlockPool> aPool, std::initializer_list<const TmyXmlNode*> aRoots)
    : arena_(TXmlArena::Create(std::move(aPool))), outer_(tOpen) {
  for (const TmyXmlNode* root : aRoots) {
    if (root == nullptr) continue;
    if (rootCount_ == kMaxRoots) {
      arena_->Finish();
      throw std::length_error("TXmlBuildArena: too many roots");
    }
    roots_[rootCount_++] = root;
  }
  tOpen = this;
}

TXmlBuildArena::~TXmlBuildArena() {
  tOpen = outer_;
  arena_->Finish();
}

TXmlArena* TXmlBuildArena::For(const TmyXmlNode* aParent) noexcept {
  const TXmlBuildArena* open = tOpen;
  if (open == nullptr || aParent == nullptr) return nullptr;
  if (aParent->name.resident() && TXmlArena::ArenaAt(aParent) == open->arena_) return open->arena_;
  for (std::size_t i = 0; i < open->rootCount_; ++i)
    if (open->roots_[i] == aParent) return open->arena_;
  return nullptr;
}

bool TXmlBuildArena::IsOpen(const TXmlArena* aArena) noexcept {
  const TXmlBuildArena* open = tOpen;
  return open != nullptr && open->arena_ == aArena;
}
