#include "platform/win/StopRequest.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace {

// Lock-free, so that a signal handler may store into it.
std::atomic<int> gStopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

// The notice of the living StopSignalScope, written on the first signal, and
// the signals it got (a stop taken and forgotten still counts).
std::atomic<const char*> gNotice{nullptr};
std::atomic<int> gSignalsSeen{0};

extern "C" void StopOrEnd(int signal) {
  if (gSignalsSeen.fetch_add(1, std::memory_order_relaxed) > 0) {
    // The second: the default action (the process ends) once the handler
    // returns, the signal being blocked until then.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  RequestStop(signal);
  if (const char* notice = gNotice.load(std::memory_order_relaxed)) {
    const ssize_t written = ::write(STDERR_FILENO, notice, std::strlen(notice));
    static_cast<void>(written);
  }
}

}  // namespace

void RequestStop(int signal) noexcept { gStopSignal.store(signal, std::memory_order_relaxed); }

int StopRequestSignal() noexcept { return gStopSignal.load(std::memory_order_relaxed); }

void ClearStopRequest() noexcept { gStopSignal.store(0, std::memory_order_relaxed); }

bool InterruptIgnored() noexcept {
  struct sigaction now {};
  return sigaction(SIGINT, nullptr, &now) == 0 && now.sa_handler == SIG_IGN;
}

StopSignalScope::StopSignalScope(const char* notice) {
  ClearStopRequest();
  gSignalsSeen.store(0, std::memory_order_relaxed);
  gNotice.store(notice, std::memory_order_relaxed);
  struct sigaction action {};
  action.sa_handler = StopOrEnd;
  sigemptyset(&action.sa_mask);
  // Without SA_RESTART: a wait of the program ends early (EINTR) and it looks
  // at the stop sooner.
  action.sa_flags = 0;
  sigaction(SIGINT, InterruptIgnored() ? nullptr : &action, &oldInt_);
  sigaction(SIGTERM, &action, &oldTerm_);
}

StopSignalScope::~StopSignalScope() {
  sigaction(SIGINT, &oldInt_, nullptr);
  sigaction(SIGTERM, &oldTerm_, nullptr);
  gNotice.store(nullptr, std::memory_order_relaxed);
}
