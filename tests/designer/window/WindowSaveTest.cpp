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
#include "platform/win/MessageBox.h"
#include "tests/designer/window/WindowTestSupport.h"
#include "tests/support/WriteFaultSweep.h"

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

// A project file the save may not replace: a page file of the split layout
// that the load could not read whole, or a read-only file of either layout.
// The load keeps the stub's name and says what it read; the save names the
// file, says why, and leaves the project folder byte for byte as it was.
TEST_F(WindowSave, ASaveThatMayNotReplaceAFileSaysWhichAndWritesNothing) {
  constexpr const char* kNotOverwritten =
      "\" could not be read when the project was opened, so it is not overwritten. Move it away to save this project "
      "in its place, or repair it and open the project again.";
  constexpr const char* kReadOnly = "\" is read-only, so it is not overwritten. Make it writable to save this project.";
  const struct {
    const char* name;
    bool split;
    const char* file;     // below Tarnwell/
    const char* content;  // the file's new content; null: the file is made read-only
    const char* loaded;   // how the load's box ends; null: no box
    const char* who;      // the save's box starts so
    const char* why;
  } cases[] = {
      {"page cut in its start tag", true, "pages/OVERVIEW.XML", "<page caption=\"Overview\" name=\"OVERVIEW.",
       "Only the part before the damage was loaded.", "The page file \"", kNotOverwritten},
      {"page cut to no element", true, "pages/OVERVIEW.XML", "<pa", "The page was loaded empty.", "The page file \"",
       kNotOverwritten},
      {"empty page file", true, "pages/OVERVIEW.XML", "", "The page was loaded empty.", "The page file \"",
       kNotOverwritten},
      {"read-only single file", false, "Proj.xml", nullptr, nullptr, "The project file \"", kReadOnly},
      {"read-only main file", true, "web.xml", nullptr, nullptr, "The project file \"", kReadOnly},
      {"read-only page file", true, "pages/SETTINGS.XML", nullptr, nullptr, "The page file \"", kReadOnly},
  };
  const std::filesystem::path web = folder.Path() / "Tarnwell";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    designer.reset();
    ClearMessageBoxLog();
    std::filesystem::remove_all(web);
    if (c.split)
      CopyTree("tests/designer/data/split");
    else
      PutProject(kProject);
    if (c.content != nullptr)
      folder.Write("Tarnwell/" + std::string(c.file), c.content);
    else
      std::filesystem::permissions(web / c.file,
                                   std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                       std::filesystem::perms::others_write,
                                   std::filesystem::perm_options::remove);
    TFormDesign1& d = OpenDesigner();
    if (c.split) {
      EXPECT_EQ(d.Document().Web()->FindDeep("page")->GetAttr("name"), "OVERVIEW.XML");
    }
    std::vector<MessageBoxRecord> boxes = MessageBoxLog();
    ASSERT_EQ(boxes.size(), c.loaded != nullptr ? 1u : 0u);
    if (c.loaded != nullptr) {
      EXPECT_TRUE(boxes[0].text.ends_with(c.loaded)) << boxes[0].text;
    }
    const writefault::TFiles before = writefault::Snapshot(web, [](const std::string&) { return true; });
    d.SetModified();
    Driver::Click(d.btnSave2);
    boxes = MessageBoxLog();
    ASSERT_EQ(boxes.size(), c.loaded != nullptr ? 2u : 1u);
    // The file as the box shows it: with '/' only.
    EXPECT_EQ(boxes.back().text, c.who + (web / c.file).string() + c.why);
    EXPECT_EQ(writefault::Snapshot(web, [](const std::string&) { return true; }), before);
    EXPECT_TRUE(d.btnSave2->Enabled());
    std::filesystem::permissions(web / c.file, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  }
}
