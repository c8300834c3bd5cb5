// A full disk at every write of the host's build of the demo, with the built
// plug-in installed in this process: whichever write fails, the web project,
// its settings and pictures hold their state of before or after the build,
// the build fails and the host's message window says why; no output file is
// left short or empty, and each one not written is named there. And Ctrl+C at
// every write: the build stops, leaves no temporary file, and the next build
// writes the tree of a build never stopped.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "platform/win/StopRequest.h"
#include "tests/host/InProcessBuild.h"
#include "tests/support/WriteFaultSweep.h"

#if defined(TARNWELL_PLUGIN_PATH)

namespace {

namespace fs = std::filesystem;

// The in-process build, with what the sweeps of a built demo need.
class BuildWriteFault : public InProcessBuild {
 protected:
  void TearDown() override {
    InProcessBuild::TearDown();
    if (!built.empty()) fs::remove_all(built);
  }

  // One build as a user starts it: the project opens, builds and closes. A
  // budget (not negative) holds for the build alone, which records its
  // write calls into `writes` and asks to stop at the call `stopAt` (0: none).
  HostBuildResult BuildOnce(std::int64_t budget = -1, std::vector<std::size_t>* writes = nullptr,
                            std::uint64_t stopAt = 0) {
    OpenEvents();
    HostBuildResult build;
    {
      SetFileWriteRecorderForTests(writes);
      const FileWriteBudgetScope scope(budget);
      SetStopAtFileWriteForTests(stopAt);
      build = Build();
      SetStopAtFileWriteForTests(0);
      SetFileWriteRecorderForTests(nullptr);
    }
    messages.clear();
    for (const HostMessageLine& line : host.Messages().All()) messages += line.text + " " + line.source + "\n";
    CloseEvents();
    return build;
  }

  // The project's folder as a good build of the demo left it, laid anew
  // before each case from a copy kept beside it.
  void PutBuilt() {
    fs::remove_all(project);
    fs::copy(built, project, fs::copy_options::recursive);
  }

  // The output and the web project's compiled lists: relative path to content.
  writefault::TFiles Tree() const {
    writefault::TFiles tree;
    for (const char* folder : {"SendRoot", "Tarnwell"})
      for (const auto& [name, text] :
           writefault::Snapshot(fs::path(project) / folder, [](const std::string& n) { return !n.ends_with(".txt"); }))
        tree[std::string(folder) + "/" + name] = text;
    return tree;
  }

  // Builds the demo once into `built` and answers the clean tree of a second
  // build from there and the sizes of that build's write calls.
  writefault::TFiles FirstBuilds(std::vector<std::size_t>& writes) {
    built = project + "-built";
    fs::remove_all(built);
    EXPECT_TRUE(BuildOnce().Succeeded()) << messages;
    fs::copy(project, built, fs::copy_options::recursive);
    EXPECT_TRUE(BuildOnce(std::int64_t{1} << 50, &writes).Succeeded()) << messages;
    return Tree();
  }

  std::string messages;
  std::string built;
};

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

// The names whose contents differ between two trees, or that one lacks.
std::vector<std::string> Differing(const writefault::TFiles& a, const writefault::TFiles& b) {
  std::vector<std::string> names;
  for (const auto& [name, text] : a)
    if (b.count(name) == 0 || b.at(name) != text) names.push_back(name);
  for (const auto& [name, text] : b)
    if (a.count(name) == 0) names.push_back(name);
  return names;
}

// Each case lays the built demo, fails its n-th write call for good (the
// budget ends in the middle of it) and builds.
TEST_F(BuildWriteFault, AFullDiskLeavesNoOutputFileShortAndNamesEachNotWritten) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::size_t> writes;
  const writefault::TFiles clean = FirstBuilds(writes);
  const writefault::TFiles before = writefault::Snapshot(built, [](const std::string&) { return true; });
  const std::vector<std::int64_t> budgets = writefault::Budgets(writes);
  for (std::int64_t budget : budgets) {
    const std::string run = "budget " + std::to_string(budget) + " of " + std::to_string(budgets.back());
    PutBuilt();
    EXPECT_FALSE(BuildOnce(budget).Succeeded()) << run;
    const writefault::TFiles now = Tree();
    for (const auto& [name, text] : clean) {
      const auto it = now.find(name);
      const auto old = before.find(name);
      // Whole, old or new: no file short or empty, and none of the last
      // compile's deleted before its replacement was whole.
      EXPECT_TRUE(it != now.end() && (it->second == text || (old != before.end() && it->second == old->second)))
          << run << ": " << name << (it == now.end() ? " is gone" : " is neither old nor new");
    }
    EXPECT_EQ(testsupport::WriterTemporaryFiles(project), std::vector<std::string>{}) << run;
    // The failure names the files not written, and each has a message of its own.
    const std::string lead = "These files of the compile could not be written: ";
    const std::size_t named = messages.find(lead);
    if (named == std::string::npos) {
      // A failure before the output (the settings file, the project file)
      // names that file.
      EXPECT_NE(messages.find("write"), std::string::npos) << run << "\n" << messages;
      continue;
    }
    const std::size_t end = messages.find(". ", named);
    std::string list = messages.substr(named + lead.size(), end - named - lead.size());
    if (const std::size_t more = list.find(" and "); more != std::string::npos) list.resize(more);
    for (std::size_t at = 0; at < list.size();) {
      const std::size_t comma = std::min(list.find(", ", at), list.size());
      const std::string path = list.substr(at, comma - at);
      EXPECT_NE(messages.find(path + "\n"), std::string::npos) << run << ": no message of its own for " << path;
      at = comma + 2;
    }
  }
  std::cout << budgets.size() << " full-disk cases in "
            << std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count()
            << " ms\n";
}

// Each case lays the built demo, stops the build at its n-th write call as
// SIGINT does, checks that it stopped without a temporary file, and builds
// again.
TEST_F(BuildWriteFault, CtrlCAtEachWriteLeavesNoTemporaryFileAndTheNextBuildIsWhole) {
  const auto start = std::chrono::steady_clock::now();
  std::vector<std::size_t> writes;
  const writefault::TFiles clean = FirstBuilds(writes);
  for (std::size_t call = 1; call <= writes.size(); ++call) {
    const std::string run = "stop at write " + std::to_string(call) + " of " + std::to_string(writes.size());
    PutBuilt();
    ClearStopRequest();
    const HostBuildResult build = BuildOnce(std::int64_t{1} << 50, nullptr, call);
    const bool stopped = StopRequestSignal() != 0;
    ClearStopRequest();
    EXPECT_TRUE(stopped) << run;
    EXPECT_FALSE(build.Succeeded()) << run;
    EXPECT_NE(messages.find("stopped"), std::string::npos) << run << "\n" << messages;
    EXPECT_EQ(testsupport::WriterTemporaryFiles(project), std::vector<std::string>{}) << run;
    EXPECT_TRUE(BuildOnce().Succeeded()) << run << "\n" << messages;
    EXPECT_EQ(Differing(Tree(), clean), std::vector<std::string>{}) << run;
  }
  std::cout << writes.size() << " interruption cases in "
            << std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count()
            << " ms\n";
}

}  // namespace

#endif
