// A full disk at every write of the designer's commands that write the
// user's files: the save (one project file with its backups, or "web.xml"
// with a file a page) and the save and compile. Whichever write fails, every
// file of the web project holds its state of before or after the command,
// the user is told, and the command's result says it failed. A project file
// that could not be read is neither saved nor compiled over. The commands
// that write files beside the project's save go on and tell it once.

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <sstream>
#include <tuple>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/ScopeExit.h"
#include "core/FileHelpers.h"
#include "core/HostEnvironment.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Menus.h"
#include "platform/win/FileFault.h"
#include "platform/win/FileLock.h"
#include "platform/win/MessageBox.h"
#include "platform/win/SystemError.h"
#include "plugin/StConstants.h"
#include "project/FormGlobalSettings.h"
#include "tests/core/services/ServicesTestSupport.h"
#include "tests/designer/window/WindowTestSupport.h"
#include "tests/support/FakeCompileHost.h"
#include "tests/support/WriteFaultSweep.h"

using namespace windowtest;

namespace {

namespace fs = std::filesystem;

class TSweepHost : public TTestHost {
 public:
  using TTestHost::TTestHost;
  TCompileHost& CompileHost() override { return compileHost; }
  // With stConstants, a host project with operator panels: the save writes
  // the ST constants file into the web project folder, as the plug-in does.
  std::string UpdateStConstants(TmyXmlNode* root) override {
    return stConstants ? WriteStConstants(ProjectLocation().hostProjectDir + "Tarnwell\\", nullptr, root) : "";
  }
  FakeCompileHost compileHost;
  bool stConstants = false;
};

class WriteFaultSweep : public WindowTest {
 protected:
  // The compile finds the project's pictures through the host's project manager.
  void SetUp() override {
    WindowTest::SetUp();
    manager.projectFolder = folder.Path().string() + "\\";
    manager.projectName = "Demo";
    SetHostProjectManager(&manager);
  }
  void TearDown() override {
    SetHostProjectManager(nullptr);
    WindowTest::TearDown();
  }

  // The demo's web project with a backup larger than its biggest backup, so
  // that a save writes the biggest anew.
  void PutDemo() {
    fs::remove_all(folder.Path() / "Tarnwell");
    fs::remove_all(folder.Path() / "SendRoot");
    CopyTree("examples/demo/Tarnwell");
    folder.Write("Tarnwell/Demo.xml.bak", ReadBytes(SourcePath("examples/demo/Tarnwell/Demo.xml")));
    folder.Write("Tarnwell/Demo.xml.bak.big", "<web />");
  }

  // The demo saved once with its pages in files of their own.
  void PutSplitDemo() {
    PutDemo();
    TFormDesign1& d = Open();
    d.Document().SetSplitLayout(true);
    d.SetModified();
    ClickButton(d.btnSave2);
    ASSERT_TRUE(fs::exists(folder.Path() / "Tarnwell/pages"));
    designer.reset();
  }

  TFormDesign1& Open() {
    auto testHost = std::make_unique<TSweepHost>(folder, "Demo");
    sweepHost = testHost.get();
    host = testHost.get();
    designer = std::make_unique<TFormDesign1>(nullptr, std::move(testHost));
    designer->Show();
    designer->FTreeChangeSuppressed = false;
    Driver::OnModal("TFormStatus1", [](TCustomForm&) { return mrOk; });
    return *designer;
  }

  // A change as the user makes one: the second page of the first group moves up.
  void MovePageUp() {
    TTreeNode* group = designer->tvPageList->Items()->GetFirstNode();
    ASSERT_NE(group, nullptr);
    ASSERT_NE(group->getFirstChild(), nullptr);
    ClickNode(group->getFirstChild()->getNextSibling());
    ClickButton(designer->btnPageUp);
    ASSERT_TRUE(designer->Document().Modified());
  }
  // The demo opened with a change that the Compile button stores in the
  // project file; with `changedSince` a change after the compile too.
  void CompileAChange(bool changedSince) {
    PutDemo();
    Open();
    MovePageUp();
    ClickButton(designer->btnSave1);
    ASSERT_EQ(designer->lastCompile.outcome, TCompileOutcome::kCompiled);
    if (changedSince) ClickButton(designer->btnPageDown);
  }

  bool TimeNotRecorded() const {
    const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
    return std::any_of(boxes.begin(), boxes.end(), [](const MessageBoxRecord& box) {
      return box.text.ends_with("the time of this save is not recorded.");
    });
  }
  long BoxesWith(const std::string& text) const {
    const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
    return std::count_if(boxes.begin(), boxes.end(),
                         [&](auto& box) { return box.text.find(text) != std::string::npos; });
  }
  // Another run's save: a page added to the project as the disk holds it.
  void AddPageAndSave() {
    Open();
    ClickNode(designer->tvPageList->Items()->GetFirstNode()->getFirstChild());
    Driver::OnModal("TFormPageProperties", [](TCustomForm&) { return mrOk; });
    ClickButton(designer->btnAddPage);
    ClickButton(designer->btnSave2);
    ASSERT_FALSE(designer->Document().Modified());
    designer.reset();
  }
  // AddPageAndSave in a process of its own; true when it went well.
  bool AddPageAndSaveElsewhere() {
    const pid_t child = ::fork();
    if (child == 0) {
      AddPageAndSave();
      ::_exit(HasFailure() ? 1 : 0);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  bool UserWasTold() const { return !MessageBoxLog().empty() || !sweepHost->compileHost.messages.empty(); }
  // What the user was told, one message a line.
  std::string Told() const {
    std::string text;
    for (const MessageBoxRecord& box : MessageBoxLog()) text += box.text + "\n";
    for (const auto& message : sweepHost->compileHost.messages) text += message.second + "\n";
    return text;
  }

  // The sweep of the web project's files; `failed` reads the command's result.
  void Sweep(const std::function<void()>& put, const std::function<void()>& prepare, const std::function<void()>& act,
             const std::function<bool()>& failed) {
    writefault::Sweep(folder.Path() / "Tarnwell", writefault::IsUserFile,
                      {put,
                       [&] {
                         prepare();
                         ClearMessageBoxLog();
                         sweepHost->compileHost.messages.clear();
                       },
                       act, [&] { EXPECT_FALSE(failed()); },
                       [&](const std::string& run) {
                         // A save that wrote every file and then could not
                         // stamp its time is done, with a warning.
                         EXPECT_TRUE(failed() || TimeNotRecorded()) << run;
                         EXPECT_TRUE(UserWasTold()) << run;
                       },
                       [this] { designer.reset(); }});
  }

  servicestest::FakeProjectManager manager;
  TSweepHost* sweepHost = nullptr;
};

// One project file with its backups, then "web.xml" with a file a page.
TEST_F(WriteFaultSweep, SaveKeepsEachFileOldOrNewAndTellsTheUser) {
  for (const bool split : {false, true}) {
    SCOPED_TRACE(split ? "split layout" : "one file");
    Sweep([this, split] { split ? PutSplitDemo() : PutDemo(); },
          [this] {
            Open();
            MovePageUp();
          },
          [this] { ClickButton(designer->btnSave2); }, [this] { return designer->Document().Modified(); });
  }
}

TEST_F(WriteFaultSweep, SaveAndCompileKeepsEachFileOldOrNewAndTellsTheUser) {
  Sweep([this] { PutDemo(); }, [this] { Open(); }, [this] { ClickButton(designer->btnSave1); },
        [this] { return designer->lastCompile.outcome == TCompileOutcome::kFailed; });
}

TEST_F(WriteFaultSweep, ADamagedProjectFileIsNeitherSavedOverNorCompiledOver) {
  PutDemo();
  const std::string damaged = ReadBytes(folder.Path() / "Tarnwell/Demo.xml").substr(0, 300);
  folder.Write("Tarnwell/Demo.xml", damaged);
  Open();
  MovePageUp();
  ClickButton(designer->btnSave2);
  ClickButton(designer->btnSave1);
  EXPECT_EQ(designer->lastCompile.outcome, TCompileOutcome::kFailed);
  EXPECT_EQ(ReadBytes(folder.Path() / "Tarnwell/Demo.xml"), damaged);
  // The load's warning, then the save's refusal.
  ASSERT_EQ(MessageBoxLog().size(), 2u);
  EXPECT_NE(MessageBoxLog()[1].text.find("is not overwritten"), std::string::npos);
  ASSERT_EQ(sweepHost->compileHost.messages.size(), 1u);
  EXPECT_NE(sweepHost->compileHost.messages[0].second.find("is not overwritten"), std::string::npos);
  // Moved away, it makes room for the project the designer holds.
  fs::rename(folder.Path() / "Tarnwell/Demo.xml", folder.Path() / "Demo.xml.damaged");
  ClickButton(designer->btnSave2);
  EXPECT_FALSE(designer->Document().Modified());
  EXPECT_TRUE(fs::exists(folder.Path() / "Tarnwell/Demo.xml"));
}

// Each file operation of a save failing in turn, and the run killed at each:
// the project files are the old set whole or the new set whole, the backups
// keep the last saved state, the message says which set is on disk, and the
// next opening leaves no staged file and reads the project without a fault,
// but for a staged file that a kill before the journal left unlike the one it
// was to replace: that one may hold the last save, so it stays, and is told.
enum class TChange { kMovePage, kAddPage, kDeletePage, kSplit };
enum class TOccasion { kSaveButton, kClose, kCompile };
struct TSaveFaultRow {
  const char* name;
  bool split;
  bool backups;  // earlier backups beside the files (a save of a change before)
  TChange change;
  TOccasion occasion;
  bool notes = false;  // a file of the user's among the page files
  // One file again, with the page set of an earlier split layout left in
  // "pages.bak\" (the save then makes "pages\" anew beside it).
  bool pagesBakLeft = false;
  bool pipe = false;  // a pipe of the user's among the page files
};
constexpr TSaveFaultRow kSaveFaultRows[] = {
    {"one file, page moved, Save button", false, true, TChange::kMovePage, TOccasion::kSaveButton},
    {"one file, no backups, page added, close", false, false, TChange::kAddPage, TOccasion::kClose},
    {"one file, page deleted, compile", false, true, TChange::kDeletePage, TOccasion::kCompile},
    {"one file, no backups, page moved, compile", false, false, TChange::kMovePage, TOccasion::kCompile},
    {"split, page moved, close", true, true, TChange::kMovePage, TOccasion::kClose},
    {"split, page added, Save button", true, true, TChange::kAddPage, TOccasion::kSaveButton},
    {"split, no backups, page deleted, Save button", true, false, TChange::kDeletePage, TOccasion::kSaveButton},
    {"split, no backups, page added, close", true, false, TChange::kAddPage, TOccasion::kClose},
    {"split, notes among the pages, page added, Save button", true, true, TChange::kAddPage, TOccasion::kSaveButton,
     true},
    {"one file with a pages backup, split, Save button", true, true, TChange::kSplit, TOccasion::kSaveButton, false,
     true},
    {"split, a pipe among the pages, page added, Save button", true, true, TChange::kAddPage, TOccasion::kSaveButton,
     false, false, true},
};

bool IsProjectFile(const std::string& name) {
  return name == "Demo.xml" || name == "web.xml" || name.starts_with("pages/");
}
bool IsBackup(const std::string& name) {
  return name.ends_with(".bak") || name.ends_with(".bak.big") || name.starts_with("pages.bak/");
}
bool IsLeftover(const std::string& name) {
  return name.ends_with(".new") || name.ends_with(".commit") || name.starts_with("pages.new/") ||
         name.starts_with("pages.old/") || name.find("~tarnwell~") != std::string::npos;
}

// The load's messages, one a line.
struct TLoadUi : TProjectDocumentUi {
  void ShowMessage(const std::string& text, const std::string&, TIcon) override { messages += text + "\n"; }
  void Trace(const std::string&) override {}
  std::string messages;
};

class SaveFaultTable : public WriteFaultSweep, public ::testing::WithParamInterface<TSaveFaultRow> {};

TEST_P(SaveFaultTable, EveryFileStepFailingOrKilledLeavesTheOldOrTheNewProject) {
  const fs::path web = folder.Path() / "Tarnwell";
  const fs::path laid = folder.Path() / "laid";
  const TSaveFaultRow& row = GetParam();
  {
    const auto lay = [&] {
      row.split ? PutSplitDemo() : PutDemo();
      if (row.notes) folder.Write("Tarnwell/pages/drafts/notes.txt", "my notes\n");
      if (!row.backups) {
        for (const char* name : {"Demo.xml.bak", "Demo.xml.bak.big", "web.xml.bak", "pages.bak"})
          fs::remove_all(web / name);
      } else if (row.split) {
        Open();
        MovePageUp();
        ClickButton(designer->btnSave2);
        designer.reset();
      }
      if (row.pagesBakLeft) {
        for (const char* name : {"web.xml", "web.xml.bak", "pages.bak"}) fs::remove_all(web / name);
        fs::rename(web / "pages", web / "pages.bak");
      }
      fs::remove_all(folder.Path() / "SendRoot");
      fs::copy(web, laid, fs::copy_options::recursive);
    };
    // The files as laid once, put back for each run.
    const auto put = [&] {
      fs::remove_all(web);
      fs::remove_all(folder.Path() / "SendRoot");
      fs::copy(laid, web, fs::copy_options::recursive);
      if (row.pipe) {
        ASSERT_EQ(::mkfifo((web / "pages/pipe").c_str(), 0600), 0);
      }
    };
    const auto prepare = [&] {
      Open();
      if (row.change == TChange::kMovePage) MovePageUp();
      if (row.change == TChange::kSplit) {
        designer->Document().SetSplitLayout(true);
        designer->SetModified();
      }
      ClickNode(designer->tvPageList->Items()->GetFirstNode()->getFirstChild());
      if (row.change == TChange::kAddPage) {
        Driver::OnModal("TFormPageProperties", [](TCustomForm&) { return mrOk; });
        ClickButton(designer->btnAddPage);
      }
      if (row.change == TChange::kDeletePage) {
        Driver::AnswerMessageBox("Are you sure", IDYES);
        ClickButton(designer->btnDeletePage);
      }
      ClearMessageBoxLog();
      sweepHost->compileHost.messages.clear();
    };
    const auto act = [&] {
      bool canClose = true;
      if (row.occasion == TOccasion::kSaveButton) ClickButton(designer->btnSave2);
      if (row.occasion == TOccasion::kCompile) ClickButton(designer->btnSave1);
      if (row.occasion == TOccasion::kClose) {
        designer->FCloseForced = true;
        designer->FormCloseQuery(nullptr, canClose);
      }
    };
    const auto failed = [&] {
      return row.occasion == TOccasion::kCompile ? designer->lastCompile.outcome == TCompileOutcome::kFailed
                                                 : designer->Document().Modified();
    };
    // The run without a fault, with its file operations.
    lay();
    put();
    Open();
    const TProjectLocation location = designer->Host().ProjectLocation();
    designer.reset();
    const writefault::TFiles before = writefault::Snapshot(web, IsProjectFile);
    const writefault::TFiles backupsBefore = writefault::Snapshot(web, IsBackup);
    prepare();
    std::vector<TFileOpRecord> ops;
    {
      const FileOpFaultScope record(&ops);
      act();
    }
    const writefault::TFiles after = writefault::Snapshot(web, IsProjectFile);
    const writefault::TFiles backupsAfter = writefault::Snapshot(web, IsBackup);
    designer.reset();
    ASSERT_NE(before, after);
    // The last saved state stays in a backup.
    const std::string mainFile = row.split ? "web.xml" : "Demo.xml";
    EXPECT_TRUE(before.count(mainFile) == 0 || (backupsAfter.count(mainFile + ".bak") != 0 &&
                                                backupsAfter.at(mainFile + ".bak") == before.at(mainFile)));
    // The steps on the project's files; of a compile, those of its project copy.
    std::vector<std::uint64_t> steps;
    for (std::uint64_t n = 1; n <= ops.size(); ++n)
      if (ops[n - 1].path.find(row.occasion == TOccasion::kCompile ? "/Tarnwell/Demo.xml" : "/Tarnwell/") !=
          std::string::npos)
        steps.push_back(n);
    using TSet = std::pair<writefault::TFiles, writefault::TFiles>;
    const auto set = [&] {
      return TSet{writefault::Snapshot(web, IsProjectFile), writefault::Snapshot(web, IsBackup)};
    };
    const TSet oldSet{before, backupsBefore};
    const TSet newSet{after, backupsAfter};
    // The save's entries by top name ("pages/": its files' names and texts),
    // and the words a message has for each content.
    const auto tops = [](const writefault::TFiles& files) {
      std::map<std::string, std::string> top;
      for (const auto& [name, text] : files) {
        const std::size_t cut = std::min(name.find('/'), name.size());
        top[name.substr(0, cut + (cut < name.size() ? 1 : 0))] += name.substr(cut) + "\n" + text;
      }
      return top;
    };
    auto old = tops(before), saved = tops(after), oldBackups = tops(backupsBefore);
    const std::pair<std::string, const char*> words[] = {
        {saved[mainFile], "holds the project as saved now"},
        {old[mainFile], "holds the project as it was"},
        {oldBackups[mainFile + ".bak"], "holds the project's backup as it was"},
        {oldBackups[mainFile + ".bak.big"], "holds the copy of the project's largest backup as it was"},
        {saved["pages/"], "holds the pages as saved now"},
        {old["pages/"], "holds the pages as they were"},
        {oldBackups["pages.bak/"], "holds the backup of the pages as it was"}};
    // The pages are the save's only when it changed them; its journal and
    // its live mark hold no state of the project.
    const auto own = [&](const std::string& name) {
      return (name.starts_with(mainFile) || (saved["pages/"] != old["pages/"] && name.starts_with("pages"))) &&
             !name.ends_with("save-journal") && !name.ends_with("save-live");
    };
    // Each forward rename failing together with each later rename of the
    // run (a step of its undo) or the deletion of its journal.
    std::vector<std::tuple<TFileOpFault, std::uint64_t, std::uint64_t>> runs;
    for (const TFileOpFault fault : {TFileOpFault::kFail, TFileOpFault::kHalt})
      for (const std::uint64_t n : steps) runs.emplace_back(fault, n, 0);
    const auto journalAt = std::find_if(ops.begin(), ops.end(), [](const TFileOpRecord& op) {
      return op.kind == TFileOp::kRename && op.target.ends_with("save-journal");
    });
    for (const std::uint64_t n : steps) {
      if (ops.begin() + static_cast<std::ptrdiff_t>(n) <= journalAt + 1 || ops[n - 1].kind != TFileOp::kRename)
        continue;
      put();
      prepare();
      std::vector<TFileOpRecord> failing;
      {
        const FileOpFaultScope fault(TFileOpFault::kFail, n);
        SetFileOpRecorderForTests(&failing);
        act();
      }
      designer.reset();
      for (std::uint64_t m = n + 1; m <= failing.size(); ++m)
        if (failing[m - 1].kind == TFileOp::kRename || failing[m - 1].path.ends_with("save-journal"))
          runs.emplace_back(TFileOpFault::kFail, n, m);
    }
    // A killed run: every operation from the step on fails, so the files are
    // left as a kill there leaves them, and the designer is dropped with them.
    for (const auto& [fault, n, m] : runs) {
      const bool kill = fault == TFileOpFault::kHalt;
      const std::string run = (kill ? "killed at " : "failed at ") + DescribeFileOp(ops[n - 1]) +
                              (m != 0 ? " and its undo's operation " + std::to_string(m) : "");
      put();
      prepare();
      {
        const FileOpFaultScope scope(fault, n);
        if (m != 0) ArmFileOpFailuresForTests({n, m});
        act();
      }
      // The files and their backups are one set: all before, or all after,
      // and the command says it failed exactly when it is not in; a save
      // that could not put its files back says where they stand, and the
      // next opening makes that true.
      const TSet now = set();
      const bool journal = fs::exists(web / (mainFile + ".~tarnwell~save-journal"));
      const bool putBack = Told().find("could not all be put back") != std::string::npos;
      if (!kill) {
        EXPECT_TRUE(m != 0 || now == oldSet || now == newSet) << run;
        EXPECT_EQ(failed(), now != newSet) << run;
      }
      const bool asTheyWere = Told().find("on disk are as they were") != std::string::npos ||
                              Told().find("kept as it was") != std::string::npos;
      EXPECT_TRUE(kill || !failed() || asTheyWere || putBack) << run << ": " << Told();
      // A step refused names the system's reason for it.
      EXPECT_TRUE(kill || !failed() || row.occasion == TOccasion::kCompile ||
                  Told().find(ErrnoText(DefaultFileOpError(ops[n - 1].kind))) != std::string::npos)
          << run << ": " << Told();
      EXPECT_TRUE(now == oldSet || now == newSet || (putBack && !asTheyWere)) << run << ": " << Told();
      // What each of the save's files holds, by the words for its content;
      // and the last saved state is in one of them.
      for (const auto& [name, content] : tops(writefault::Snapshot(web, own))) {
        const auto word = std::find_if(std::begin(words), std::end(words),
                                       [&](const auto& w) { return !w.first.empty() && w.first == content; });
        const std::string fact = (web / name).string() + " " +
                                 (word != std::end(words) ? word->second : "holds neither what the save wrote nor");
        EXPECT_TRUE(!putBack || Told().find(fact) != std::string::npos) << run << ": " << fact << "\n" << Told();
      }
      EXPECT_TRUE(!putBack || fs::exists(web / mainFile) || Told().find(mainFile + " is missing") != std::string::npos);
      EXPECT_TRUE(!putBack ||
                  (Told().find("next opening of the project finishes the save") != std::string::npos) == journal)
          << run << ": " << Told();
      EXPECT_TRUE(!putBack || !journal || Told().find("changes are lost") == std::string::npos) << run;
      const auto all = tops(writefault::Snapshot(web, [](const std::string&) { return true; }));
      for (const std::string& name : {mainFile, std::string("pages/")}) {
        EXPECT_TRUE(old[name].empty() ||
                    std::any_of(all.begin(), all.end(), [&](const auto& e) { return e.second == old[name]; }))
            << run << ": the last saved " << name << " is in no file";
      }
      designer.reset();
      // The next opening finishes or undoes what a kill stopped, and reads
      // the project without a word; only a kill before the journal that
      // left a staged file or page set unlike the one it was to replace
      // keeps every staged file, saying it may hold the last save.
      const writefault::TFiles stopped = writefault::Snapshot(web, IsProjectFile);
      const auto staged = [&] {
        return writefault::Snapshot(web, [](const std::string& name) {
          const std::size_t mark = name.rfind("~tarnwell~");
          return mark != std::string::npos && name.find("~tarnwell~save-", mark) == mark &&
                 !name.ends_with("save-live");
        });
      };
      const writefault::TFiles stagedBefore = staged();
      bool kept = false;
      ClearMessageBoxLog();
      {
        TLoadUi loadUi;
        TProjectDocument reopened(loadUi);
        reopened.LoadProject(location, 5, 5);
        kept = !journal && loadUi.messages.find("may be the last save") != std::string::npos;
        EXPECT_TRUE(loadUi.messages.empty() || kept) << run << ": " << loadUi.messages;
      }
      EXPECT_TRUE(!kept || staged() == stagedBefore) << run;
      const TSet reopened = set();
      EXPECT_TRUE(reopened == oldSet || reopened == newSet) << run;
      if (journal) {
        EXPECT_TRUE(reopened == newSet) << run;
      } else if (!kill) {
        EXPECT_TRUE(reopened.first == stopped) << run;
      }
      EXPECT_TRUE(kept || writefault::Snapshot(web, IsLeftover).empty()) << run;
    }
  }
}

// Names like a save's that no save of this program staged stay as they are
// through a load, a save and a compile; a copy of the project's own file or
// pages that a killed save of ours staged before its journal goes; a staged file that no longer holds what its
// journal lists is left alone, and the save that it blocks says so.
struct TPlantedRow {
  bool split;
  const char* path;
  const char* content;  // null: the first 3,000 bytes of the project file
  bool kept;
  const char* copyOf = nullptr;  // else a copy of this file or folder of the project
};
constexpr TPlantedRow kPlantedRows[] = {
    {false, "pages.old/MYDRAFT.XML", "<draft />", true},
    {false, "pages.new/MYDRAFT.XML", "<draft />", true},
    {false, "Demo.xml.bak.new", nullptr, true},
    {false, "Demo.xml.new", "<web />", true},
    {false, "Demo.xml.commit", "", true},
    {true, "web.xml.bak.new", nullptr, true},
    {true, "pages.old/MYDRAFT.XML", "<draft />", true},
    {true, "pages/notes.txt", "my notes", true},
    {false, "Demo.xml.~tarnwell~save-new", nullptr, false, "Demo.xml"},
    {true, "web.xml.~tarnwell~save-pages", nullptr, false, "pages"},
    {true, "web.xml.~tarnwell~save-pages/", "", false},  // an empty folder: a save stopped right after making it
    {false, "Demo.xml.~tarnwell~123_abcdef", "", false},
};

TEST_F(WriteFaultSweep, NamesNoSaveOfOursStagedAreLeftAlone) {
  for (const TPlantedRow& row : kPlantedRows) {
    SCOPED_TRACE(row.path);
    row.split ? PutSplitDemo() : PutDemo();
    const fs::path planted = folder.Path() / "Tarnwell" / row.path;
    fs::create_directories(planted.parent_path());
    const std::string project = ReadBytes(folder.Path() / "Tarnwell" / (row.split ? "web.xml" : "Demo.xml"));
    const std::string content = row.content != nullptr ? row.content : project.substr(0, 3000);
    if (row.copyOf != nullptr)
      fs::copy(folder.Path() / "Tarnwell" / row.copyOf, planted, fs::copy_options::recursive);
    else if (!std::string_view(row.path).ends_with('/'))
      folder.Write(std::string("Tarnwell/") + row.path, content);
    Open();
    MovePageUp();
    ClickButton(designer->btnSave2);
    EXPECT_FALSE(designer->Document().Modified());
    ClickButton(designer->btnSave1);
    EXPECT_NE(designer->lastCompile.outcome, TCompileOutcome::kFailed);
    designer.reset();
    EXPECT_EQ(fs::exists(planted) && ReadBytes(planted) == content, row.kept);
    EXPECT_EQ(MessageBoxLog().size(), 0u);
  }
}

TEST_F(WriteFaultSweep, AStagedFileThatChangedBlocksTheSaveAndIsTold) {
  PutDemo();
  const fs::path web = folder.Path() / "Tarnwell";
  const std::string before = ReadBytes(web / "Demo.xml");
  Open();
  MovePageUp();
  std::vector<TFileOpRecord> ops;
  {
    const FileOpFaultScope record(&ops);
    ClickButton(designer->btnSave2);
  }
  designer.reset();
  PutDemo();
  // Killed right after the journal went in place, and the staged file changed.
  const auto journal = std::find_if(ops.begin(), ops.end(), [](const TFileOpRecord& op) {
    return op.kind == TFileOp::kRename && op.target.ends_with("save-journal");
  });
  ASSERT_NE(journal, ops.end());
  Open();
  MovePageUp();
  {
    const FileOpFaultScope halt(TFileOpFault::kHalt, static_cast<std::uint64_t>(journal - ops.begin()) + 2);
    ClickButton(designer->btnSave2);
  }
  designer.reset();
  folder.Write("Tarnwell/Demo.xml.~tarnwell~save-new", "<web />");
  ClearMessageBoxLog();
  Open();
  ASSERT_EQ(MessageBoxLog().size(), 1u);
  EXPECT_NE(MessageBoxLog()[0].text.find("save-new does not hold what the interrupted save staged"), std::string::npos)
      << MessageBoxLog()[0].text;
  MovePageUp();
  ClickButton(designer->btnSave2);
  EXPECT_TRUE(designer->Document().Modified());
  EXPECT_NE(MessageBoxLog().back().text.find("does not hold what the interrupted save staged"), std::string::npos);
  designer.reset();
  EXPECT_TRUE(ReadBytes(web / "Demo.xml") == before);
  EXPECT_EQ(ReadBytes(web / "Demo.xml.~tarnwell~save-new"), "<web />");
  EXPECT_TRUE(fs::exists(web / "Demo.xml.~tarnwell~save-journal"));
}

// A copy of the project folder taken while a save ran (cp, rsync, a backup
// tool), or a backup of one brought back into a project saved since, holds
// the save's files in states that no stop of one run leaves: the opening
// then moves and deletes nothing, says what each of them holds, and no save
// is made until they are sorted out.
struct TCopyRow {
  const char* name;
  bool split;
  const char* stop;     // the save stops at the first rename that names this
  const char* lacking;  // what the copy lacks, names between spaces
  int savedSince;       // saves before the stopped save's files came back
  bool firstFormat;     // its journal as the program's first format wrote it
  const char* told;     // what the opening says of one file
};
const TCopyRow kCopyRows[] = {
    {"project file moved aside, nothing staged", false, "save-new to",
     "Demo.xml.~tarnwell~save-new Demo.xml.~tarnwell~save-bak Demo.xml.~tarnwell~save-big", 0, false,
     "Demo.xml.~tarnwell~save-was holds the project as it was"},
    {"older page set moved aside, no pages", true, "pages to", "pages web.xml.~tarnwell~save-pages", 0, false,
     "web.xml.~tarnwell~save-was-pages/ holds the backup of the pages as it was"},
    {"project file moved aside, no journal", false, "save-new to",
     "Demo.xml.~tarnwell~save-journal Demo.xml.~tarnwell~save-bak Demo.xml.~tarnwell~save-big", 0, false,
     "Demo.xml.~tarnwell~save-was holds the project as it was"},
    {"old and new project staged, no journal", false, "save-journal", "Demo.xml", 0, false,
     "Demo.xml.~tarnwell~save-bak holds the project as it was"},
    {"split: old and new project staged, no journal", true, "save-journal", "web.xml", 0, false,
     "web.xml.~tarnwell~save-new holds the project as the interrupted save was writing it"},
    {"a stopped save back in a project saved since", false, "save-was", "", 2, false,
     "Demo.xml holds neither what the save wrote nor what it replaced"},
    {"split: a stopped save back in a project saved since", true, "save-was", "", 2, false,
     "web.xml holds neither what the save wrote nor what it replaced"},
    {"a journal of the first format", false, "save-was", "", 0, true, "Demo.xml holds the project as it was"},
    // No journal: a staged or moved-aside file goes only as a copy of the file it was to replace.
    {"the new project only under its staged name, no journal", false, "save-new to",
     "Demo.xml.~tarnwell~save-journal Demo.xml.~tarnwell~save-was Demo.xml.~tarnwell~save-bak "
     "Demo.xml.~tarnwell~save-big",
     0, false, "Demo.xml.~tarnwell~save-new holds the project as the interrupted save was writing it, which may be"},
    {"split: the new pages only under their staged name, no journal", true, "pages to",
     "web.xml.~tarnwell~save-journal web.xml.~tarnwell~save-was-pages", 0, false,
     "web.xml.~tarnwell~save-pages/ holds the pages as the interrupted save was writing them, which may be"},
    {"staged file beside a project file unlike it, no journal", false, "save-journal", "", 0, false,
     "Demo.xml.~tarnwell~save-new holds the project as the interrupted save was writing it, which may be"},
    {"split: staged pages beside pages unlike them, no journal", true, "save-journal",
     "web.xml.~tarnwell~save-new web.xml.~tarnwell~save-bak web.xml.~tarnwell~save-big", 0, false, "pages/ is there"},
    {"staged backup beside the new project, no journal", false, "save-bak to",
     "Demo.xml.~tarnwell~save-journal Demo.xml.~tarnwell~save-was Demo.xml.~tarnwell~save-was-bak", 0, false,
     "Demo.xml.~tarnwell~save-bak holds the project as it was"},
};

TEST_F(WriteFaultSweep, ACopyTakenWhileASaveRanLosesNothingAndIsTold) {
  const fs::path web = folder.Path() / "Tarnwell";
  std::string mainFile;  // the stopped save's files: its project file's names and the page sets (not its live mark)
  const auto files = [&] {
    return writefault::Snapshot(web, [&](auto& name) {
      return (name.starts_with(mainFile) || name.starts_with("pages")) && !name.ends_with("save-live");
    });
  };
  const auto saveAPage = [&](TFileOpFault fault, std::uint64_t at, std::vector<TFileOpRecord>* ops) {
    Open();
    Driver::OnModal("TFormPageProperties", [](TCustomForm&) { return mrOk; });
    ClickNode(designer->tvPageList->Items()->GetFirstNode()->getFirstChild());
    ClickButton(designer->btnAddPage);
    {
      const FileOpFaultScope scope(fault, at);
      if (ops != nullptr) SetFileOpRecorderForTests(ops);
      ClickButton(designer->btnSave2);
    }
    designer.reset();
  };
  for (const TCopyRow& row : kCopyRows) {
    SCOPED_TRACE(row.name);
    mainFile = row.split ? "web.xml" : "Demo.xml";
    row.split ? PutSplitDemo() : PutDemo();
    saveAPage(TFileOpFault::kNone, 0, nullptr);
    const fs::path laid = folder.Path() / "laid";
    fs::remove_all(laid);
    fs::copy(web, laid, fs::copy_options::recursive);
    std::vector<TFileOpRecord> ops;
    saveAPage(TFileOpFault::kNone, 0, &ops);
    const auto stop = std::find_if(ops.begin(), ops.end(), [&](const TFileOpRecord& op) {
      return op.kind == TFileOp::kRename && DescribeFileOp(op).find(row.stop) != std::string::npos;
    });
    ASSERT_NE(stop, ops.end());
    fs::remove_all(web);
    fs::copy(laid, web, fs::copy_options::recursive);
    // Stopped in a run of its own, as the save whose files a copy caught.
    const pid_t child = ::fork();
    if (child == 0) {
      saveAPage(TFileOpFault::kHalt, static_cast<std::uint64_t>(stop - ops.begin()) + 1, nullptr);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    RemoveOwnTemporaryFiles(web.string(), false);
    std::istringstream lacking(row.lacking);
    for (std::string name; lacking >> name;) fs::remove_all(web / name);
    const fs::path stash = folder.Path() / "stash";
    fs::remove_all(stash);
    fs::copy(web, stash, fs::copy_options::recursive);
    for (const auto& entry : fs::directory_iterator(web))
      if (entry.path().filename().string().find("~tarnwell~save-") != std::string::npos) fs::remove_all(entry.path());
    for (int save = 0; save < row.savedSince; ++save) saveAPage(TFileOpFault::kNone, 0, nullptr);
    for (const auto& entry : fs::directory_iterator(stash))
      if (entry.path().filename().string().find("~tarnwell~save-") != std::string::npos)
        fs::copy(entry.path(), web / entry.path().filename(), fs::copy_options::recursive);
    const fs::path journal = web / (mainFile + ".~tarnwell~save-journal");
    if (row.firstFormat) {
      std::string text = std::regex_replace(ReadBytes(journal), std::regex("\nwas-[^\n]*"), "");
      text[text.find('\n') - 1] = '1';  // the header's format number
      folder.Write(fs::relative(journal, folder.Path()).string(), text);
    }
    const writefault::TFiles planted = files();
    const bool journalLeft = fs::exists(journal);
    // Without "web.xml" the designer opens the project file of one file.
    const bool sameFile = !row.split || fs::exists(web / mainFile);
    ClearMessageBoxLog();
    Open();
    const std::string fact = (web / row.told).string();
    EXPECT_NE(Told().find("could not be finished"), std::string::npos) << Told();
    EXPECT_NE(Told().find(fact), std::string::npos) << Told();
    // Without the journal what the save wrote or replaced is not known.
    EXPECT_TRUE(journalLeft || Told().find("what the save wrote") == std::string::npos) << Told();
    ClearMessageBoxLog();
    MovePageUp();
    ClickButton(designer->btnSave2);
    EXPECT_EQ(designer->Document().Modified(), sameFile);
    // A close that loses the changes names no file as the last save while a
    // staged one without its journal may hold it.
    designer->FCloseForced = true;
    bool canClose = true;
    designer->FormCloseQuery(nullptr, canClose);
    EXPECT_TRUE(journalLeft || !sameFile ||
                Told().find("\" holds the project as it was last saved") == std::string::npos)
        << Told();
    // Nor does a compile write anything, the pages for the PLC included.
    if (!row.split) {
      const auto sent = [&] {
        return writefault::Snapshot(folder.Path() / "SendRoot", [](const std::string&) { return true; });
      };
      const writefault::TFiles sentBefore = sent();
      ClearMessageBoxLog();
      ClickButton(designer->btnSave1);
      EXPECT_EQ(designer->lastCompile.outcome, TCompileOutcome::kFailed);
      EXPECT_TRUE(sent() == sentBefore);
      EXPECT_NE(Told().find("This compile writes nothing: "), std::string::npos) << Told();
    }
    designer.reset();
    // A save of the other file moves a backup of this one aside (into its
    // ".big" copy), and deletes nothing.
    const writefault::TFiles now = files();
    EXPECT_TRUE(!sameFile || now == planted);
    for (const auto& [name, text] : planted) {
      EXPECT_TRUE(std::any_of(now.begin(), now.end(), [&](const auto& file) { return file.second == text; })) << name;
    }
    // The next opening tells again, and deletes nothing.
    ClearMessageBoxLog();
    Open();
    EXPECT_NE(Told().find(fact), std::string::npos) << Told();
    designer.reset();
    EXPECT_TRUE(files() == now);
  }
}

// Two runs on one project: another process's save, stopped at a step, holds
// the folder's lock and its live mark from its first staged file to its last
// rename, and a load beside it is refused with a word and changes nothing,
// also none of the temporary files a live run writes, and also when the lock
// file was deleted by hand meanwhile; continued, that save ends with the new
// set whole and says nothing.
TEST_F(WriteFaultSweep, ALoadBesideAnotherRunsSaveLeavesItsFilesAlone) {
  PutSplitDemo();
  const fs::path web = folder.Path() / "Tarnwell";
  const fs::path laid = folder.Path() / "laid";
  fs::copy(web, laid, fs::copy_options::recursive);
  const auto prepare = [&] {
    fs::remove_all(web);
    fs::copy(laid, web, fs::copy_options::recursive);
    Open();
    ClickNode(designer->tvPageList->Items()->GetFirstNode()->getFirstChild());
    Driver::OnModal("TFormPageProperties", [](TCustomForm&) { return mrOk; });
    ClickButton(designer->btnAddPage);
  };
  const auto all = [](const std::string&) { return true; };
  prepare();
  const TProjectLocation location = designer->Host().ProjectLocation();
  std::vector<TFileOpRecord> ops;
  {
    const FileOpFaultScope record(&ops);
    ClickButton(designer->btnSave2);
  }
  const writefault::TFiles after = writefault::Snapshot(web, IsProjectFile);
  designer.reset();
  const auto at = [&](TFileOp kind, const char* mark) {
    return static_cast<std::uint64_t>(std::find_if(ops.begin(), ops.end(),
                                                   [&](const TFileOpRecord& op) {
                                                     return op.kind == kind &&
                                                            (op.path + op.target).find(mark) != std::string::npos;
                                                   }) -
                                      ops.begin()) +
           1;
  };
  const std::uint64_t journal = at(TFileOp::kRename, "save-journal");
  SetFolderLockWaitForTests(0);
  // Each stop, as it is and with the lock file deleted by hand while it lasts.
  const std::uint64_t stops[] = {at(TFileOp::kWrite, "save-pages"), journal, journal + 1, at(TFileOp::kWrite, ".webx")};
  for (std::size_t i = 0; i < 2 * std::size(stops); ++i) {
    const std::uint64_t n = stops[i / 2];
    const bool lockDeleted = i % 2 == 1;
    ASSERT_LE(n, ops.size());
    const std::string run = "stopped at " + DescribeFileOp(ops[n - 1]) + (lockDeleted ? ", lock file deleted" : "");
    prepare();
    const pid_t child = ::fork();
    if (child == 0) {
      ClearMessageBoxLog();
      ArmFileOpFaultForTests(TFileOpFault::kStop, n);
      ClickButton(designer->btnSave2);
      ::_exit(designer->Document().Modified() || !MessageBoxLog().empty() ? 1 : 0);
    }
    designer.reset();
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
    ASSERT_TRUE(WIFSTOPPED(status)) << run;
    if (lockDeleted) fs::remove(web / ".~tarnwell~lock");
    const writefault::TFiles held = writefault::Snapshot(web, all);
    {
      TLoadUi loadUi;
      TProjectDocument reopened(loadUi);
      reopened.LoadProject(location, 5, 5);
      EXPECT_EQ(loadUi.messages.find("is not opened: another program is saving or opening") != std::string::npos,
                ops[n - 1].path.find(".webx") == std::string::npos)
          << run << ": " << loadUi.messages;
    }
    EXPECT_TRUE(writefault::Snapshot(web, all) == held) << run;
    ::kill(child, SIGCONT);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << run;
    EXPECT_TRUE(writefault::Snapshot(web, IsProjectFile) == after) << run;
    EXPECT_EQ(writefault::Snapshot(web, IsLeftover), writefault::TFiles{}) << run;
  }
  SetFolderLockWaitForTests(-1);
}

// A third program puts a file or folder at the name that a rename of the
// save, or of the opening that finishes a save stopped after its journal, is
// about to take, after the rename's own check: the rename does not replace
// it, so what was put there stays as it was, and the run says it could not
// replace it.
struct TRaceRow {
  const char* name;
  bool split;
  bool atOpening;
  const char* target;  // the rename's target, where the third program puts an empty folder or a file
};
const TRaceRow kRaceRows[] = {
    {"the save's rename of the project file", false, false, "Demo.xml"},
    {"the save's rename of the page set", true, false, "pages"},
    {"the opening's rename of the project file", false, true, "Demo.xml"},
};

TEST_F(WriteFaultSweep, ARenameNeverReplacesWhatAnotherProgramPutInItsWay) {
  const fs::path web = folder.Path() / "Tarnwell";
  const fs::path laid = folder.Path() / "laid";
  for (const TRaceRow& row : kRaceRows) {
    SCOPED_TRACE(row.name);
    const fs::path target = web / row.target;
    const auto lay = [&] {
      fs::remove_all(web);
      fs::copy(laid, web, fs::copy_options::recursive);
    };
    const auto save = [&] {
      Open();
      ClickNode(designer->tvPageList->Items()->GetFirstNode()->getFirstChild());
      Driver::OnModal("TFormPageProperties", [](TCustomForm&) { return mrOk; });
      ClickButton(designer->btnAddPage);
      ClickButton(designer->btnSave2);
    };
    TProjectLocation location;
    const auto open = [&] {
      TLoadUi loadUi;
      TProjectDocument reopened(loadUi);
      reopened.LoadProject(location, 5, 5);
      return loadUi.messages;
    };
    // The operations of the run; an opening's, of a save stopped right after its journal.
    const auto indexOf = [](const std::vector<TFileOpRecord>& ops, const std::string& mark) {
      return static_cast<std::uint64_t>(std::find_if(ops.begin(), ops.end(),
                                                     [&](const TFileOpRecord& op) {
                                                       return op.kind == TFileOp::kRename && op.target.ends_with(mark);
                                                     }) -
                                        ops.begin()) +
             1;
    };
    row.split ? PutSplitDemo() : PutDemo();
    location = Open().Host().ProjectLocation();
    designer.reset();
    fs::remove_all(laid);
    fs::copy(web, laid, fs::copy_options::recursive);
    std::vector<TFileOpRecord> ops;
    {
      const FileOpFaultScope record(&ops);
      save();
    }
    designer.reset();
    if (row.atOpening) {
      lay();
      {
        const FileOpFaultScope halt(TFileOpFault::kHalt, indexOf(ops, "save-journal") + 1);
        save();
      }
      designer.reset();
      fs::remove_all(laid);
      fs::copy(web, laid, fs::copy_options::recursive);
      ops.clear();
      const FileOpFaultScope record(&ops);
      open();
    }
    const std::uint64_t rename = indexOf(ops, "/Tarnwell/" + std::string(row.target));
    ASSERT_LE(rename, ops.size());
    lay();
    const pid_t child = ::fork();
    if (child == 0) {
      ClearMessageBoxLog();
      ArmFileOpFaultForTests(TFileOpFault::kStop, rename);
      std::string told;
      if (row.atOpening) {
        told = open();
      } else {
        save();
        told = designer->Document().Modified() ? Told() : "";
      }
      ::_exit(told.find("cannot replace " + target.string()) != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
    ASSERT_TRUE(WIFSTOPPED(status));
    ASSERT_FALSE(fs::exists(target));
    if (row.split)
      fs::create_directory(target);
    else
      folder.Write(fs::relative(target, folder.Path()).string(), "another program's file");
    ::kill(child, SIGCONT);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    if (row.split)
      EXPECT_TRUE(fs::is_empty(target));
    else
      EXPECT_EQ(ReadBytes(target), "another program's file");
  }
}

// A compile stopped after the designer read the project, before it takes the
// project folder's lock, of the project as saved and of changes not saved
// yet, in both layouts, while another run saves a page added: the compile
// fails saying so and writes nothing, so the folder (the output, the stamp
// list, the project files) is byte for byte as that save left it. Alone, it
// writes the project file at most once, the close's save included.
TEST_F(WriteFaultSweep, ACompileBesideAnotherRunsSaveLeavesThatSaveInPlace) {
  for (const auto& [split, changes] : {std::pair{false, false}, {false, true}, {true, false}, {true, true}}) {
    SCOPED_TRACE(std::string(split ? "split, " : "single file, ") + (changes ? "changes not saved" : "as saved"));
    split ? PutSplitDemo() : PutDemo();
    Open();
    if (changes) MovePageUp();
    std::vector<TFileOpRecord> ops;
    {
      const FileOpFaultScope record(&ops);
      ClickButton(designer->btnSave1);
      bool canClose = true;
      designer->FormCloseQuery(nullptr, canClose);
    }
    EXPECT_LE(std::count_if(ops.begin(), ops.end(), [](auto& op) { return op.target.ends_with("Tarnwell/Demo.xml"); }),
              1);
    const auto lock =
        std::find_if(ops.begin(), ops.end(), [](auto& op) { return op.path.ends_with("~tarnwell~lock"); });
    ASSERT_NE(lock, ops.end());
    split ? PutSplitDemo() : PutDemo();
    Open();
    if (changes) MovePageUp();
    const pid_t child = ::fork();
    if (child == 0) {
      ArmFileOpFaultForTests(TFileOpFault::kStop, static_cast<std::uint64_t>(lock - ops.begin()) + 1);
      ClickButton(designer->btnSave1);
      ::_exit(designer->lastCompile.error.find("Another program changed") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
    ASSERT_TRUE(WIFSTOPPED(status));
    AddPageAndSave();
    const auto saved = testsupport::ReadFileTree(folder.Path());
    ::kill(child, SIGCONT);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(testsupport::ChangedFiles(saved, testsupport::ReadFileTree(folder.Path())), std::vector<std::string>{});
  }
}

// Two designers on one project: B adds a page and saves while A, opened
// before, holds a change of its own. A's save asks; unless told Yes it writes
// nothing and its close asks again; Yes replaces B's save, kept as the backup.
// A third run's save that lands while the question is open is no save the Yes
// agreed to: it is asked about anew (and kept on No).
TEST_F(WriteFaultSweep, ASaveAsksBeforeItReplacesAnotherRunsSave) {
  const fs::path web = folder.Path() / "Tarnwell";
  constexpr int kYesAsAThirdSaveLands = -1;
  for (const int answer : {0, IDNO, IDYES, kYesAsAThirdSaveLands}) {
    SCOPED_TRACE(answer);
    PutDemo();
    Open();
    MovePageUp();
    std::unique_ptr<TFormDesign1> a = std::move(designer);
    ASSERT_TRUE(AddPageAndSaveElsewhere());
    auto theirs = testsupport::ReadFileTree(web);
    int asked = 0;
    ClearMessageBoxLog();
    if (answer == kYesAsAThirdSaveLands) {
      Driver::OnMessageBox("Replace the project files", [&](const MessageBoxRecord&) {
        if (++asked > 1) return IDNO;
        EXPECT_TRUE(AddPageAndSaveElsewhere());
        theirs = testsupport::ReadFileTree(web);
        return IDYES;
      });
    } else if (answer != 0) {
      Driver::AnswerMessageBox("Replace the project files", answer);
    }
    ClickButton(a->btnSave2);
    EXPECT_EQ(a->Document().Modified(), answer != IDYES);
    if (answer == IDYES) {
      EXPECT_TRUE(ReadBytes(web / "Demo.xml.bak") == theirs.at("Demo.xml"));
      EXPECT_TRUE(ReadBytes(web / "Demo.xml") != theirs.at("Demo.xml"));
    } else {
      EXPECT_TRUE(testsupport::ReadFileTree(web) == theirs);
      bool canClose = true;
      a->FormCloseQuery(nullptr, canClose);
      EXPECT_FALSE(canClose);
    }
    EXPECT_EQ(BoxesWith("Replace the project files"), answer == IDYES ? 1 : answer == kYesAsAThirdSaveLands ? 3 : 2);
  }
}

// A's compile stores its change in the project file; B, opened after it,
// adds a page and saves. A's close that cannot wait then has nothing of its
// own to save: it asks nothing, writes nothing, fails nothing, and names the
// file that holds what its compile stored. With a change since the compile,
// that change is lost, and the project as last saved is B's.
TEST_F(WriteFaultSweep, ACloseAfterItsCompileStoredTheChangesKeepsALaterSave) {
  const fs::path web = folder.Path() / "Tarnwell";
  for (const bool changedSince : {false, true}) {
    SCOPED_TRACE(changedSince ? "a change since the compile" : "no change since the compile");
    ASSERT_NO_FATAL_FAILURE(CompileAChange(changedSince));
    const std::string stored = ReadBytes(web / "Demo.xml");
    std::unique_ptr<TFormDesign1> a = std::move(designer);
    ASSERT_TRUE(AddPageAndSaveElsewhere());
    const auto theirs = testsupport::ReadFileTree(web);
    ASSERT_TRUE(theirs.at("Demo.xml.bak") == stored);
    ClearMessageBoxLog();
    bool canClose = true;
    a->FCloseForced = true;
    a->FormCloseQuery(nullptr, canClose);
    EXPECT_TRUE(testsupport::ReadFileTree(web) == theirs);
    EXPECT_EQ(BoxesWith("Replace the project files"), changedSince ? 1 : 0);
    EXPECT_EQ(a->Document().Modified(), changedSince);
    const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
    ASSERT_FALSE(boxes.empty());
    const std::string said = boxes.back().text;
    EXPECT_EQ((boxes.back().flags & MB_ICONMASK) == MB_ICONERROR, changedSince) << said;
    // The file the words name holds what they say it holds.
    const std::string named = (web / (changedSince ? "Demo.xml" : "Demo.xml.bak")).string();
    EXPECT_EQ(said.find("changes are lost") != std::string::npos, changedSince) << said;
    EXPECT_NE(said.find("\"" + named + "\" holds the project as " +
                        (changedSince ? "it was last saved" : "this run's compile stored it")),
              std::string::npos)
        << said;
    EXPECT_TRUE(ReadBytes(named) == (changedSince ? theirs.at("Demo.xml") : stored));
  }
}

// A's compile stores its change in the project file; A's close that cannot
// wait finds the lock taken by another run and writes nothing. Its words name
// the file that holds the project as the designer holds it, the project file,
// and say no change is lost; with a change since the compile that change is
// lost, and the backup holds the project as last saved.
TEST_F(WriteFaultSweep, ACloseRefusedAfterItsCompileStoredTheChangesSaysWhereTheyAre) {
  const fs::path web = folder.Path() / "Tarnwell";
  SetFolderLockWaitForTests(0);
  for (const bool changedSince : {false, true}) {
    SCOPED_TRACE(changedSince ? "a change since the compile" : "no change since the compile");
    ASSERT_NO_FATAL_FAILURE(CompileAChange(changedSince));
    const auto before = testsupport::ReadFileTree(web);
    ClearMessageBoxLog();
    bool canClose = true;
    designer->FCloseForced = true;
    // Another process holds the lock until the close is done, or the test
    // gives up: it ends when the test closes its end of the pipe.
    int held[2];
    int done[2];
    ASSERT_EQ(::pipe(held), 0);
    ASSERT_EQ(::pipe(done), 0);
    const pid_t other = ::fork();
    ASSERT_GE(other, 0);
    if (other == 0) {
      ::close(done[1]);
      bool told = false;
      {
        const TFolderLock lock((web / ".~tarnwell~lock").string());
        char byte = lock.Held() ? 1 : 0;
        told = ::write(held[1], &byte, 1) == 1 && ::read(done[0], &byte, 1) >= 0;
      }
      ::_exit(told ? 0 : 1);
    }
    {
      const ScopeExit release([&] {
        for (const int fd : {held[0], held[1], done[0], done[1]}) ::close(fd);
        ::waitpid(other, nullptr, 0);
      });
      char byte = 0;
      ASSERT_EQ(::read(held[0], &byte, 1), 1);
      ASSERT_EQ(byte, 1);
      designer->FormCloseQuery(nullptr, canClose);
    }
    EXPECT_TRUE(testsupport::ReadFileTree(web) == before);
    const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    const std::string said = boxes.back().text;
    EXPECT_EQ(boxes.back().flags & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR)) << said;
    EXPECT_EQ(said.find("changes are lost") != std::string::npos, changedSince) << said;
    const std::string named = changedSince ? "Demo.xml.bak" : "Demo.xml";
    EXPECT_NE(said.find("\"" + (web / named).string() + "\" holds the project as " +
                        (changedSince ? "it was last saved" : "this designer holds it, with the changes")),
              std::string::npos)
        << said;
    EXPECT_TRUE(before.at(named) == (changedSince
                                         ? ReadBytes(SourcePath("examples/demo/Tarnwell/Demo.xml"))
                                         : designer->Document().Parser().WriteNode(designer->Document().Root(), 0)));
    designer.reset();
  }
  SetFolderLockWaitForTests(-1);
}

// Another program's change in "pages\" of a split project while a run has it
// open: an entry that no page names (a file, a pipe, a folder; new, or there
// at the opening) is no change, and goes into the run's next two page sets of
// its kind; the file of a page that the run read or writes is, and the save
// asks (unanswered: No, nothing written).
enum class TEntry { kText, kPipe, kFolder };
void Make(TEntry kind, const fs::path& path) {
  if (kind == TEntry::kPipe) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0640), 0);
    return;
  }
  if (kind == TEntry::kFolder) fs::create_directory(path);
  std::ofstream(kind == TEntry::kFolder ? path / "draft.txt" : path) << "theirs\n";
}
// The kind and content of an entry, as the test compares them.
std::string EntryHeld(const fs::path& path) {
  std::string held = std::to_string(static_cast<int>(fs::symlink_status(path).type()));
  if (fs::is_regular_file(fs::symlink_status(path))) return held + ReadBytes(path);
  for (const auto& [name, bytes] : testsupport::ReadFileTree(path)) held += " " + name + "=" + bytes;
  return held;
}

struct TPagesEntryRow {
  const char* name;
  TChange change;     // the run's: kAddPage, or kDeletePage of the first page ("Overview")
  const char* entry;  // in "pages\"
  TEntry kind;        // the other program's
  bool asked;
  bool laid = false;  // the entry, a file of the user's, is there at the opening
};
const TPagesEntryRow kPagesEntryRows[] = {
    {"a file added", TChange::kAddPage, "notes.txt", TEntry::kText, false},
    {"a pipe added", TChange::kAddPage, "pipe", TEntry::kPipe, false},
    {"a folder added", TChange::kAddPage, "drafts", TEntry::kFolder, false},
    {"a file of the user's edited", TChange::kAddPage, "notes.txt", TEntry::kText, false, true},
    {"a file of the user's edited, page deleted", TChange::kDeletePage, "notes.txt", TEntry::kText, false, true},
    {"a page's file edited", TChange::kAddPage, "SETTINGS.XML", TEntry::kText, true},
    {"the file of the page deleted edited", TChange::kDeletePage, "OVERVIEW.XML", TEntry::kText, true},
};

TEST_F(WriteFaultSweep, AnEntryAmongThePagesIsAskedAboutOnlyWhenAPageNamesIt) {
  const fs::path web = folder.Path() / "Tarnwell";
  for (const TPagesEntryRow& row : kPagesEntryRows) {
    SCOPED_TRACE(row.name);
    PutSplitDemo();
    if (row.laid) folder.Write(std::string("Tarnwell/pages/") + row.entry, "my notes\n");
    Open();
    Driver::OnModal("TFormPageProperties", [](TCustomForm&) { return mrOk; });
    ClickNode(designer->tvPageList->Items()->GetFirstNode()->getFirstChild());
    if (row.change == TChange::kAddPage) {
      ClickButton(designer->btnAddPage);
    } else {
      ASSERT_EQ(designer->tvPageList->Selected()->Text(), "Overview");
      Driver::AnswerMessageBox("Are you sure", IDYES);
      ClickButton(designer->btnDeletePage);
    }
    Make(row.kind, web / "pages" / row.entry);
    const std::string theirs = EntryHeld(web / "pages" / row.entry);
    const std::string project = ReadBytes(web / "web.xml");
    ClearMessageBoxLog();
    ClickButton(designer->btnSave2);
    EXPECT_EQ(BoxesWith("Replace the project files"), row.asked ? 1 : 0) << Told();
    EXPECT_EQ(designer->Document().Modified(), row.asked);
    EXPECT_EQ(ReadBytes(web / "web.xml") == project, row.asked);
    EXPECT_EQ(EntryHeld(web / "pages" / row.entry), theirs);
    if (!row.asked) {
      ClickNode(designer->tvPageList->Items()->GetFirstNode()->getFirstChild());
      ClickButton(designer->btnAddPage);
      ClickButton(designer->btnSave2);
      EXPECT_FALSE(designer->Document().Modified()) << Told();
      EXPECT_EQ(EntryHeld(web / "pages" / row.entry), theirs);
      EXPECT_EQ(EntryHeld(web / "pages.bak" / row.entry), theirs);
    }
    designer.reset();
  }
}

// The commands and dialogs that write files beside the project's save (the
// settings file with the dialogs' sizes and places, the global settings'
// marker files, the save's ST constants file), run with each of their file
// operations failing in turn, and
// failing with every operation after it (a full disk): nothing is thrown, the
// user is told in one box when a file was left as it was, and what the
// command changed in the project is saved at the close all the same.
struct TSettingsFaultRow {
  const char* name;
  const char* command;  // the designer's button or menu item
  std::vector<std::pair<const char*, Driver::ModalHandler>> answers;
  std::vector<const char*> before = {};  // clicked first, without a fault: a change to be saved at the close
};
TModalResult Ok(TCustomForm&) { return mrOk; }
const TSettingsFaultRow kSettingsFaultRows[] = {
    {"Add page", "btnAddPage", {{"TFormPageProperties", Ok}}},
    {"Add page from the menu, with the placeholders",
     "Addpage1",
     {{"TFormPlaceHolders", Ok},
      {"TFormPageProperties",
       [](TCustomForm& form) {
         Driver::Click(dynamic_cast<TControl*>(form.FindComponent("btnPlaceHolders")));
         return mrOk;
       }}}},
    {"Images manager", "btnImageManager", {{"TFormImageManager", [](TCustomForm&) { return mrCancel; }}}},
    {"Password settings", "btnPass", {{"TFormPasswords", Ok}}},
    {"Object list", "tbObjectList", {{"TFormObjectList", Ok}}},
    // A project with operator panels: the save writes the ST constants file.
    {"Save, with the ST constants file", "btnSave2", {}, {"btnPageDown"}},
    {"Global settings, markers set and removed",
     "btnGlobal",
     {{"TFormGlobalSettings",
       [](TCustomForm& form) {
         auto& settings = dynamic_cast<TFormGlobalSettings&>(form);
         settings.DisableTdi1->SetChecked(true);
         settings.cbGenarateEveryTime->SetChecked(false);
         return mrOk;
       }}}},
    // One file a language, in "Language" made when missing.
    {"Export texts after a page move", "ExportTexts1", {}, {"btnPageDown"}},
    // The import's own save, of a project saved before, writes the settings
    // file alone (the save tables sweep the project's files); then its report.
    {"Import texts", "ImportTexts1", {}, {"btnPageDown", "btnSave2", "ExportTexts1"}},
};

TEST_F(WriteFaultSweep, SettingsNotWrittenAreToldOnceACommandAndTheChangesSavedAtTheClose) {
  // The files but the ST constants file, which the save's own box tells of,
  // and the temporary files that the next save sweeps.
  const auto files = [this] {
    return writefault::Snapshot(folder.Path() / "Tarnwell", [](const std::string& name) {
      return name != kStConstantsFileName && !IsLeftover(name);
    });
  };
  // The ST constants file as a project that lost its panels left it.
  const std::string stBefore = "(* Tarnwell Constants *)\r\n\r\n";
  const auto stFile = [this] { return ReadBytes(folder.Path() / "Tarnwell" / kStConstantsFileName); };
  // The boxes that told of files kept as they were; of the ST constants
  // file (st), as an error, which fails a halvex run. A save's time not
  // recorded counts where the command is the save: a command that saves on
  // its way has its time stamped again by the close's save.
  const auto told = [](const std::vector<MessageBoxRecord>& boxes, bool st, bool saves = true) {
    return std::count_if(boxes.begin(), boxes.end(), [st, saves](const MessageBoxRecord& box) {
      return box.text.find("the ST constants file") != std::string::npos
                 ? st && (box.flags & MB_ICONMASK) == MB_ICONERROR
                 : !st && (box.text.ends_with("the time of this save is not recorded.")
                               ? saves
                               : box.text.find("could not be written") != std::string::npos);
    });
  };
  for (const TSettingsFaultRow& row : kSettingsFaultRows) {
    SCOPED_TRACE(row.name);
    // The command on the demo opened afresh, then the close, which saves a
    // changed project; answers the boxes that told of files not written.
    const auto run = [&](TFileOpFault fault, std::uint64_t op, std::vector<TFileOpRecord>* ops) {
      PutDemo();
      folder.Write(std::string("Tarnwell/") + kStConstantsFileName, stBefore);
      Open();
      sweepHost->stConstants = true;
      for (const auto& [form, answer] : row.answers) Driver::OnModal(form, answer);
      const auto click = [this](const char* name) {
        TComponent* command = designer->FindComponent(name);
        if (auto* item = dynamic_cast<TMenuItem*>(command))
          item->Click();
        else
          Driver::Click(dynamic_cast<TControl*>(command));
      };
      for (const char* name : row.before) click(name);
      ClearMessageBoxLog();
      {
        const FileOpFaultScope scope(fault, op);
        if (ops != nullptr) SetFileOpRecorderForTests(ops);
        click(row.command);
      }
      const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
      bool canClose = true;
      designer->FCloseForced = true;
      designer->FormCloseQuery(nullptr, canClose);
      designer.reset();
      return boxes;
    };
    std::vector<TFileOpRecord> ops;
    const std::vector<MessageBoxRecord> clean = run(TFileOpFault::kNone, 0, &ops);
    EXPECT_EQ(told(clean, false) + told(clean, true), 0);
    const writefault::TFiles after = files();
    const std::string stAfter = stFile();
    ASSERT_FALSE(ops.empty());
    for (const TFileOpFault fault : {TFileOpFault::kFail, TFileOpFault::kHalt}) {
      for (std::uint64_t n = 1; n <= ops.size(); ++n) {
        const std::string name =
            (fault == TFileOpFault::kHalt ? "failed from " : "failed at ") + DescribeFileOp(ops[n - 1]);
        std::vector<MessageBoxRecord> boxes;
        EXPECT_NO_THROW(boxes = run(fault, n, nullptr)) << name;
        const writefault::TFiles now = files();
        EXPECT_EQ(now.at("Demo.xml"), after.at("Demo.xml")) << name;
        EXPECT_EQ(told(boxes, false, std::string(row.command) == "btnSave2"), now == after ? 0 : 1) << name;
        // A box tells why a file was not written, and lists files only when it has some to list.
        for (const MessageBoxRecord& box : boxes) {
          EXPECT_EQ(box.text.find("could not be written;"), std::string::npos) << name << ": " << box.text;
          EXPECT_FALSE(box.text.ends_with("generated:\r\n")) << name;
        }
        // The ST constants file is whole, as before the save or after it; the
        // save said when it is not in.
        EXPECT_TRUE(stFile() == stAfter || stFile() == stBefore) << name;
        EXPECT_EQ(told(boxes, true), stFile() == stAfter ? 0 : 1) << name;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, SaveFaultTable, ::testing::ValuesIn(kSaveFaultRows),
                         [](const ::testing::TestParamInfo<TSaveFaultRow>& info) {
                           std::string name;
                           for (const char c : std::string(info.param.name))
                             if (std::isalnum(static_cast<unsigned char>(c)) != 0) name += c;
                           return name;
                         });

}  // namespace
