// SIGINT and SIGTERM under a StopSignalScope: the first asks for the stop and
// says so, a second ends the process at once, whatever it is doing.

#include <gtest/gtest.h>

#include <csignal>

#include "platform/win/StopRequest.h"

namespace {

// In a child process (a death test): the first signal is recorded, taken and
// forgotten as a program that closes as always does; the program goes on with
// its work, which the second signal ends by that signal.
// The child starts with SIGINT as from a terminal, or ignored as in a
// background job: then SIGINT stays ignored, asking for nothing and ending
// nothing.
void TakeTheFirstAndGoOn(int first, int second, bool interruptIgnored = false) {
  std::signal(SIGINT, interruptIgnored ? SIG_IGN : SIG_DFL);
  StopSignalScope scope("stopping: a second signal ends it at once\n");
  if (interruptIgnored) {
    std::raise(SIGINT);
    if (StopRequestSignal() != 0) std::_Exit(4);
  }
  std::raise(first);
  if (StopRequestSignal() != first) std::_Exit(2);
  ClearStopRequest();
  std::raise(second);
  std::_Exit(3);  // still here: the second signal did not end the process
}

}  // namespace

TEST(StopSignalScope, TheFirstSignalAsksForTheStopTheSecondEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const int rows[][2] = {{SIGINT, SIGINT}, {SIGTERM, SIGTERM}, {SIGINT, SIGTERM}, {SIGTERM, SIGINT}};
  for (const auto& row : rows)
    EXPECT_EXIT(TakeTheFirstAndGoOn(row[0], row[1]), testing::KilledBySignal(row[1]),
                "^stopping: a second signal ends it at once\n$")
        << row[0] << " then " << row[1];
  EXPECT_EXIT(TakeTheFirstAndGoOn(SIGTERM, SIGTERM, true), testing::KilledBySignal(SIGTERM),
              "^stopping: a second signal ends it at once\n$")
      << "SIGINT ignored before the scope";
}

extern "C" void CountSignal(int) {}

// Whatever handling the signals had before the scope (the one the process was
// started with, ignored, a handler of the program's) is theirs again after it.
TEST(StopSignalScope, StartsWithoutAStopAndGivesTheSignalsBack) {
  struct sigaction started[2]{};
  sigaction(SIGINT, nullptr, &started[0]);
  sigaction(SIGTERM, nullptr, &started[1]);
  for (void (*before)(int) : {started[0].sa_handler, SIG_IGN, SIG_DFL, &CountSignal}) {
    std::signal(SIGINT, before);
    std::signal(SIGTERM, before == SIG_IGN ? SIG_DFL : before);
    struct sigaction was[2]{};
    sigaction(SIGINT, nullptr, &was[0]);
    sigaction(SIGTERM, nullptr, &was[1]);
    RequestStop(SIGTERM);
    {
      StopSignalScope scope;
      EXPECT_EQ(StopRequestSignal(), 0);
      EXPECT_EQ(InterruptIgnored(), before == SIG_IGN);
    }
    struct sigaction now[2]{};
    sigaction(SIGINT, nullptr, &now[0]);
    sigaction(SIGTERM, nullptr, &now[1]);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(now[i].sa_handler, was[i].sa_handler) << (i == 0 ? "SIGINT" : "SIGTERM");
  }
  sigaction(SIGINT, &started[0], nullptr);
  sigaction(SIGTERM, &started[1], nullptr);
  ClearStopRequest();
}
