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
#include <functional>
#include <memory>

#include "core/HostEnvironment.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Menus.h"
#include "platform/win/FileFault.h"
#include "platform/win/MessageBox.h"
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
  FakeCompileHost compileHost;
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

  bool TimeNotRecorded() const {
    const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
    return std::any_of(boxes.begin(), boxes.end(), [](const MessageBoxRecord& box) {
      return box.text.ends_with("the time of this save is not recorded.");
    });
  }
  bool UserWasTold() const { return !MessageBoxLog().empty() || !sweepHost->compileHost.messages.empty(); }

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
// next opening leaves no staged file and reads the project without a fault.
enum class TChange { kMovePage, kAddPage, kDeletePage };
enum class TOccasion { kSaveButton, kClose, kCompile };
struct TSaveFaultRow {
  const char* name;
  bool split;
  bool backups;  // earlier backups beside the files (a save of a change before)
  TChange change;
  TOccasion occasion;
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
      if (!row.backups) {
        for (const char* name : {"Demo.xml.bak", "Demo.xml.bak.big", "web.xml.bak", "pages.bak"})
          fs::remove_all(web / name);
      } else if (row.split) {
        Open();
        MovePageUp();
        ClickButton(designer->btnSave2);
        designer.reset();
      }
      fs::remove_all(folder.Path() / "SendRoot");
      fs::copy(web, laid, fs::copy_options::recursive);
    };
    // The files as laid once, put back for each run.
    const auto put = [&] {
      fs::remove_all(web);
      fs::remove_all(folder.Path() / "SendRoot");
      fs::copy(laid, web, fs::copy_options::recursive);
    };
    const auto prepare = [&] {
      Open();
      if (row.change == TChange::kMovePage) MovePageUp();
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
    const auto told = [&] {
      std::string text;
      for (const MessageBoxRecord& box : MessageBoxLog()) text += box.text + "\n";
      for (const auto& message : sweepHost->compileHost.messages) text += message.second + "\n";
      return text;
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
    EXPECT_TRUE(backupsAfter.count(mainFile + ".bak") != 0 &&
                backupsAfter.at(mainFile + ".bak") == before.at(mainFile));
    // The steps on the project's files; of a compile, those of its project copy.
    std::vector<std::uint64_t> steps;
    for (std::uint64_t n = 1; n <= ops.size(); ++n)
      if (ops[n - 1].path.find(row.occasion == TOccasion::kCompile ? "/Tarnwell/Demo.xml" : "/Tarnwell/") !=
          std::string::npos)
        steps.push_back(n);
    // A killed run: every operation from the step on fails, so the files are
    // left as a kill there leaves them, and the designer is dropped with them.
    for (const bool kill : {false, true}) {
      for (const std::uint64_t n : steps) {
        const std::string run = (kill ? "killed at " : "failed at ") + DescribeFileOp(ops[n - 1]);
        put();
        prepare();
        if (kill) {
          const FileOpFaultScope halt(TFileOpFault::kHalt, n);
          act();
          designer.reset();
        } else {
          {
            const FileOpFaultScope fault(TFileOpFault::kFail, n);
            act();
          }
          const writefault::TFiles now = writefault::Snapshot(web, IsProjectFile);
          EXPECT_TRUE(now == before || now == after) << run;
          EXPECT_EQ(writefault::MixedFiles(backupsBefore, backupsAfter, writefault::Snapshot(web, IsBackup)),
                    std::vector<std::string>{})
              << run;
          if (now == after) {
            EXPECT_TRUE(writefault::Snapshot(web, IsBackup) == backupsAfter) << run;
          }
          if (failed()) {
            EXPECT_TRUE(now == before) << run;
            EXPECT_TRUE(told().find("as they were") != std::string::npos ||
                        told().find("kept as it was") != std::string::npos)
                << run << ": " << told();
          }
          designer.reset();
        }
        // The next opening finishes or undoes what a kill stopped, and reads
        // the project without a word.
        const writefault::TFiles stopped = writefault::Snapshot(web, IsProjectFile);
        ClearMessageBoxLog();
        {
          TLoadUi loadUi;
          TProjectDocument reopened(loadUi);
          reopened.LoadProject(location, 5, 5);
          EXPECT_EQ(loadUi.messages, "") << run;
        }
        const writefault::TFiles now = writefault::Snapshot(web, IsProjectFile);
        EXPECT_TRUE(now == before || now == after) << run;
        if (!kill) {
          EXPECT_TRUE(now == stopped) << run;
        }
        EXPECT_EQ(writefault::Snapshot(web, IsLeftover), writefault::TFiles{}) << run;
      }
    }
  }
}

// The commands and dialogs that write files beside the project's save (the
// settings file with the dialogs' sizes and places, the global settings'
// marker files), run with each of their file operations failing in turn, and
// failing with every operation after it (a full disk): nothing is thrown, the
// user is told in one box when a file was left as it was, and what the
// command changed in the project is saved at the close all the same.
struct TSettingsFaultRow {
  const char* name;
  const char* command;  // the designer's button or menu item
  std::vector<std::pair<const char*, Driver::ModalHandler>> answers;
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
    {"Global settings, markers set and removed",
     "btnGlobal",
     {{"TFormGlobalSettings",
       [](TCustomForm& form) {
         auto& settings = dynamic_cast<TFormGlobalSettings&>(form);
         settings.DisableTdi1->SetChecked(true);
         settings.cbGenarateEveryTime->SetChecked(false);
         return mrOk;
       }}}},
};

TEST_F(WriteFaultSweep, SettingsNotWrittenAreToldOnceACommandAndTheChangesSavedAtTheClose) {
  const auto files = [this] { return writefault::Snapshot(folder.Path() / "Tarnwell", [](auto&) { return true; }); };
  for (const TSettingsFaultRow& row : kSettingsFaultRows) {
    SCOPED_TRACE(row.name);
    // The command on the demo opened afresh, then the close, which saves a
    // changed project; answers the boxes that told of files not written.
    const auto run = [&](TFileOpFault fault, std::uint64_t op, std::vector<TFileOpRecord>* ops) {
      PutDemo();
      Open();
      for (const auto& [form, answer] : row.answers) Driver::OnModal(form, answer);
      ClearMessageBoxLog();
      {
        const FileOpFaultScope scope(fault, op);
        if (ops != nullptr) SetFileOpRecorderForTests(ops);
        TComponent* command = designer->FindComponent(row.command);
        if (auto* item = dynamic_cast<TMenuItem*>(command))
          item->Click();
        else
          Driver::Click(dynamic_cast<TControl*>(command));
      }
      const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
      bool canClose = true;
      designer->FCloseForced = true;
      designer->FormCloseQuery(nullptr, canClose);
      designer.reset();
      return std::count_if(boxes.begin(), boxes.end(), [](const MessageBoxRecord& box) {
        return box.text.find("could not be written") != std::string::npos;
      });
    };
    std::vector<TFileOpRecord> ops;
    EXPECT_EQ(run(TFileOpFault::kNone, 0, &ops), 0);
    const writefault::TFiles after = files();
    ASSERT_FALSE(ops.empty());
    for (const TFileOpFault fault : {TFileOpFault::kFail, TFileOpFault::kHalt}) {
      for (std::uint64_t n = 1; n <= ops.size(); ++n) {
        const std::string name =
            (fault == TFileOpFault::kHalt ? "failed from " : "failed at ") + DescribeFileOp(ops[n - 1]);
        long told = 0;
        EXPECT_NO_THROW(told = run(fault, n, nullptr)) << name;
        const writefault::TFiles now = files();
        EXPECT_EQ(now.at("Demo.xml"), after.at("Demo.xml")) << name;
        EXPECT_EQ(told, now == after ? 0 : 1) << name;
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
