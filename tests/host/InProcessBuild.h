#pragma once
// The host's build of a project with the built plug-in installed in the test
// program itself, as halvex installs it: each build opens the project and
// closes it afterwards, so that it starts from the files alone (the designer
// the build opens closes with the project).

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "host/sim/HalvexHost.h"
#include "host/sim/HostBuild.h"
#include "host/sim/PluginLibrary.h"
#include "hostapi/IQendPlugin.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ComPtr.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Driver.h"
#include "tests/host/HostTestProject.h"

#if defined(TARNWELL_PLUGIN_PATH)

class InProcessBuild : public ::testing::Test {
 protected:
  void SetUp() override {
    project = WriteTestProject("");
    ASSERT_FALSE(project.empty());
    PutDemo();
    host.OpenProject(project);
    Application->SetExeName(project + "/halvex");
    Application->SetMainForm(window.get());
    host.SetMainWindow(window.get());
    ASSERT_TRUE(library.Load(TARNWELL_PLUGIN_PATH)) << library.Error();
    const char* argv[] = {"halvex"};
    library.setHostCommandLine(1, argv);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(library.getClassObject(CLSID_TarnwellCoClass, IID_IClassFactory, factory.PutVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IQendPlugin, plugin.PutVoid()), S_OK);
    ASSERT_EQ(plugin->InstallPlugin(ComPtr<IUnknown>(host.Object()).Detach(), window.get()), S_OK);
  }

  void TearDown() override {
    plugin->UninstallPlugin();
    plugin.Reset();
    library.controledDestruction(0);
    library.Unload();
    host.SetMainWindow(nullptr);
    Application->SetMainForm(nullptr);
    Application->SetExeName("");
    window.reset();
    host.CloseProject();
    Driver::Reset();
    std::filesystem::remove_all(project);
  }

  // The demo's files as they are in the source tree, without output.
  void PutDemo() {
    namespace fs = std::filesystem;
    fs::remove_all(fs::path(project) / "Tarnwell");
    fs::remove_all(fs::path(project) / "SendRoot");
    fs::copy(DemoProjectFolder(), project, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  }

  // The project's opening events, with the message window emptied after them.
  void OpenEvents() {
    host.RaiseOpeningEvents();
    Application->ProcessMessages();
    host.Messages().Reset();
  }
  HostBuildResult Build() {
    return RunHostBuild(host, window->Handle(), {{"libtarnwell.so", library.linkExtendedProgMap}});
  }
  void CloseEvents() {
    bool mayClose = true;
    host.RaiseClosingEvents(&mayClose);
    Application->ProcessMessages();
  }

  HalvexHost host;
  std::unique_ptr<HostMainWindow> window = std::make_unique<HostMainWindow>(nullptr);
  PluginLibrary library;
  ComPtr<IQendPlugin> plugin;
  std::string project;
};

#endif
