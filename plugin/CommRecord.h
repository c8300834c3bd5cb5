#pragma once
// The communication record that the host's communication-loop thread and the
// user-interface thread share, and the callback the plug-in registers with
// the host's communication loop.
//
// The flags are atomics: a writer fills every field first and then sets the
// state with release order; the reader acquires it. The callback runs its
// whole body under `callbackMutex`; the user-interface thread takes the same
// lock (WaitCommLoopIdle, LockCommLoop) before it frees or closes anything
// the callback uses, so nothing is ever freed under a running call.

#include <atomic>
#include <cstdint>
#include <mutex>

#include "grid/TransferRecords.h"
#include "hostapi/CommLoop.h"

struct TCommItem;

struct TCommLiveView {
  std::atomic<std::uint8_t> liveViewOn{0};
  std::atomic<std::uint8_t> syncedReadEnabled{0};
  std::atomic<std::uint8_t> callbackBusy{0};
  std::atomic<std::uint8_t> variablePassRan{0};
  std::atomic<std::uint8_t> alarmPageChange{0};
  std::atomic<std::uint8_t> valuesValid{1};
  std::atomic<std::uint8_t> readRequested{0};
  std::atomic<std::int32_t> entryCount{0};
  std::atomic<std::int32_t> registeredCount{0};
  // The live view's entries (entryCount of them); owned by the live view,
  // replaced only while the live view is off and no callback runs.
  TCommItem* entries = nullptr;
  TPostFile upload;
  TRecvFile download;
  // Held by every call of the callback.
  std::mutex callbackMutex;
  // The designer's window, told after each variable pass; none when no
  // designer shows the live view.
  std::atomic<HWND> designerWindow{nullptr};
  // The tick count of the last variable pass, once known (the callback's
  // own; a tick count of 0 is a time like any other).
  std::uint32_t lastPassTicks = 0;
  bool lastPassKnown = false;
};
extern TCommLiveView gCommRecord;

// The state at installation: every flag 0 but values valid, no entries, no
// transfer.
void ResetCommLiveView();

// Waits until no call of the communication-loop callback runs. Called on the
// user-interface thread after the live view was switched off, before what
// the callback reads is freed; a call that starts later sees the live view
// off and touches nothing.
void WaitCommLoopIdle();

// Keeps the callback out while it lives (for the user-interface thread's
// changes to what the callback uses).
std::unique_lock<std::mutex> LockCommLoop();

// The PLC went offline: both transfers end (the host's
// communication-state event); waits for a running callback first.
void EndTransfersOffline();

// Called by the host's communication loop on its own thread; acts only while
// bit 22 of `flags` is set and answers 0: advances the upload and the
// download by one step and, while no upload runs, makes the live view's
// variable pass every 200 ms.
std::uint32_t CommLoopCallback(CommSendFunction send, std::uint32_t value1, std::uint32_t value2, std::uint32_t value3,
                               std::uint32_t flags);
