#include <gtest/gtest.h>

#include "core/HostEnvironment.h"
#include "core/TraceLog.h"
#include "platform/com/TaskMem.h"
#include "plugin/PluginState.h"
#include "plugin/Switches.h"
#include "plugin/TarnwellCoClassImpl.h"
#include "plugin/VarPosCheck.h"
#include "plugin/VersionInfo.h"

#include <cstring>

namespace {

TEST(Startup, FoldersAndSwitchesFromTheCommandLine) {
  ReadHostSwitches("C:\\Halvex\\Bin\\Halvex.exe", {"C:\\Halvex\\Bin\\Halvex.exe", " /linvar ", "/WebCompTime"});
  EXPECT_EQ(gStartup.baseFolder, "C:\\Halvex\\Bin");
  EXPECT_EQ(gStartup.traceLogPath, "C:\\Halvex\\Bin\\plugins.log");
  EXPECT_EQ(TraceLogPath(), "C:\\Halvex\\Bin\\plugins.log");
  EXPECT_TRUE(gStartup.flattenVariables);
  EXPECT_TRUE(gStartup.reportCompileTime);
  EXPECT_FALSE(gStartup.oldLiveComm);
  EXPECT_FALSE(gStartup.useLogFile);
  EXPECT_FALSE(TraceLogEnabled());
  EXPECT_EQ(HelpBaseFolder(), "C:\\Halvex\\Bin");

  // "/OEMDIR=": the rest, upper-cased; the last one wins. A later argument
  // never clears a switch.
  ReadHostSwitches("/opt/halvex/halvex",
                   {"/WEBOLDCOMM", "/oemdir=c:\\first", "/OEMDIR=c:\\oem\\help", "/webOldComm=0"});
  EXPECT_EQ(gStartup.baseFolder, "C:\\OEM\\HELP");
  EXPECT_EQ(HelpBaseFolder(), "C:\\OEM\\HELP");
  EXPECT_TRUE(gStartup.oldLiveComm);
  EXPECT_EQ(gStartup.traceLogPath, "/opt/halvex/plugins.log");

  // Argument 0 counts like any other.
  ReadHostSwitches("/opt/halvex/halvex", {"/USELOGFILE"});
  EXPECT_TRUE(gStartup.useLogFile);
  EXPECT_TRUE(TraceLogEnabled());
  ReadHostSwitches("", {});
  EXPECT_FALSE(TraceLogEnabled());
  EXPECT_EQ(gStartup.baseFolder, "");
}

class FakeProjectList final : public IQendProjectManager {
 public:
  std::string list;
  HRESULT QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT GetProjectName(char**) override { return E_NOTIMPL; }
  HRESULT GetProjectFolder(char**) override { return E_NOTIMPL; }
  HRESULT GetGlobalFolder(char**) override { return E_NOTIMPL; }
  HRESULT GetProjectList(char** text) override {
    *text = static_cast<char*>(CoTaskMemAlloc(list.size() + 1));
    std::memcpy(*text, list.c_str(), list.size() + 1);
    return S_OK;
  }
};

TEST(Startup, ProjectListEntryIsTheFolderOfTheNamedProject) {
  FakeProjectList manager;
  manager.list = "NoBarLine\r\nOTHER|C:\\Other\\Other.hvx\r\nPLANT1|C:\\Projects\\Plant1\\Plant1.hvx\r\n";
  gHost.ifPrjMngr = ComPtr<IQendProjectManager>(&manager);
  EXPECT_EQ(LookupHostProjectEntry("plant1"), "C:\\Projects\\Plant1\\");
  EXPECT_EQ(LookupHostProjectEntry("Other"), "C:\\Other\\");
  EXPECT_EQ(LookupHostProjectEntry("NoBarLine"), "");
  EXPECT_EQ(LookupHostProjectEntry("missing"), "");
  // Without a project the name query fails: empty name, a trace line.
  EXPECT_EQ(GetHostProjectName(), "");
  gHost.ifPrjMngr = nullptr;
  EXPECT_EQ(LookupHostProjectEntry("plant1"), "");
}

TEST(Startup, VersionBlockAnswersForTheLibrarysOwnFile) {
  EXPECT_EQ(GetModuleFileVersion("Tarnwell.dll", "FileVersion"), "24.1.0.1");
  EXPECT_EQ(GetModuleFileVersion("C:\\Windows\\TARNWELL.DLL", "ProductName"), "Tarnwell");
  EXPECT_EQ(GetModuleFileVersion("Tarnwell.dll", "NoSuchValue"), "");
  EXPECT_EQ(GetModuleFileVersion("other.dll", "FileVersion"), "");
}

}  // namespace
