// SIGINT and SIGTERM under a StopSignalScope: the first asks for the stop and
// says so, a second ends the process at once, whatever it is doing.

#include <gtest/gtest.h>

#include <csignal>

#include "platform/win/StopRequest.h"

namespace {

// In a child process (a death test): the first signal is recorded, taken and
// forgotten as a program that closes as always does; the program goes on with
// its work, which the second signal ends by that signal.
void TakeTheFirstAndGoOn(int first, int second) {
  StopSignalScope scope("stopping: a second signal ends it at once\n");
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
}

TEST(StopSignalScope, StartsWithoutAStopAndGivesTheSignalsBack) {
  RequestStop(SIGTERM);
  {
    StopSignalScope scope;
    EXPECT_EQ(StopRequestSignal(), 0);
  }
  struct sigaction now {};
  sigaction(SIGINT, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
  ClearStopRequest();
}
