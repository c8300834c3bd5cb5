// A full disk at every write of the designer's commands that write the
// user's files: the save (one project file with its backups, or "web.xml"
// with a file a page) and the save and compile. Whichever write fails, every
// file of the web project holds its state of before or after the command,
// the user is told, and the command's result says it failed. A project file
// that could not be read is neither saved nor compiled over.

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <functional>
#include <memory>

#include "core/HostEnvironment.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/win/MessageBox.h"
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

}  // namespace
