#include "plugin/CommRecord.h"

#include "platform/win/VirtualClock.h"
#include "platform/win/WindowMessages.h"
#include "plugin/FileTransfers.h"
#include "plugin/VariablePass.h"

namespace {

constexpr std::uint32_t kPassInterval = 200;

// Clears the busy flag on every return of the callback.
struct BusyScope {
  BusyScope() { gCommRecord.callbackBusy.store(1, std::memory_order_release); }
  ~BusyScope() { gCommRecord.callbackBusy.store(0, std::memory_order_release); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};

}  // namespace

TCommLiveView gCommRecord;

void ResetCommLiveView() {
  std::unique_lock<std::mutex> lock = LockCommLoop();
  gCommRecord.liveViewOn.store(0);
  gCommRecord.syncedReadEnabled.store(0);
  gCommRecord.callbackBusy.store(0);
  gCommRecord.variablePassRan.store(0);
  gCommRecord.alarmPageChange.store(0);
  gCommRecord.readRequested.store(0);
  gCommRecord.valuesValid.store(1);
  gCommRecord.entryCount.store(0);
  gCommRecord.registeredCount.store(0);
  gCommRecord.lastPassKnown = false;
  AbortTransfers(gCommRecord.upload, gCommRecord.download);
  gCommRecord.download.state.store(0, std::memory_order_release);
}

void WaitCommLoopIdle() { std::lock_guard<std::mutex> lock(gCommRecord.callbackMutex); }

std::unique_lock<std::mutex> LockCommLoop() { return std::unique_lock<std::mutex>(gCommRecord.callbackMutex); }

void EndTransfersOffline() {
  std::unique_lock<std::mutex> lock = LockCommLoop();
  AbortTransfers(gCommRecord.upload, gCommRecord.download);
}

std::uint32_t CommLoopCallback(CommSendFunction send, std::uint32_t, std::uint32_t, std::uint32_t,
                               std::uint32_t flags) {
  std::lock_guard<std::mutex> lock(gCommRecord.callbackMutex);
  if (!gCommRecord.lastPassKnown) {
    gCommRecord.lastPassTicks = GetTickCount();
    gCommRecord.lastPassKnown = true;
  }
  if ((flags & COMM_LOOP_FLAG_ONLINE) == 0 || send == nullptr) return 0;
  if (gCommRecord.liveViewOn.load(std::memory_order_acquire) == 0) {
    gCommRecord.lastPassKnown = false;
    return 0;
  }
  BusyScope busy;
  StepUpload(gCommRecord.upload, send);
  StepDownload(gCommRecord.download, send);
  if (gCommRecord.upload.state.load(std::memory_order_acquire) != 0) {
    if (HWND window = gCommRecord.upload.progressWindow.load(std::memory_order_acquire); window != nullptr)
      PostMessage(window, kMsgCommProgress, 0, 0);
    return 0;
  }
  if (GetTickCount() - gCommRecord.lastPassTicks > kPassInterval) RunVariablePass(send);
  return 0;
}
