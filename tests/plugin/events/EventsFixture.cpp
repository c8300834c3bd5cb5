#include "EventsFixture.h"

#include <fstream>
#include <sstream>

#include "core/UiText.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/IniFiles.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Paths.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/Resources.h"
#include "plugin/CommRecord.h"
#include "plugin/DesignerLink.h"
#include "plugin/PluginState.h"
#include "plugin/WebMainForm.h"

namespace eventstest {

namespace {

constexpr const char* kProjectFile =
    "project \"Plant\"\n"
    "cpm 12\n"
    "language 1033\n"
    "file \"io.st\"\n"
    "file \"Plant.st\"\n";

template <class T>
void Ask(HalvexHost& host, REFIID iid, ComPtr<T>& into) {
  ASSERT_EQ(host.QueryInterface(iid, into.PutVoid()), S_OK);
}

}  // namespace

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void EventsFixture::SetUp() {
  ASSERT_TRUE(LoadDefaultUiTable(HInstance));
  RegistryStore::SetPath(folder.Native("registry"));
  WriteFile(ProjectFolder() / "halvex.prj", kProjectFile);
  WriteFile(ProjectFolder() / "io.st", "");
  WriteFile(ProjectFolder() / "Plant.st", "");
  std::filesystem::create_directories(WebFolder());
  host.OpenProject(ProjectFolder().string());
  host.SetMainWindow(window.get());
  Ask(host, IID_IQendProjectManager, gHost.ifPrjMngr);
  Ask(host, IID_IHalvexIDE, gHost.ifHalvexIDE);
  Ask(host, IID_IQendProject, gHost.ifQendProject);
  Ask(host, IID_IQendVariables, gHost.ifQendVariables);
  BindCoreProjectManager(gHost.ifPrjMngr.Get());
  WebMainForm1 = std::make_unique<TWebMainForm1>(nullptr);
  ASSERT_EQ(TTarnwellCoClassImpl::Create(IID_IUnknown, reinterpret_cast<void**>(&plugin)), S_OK);
  gSavedWithDesktop = false;
  gCommRecord.upload.state.store(0);
  Driver::Reset();
  ClearMessageBoxHandlers();
  ClearMessageBoxLog();
}

void EventsFixture::TearDown() {
  DropDesigner();
  Application->ProcessMessages();
  Driver::Reset();
  ClearMessageBoxHandlers();
  if (plugin != nullptr) plugin->Release();
  WebMainForm1.reset();
  BindCoreProjectManager(nullptr);
  gHost.ifQendVariables.Reset();
  gHost.ifQendProject.Reset();
  gHost.ifHalvexIDE.Reset();
  gHost.ifPrjMngr.Reset();
  gCommRecord.upload.state.store(0);
  for (const HalvexHost::ReferenceCount& r : host.References()) EXPECT_EQ(r.count, 0u) << r.name;
  host.SetMainWindow(nullptr);
  window.reset();
  host.CloseProject();
  RegistryStore::SetPath("");
  FreeUiTable();
}

std::string EventsFixture::HostPath(const std::string& relative) const {
  return ToNativePath((ProjectFolder() / "").string() + relative);
}

std::string EventsFixture::Setting(const std::string& section, const std::string& key) const {
  return TIniFile(WebFile(".webx").string()).ReadString(section, key, "<none>");
}

void EventsFixture::SetSetting(const std::string& section, const std::string& key, const std::string& value) const {
  TIniFile(WebFile(".webx").string()).WriteString(section, key, value);
}

std::vector<std::string> EventsFixture::HostFiles() {
  std::vector<std::string> names;
  for (const HostProjectFile& file : host.Files().Files()) names.push_back(file.name);
  return names;
}

}  // namespace eventstest
