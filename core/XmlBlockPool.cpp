#include "core/XmlBlockPool.h"

#include <new>

#include "core/XmlArena.h"

TXmlBlockPool::~TXmlBlockPool() { Trim(); }

std::size_t TXmlBlockPool::Count() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return count_;
}

void TXmlBlockPool::Trim() noexcept {
  // Given back outside the lock: the cache takes a lock of its own.
  for (Kept* k = TakeAll(); k != nullptr;) {
    Kept* next = k->next;
    TXmlArena::GiveCachedBlock(k);
    k = next;
  }
}

void* TXmlBlockPool::Take() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (Kept* k = kept_) {
      kept_ = k->next;
      --count_;
      return k;
    }
  }
  return TXmlArena::TakeCachedBlock();
}

void TXmlBlockPool::Give(void* aBlock) noexcept {
  const std::lock_guard<std::mutex> lock(mutex_);
  kept_ = new (aBlock) Kept{kept_};
  ++count_;
}

TXmlBlockPool::Kept* TXmlBlockPool::TakeAll() noexcept {
  const std::lock_guard<std::mutex> lock(mutex_);
  Kept* all = kept_;
  kept_ = nullptr;
  count_ = 0;
  return all;
}
