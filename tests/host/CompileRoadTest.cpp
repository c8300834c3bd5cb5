// The main road: halvex opens the demo project, the designer opens on it as
// the user's menu click does, and a click on its save-and-compile button
// writes the web tree under SendRoot/WWW. The tree is the exact list of files
// the compile gives; every XML and XSL file passes xmllint, every page
// renders through its stylesheet with xsltproc (its labels and inputs in the
// HTML), and every script passes node's syntax check.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/host/HostTestProject.h"
#include "tests/support/TempFolder.h"

#if defined(TARNWELL_HALVEX_PATH) && defined(TARNWELL_PLUGIN_PATH)

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
  int status = -1;
  std::string out;
};

ProgramRun RunCommand(const std::string& command) {
  ProgramRun run;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The files the demo compiles into, relative to SendRoot/.
const std::vector<std::string> kExpectedFiles = {
#include "CompileRoadFiles.inc"
};

class CompileRoad : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = testsupport::MakeTempFolder("halvex-road-");
    ASSERT_NE(home_, "");
    demo_ = home_ + "/demo";
    fs::copy(DemoProjectFolder(), demo_, fs::copy_options::recursive);
    ASSERT_EQ(Halvex("register '" + std::string(TARNWELL_PLUGIN_PATH) + "'").status, 0);
    run_ = Halvex("open '" + demo_ + "' --command Tarnwell --click btnSave1");
  }
  static void TearDownTestSuite() { fs::remove_all(home_); }

  static ProgramRun Halvex(const std::string& arguments) {
    return RunCommand("HALVEX_HOME='" + home_ + "' '" + TARNWELL_HALVEX_PATH + "' " + arguments);
  }
  static fs::path SendRoot() { return fs::path(demo_) / "SendRoot"; }
  static std::vector<std::string> Files() {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(SendRoot()))
      if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), SendRoot()).generic_string());
    std::sort(files.begin(), files.end());
    return files;
  }

  static std::string home_;
  static std::string demo_;
  static ProgramRun run_;
};

std::string CompileRoad::home_;
std::string CompileRoad::demo_;
ProgramRun CompileRoad::run_;

TEST_F(CompileRoad, TheButtonCompilesTheDemoIntoTheExactTree) {
  ASSERT_EQ(run_.status, 0) << run_.out;
  EXPECT_NE(run_.out.find("clicked FormDesign1.btnSave1"), std::string::npos) << run_.out;
  EXPECT_EQ(Files(), kExpectedFiles);
  EXPECT_TRUE(fs::exists(fs::path(demo_) / "Tarnwell/Demo_var.xml"));
  EXPECT_TRUE(fs::exists(fs::path(demo_) / "Tarnwell/Demo.txt"));
}

TEST_F(CompileRoad, EveryXmlAndXslFilePassesXmllint) {
  int checked = 0;
  for (const std::string& file : Files()) {
    if (!EndsWith(file, ".XML") && !EndsWith(file, ".XSL")) continue;
    const ProgramRun r = RunCommand("xmllint --noout '" + (SendRoot() / file).string() + "'");
    EXPECT_EQ(r.status, 0) << file << "\n" << r.out;
    ++checked;
  }
  EXPECT_GT(checked, 8);
}

TEST_F(CompileRoad, EveryPageRendersThroughItsStylesheet) {
  int pages = 0;
  for (const std::string& file : Files()) {
    if (file.rfind("WWW/", 0) != 0 || !EndsWith(file, ".XSL") || file.find('/', 4) != std::string::npos) continue;
    const fs::path data = SendRoot() / (file.substr(0, file.size() - 2) + "ML");
    if (!fs::exists(data)) continue;
    const ProgramRun r = RunCommand("xsltproc '" + (SendRoot() / file).string() + "' '" + data.string() + "'");
    EXPECT_EQ(r.status, 0) << file << "\n" << r.out;
    EXPECT_NE(r.out.find("<html"), std::string::npos) << file;
    ++pages;
  }
  EXPECT_EQ(pages, 6) << "four pages, the login and the logout page";
  // The overview's label, and the settings page's form that its fields post.
  const ProgramRun overview = RunCommand("xsltproc '" + (SendRoot() / "WWW/OVERVIEW.XSL").string() + "' '" +
                                         (SendRoot() / "WWW/OVERVIEW.XML").string() + "'");
  EXPECT_NE(overview.out.find("Pumping station"), std::string::npos) << overview.out;
  const ProgramRun settings = RunCommand("xsltproc '" + (SendRoot() / "WWW/SETTINGS.XSL").string() + "' '" +
                                         (SendRoot() / "WWW/SETTINGS.XML").string() + "'");
  EXPECT_NE(settings.out.find("<form action=\"javascript:PostGlobal();\">"), std::string::npos) << settings.out;
}

TEST_F(CompileRoad, EveryScriptPassesNodesSyntaxCheck) {
  const fs::path scripts = fs::path(home_) / "scripts";
  fs::create_directories(scripts);
  int checked = 0;
  for (const std::string& file : Files()) {
    if (!EndsWith(file, ".JS")) continue;
    // node takes a script only by the extension ".js".
    const fs::path copy = scripts / (std::to_string(checked++) + ".js");
    fs::copy_file(SendRoot() / file, copy, fs::copy_options::overwrite_existing);
    const ProgramRun r = RunCommand("node --check '" + copy.string() + "'");
    EXPECT_EQ(r.status, 0) << file << "\n" << r.out;
  }
  EXPECT_GT(checked, 4);
}

}  // namespace

#endif
