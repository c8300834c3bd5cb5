// A full disk at every write of the host's build of the demo, with the built
// plug-in installed in this process: whichever write fails, the web project,
// its settings and pictures hold their state of before or after the build,
// the build fails and the host's message window says why; no output file is
// left short or empty, and each one not written is named there. One write
// that fails among good ones: the build runs to its end, fails, and deletes
// none of the last compile's files. The text says that nothing was written
// exactly when the build wrote no file of the output (a read-only output
// too), and that the pages are incomplete only when it wrote some. And Ctrl+C at
// every write: the build stops, leaves no temporary file, and the next build
// writes the tree of a build never stopped.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/vcl/Screen.h"
#include "platform/win/FileLock.h"
#include "platform/win/StopRequest.h"
#include "tests/host/InProcessBuild.h"
#include "tests/support/FileTree.h"
#include "tests/support/ReadOnlyEntries.h"
#include "tests/support/WriteFaultSweep.h"

#if defined(TARNWELL_PLUGIN_PATH)

namespace {

namespace fs = std::filesystem;

using TInodes = std::map<std::string, ino_t>;

// The in-process build, with what the sweeps of a built demo need.
class BuildWriteFault : public InProcessBuild {
 protected:
  // The project's folder as a good build of the demo left it, laid anew
  // before each case from a copy kept beside it.
  void PutBuilt() {
    fs::remove_all(project);
    fs::copy(Good(), project, fs::copy_options::recursive);
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

  // Builds the demo once into Good() (its files in `builtFiles`), and from
  // there a second time: the clean tree and the sizes of its write calls.
  void FirstBuilds() {
    EXPECT_TRUE(BuildOnce().Succeeded()) << messages;
    fs::remove_all(Good());
    fs::copy(project, Good(), fs::copy_options::recursive);
    builtFiles = writefault::Snapshot(Good(), [](const std::string&) { return true; });
    EXPECT_TRUE(BuildOnce({.budget = std::int64_t{1} << 50, .writes = &writes}).Succeeded()) << messages;
    clean = Tree();
  }

  // After a build that failed: each file of the clean build is whole, old or
  // new (none of the last compile's deleted before its replacement was
  // whole), no temporary file is left, and the text tells what became of the
  // output: a run that wrote a file of it never says that nothing was
  // written, and one that wrote none says so, not that the pages are
  // incomplete. `inodes` are the output's before the build.
  void CheckFailedRun(const writefault::TFiles& clean, const writefault::TFiles& before, const TInodes& inodes,
                      const std::string& run) const {
    const writefault::TFiles now = Tree();
    for (const auto& [name, text] : clean) {
      const auto it = now.find(name);
      const auto old = before.find(name);
      EXPECT_TRUE(it != now.end() && (it->second == text || (old != before.end() && it->second == old->second)))
          << run << ": " << name << (it == now.end() ? " is gone" : " is neither old nor new");
    }
    EXPECT_EQ(testsupport::WriterTemporaryFiles(project), std::vector<std::string>{}) << run;
    const bool nothingSaid = messages.find("Nothing was written for the PLC") != std::string::npos;
    if (Inodes() != inodes) {
      EXPECT_FALSE(nothingSaid) << run << ": the build wrote files\n" << messages;
    } else if (messages.find("These files of the compile could not be written") != std::string::npos) {
      EXPECT_TRUE(nothingSaid) << run << "\n" << messages;
      EXPECT_EQ(messages.find("incomplete"), std::string::npos) << run << "\n" << messages;
    }
  }

  // A build that succeeded although a write failed lost nothing (the file
  // held its bytes already, or it was the driver's time stamp): the tree is
  // the clean build's.
  bool SucceededWhole(const HostBuildResult& build, const std::string& run) const {
    if (!build.Succeeded()) return false;
    EXPECT_EQ(testsupport::ChangedFiles(Tree(), clean), std::vector<std::string>{}) << run << "\n" << messages;
    return true;
  }

  // The inode of each file of the output: a file that a build wrote (whole,
  // then renamed into place) has a new one.
  TInodes Inodes() const {
    TInodes inodes;
    for (const auto& entry : fs::recursive_directory_iterator(fs::path(project) / "SendRoot")) {
      struct stat status {};
      if (entry.is_regular_file() && stat(entry.path().c_str(), &status) == 0)
        inodes[entry.path().string()] = status.st_ino;
    }
    return inodes;
  }

  std::vector<std::size_t> writes;
  writefault::TFiles clean, builtFiles;
};

// What the test does between the build's compile (its link event) and the
// plug-in's compile driver: the export the build calls before the plug-in's.
std::function<void()> gBeforeDriver;
HRESULT BeforeDriver(std::uint32_t, std::uint32_t, IUnknown*, std::uint32_t, std::uint32_t*, std::uint32_t*) {
  if (gBeforeDriver) gBeforeDriver();
  return S_OK;
}

// Each build opens the project and closes it afterwards, so that it starts
// from the files alone (the designer the build opens closes with the project).
TEST_F(BuildWriteFault, EachFileIsOldOrNewAndTheFailedBuildSaysWhy) {
  HostBuildResult build;
  writefault::Sweep(fs::path(project) / "Tarnwell", writefault::IsUserFile,
                    {[this] { PutDemo(); }, [this] { OpenEvents(); }, [&] { build = Build(); },
                     [&] { EXPECT_TRUE(build.Succeeded()); },
                     [&](const std::string& run) {
                       // A disk that fills only at the driver's writes after the compile
                       // may lose nothing (the sweep below checks such a build's tree).
                       EXPECT_TRUE(build.Succeeded() || !host.Messages().All().empty()) << run;
                     },
                     [this] { CloseEvents(); }});
}

// A build refused because another run is at the project writes nothing:
// that run's save after the designer read the project refuses the compile
// (no page, no stamp), and so does its lock held through the build; its save
// after the build's compile wrote the project copy refuses the driver
// (neither the password file nor the imported files). The output and the web
// project's files stay as the other run left them, the settings file's Show
// key and the designer's place included.
TEST_F(BuildWriteFault, ABuildRefusedOverAnotherRunWritesNothing) {
  enum class TOther { kSavesAfterTheRead, kHoldsTheLock, kSavesBeforeTheDriver };
  const struct {
    const char* name;
    TOther other;
    const char* said;
  } rows[] = {
      {"saved after the designer read it", TOther::kSavesAfterTheRead,
       "since this run read or last saved the project, so this compile writes nothing"},
      {"holds the lock", TOther::kHoldsTheLock, "another program is saving or opening the project"},
      {"saved between the compile and the driver", TOther::kSavesBeforeTheDriver,
       "changed after this build's compile wrote it"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    PutDemo();
    fs::create_directories(Web() / "Import");
    std::ofstream(Web() / "Import/NOTES.HTM") << "<p>notes</p>";
    ASSERT_TRUE(BuildOnce().Succeeded()) << messages;
    // The other run shows its designer, and its close records that and
    // where its window stood (moved from where this run's stands).
    writefault::TFiles theirs;
    TInodes inodes;
    const auto saveElsewhere = [&] {
      const ProgramRun saved = Halvex("open '" + project + "' --command Tarnwell --click btnAddGroup --click btnSave2");
      EXPECT_EQ(saved.status, 0) << saved.out;
      std::string settings = testsupport::ReadFileText(Web() / "Demo.webx");
      ASSERT_NE(settings.find("\r\nLeft=0\r\n"), std::string::npos) << settings;
      settings.replace(settings.find("\r\nLeft=0\r\n"), 10, "\r\nLeft=40\r\n");
      std::ofstream(Web() / "Demo.webx", std::ios::binary) << settings;
    };
    // The files as the build finds them.
    const auto snapshot = [&] {
      theirs = Tree();
      inodes = Inodes();
    };
    if (row.other == TOther::kHoldsTheLock) saveElsewhere();
    OpenEvents();
    if (row.other != TOther::kSavesBeforeTheDriver) {
      // The designer read the project, and its window was closed (hidden).
      OpenDesigner();
      for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->ClassName() == "TFormDesign1") Screen->Forms(i)->Close();
    }
    if (row.other == TOther::kSavesAfterTheRead) saveElsewhere();
    snapshot();
    // The lock as another process holds it, tried once.
    const int lock = row.other == TOther::kHoldsTheLock
                         ? ::open((Web() / ".~tarnwell~lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)
                         : -1;
    ASSERT_TRUE(lock < 0 || ::flock(lock, LOCK_EX) == 0);
    SetFolderLockWaitForTests(0);
    if (row.other == TOther::kSavesBeforeTheDriver)
      gBeforeDriver = [&] {
        saveElsewhere();
        snapshot();
      };
    const HostBuildResult build =
        RunHostBuild(host, window->Handle(), {{"test", BeforeDriver}, {"libtarnwell.so", library.linkExtendedProgMap}});
    gBeforeDriver = nullptr;
    std::string told;
    for (const HostMessageLine& line : host.Messages().All()) told += line.text + " " + line.source + "\n";
    CloseEvents();
    SetFolderLockWaitForTests(-1);
    if (lock >= 0) ::close(lock) == 0 && fs::remove(Web() / ".~tarnwell~lock");
    EXPECT_FALSE(build.Succeeded());
    EXPECT_NE(told.find(row.said), std::string::npos) << told;
    EXPECT_EQ(testsupport::ChangedFiles(theirs, Tree()), std::vector<std::string>{}) << told;
    EXPECT_EQ(Inodes(), inodes);
  }
}

// Each case lays the built demo, fails its n-th write call for good (the
// budget ends in the middle of it) and builds.
TEST_F(BuildWriteFault, AFullDiskLeavesNoOutputFileShortAndNamesEachNotWritten) {
  FirstBuilds();
  const std::vector<std::int64_t> budgets = writefault::Budgets(writes);
  for (std::int64_t budget : budgets) {
    const std::string run = "budget " + std::to_string(budget) + " of " + std::to_string(budgets.back());
    PutBuilt();
    const TInodes inodes = Inodes();
    if (SucceededWhole(BuildOnce({.budget = budget}), run)) continue;
    CheckFailedRun(clean, builtFiles, inodes, run);
    // The failure names the files not written, and each has a message of its own.
    const std::string lead = "These files of the compile could not be written: ";
    const std::size_t named = messages.find(lead);
    if (named == std::string::npos) {
      // A failure before the output (the settings file, the project file)
      // says that it could not be written.
      EXPECT_NE(messages.find("\" could not be written"), std::string::npos) << run << "\n" << messages;
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
}

// Each case lays the built demo and fails its n-th write call alone, so that
// the build runs on to its end: it fails, and deletes none of the last
// compile's files; or it lost nothing, and the tree is a clean build's.
TEST_F(BuildWriteFault, OneFailedWriteAmongGoodOnesFailsTheBuildAndDeletesNothing) {
  FirstBuilds();
  for (std::size_t call = 1; call <= writes.size(); ++call) {
    const std::string run = "write " + std::to_string(call) + " of " + std::to_string(writes.size()) + " failed";
    PutBuilt();
    const TInodes inodes = Inodes();
    if (SucceededWhole(BuildOnce({.budget = std::int64_t{1} << 50, .failAt = call}), run)) continue;
    // A write that failed is named, also one of a file that held its bytes.
    EXPECT_EQ(messages.find("(see the messages)"), std::string::npos) << run << "\n" << messages;
    CheckFailedRun(clean, builtFiles, inodes, run);
  }
}

// A read-only output with nothing changed: the build fails, names the files,
// and says that nothing was written, not that the pages are incomplete.
TEST_F(BuildWriteFault, AReadOnlyOutputIsToldAsNothingWritten) {
  ASSERT_TRUE(BuildOnce().Succeeded()) << messages;
  const writefault::TFiles before = Tree();
  const TInodes inodes = Inodes();
  {
    const testsupport::ReadOnlyFolders readOnly(fs::path(project) / "SendRoot");
    if (!readOnly.Holds()) GTEST_SKIP() << "no folder can be made read-only here";
    EXPECT_FALSE(BuildOnce().Succeeded());
  }
  EXPECT_NE(messages.find("These files of the compile could not be written"), std::string::npos) << messages;
  CheckFailedRun(before, before, inodes, "read-only");
  EXPECT_EQ(Inodes(), inodes);
}

// Each case lays the built demo, stops the build at its n-th write call as
// SIGINT does, checks that it stopped without a temporary file, and builds
// again.
TEST_F(BuildWriteFault, CtrlCAtEachWriteLeavesNoTemporaryFileAndTheNextBuildIsWhole) {
  FirstBuilds();
  for (std::size_t call = 1; call <= writes.size(); ++call) {
    const std::string run = "stop at write " + std::to_string(call) + " of " + std::to_string(writes.size());
    PutBuilt();
    ClearStopRequest();
    const HostBuildResult build = BuildOnce({.budget = std::int64_t{1} << 50, .stopAt = call});
    const bool stopped = StopRequestSignal() != 0;
    ClearStopRequest();
    EXPECT_TRUE(stopped) << run;
    EXPECT_FALSE(build.Succeeded()) << run;
    EXPECT_NE(messages.find("stopped"), std::string::npos) << run << "\n" << messages;
    EXPECT_EQ(testsupport::WriterTemporaryFiles(project), std::vector<std::string>{}) << run;
    EXPECT_TRUE(BuildOnce().Succeeded()) << run << "\n" << messages;
    EXPECT_EQ(testsupport::ChangedFiles(Tree(), clean), std::vector<std::string>{}) << run;
  }
}

}  // namespace

#endif
