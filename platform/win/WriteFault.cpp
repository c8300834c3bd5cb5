#include "platform/win/WriteFault.h"

#include <algorithm>

std::atomic<std::int64_t> gFileWriteBudget{-1};

void SetFileWriteBudgetForTests(std::int64_t aBytes) noexcept {
  gFileWriteBudget.store(aBytes < 0 ? -1 : aBytes, std::memory_order_relaxed);
}

std::size_t TakeFromFileWriteBudget(std::size_t aSize) noexcept {
  std::int64_t budget = gFileWriteBudget.load(std::memory_order_relaxed);
  for (;;) {
    if (budget < 0) return aSize;  // turned off meanwhile
    const auto taken = static_cast<std::int64_t>(std::min<std::uint64_t>(aSize, static_cast<std::uint64_t>(budget)));
    if (gFileWriteBudget.compare_exchange_weak(budget, budget - taken, std::memory_order_relaxed))
      return static_cast<std::size_t>(taken);
  }
}
