#pragma once
// A stop asked of the running program from outside (SIGINT, SIGTERM): the
// program's handler records the signal, and long runs (a compile) look at it
// between their steps and end early, cleaning up as after any failure.

#include <signal.h>

#include <string>

// Records the signal that asks for the stop; safe inside a signal handler.
void RequestStop(int signal) noexcept;

// The signal that asked for a stop; 0 while none did.
int StopRequestSignal() noexcept;

// Forgets a recorded stop (a new run starts).
void ClearStopRequest() noexcept;

// True when SIGINT is ignored now, as a program finds it when it was started
// as a background job of a non-interactive shell (or by nohup from one): by
// the shells' convention such a program is not stopped by the terminal's
// Ctrl+C, so the stop handlers leave SIGINT ignored. SIGTERM always stops.
bool InterruptIgnored() noexcept;

// While it lives, SIGINT and SIGTERM ask for the stop (RequestStop) and the
// notice, when given, is written to the standard error; a second signal ends
// the process at once as the signal's default does (also when the program
// took the stop and forgot it to close as always): a program busy in a long
// piece of work, which looks at the stop only after it, can always be ended
// without SIGKILL. It starts with no stop recorded, leaves a SIGINT that was
// ignored ignored (InterruptIgnored) and gives the signals their previous
// handling back when it ends, unless the program's work was declared ended
// (WorkEnded): a first signal from then on, until the program ends, stops
// nothing and only writes its line.
class StopSignalScope {
 public:
  explicit StopSignalScope(const char* notice = nullptr);
  ~StopSignalScope();
  StopSignalScope(const StopSignalScope&) = delete;
  StopSignalScope& operator=(const StopSignalScope&) = delete;

  // The program's work and its exit code are settled: a first signal from
  // now on writes `sigintLine` or `sigtermLine` (copied; cut at 511 bytes) to
  // the standard error and stops nothing, also after the scope has ended.
  // False, and nothing changed, when a signal came before.
  bool WorkEnded(const std::string& sigintLine, const std::string& sigtermLine);

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
};
