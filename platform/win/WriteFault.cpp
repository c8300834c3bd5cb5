#include "platform/win/WriteFault.h"

#include <algorithm>
#include <mutex>

std::atomic<std::int64_t> gFileWriteBudget{-1};

namespace {

std::atomic<std::uint64_t> gFileWriteFailures{0};

std::mutex gRecorderLock;
std::vector<std::size_t>* gRecorder = nullptr;

}  // namespace

std::uint64_t FileWriteFailureCount() noexcept { return gFileWriteFailures.load(std::memory_order_relaxed); }

void CountFileWriteFailure() noexcept { gFileWriteFailures.fetch_add(1, std::memory_order_relaxed); }

void SetFileWriteRecorderForTests(std::vector<std::size_t>* sizes) noexcept {
  const std::lock_guard<std::mutex> lock(gRecorderLock);
  gRecorder = sizes;
}

void SetFileWriteBudgetForTests(std::int64_t aBytes) noexcept {
  gFileWriteBudget.store(aBytes < 0 ? -1 : aBytes, std::memory_order_relaxed);
}

std::size_t TakeFromFileWriteBudget(std::size_t aSize) noexcept {
  {
    const std::lock_guard<std::mutex> lock(gRecorderLock);
    if (gRecorder != nullptr) gRecorder->push_back(aSize);
  }
  std::int64_t budget = gFileWriteBudget.load(std::memory_order_relaxed);
  for (;;) {
    if (budget < 0) return aSize;  // turned off meanwhile
    const auto taken = static_cast<std::int64_t>(std::min<std::uint64_t>(aSize, static_cast<std::uint64_t>(budget)));
    if (gFileWriteBudget.compare_exchange_weak(budget, budget - taken, std::memory_order_relaxed))
      return static_cast<std::size_t>(taken);
  }
}
