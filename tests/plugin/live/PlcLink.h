#pragma once
// The simulated PLC behind the communication-loop callback, with faults a
// test switches on: the answers of chosen file requests are changed after
// the PLC answered them, and a send may be held until the test lets it go.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "host/sim/SimulatedPlc.h"
#include "hostapi/IQendProjectManager.h"
#include "plugin/CommRecord.h"

namespace livetest {

// The command byte of a file request (2 open, 3 close, 4 read, 5 write).
using AnswerFault = std::function<void(std::uint8_t command, std::uint8_t* answer, std::uint32_t* length)>;

struct PlcLink {
  SimulatedPlc plc;
  AnswerFault fault;
  // Called before each send (on the sending thread).
  std::function<void()> beforeSend;
  std::atomic<int> sends{0};
  // (service, request length) of every request sent from the test's own
  // thread (the log is not shared).
  std::vector<std::pair<std::uint32_t, std::uint32_t>> requests;
  std::thread::id logThread = std::this_thread::get_id();
};

// The link the send function reaches (one at a time).
void SetLink(PlcLink* link);
HRESULT LinkSend(std::uint32_t zero, std::uint32_t service, std::uint32_t requestLength, const void* request,
                 std::uint32_t* replyLength, void* reply);

// The core services' host project manager (none: unbound).
void BindCoreProjectManager(IQendProjectManager* manager);

// One call of the callback with the PLC online.
void CallOnce();
// Calls the callback until neither transfer runs; the number of calls, or -1
// when `limit` calls did not end them.
int RunTransfers(int limit = 1000);

// The PLC's little-endian u32 at `at` of an answer, and setting one.
std::uint32_t U32(const std::uint8_t* bytes, std::uint32_t at);
void SetU32(std::uint8_t* bytes, std::uint32_t at, std::uint32_t value);

}  // namespace livetest
