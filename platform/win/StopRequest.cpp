#include "platform/win/StopRequest.h"

#include <unistd.h>

#include <algorithm>
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

// Where the program is: at its work, past it (WorkEnded), or stopped by a
// signal that came at its work. The handler and WorkEnded each move it on
// with one atomic step, so a signal is told by exactly one of them.
enum TPhase : int { kAtWork, kWorkEnded, kSignalledAtWork };
std::atomic<int> gPhase{kAtWork};

// The lines a first signal writes once the work has ended.
constexpr std::size_t kLateLineSize = 512;
char gLateInterrupt[kLateLineSize];
char gLateTerminate[kLateLineSize];

void WriteError(const char* text) {
  const ssize_t written = ::write(STDERR_FILENO, text, std::strlen(text));
  static_cast<void>(written);
}

extern "C" void StopOrEnd(int signal) {
  if (gSignalsSeen.fetch_add(1, std::memory_order_relaxed) > 0) {
    // The second: the default action (the process ends) once the handler
    // returns, the signal being blocked until then.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  int phase = kAtWork;
  if (!gPhase.compare_exchange_strong(phase, kSignalledAtWork)) {
    // The work has ended: nothing to stop, only to tell.
    WriteError(signal == SIGINT ? gLateInterrupt : gLateTerminate);
    return;
  }
  RequestStop(signal);
  if (const char* notice = gNotice.load(std::memory_order_relaxed)) WriteError(notice);
}

void CopyLine(char (&target)[kLateLineSize], const std::string& line) {
  const std::size_t size = std::min(line.size(), kLateLineSize - 1);
  std::memcpy(target, line.data(), size);
  target[size] = '\0';
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
  gPhase.store(kAtWork);
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
  // Past the work the handler stays until the program ends: a signal as it
  // ends is told, and keeps the program's exit code.
  if (gPhase.load() == kWorkEnded) return;
  sigaction(SIGINT, &oldInt_, nullptr);
  sigaction(SIGTERM, &oldTerm_, nullptr);
  gNotice.store(nullptr, std::memory_order_relaxed);
}

bool StopSignalScope::WorkEnded(const std::string& sigintLine, const std::string& sigtermLine) {
  // The lines are in place before the handler can take them.
  CopyLine(gLateInterrupt, sigintLine);
  CopyLine(gLateTerminate, sigtermLine);
  int phase = kAtWork;
  return gPhase.compare_exchange_strong(phase, kWorkEnded);
}
