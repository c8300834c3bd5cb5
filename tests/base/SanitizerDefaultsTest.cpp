// The sanitizer build's default options: present in every program, and the
// leak checker still reports a leak with them.

#include <gtest/gtest.h>

#include <string>

#include "tests/host/ProgramRun.h"

#if defined(__SANITIZE_ADDRESS__)

extern "C" const char* __asan_default_options();

namespace {

TEST(SanitizerDefaults, EveryProgramStartsWithoutTheTlsInterception) {
  EXPECT_EQ(std::string(__asan_default_options()), "intercept_tls_get_addr=0");
}

TEST(SanitizerDefaults, ADeliberateLeakIsStillReported) {
  // With the checker on, as it is by default, whatever the run's options.
  const ProgramRun run =
      RunProgram("ASAN_OPTIONS=detect_leaks=1 '" + std::string(TARNWELL_BINARY_DIR) + "/tests/base/probe/leak_probe'");
  EXPECT_NE(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("ERROR: LeakSanitizer: detected memory leaks"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Direct leak of 48 byte(s) in 1 object(s)"), std::string::npos) << run.out;
}

}  // namespace

#endif
