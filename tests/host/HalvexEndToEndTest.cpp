// halvex end to end: the built program registers the built plug-in library
// in a fresh registry, lists it, opens the demo project with it installed,
// and unregisters it again.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/host/HostTestProject.h"
#include "tests/support/TempFolder.h"

#if defined(TARNWELL_HALVEX_PATH) && defined(TARNWELL_PLUGIN_PATH)

namespace {

struct ProgramRun {
  int status = -1;
  std::string out;
};

class HalvexEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    home = testsupport::MakeTempFolder("halvex-home-");
    ASSERT_NE(home, "");
  }
  void TearDown() override { std::filesystem::remove_all(home); }

  // Runs halvex with HALVEX_HOME set; stdout and stderr together.
  ProgramRun Halvex(const std::string& arguments) {
    std::string command = "HALVEX_HOME='" + home + "' '" + TARNWELL_HALVEX_PATH + "' " + arguments + " 2>&1";
    ProgramRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer;
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  static bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

  std::string home;
};

TEST_F(HalvexEndToEnd, RegisterOpenTheDemoAndUnregister) {
  std::string lib = TARNWELL_PLUGIN_PATH;
  ProgramRun r = Halvex("plugins");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "no plug-ins registered")) << r.out;

  r = Halvex("register '" + lib + "'");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "DllRegisterServer: S_OK")) << r.out;
  EXPECT_TRUE(Has(r.out, "registered {856AD462-70C8-467C-9061-DE72691E6A67} Tarnwell.TarnwellCoClass")) << r.out;
  EXPECT_TRUE(std::filesystem::exists(home + "/registry"));

  r = Halvex("plugins");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "{856AD462-70C8-467C-9061-DE72691E6A67} Tarnwell.TarnwellCoClass")) << r.out;
  EXPECT_TRUE(Has(r.out, "library: " + lib)) << r.out;
  EXPECT_TRUE(Has(r.out, "description: Tarnwell for Halvex (support for web server)")) << r.out;

  // A copy of the demo, since the plug-in writes into the project it opens.
  std::string demo = home + "/demo";
  std::filesystem::copy(DemoProjectFolder(), demo, std::filesystem::copy_options::recursive);
  std::string log = std::filesystem::path(TARNWELL_HALVEX_PATH).parent_path().string() + "/plugins.log";
  std::filesystem::remove(log);
  r = Halvex("open '" + demo + "' /uselogfile");
  ASSERT_EQ(r.status, 0) << r.out;
  for (const char* expected :
       {"project \"Demo\"", "name: Tarnwell", "version: 24.1 (0x18010000)", "InstallPlugin: S_OK",
        "IQendProjectEvents::OnOpenControler -> 1 sink(s), S_OK", "communication loop: \"Tarnwell\" (88)",
        "subscriptions: project 1, desktop 1, CPM 1, communication state 1, compiler 1, online backup 1",
        "command 1001 \"Tarnwell\" caption \"Tarnwell\"", "in menu 8 at 0", "on toolbar 0",
        "IQendProjectEvents::OnCloseControler -> 1 sink(s), S_OK", "UninstallPlugin: S_OK",
        "desktop saved:", "host references still held: none", "ControledDestruction: S_OK, library unloaded"})
    EXPECT_TRUE(Has(r.out, expected)) << "missing: " << expected << "\n" << r.out;
  // The command, its bitmap, its tool button and the help entry while the
  // project (CPU type 12) is open, and the host's menus after the removal.
  for (const char* expected :
       {"bitmaps added: 1, 16x16 as image 0\n", "  menu 8 Plug-ins: Tarnwell\n",
        "  menu 9 Help: Contents, About Halvex, Tools{Tarnwell}\n",
        "tool bar buttons:\n  toolbar 0: Tarnwell (image 0)\n", "help entries:\n  Help|Tools|Tarnwell\n",
        "menus after removal:\n  menu 8 Plug-ins:\n  menu 9 Help: Contents, About Halvex, Tools\n  toolbar 0:\n"})
    EXPECT_TRUE(Has(r.out, expected)) << "missing: " << expected << "\n" << r.out;
  EXPECT_FALSE(Has(r.out, "left by the plug-ins")) << r.out;
  // The switch, written in lower case, turned the plug-in's trace log on.
  std::ifstream trace(log);
  std::string traced((std::istreambuf_iterator<char>(trace)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(Has(traced, "InstallPlugin - End")) << traced;
  EXPECT_TRUE(Has(traced, "UninstallPlugin - end")) << traced;

  // The next run starts from the desktop the last one saved.
  r = Halvex("open '" + demo + "' --rounds 1");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "desktop: ")) << r.out;
  EXPECT_TRUE(std::filesystem::exists(home + "/desktop-Demo.txt"));

  // A host without the web variable map: the installation goes on without it.
  r = Halvex("open '" + demo + "' --rounds 1 --without IHalvexWebTdiMap");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "InstallPlugin: S_OK")) << r.out;
  EXPECT_FALSE(Has(r.out, "+IHalvexWebTdiMap")) << r.out;
  // A host without menus: the installation fails, and the removal still
  // gives back what it took.
  r = Halvex("open '" + demo + "' --rounds 1 --without IQendMenu");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(Has(r.out, "InstallPlugin: 0x80004002")) << r.out;
  EXPECT_TRUE(Has(r.out, "host references still held: none")) << r.out;
  EXPECT_TRUE(Has(r.out, "ControledDestruction: S_OK, library unloaded")) << r.out;

  // A CPU type below 6 leaves the command disabled.
  std::string older = WriteTestProject("project Old\ncpm 5\n");
  r = Halvex("open '" + older + "' --rounds 1");
  std::filesystem::remove_all(older);
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "  menu 8 Plug-ins: Tarnwell (disabled)\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "  toolbar 0: Tarnwell (image 0, disabled)\n")) << r.out;

  r = Halvex("unregister '" + lib + "'");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(Has(r.out, "DllUnregisterServer: S_OK")) << r.out;
  r = Halvex("plugins");
  EXPECT_TRUE(Has(r.out, "no plug-ins registered")) << r.out;
}

TEST_F(HalvexEndToEnd, UsageAndErrors) {
  ProgramRun r = Halvex("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Has(r.out, "usage: halvex COMMAND"));
  EXPECT_TRUE(Has(r.out, "\n       [--answer WHAT=REPLY[+CHECKBOX]...]...\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "\n  build PROJECT [the options of open]\n")) << r.out;
  // The refused command lines: MisuseMessagesTest.cpp.
  std::string broken = WriteTestProject("project B\nvar x FOO R 0\n");
  r = Halvex("open '" + broken + "'");
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.out, "halvex.prj:2: variable x: unknown type FOO")) << r.out;
  std::filesystem::remove_all(broken);
  // Without plug-ins the project still opens, and the run says so.
  std::string demo = home + "/demo";
  std::filesystem::copy(DemoProjectFolder(), demo, std::filesystem::copy_options::recursive);
  r = Halvex("open '" + demo + "' --offline");
  EXPECT_TRUE(Has(r.out, "no plug-ins registered")) << r.out;
  EXPECT_TRUE(Has(r.out, "PLC offline")) << r.out;
}

}  // namespace

#endif
