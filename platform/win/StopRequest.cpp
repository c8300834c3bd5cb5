#include "platform/win/StopRequest.h"

#include <atomic>

namespace {

// Lock-free, so that a signal handler may store into it.
std::atomic<int> gStopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

}  // namespace

void RequestStop(int signal) noexcept { gStopSignal.store(signal, std::memory_order_relaxed); }

int StopRequestSignal() noexcept { return gStopSignal.load(std::memory_order_relaxed); }

void ClearStopRequest() noexcept { gStopSignal.store(0, std::memory_order_relaxed); }
