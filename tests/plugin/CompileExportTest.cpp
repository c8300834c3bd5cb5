// The export the host's build calls: its outputs and null pointers, the
// interfaces it asks of the host object (a missing one ends the call before
// the driver runs), the host's reference given back once, and the compile
// driver's run on the host's project.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "FakeHost.h"
#include "PluginTestSupport.h"
#include "platform/com/ResultCodes.h"

namespace {

using plugintest::FakeHost;
using plugintest::HandedReference;
using plugintest::HostFolder;
using plugintest::Plugin;

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class CompileExport : public ::testing::Test {
 protected:
  void SetUp() override {
    project = folder.Path() / "Plant1";
    fs::create_directories(project / "Tarnwell");
    host.projectFolder = project.string() + "/";
    std::ofstream(project / "Tarnwell" / "Plant1.xml", std::ios::binary)
        << "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\r\n<web version=\"8.1\">"
           "<security crypt=\"0\" count=\"10\" /></web>\r\n";
  }

  HostFolder folder;
  FakeHost host;
  fs::path project;
};

TEST_F(CompileExport, RunsTheDriverAnswersZeroOutputsAndGivesTheReferenceBackOnce) {
  std::uint32_t out5 = 9;
  std::uint32_t out6 = 9;
  const long refs = host.refs;
  EXPECT_EQ(Plugin().linkExtendedProgMap(1, 2, HandedReference(host.Unknown()), 4, &out5, &out6), S_OK);
  EXPECT_EQ(out5, 0u);
  EXPECT_EQ(out6, 0u);
  EXPECT_EQ(host.refs, refs);
  const std::vector<std::string> first = {"IQendCpm", "IQendProjectManager", "IHalvexWebTdiMap"};
  ASSERT_GE(host.asked.size(), first.size());
  EXPECT_EQ(std::vector<std::string>(host.asked.begin(), host.asked.begin() + 3), first);
  EXPECT_EQ(ReadFile(project / "SendRoot" / "PSW.TXT").substr(0, 7), "v,1,1\r\n");
  EXPECT_TRUE(fs::is_directory(project / "SendRoot" / "WWW" / "IMAGES"));
  EXPECT_NE(ReadFile(project / "Tarnwell" / "Plant1.webx").find("CompileTD="), std::string::npos);
}

// Each null pointer is refused before anything runs; every output given reads 0.
TEST_F(CompileExport, NullPointersAreRefusedAndTheOtherOutputReadsZero) {
  struct Case {
    const char* what;
    bool out5;
    bool out6;
    bool hostObject;
  };
  const Case cases[] = {
      {"no fifth output", false, true, true},
      {"no sixth output", true, false, true},
      {"no outputs", false, false, true},
      {"no host object", true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::uint32_t out5 = 9;
    std::uint32_t out6 = 9;
    const long refs = host.refs;
    EXPECT_EQ(Plugin().linkExtendedProgMap(1, 2, c.hostObject ? host.Unknown() : nullptr, 4, c.out5 ? &out5 : nullptr,
                                           c.out6 ? &out6 : nullptr),
              E_POINTER);
    EXPECT_EQ(out5, c.out5 ? 0u : 9u);
    EXPECT_EQ(out6, c.out6 ? 0u : 9u);
    EXPECT_EQ(host.refs, refs);
    EXPECT_FALSE(fs::exists(project / "SendRoot"));
  }
}

// A host object without one of the interfaces the driver needs: its refusal
// is the answer, the driver does not run and the reference is not given back.
TEST_F(CompileExport, MissingInterfaceEndsTheCallBeforeTheDriver) {
  for (const char* withheld : {"IQendCpm", "IQendProjectManager"}) {
    SCOPED_TRACE(withheld);
    host.withheld = {withheld};
    std::uint32_t out5 = 9;
    std::uint32_t out6 = 9;
    const long refs = host.refs;
    EXPECT_EQ(Plugin().linkExtendedProgMap(1, 2, host.Unknown(), 4, &out5, &out6), E_NOINTERFACE);
    EXPECT_EQ(out5, 0u);
    EXPECT_EQ(out6, 0u);
    EXPECT_EQ(host.refs, refs);
    EXPECT_FALSE(fs::exists(project / "SendRoot"));
    EXPECT_FALSE(fs::exists(project / "Tarnwell" / "Plant1.webx"));
  }
}

// The web variable map is optional: without it the driver runs all the same.
TEST_F(CompileExport, WithoutTheWebVariableMapTheDriverRuns) {
  host.withheld = {"IHalvexWebTdiMap"};
  std::uint32_t out5 = 9;
  std::uint32_t out6 = 9;
  EXPECT_EQ(Plugin().linkExtendedProgMap(1, 2, HandedReference(host.Unknown()), 4, &out5, &out6), S_OK);
  EXPECT_EQ(ReadFile(project / "SendRoot" / "PSW.TXT").substr(0, 7), "v,1,1\r\n");
}

// A settings file that cannot take the time of the export's run fails nothing.
TEST_F(CompileExport, ASettingsFileThatCannotBeWrittenFailsNothing) {
  fs::create_directory(project / "Tarnwell" / "Plant1.webx");
  std::uint32_t out5 = 9;
  std::uint32_t out6 = 9;
  EXPECT_EQ(Plugin().linkExtendedProgMap(1, 2, HandedReference(host.Unknown()), 4, &out5, &out6), S_OK);
  EXPECT_TRUE(fs::is_directory(project / "Tarnwell" / "Plant1.webx"));
}

}  // namespace
