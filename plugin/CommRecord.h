#pragma once
// The live-view part of the communication record that the host's
// communication-loop thread and the user-interface thread share, and the
// callback the plug-in registers with the host's communication loop.
//
// The flags are atomics: a writer fills every field first and then sets the
// state with release order; the reader acquires it.

#include <atomic>
#include <cstdint>

#include "host/api/CommLoop.h"

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
  std::atomic<std::int32_t> uploadState{0};  // 0 idle
  std::atomic<std::int32_t> downloadState{0};
};
extern TCommLiveView gCommRecord;

// The state at installation: every flag 0 but values valid, no entries, no
// upload.
void ResetCommLiveView();

// Waits while the communication-loop callback runs: in steps of 50 ms, at
// most 10 of them. Called on the user-interface thread after the live view
// was switched off, before what the callback reads is freed.
void WaitCommLoopIdle();

// Called by the host's communication loop on its own thread; acts only while
// bit 22 of `flags` is set and answers 0. The file transfers and the live
// view's variable pass run here once they are built in.
std::uint32_t CommLoopCallback(CommSendFunction send, std::uint32_t value1, std::uint32_t value2, std::uint32_t value3,
                               std::uint32_t flags);
