// halvex open PROJECT --command Tarnwell --snapshot FILE.png: the built host
// runs the plug-in's menu command as a user's click does, the designer opens
// docked on the demo project with its first page shown, the whole window is
// painted into the PNG, and the project closes as always (every reference
// back). The picture is read back: its size, the page tree with its selected
// page, and the page's frame and objects on the surface.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/vcl/IconFile.h"
#include "tests/host/HostTestProject.h"
#include "tests/support/FileTree.h"
#include "tests/support/ReadOnlyEntries.h"
#include "tests/support/TempFolder.h"

#if defined(TARNWELL_HALVEX_PATH) && defined(TARNWELL_PLUGIN_PATH)

namespace {

struct ProgramRun {
  int status = -1;
  std::string out;
};

struct TRegion {
  int left, top, right, bottom;
};

// The picture as the PNG holds it, with counts of its pixels by colour.
class TSnapshot {
 public:
  explicit TSnapshot(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    picture_ = ReadPngPicture(data.data(), data.size(), kMostPixels);
  }
  int Width() const { return picture_.width; }
  int Height() const { return picture_.height; }
  // Pixels of the region whose red, green and blue satisfy `test`.
  template <class Test>
  int Count(const TRegion& r, Test test) const {
    int n = 0;
    for (int y = r.top; y < r.bottom && y < picture_.height; ++y)
      for (int x = r.left; x < r.right && x < picture_.width; ++x) {
        const std::uint32_t p = picture_.pixels[static_cast<std::size_t>(y) * picture_.width + x];
        n += test((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF) ? 1 : 0;
      }
    return n;
  }

 private:
  static constexpr long long kMostPixels = 4000LL * 4000LL;
  IconPicture picture_;
};

class DesignerSnapshot : public ::testing::Test {
 protected:
  void SetUp() override {
    home = testsupport::MakeTempFolder("halvex-snapshot-");
    ASSERT_NE(home, "");
    // A copy of the demo: the designer writes its settings into the project.
    demo = home + "/demo";
    std::filesystem::copy(DemoProjectFolder(), demo, std::filesystem::copy_options::recursive);
    const ProgramRun r = Halvex("register '" + std::string(TARNWELL_PLUGIN_PATH) + "'");
    ASSERT_EQ(r.status, 0) << r.out;
  }
  void TearDown() override { std::filesystem::remove_all(home); }

  // Runs halvex with HALVEX_HOME set; stdout and stderr together.
  ProgramRun Halvex(const std::string& arguments) const {
    const std::string command = "HALVEX_HOME='" + home + "' '" + TARNWELL_HALVEX_PATH + "' " + arguments + " 2>&1";
    ProgramRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  std::string home;
  std::string demo;
};

TEST_F(DesignerSnapshot, TheCommandOpensTheDesignerAndTheWholeWindowIsPainted) {
  const std::string png = home + "/designer.png";
  const ProgramRun r = Halvex("open '" + demo + "' --command Tarnwell --snapshot '" + png + "'");
  ASSERT_EQ(r.status, 0) << r.out;
  for (const char* expected :
       {"command \"Tarnwell\" (1001) chosen in the menu",
        "snapshot of FormDesign1 (1000 x 660): ", "  InsertDockableForm(FormDesign1)",
        "  ShowDockableForm(FormDesign1)", "IQendProjectEvents::OnCloseControler -> 1 sink(s), S_OK",
        "host references still held: none", "ControledDestruction: S_OK, library unloaded"})
    EXPECT_TRUE(Has(r.out, expected)) << expected << "\n" << r.out;

  const TSnapshot shot(png);
  ASSERT_GE(shot.Width(), 640);
  ASSERT_GE(shot.Height(), 400);
  // The page tree (left, below the tool bars): the node texts in dark
  // letters, the selected first page on the selection's blue.
  const TRegion tree{0, 60, 150, 300};
  EXPECT_GT(shot.Count(tree, [](int r, int g, int b) { return r < 80 && g < 80 && b < 80; }), 200);
  EXPECT_GT(shot.Count(tree, [](int r, int g, int b) { return r == 0x33 && g == 0x99 && b == 0xFF; }), 400);
  // The surface: the page's dotted frame in black, the page white with grey
  // grid dots, and the page's objects in their colours.
  const TRegion surface{155, 55, 990, 630};
  EXPECT_GT(shot.Count(surface, [](int r, int g, int b) { return r == 0 && g == 0 && b == 0; }), 800);
  EXPECT_GT(shot.Count(surface, [](int r, int g, int b) { return r == 255 && g == 255 && b == 255; }), 200000);
  EXPECT_GT(shot.Count(surface, [](int r, int g, int b) { return r > g + 60 && r > b + 60; }), 200)
      << "the closed valve and the high-level lamp";
  EXPECT_GT(shot.Count(surface, [](int r, int g, int b) { return g > r + 60 && b > r + 60; }), 200) << "the logo";
  // The designer stored its placement when the project closed.
  const std::string text = testsupport::ReadFileText(demo + "/Tarnwell/Demo.webx");
  EXPECT_TRUE(Has(text, "[FormDesign1]")) << text;
}

TEST_F(DesignerSnapshot, ACommandNoPlugInRegisteredFails) {
  const ProgramRun r = Halvex("open '" + demo + "' --command Nothing");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(Has(r.out, "halvex open: no plug-in registered a command \"Nothing\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "host references still held: none")) << r.out;
}

TEST_F(DesignerSnapshot, ASnapshotWithoutAShownWindowFails) {
  const ProgramRun r = Halvex("open '" + demo + "' --snapshot '" + home + "/none.png'");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(Has(r.out, "halvex open: --snapshot: no docked window is shown")) << r.out;
  EXPECT_FALSE(std::filesystem::exists(home + "/none.png"));
}

TEST_F(DesignerSnapshot, AClickReachesOnlyAControlShownAndEnabled) {
  // The live view's tool bar is hidden in the design view; the save button
  // waits for a change. Neither click reaches anything, and nothing is saved.
  for (const char* name : {"btnDebug2", "btnSave2", "btnNothing"}) {
    const ProgramRun r = Halvex("open '" + demo + "' --command Tarnwell --click " + name + " --click btnSave2");
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_TRUE(Has(r.out, std::string("FormDesign1 shows no enabled control \"") + name + "\"")) << r.out;
  }
  EXPECT_FALSE(std::filesystem::exists(demo + "/Tarnwell/Demo.xml.bak"));
}

// Puts text before the first object of the demo's project file.
void InsertBeforeFirstObject(const std::string& project, const std::string& text) {
  const std::string file = project + "/Tarnwell/Demo.xml";
  std::string xml = testsupport::ReadFileText(file);
  xml.insert(xml.find("<object"), text);
  std::ofstream(file, std::ios::binary) << xml;
}

// What the plug-in told the user is printed, the close's boxes too; a click
// whose command showed an error box fails the run, and so does a close whose
// save failed.
TEST_F(DesignerSnapshot, TheRunPrintsItsMessageBoxesAndAFailedClickFailsIt) {
  const std::string longName(300, 'P');
  const struct {
    const char* name;
    std::function<void(const std::string& project)> change;
    std::string actions;
    int status;
    std::vector<std::string> printed;
    std::vector<std::string> notPrinted = {};
    std::vector<std::string> absent = {};  // files of the project that the run does not write
    const char* verb = "open";
    const char* unsaved = nullptr;  // what the settings file "Demo.webx" does not hold afterwards
  } cases[] = {
      {"damaged",
       [](const std::string& p) { std::ofstream(p + "/Tarnwell/Demo.xml") << "garbage\n"; },
       "--command Tarnwell --snapshot '" + home + "/damaged.png'",
       0,
       {"questions:\n  message box \"Warning\": \"The project file \"", "it holds no web element."}},
      {"long-name",
       [&longName](const std::string& p) {
         std::ofstream(p + "/halvex.prj") << "project \"" << longName << "\"\ncpm 12\n";
       },
       "--command Tarnwell --click btnAddGroup --click btnSave2",
       1,
       {"halvex open: --click btnSave2: the command failed: The project could not be saved: cannot write ",
        "questions:\n  modal form TFormGroupProperties \"Group properties\" closed with result 2 (default)\n"
        "  message box \"Tarnwell\": "}},
      {"object-not-loaded",
       [](const std::string& p) {
         InsertBeforeFirstObject(p, "<object caption=\"odd\" X=\"3\" Y=\"3\" Uid=\"1999\"><gizmo /></object>\r\n");
       },
       "--command Tarnwell",
       0,
       {"questions:\n  message box \"halvex\": \"Some objects of the page could not be loaded; they are kept unchanged "
        "in the page: Object 1: unknown kind \"gizmo\"\" answered OK (default)\n"}},
      {"read-only-at-close",
       [](const std::string& p) {
         std::filesystem::permissions(p + "/Tarnwell/Demo.xml", std::filesystem::perms::owner_write,
                                      std::filesystem::perm_options::remove);
       },
       "--command Tarnwell --click btnDeletePage",
       1,
       {"questions:\n  message box \"Tarnwell\": \"Are you sure to delete?\" answered Yes (default)\n",
        "questions at the close:\n  message box \"Tarnwell\": \"The project file \"",
        "halvex open: closing the project failed: The project file \""}},
      {"backup-is-a-folder",
       [](const std::string& p) { std::filesystem::create_directory(p + "/Tarnwell/Demo.xml.bak"); },
       "--command Tarnwell --click btnAddGroup --click btnSave2",
       1,
       {"the command failed: The project could not be saved: " + home +
        "/backup-is-a-folder/Tarnwell/Demo.xml.bak is a folder, not a file."},
       // The folder is the reason, told once: no copy of it is tried.
       {".bak.big", "Cannot copy"},
       {"TarnwellConst.ST"},
       "open",
       "SaveTD"},
      // An --answer answers every question of the run, the clicks' too; one
      // that answered none fails the run.
      {"delete-answered-no",
       [](const std::string&) {},
       "--command Tarnwell --click btnDeletePage --answer 'sure to delete=no'",
       0,
       {"questions:\n  message box \"Tarnwell\": \"Are you sure to delete?\" answered No (--answer)\n",
        "\n    WWW/OVERVIEW.XML ("},
       {},
       {},
       "build"},
      // A declined delete changes nothing: the close saves nothing (no save
      // stamp), and the backup of the state before stays where it is.
      {"delete-declined-keeps-the-backup",
       [](const std::string& p) { std::filesystem::copy_file(p + "/Tarnwell/Demo.xml", p + "/Tarnwell/Demo.xml.bak"); },
       "--command Tarnwell --click btnDeletePage --answer 'sure to delete=no'",
       0,
       {"\"Are you sure to delete?\" answered No (--answer)\n"},
       {},
       {"Demo.xml.bak.big"},
       "open",
       "SaveTD"},
      {"answer-unused",
       [](const std::string&) {},
       "--command Tarnwell --answer 'nothing asks this=yes'",
       1,
       {"\nhalvex open: --answer \"nothing asks this=yes\" answered no question\n"}},
      // A box without the answer's button takes nothing of it: the run stops
      // there, with nothing deleted, so the close saves nothing.
      {"answer-without-its-button",
       [](const std::string&) {},
       "--command Tarnwell --click btnDeletePage --answer 'sure to delete=cancel' --click btnAddGroup",
       1,
       {"\nhalvex open: --answer \"sure to delete=cancel\" answered no question: the message box \"Are you sure to "
        "delete?\" has no Cancel button\n"},
       {"clicked FormDesign1.btnAddGroup", "answered Yes"},
       {"Demo.xml.bak"}},
      // So does one the opening of the command asked: no click comes after.
      {"answer-fails-at-the-opening",
       [](const std::string& p) { InsertBeforeFirstObject(p, "<object Uid=\"1999\"><gizmo /></object>\r\n"); },
       "--command Tarnwell --answer 'could not be loaded=yes' --click btnAddGroup",
       1,
       {"unknown kind \"gizmo\"\" has no Yes button\n"},
       {"clicked FormDesign1.btnAddGroup"},
       {"Demo.xml.bak"}},
      // A save that fails at the close tells it once, and, since the host's
      // close does not wait, that the changes are lost and where the project
      // as it was saved is.
      {"save-fails-at-close",
       [](const std::string& p) { std::filesystem::create_directory(p + "/Tarnwell/Demo.xml.bak"); },
       "--command Tarnwell --click btnAddGroup",
       1,
       {"questions at the close:\n  message box \"Tarnwell\": \"The project could not be saved: " + home +
        "/save-fails-at-close/Tarnwell/Demo.xml.bak is a folder, not a file. The project files on disk are as they "
        "were. The project closes now, so the changes are lost; \"" +
        home +
        "/save-fails-at-close/Tarnwell/Demo.xml\" holds the project as it was last saved.\" answered OK "
        "(default)\nhalvex open: closing the project failed: "}},
      // An empty project file holds no saved state; nor does one the load
      // could not read.
      {"empty-file-at-close",
       [](const std::string& p) { std::filesystem::resize_file(p + "/Tarnwell/Demo.xml", 0); },
       "--command Tarnwell --click btnAddGroup",
       1,
       {"so the changes are lost; no file holds a saved state of the project."},
       {"holds the project as it was last saved"}},
      // A save refused moments ago is not asked again at the close, but the
      // close still says that the changes are lost.
      {"read-only-saved-then-closed",
       [](const std::string& p) {
         std::filesystem::permissions(p + "/Tarnwell/Demo.xml", std::filesystem::perms::owner_read);
       },
       "--command Tarnwell --click btnAddGroup --click btnSave2",
       1,
       {"is read-only, so it is not overwritten.",
        "The project closes now, so the changes are lost; \"" + home +
            "/read-only-saved-then-closed/Tarnwell/Demo.xml\" holds the project as it was last saved."}},
      // A save whose ST constants file cannot be replaced saves the project
      // and fails the run, saying why.
      {"st-constants-read-only",
       [](const std::string& p) {
         std::ofstream(p + "/Tarnwell/TarnwellConst.ST") << "(* Tarnwell Constants *)\r\n\r\n";
         std::filesystem::permissions(p + "/Tarnwell/TarnwellConst.ST", std::filesystem::perms::owner_read);
       },
       "--command Tarnwell --click btnPageDown --click btnSave2",
       1,
       {"halvex open: --click btnSave2: the command failed: The project is saved, but the ST constants file \"" + home +
        "/st-constants-read-only/Tarnwell/TarnwellConst.ST\" could not be written (it is read-only), so the PLC "
        "program does not get the page numbers of this save"}},
      {"add-page-cancelled",
       [](const std::string& p) { std::filesystem::remove(p + "/Tarnwell/Demo.xml"); },
       "--command Tarnwell --click btnAddPage",
       0,
       {"An empty new project was loaded instead.",
        "modal form TFormPageProperties \"Page properties\" closed with "
        "result 2 (default)\n"},
       {},
       {"Demo.xml", "TarnwellConst.ST"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string project = home + "/" + c.name;
    std::filesystem::copy(DemoProjectFolder(), project, std::filesystem::copy_options::recursive);
    c.change(project);
    const ProgramRun r = Halvex(std::string(c.verb) + " '" + project + "' " + c.actions);
    EXPECT_EQ(r.status, c.status) << r.out;
    for (const std::string& part : c.printed) EXPECT_TRUE(Has(r.out, part)) << part << "\n" << r.out;
    for (const std::string& part : c.notPrinted) EXPECT_FALSE(Has(r.out, part)) << part << "\n" << r.out;
    for (const std::string& file : c.absent)
      EXPECT_FALSE(std::filesystem::exists(project + "/Tarnwell/" + file)) << file;
    if (c.unsaved != nullptr) {
      const std::string text = testsupport::ReadFileText(project + "/Tarnwell/Demo.webx");
      EXPECT_EQ(text.find(c.unsaved), std::string::npos) << text;
    }
  }
}

using testsupport::ReadFileText;

// The compile writes the project file but leaves the project marked as
// changed, so the close saves again: the file from before the run stays the
// backup, whatever the saves and compiles after the change.
TEST_F(DesignerSnapshot, TheFileFromBeforeAChangeStaysTheBackupAfterACompile) {
  const std::string before = ReadFileText(demo + "/Tarnwell/Demo.xml");
  for (const char* clicks :
       {"--click btnSave1", "--click btnSave1 --click btnSave1", "--click btnSave1 --click btnSave2"}) {
    SCOPED_TRACE(clicks);
    const std::string project = home + "/changed";
    std::filesystem::remove_all(project);
    std::filesystem::copy(demo, project, std::filesystem::copy_options::recursive);
    const ProgramRun r = Halvex("open '" + project + "' --command Tarnwell --click btnDeletePage " + clicks);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(ReadFileText(project + "/Tarnwell/Demo.xml.bak"), before);
    EXPECT_NE(ReadFileText(project + "/Tarnwell/Demo.xml"), before);
  }
}

// The groups of a project file with their pages' file names:
// "Station[OVERVIEW.XML] Service[DIAG.XML CANVAS.XML]".
std::string GroupsAndPages(const std::string& xml) {
  static const std::regex tag("<(group|page)\\b[^>]*>|</group>"), caption(" caption=\"([^\"]*)\""),
      name(" name=\"([^\"]*)\"");
  std::string outline;
  for (std::sregex_iterator it(xml.begin(), xml.end(), tag), end; it != end; ++it) {
    const std::string text = it->str();
    std::smatch m;
    if ((*it)[1] == "page") outline += (std::regex_search(text, m, name) ? m[1].str() : "?") + " ";
    if ((*it)[1] == "group") outline += (std::regex_search(text, m, caption) ? m[1].str() : "?") + "[";
    if (text == "</group>" || (text.ends_with("/>") && (*it)[1] == "group")) outline += "] ";
  }
  outline = std::regex_replace(outline, std::regex(" \\]"), "]");
  if (!outline.empty()) outline.pop_back();  // the blank after the last group
  return outline;
}

// Every command of the page tree, from its tool bar and from its pop-up
// menu, on a group with one page, an empty group and the last group: the run
// ends well, the sanitizers (in their build) report nothing, and the saved
// file holds the groups and pages the commands made.
TEST_F(DesignerSnapshot, ThePageTreesCommandsSaveWhatTheyShow) {
  const auto cut = [](const char* from, const char* to) {
    return [from, to](std::string& xml) {
      const std::size_t at = xml.find(from);
      xml.erase(at, xml.find(to, at) + std::string(to).size() - at);
    };
  };
  const std::function<void(std::string&)> onePage = cut("<page caption=\"Settings\"", "</page>"),
                                          oneGroup = cut("<group caption=\"Service\"", "</group>");
  const std::string three = "btnDeletePage Delete2 btnDeletePage ";  // leaves the group Service selected
  const struct {
    std::function<void(std::string&)> change;
    std::string clicks;  // then btnSave2
    bool keepNewPage;    // the new page's properties answered OK
    const char* saved;
  } cases[] = {
      {onePage, "btnDeletePage", false, "Station[] Service[DIAG.XML CANVAS.XML]"},
      {onePage, "Delete2 btnDeletePage", false, "Service[DIAG.XML CANVAS.XML]"},
      {onePage, "btnDeletePage btnAddPage", false, "Station[] Service[DIAG.XML CANVAS.XML]"},
      {nullptr, "btnAddGroup Addpage1", false, "Station[OVERVIEW.XML SETTINGS.XML] [] Service[DIAG.XML CANVAS.XML]"},
      {nullptr, "btnAddPage", true, "Station[OVERVIEW.XML PAGE1.XML SETTINGS.XML] Service[DIAG.XML CANVAS.XML]"},
      {nullptr, "btnPageDown btnPageUp MoveDown1", false,
       "Station[SETTINGS.XML OVERVIEW.XML] Service[DIAG.XML CANVAS.XML]"},
      {nullptr, "Addgroup1 MoveUp1", false, "[] Station[OVERVIEW.XML SETTINGS.XML] Service[DIAG.XML CANVAS.XML]"},
      {nullptr, "btnAddGroup btnPageDown", false, "Station[OVERVIEW.XML SETTINGS.XML] Service[DIAG.XML CANVAS.XML] []"},
      {nullptr, "Copy3 btnDeletePage Paste2", false, "Station[SETTINGS.XML OVERVIEW.XML] Service[DIAG.XML CANVAS.XML]"},
      {onePage, "Copy3 btnDeletePage Paste2", false, "Station[OVERVIEW.XML] Service[DIAG.XML CANVAS.XML]"},
      {nullptr, three + "Copy3 btnAddPage Paste2", true,
       "Service[PAGE1.XML DIAG.XML CANVAS.XML] Service[PAGE2.XML PAGE3.XML]"},
      {nullptr, three + "Copy3 btnDeletePage btnAddGroup Paste2", false, "[] Service[DIAG.XML CANVAS.XML]"},
      {[](std::string& xml) { xml.insert(xml.find("<group"), "<group caption=\"Spare\"/>"); },
       "btnAddPage Copy3 Paste2 btnPageDown", false,
       "Spare[] Station[OVERVIEW.XML SETTINGS.XML] Spare[] Service[DIAG.XML CANVAS.XML]"},
      {[&](std::string& xml) {
         onePage(xml);
         oneGroup(xml);
       },
       "btnDeletePage btnDeletePage btnAddGroup btnAddPage", true, "[PAGE1.XML]"},
      {[](std::string& xml) { xml.insert(xml.find(" Uid=\"901\""), " locked=\"1\""); }, "Copy3 Paste2 btnAddGroup",
       false, "Station[OVERVIEW.XML SETTINGS.XML] [] Service[DIAG.XML CANVAS.XML]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.clicks);
    const std::string project = home + "/tree";
    std::filesystem::remove_all(project);
    std::filesystem::copy(DemoProjectFolder(), project, std::filesystem::copy_options::recursive);
    std::string xml = testsupport::ReadFileText(project + "/Tarnwell/Demo.xml");
    if (c.change) c.change(xml);
    std::ofstream(project + "/Tarnwell/Demo.xml", std::ios::binary) << xml;
    std::string actions = c.keepNewPage ? " --answer TFormPageProperties=ok" : "";
    std::istringstream names(c.clicks + " btnSave2");
    for (std::string name; names >> name;) actions += " --click " + name;
    const ProgramRun r = Halvex("open '" + project + "' --command Tarnwell" + actions);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_FALSE(Has(r.out, "Sanitizer") || Has(r.out, "runtime error")) << r.out;
    EXPECT_EQ(GroupsAndPages(testsupport::ReadFileText(project + "/Tarnwell/Demo.xml")), c.saved);
  }
}

TEST_F(DesignerSnapshot, ADisabledCommandIsNotChosen) {
  // A CPU type below 6 keeps the plug-in's command disabled.
  std::string prj = testsupport::ReadFileText(demo + "/halvex.prj");
  const std::size_t cpm = prj.find("cpm 12");
  ASSERT_NE(cpm, std::string::npos);
  prj.replace(cpm, 6, "cpm 5");
  std::ofstream(demo + "/halvex.prj") << prj;
  const ProgramRun r = Halvex("open '" + demo + "' --command Tarnwell --snapshot '" + home + "/off.png'");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(Has(r.out, "halvex open: the command \"Tarnwell\" is disabled")) << r.out;
  EXPECT_FALSE(Has(r.out, "InsertDockableForm")) << r.out;
  EXPECT_FALSE(std::filesystem::exists(home + "/off.png"));
}

// At the close the designer keeps its colour dialog's custom colours in the
// host's registry for the next run: a registry that cannot take them fails
// the run, which names it and why, and is left as it was. Once the registry
// holds them, one that cannot be written fails no run that leaves them as
// they are.
TEST_F(DesignerSnapshot, CustomColoursTheRegistryCannotTakeAtTheCloseFailTheRun) {
  const std::string registry = home + "/registry";
  const std::string registered = testsupport::ReadFileText(registry);
  ASSERT_FALSE(Has(registered, "\"Colors\"")) << registered;
  if (!testsupport::SetImmutable(registry, true)) GTEST_SKIP() << "only root marks a file immutable";
  const ProgramRun r = Halvex("open '" + demo + "' --command Tarnwell");
  testsupport::SetImmutable(registry, false);
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(Has(r.out, "halvex open: closing the project failed: \"" + registry +
                             "\" could not be written (Operation not permitted); it is kept as it was.\n"))
      << r.out;
  EXPECT_EQ(testsupport::ReadFileText(registry), registered);

  const ProgramRun kept = Halvex("open '" + demo + "' --command Tarnwell");
  ASSERT_EQ(kept.status, 0) << kept.out;
  const std::string before = testsupport::ReadFileText(registry);
  ASSERT_TRUE(Has(before, "\"Colors\"=\"ColorA=3C5A9C")) << before;
  ASSERT_TRUE(testsupport::SetImmutable(registry, true));
  const ProgramRun same = Halvex("open '" + demo + "' --command Tarnwell --click btnSave1");
  testsupport::SetImmutable(registry, false);
  EXPECT_EQ(same.status, 0) << same.out;
  EXPECT_FALSE(Has(same.out, registry + "\" could not be written")) << same.out;
  EXPECT_EQ(testsupport::ReadFileText(registry), before);
}

}  // namespace

#endif
