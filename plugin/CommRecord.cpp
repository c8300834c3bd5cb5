#include "plugin/CommRecord.h"

#include <chrono>
#include <thread>

namespace {

constexpr auto kIdleStep = std::chrono::milliseconds(50);
constexpr int kIdleSteps = 10;

}  // namespace

TCommLiveView gCommRecord;

void ResetCommLiveView() {
  gCommRecord.liveViewOn.store(0);
  gCommRecord.callbackBusy.store(0);
  gCommRecord.variablePassRan.store(0);
  gCommRecord.alarmPageChange.store(0);
  gCommRecord.readRequested.store(0);
  gCommRecord.valuesValid.store(1);
  gCommRecord.entryCount.store(0);
  gCommRecord.registeredCount.store(0);
  gCommRecord.uploadState.store(0, std::memory_order_release);
}

void WaitCommLoopIdle() {
  for (int step = 0; step < kIdleSteps && gCommRecord.callbackBusy.load(std::memory_order_acquire) != 0; ++step)
    std::this_thread::sleep_for(kIdleStep);
}

std::uint32_t CommLoopCallback(CommSendFunction send, std::uint32_t, std::uint32_t, std::uint32_t,
                               std::uint32_t flags) {
  if ((flags & COMM_LOOP_FLAG_ONLINE) == 0 || send == nullptr) return 0;
  gCommRecord.callbackBusy.store(1, std::memory_order_release);
  // Nothing to transfer while no live view runs.
  gCommRecord.callbackBusy.store(0, std::memory_order_release);
  return 0;
}
