// Saving through the window's save button: the shown page is stored first,
// the host's ST constants are refreshed, the button follows the modified
// flag; nothing is written for an unchanged project; a failed write keeps the
// project modified.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "core/XmlNode.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "tests/designer/window/WindowTestSupport.h"

using namespace windowtest;

namespace {

constexpr const char* kProject =
    "<web version=\"8.1\" MaxUid=\"100\">\r\n"
    "<group caption=\"G\" Uid=\"1\">\r\n"
    "<page caption=\"One\" name=\"ONE.XML\" Uid=\"2\">\r\n"
    "<object caption=\"Hello\" X=\"2\" Y=\"3\" Uid=\"10\"><label /></object>\r\n"
    "</page>\r\n"
    "</group>\r\n"
    "</web>";

class WindowSave : public WindowTest {
 protected:
  std::string Saved() const { return ReadBytes(folder.Path() / "Tarnwell" / "Proj.xml"); }
};

// While it lives no file of this process may grow past a few bytes: writes
// fail instead of raising SIGXFSZ.
class TSmallFiles {
 public:
  TSmallFiles() {
    getrlimit(RLIMIT_FSIZE, &old_);
    handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = 16;
    active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
  }
  ~TSmallFiles() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, handler_);
  }
  TSmallFiles(const TSmallFiles&) = delete;
  TSmallFiles& operator=(const TSmallFiles&) = delete;
  bool Active() const { return active_; }

 private:
  rlimit old_{};
  sighandler_t handler_ = SIG_DFL;
  bool active_ = false;
};

}  // namespace

TEST_F(WindowSave, TheSaveButtonStoresTheShownPageAndWritesTheProject) {
  PutProject(kProject);
  TFormDesign1& d = OpenDesigner();
  ASSERT_EQ(d.PageObjects().size(), 1u);
  d.PageObjects()[0]->SetCaption("Changed");
  d.ToolButton6Click(nullptr);  // the hidden button records an edit
  ASSERT_TRUE(d.btnSave2->Enabled());
  Driver::Click(d.btnSave2);
  const std::string saved = Saved();
  EXPECT_NE(saved.find("caption=\"Changed\""), std::string::npos) << saved;
  EXPECT_EQ(saved.find("caption=\"Hello\""), std::string::npos);
  EXPECT_EQ(host->stConstantsCalls, 1);
  EXPECT_FALSE(d.Document().Modified());
  EXPECT_FALSE(d.btnSave2->Enabled());
  EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Tarnwell" / "Proj.xml.bak"));
  EXPECT_EQ(ReadBytes(folder.Path() / "Tarnwell" / "Proj.xml.bak"), kProject);
  EXPECT_NE(ReadBytes(folder.Path() / "Tarnwell" / "Proj.webx").find("SaveTD="), std::string::npos);
}

TEST_F(WindowSave, AnUnchangedProjectIsNotWritten) {
  PutProject(kProject);
  TFormDesign1& d = OpenDesigner();
  EXPECT_FALSE(d.btnSave2->Enabled());
  Driver::Click(d.btnSave2);
  d.btnSave2Click(nullptr);
  EXPECT_EQ(Saved(), kProject);
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Tarnwell" / "Proj.xml.bak"));
  EXPECT_FALSE(std::filesystem::exists(folder.Path() / "Tarnwell" / "Proj.webx"));
  EXPECT_EQ(host->stConstantsCalls, 0);
}

TEST_F(WindowSave, AFailedWriteKeepsTheProjectModified) {
  PutProject(kProject);
  TFormDesign1& d = OpenDesigner();
  d.SetModified();
  {
    TSmallFiles limit;
    ASSERT_TRUE(limit.Active());
    d.btnSave2Click(nullptr);
  }
  EXPECT_EQ(Saved(), kProject);
  EXPECT_TRUE(d.Document().Modified());
  EXPECT_TRUE(d.btnSave2->Enabled());
}

TEST_F(WindowSave, AReadOnlyProjectStampsTheTimeOnly) {
  std::string text = kProject;
  text.replace(text.find("8.1"), 3, "8.2");
  PutProject(text);
  TFormDesign1& d = OpenDesigner();
  d.SetModified();
  d.btnSave2Click(nullptr);
  EXPECT_EQ(Saved(), text);
  EXPECT_NE(ReadBytes(folder.Path() / "Tarnwell" / "Proj.webx").find("SaveTD="), std::string::npos);
  EXPECT_FALSE(d.btnSave2->Enabled());
  EXPECT_EQ(host->stConstantsCalls, 0);
}
