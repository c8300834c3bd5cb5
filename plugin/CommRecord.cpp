#include "plugin/CommRecord.h"

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

std::uint32_t CommLoopCallback(CommSendFunction send, std::uint32_t, std::uint32_t, std::uint32_t,
                               std::uint32_t flags) {
  if ((flags & COMM_LOOP_FLAG_ONLINE) == 0 || send == nullptr) return 0;
  gCommRecord.callbackBusy.store(1, std::memory_order_release);
  // Nothing to transfer while no live view runs.
  gCommRecord.callbackBusy.store(0, std::memory_order_release);
  return 0;
}
