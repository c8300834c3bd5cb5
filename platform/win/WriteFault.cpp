#include "platform/win/WriteFault.h"

#include <algorithm>
#include <csignal>
#include <mutex>

#include "platform/win/StopRequest.h"

std::atomic<std::int64_t> gFileWriteBudget{-1};

namespace {

std::atomic<std::uint64_t> gFileWriteFailures{0};

std::mutex gRecorderLock;
std::vector<std::size_t>* gRecorder = nullptr;
// The write call that asks for a stop (0: none), and the calls so far.
std::uint64_t gStopAtCall = 0;
std::uint64_t gCalls = 0;
// The write call that fails (0: none), and the calls so far.
std::uint64_t gFailAtCall = 0;
std::uint64_t gFailCalls = 0;

}  // namespace

std::uint64_t FileWriteFailureCount() noexcept { return gFileWriteFailures.load(std::memory_order_relaxed); }

void CountFileWriteFailure() noexcept { gFileWriteFailures.fetch_add(1, std::memory_order_relaxed); }

void SetFileWriteRecorderForTests(std::vector<std::size_t>* sizes) noexcept {
  const std::lock_guard<std::mutex> lock(gRecorderLock);
  gRecorder = sizes;
}

void SetStopAtFileWriteForTests(std::uint64_t aCall) noexcept {
  const std::lock_guard<std::mutex> lock(gRecorderLock);
  gStopAtCall = aCall;
  gCalls = 0;
}

void SetFailAtFileWriteForTests(std::uint64_t aCall) noexcept {
  const std::lock_guard<std::mutex> lock(gRecorderLock);
  gFailAtCall = aCall;
  gFailCalls = 0;
}

void SetFileWriteBudgetForTests(std::int64_t aBytes) noexcept {
  gFileWriteBudget.store(aBytes < 0 ? -1 : aBytes, std::memory_order_relaxed);
}

std::size_t TakeFromFileWriteBudget(std::size_t aSize) noexcept {
  {
    const std::lock_guard<std::mutex> lock(gRecorderLock);
    if (gRecorder != nullptr) gRecorder->push_back(aSize);
    if (gStopAtCall != 0 && ++gCalls == gStopAtCall) RequestStop(SIGINT);
    if (gFailAtCall != 0 && ++gFailCalls == gFailAtCall) return 0;
  }
  std::int64_t budget = gFileWriteBudget.load(std::memory_order_relaxed);
  for (;;) {
    if (budget < 0) return aSize;  // turned off meanwhile
    const auto taken = static_cast<std::int64_t>(std::min<std::uint64_t>(aSize, static_cast<std::uint64_t>(budget)));
    if (gFileWriteBudget.compare_exchange_weak(budget, budget - taken, std::memory_order_relaxed))
      return static_cast<std::size_t>(taken);
  }
}
