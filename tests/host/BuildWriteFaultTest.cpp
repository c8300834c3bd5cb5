// A full disk at every write of the host's build of the demo, with the built
// plug-in installed in this process: whichever write fails, the web project,
// its settings and pictures hold their state of before or after the build,
// the build fails and the host's message window says why.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/host/InProcessBuild.h"
#include "tests/support/WriteFaultSweep.h"

#if defined(TARNWELL_PLUGIN_PATH)

namespace {

namespace fs = std::filesystem;

using BuildWriteFault = InProcessBuild;

// Each build opens the project and closes it afterwards, so that it starts
// from the files alone (the designer the build opens closes with the project).
TEST_F(BuildWriteFault, EachFileIsOldOrNewAndTheFailedBuildSaysWhy) {
  HostBuildResult build;
  writefault::Sweep(fs::path(project) / "Tarnwell", writefault::IsUserFile,
                    {[this] { PutDemo(); }, [this] { OpenEvents(); }, [&] { build = Build(); },
                     [&] { EXPECT_TRUE(build.Succeeded()); },
                     [&](const std::string& run) {
                       EXPECT_FALSE(build.Succeeded()) << run;
                       EXPECT_FALSE(host.Messages().All().empty()) << run;
                     },
                     [this] { CloseEvents(); }});
}

}  // namespace

#endif
