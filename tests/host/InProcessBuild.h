#pragma once
// The host's build of a project with the built plug-in installed in the test
// program itself, as halvex installs it: each build opens the project and
// closes it afterwards, so that it starts from the files alone (the designer
// the build opens closes with the project).

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/sim/HalvexHost.h"
#include "host/sim/HostAnswers.h"
#include "host/sim/HostBuild.h"
#include "host/sim/HostMenu.h"
#include "host/sim/PluginLibrary.h"
#include "hostapi/IQendPlugin.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ComPtr.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Driver.h"
#include "platform/win/Paths.h"
#include "platform/win/WriteFault.h"
#include "tests/host/HostTestProject.h"
#include "tests/host/ProgramRun.h"

#if defined(TARNWELL_PLUGIN_PATH)

// How a build goes wrong: a budget (not negative) of bytes for the build
// alone, a stop asked at the write call `stopAt` and a failure of the call
// `failAt` alone (0: none); its write calls are recorded into `writes`.
// With the designer open (the plug-in's menu command), its question whether
// to compile the web pages with the project is answered Yes.
struct InProcessBuildRun {
  std::int64_t budget = -1;
  std::uint64_t stopAt = 0;
  std::uint64_t failAt = 0;
  std::vector<std::size_t>* writes = nullptr;
  bool designerOpen = false;
};

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
    std::filesystem::remove_all(project + "-home");
    std::filesystem::remove_all(Good());
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
  // The plug-in's menu command, as a user chooses it: the designer opens.
  void OpenDesigner() {
    for (const HostMenuCommand& command : host.Menu().Commands())
      if (command.name == "Tarnwell" && command.item != nullptr) command.item->Click();
    Application->ProcessMessages();
  }
  HostBuildResult Build() {
    return RunHostBuild(host, window->Handle(), {{"libtarnwell.so", library.linkExtendedProgMap}});
  }
  void CloseEvents() {
    bool mayClose = true;
    host.RaiseClosingEvents(&mayClose);
    Application->ProcessMessages();
  }

  using BuildRun = InProcessBuildRun;

  // One build as a user starts it: the project opens, builds and closes.
  // `messages` holds the host's messages (sources as the message window shows
  // them) and then the errors of the build's steps.
  HostBuildResult BuildOnce(const BuildRun& run = {}) {
    OpenEvents();
    if (run.designerOpen) OpenDesigner();
    HostBuildResult build;
    {
      const std::vector<HostAnswer> yes = {{"compile web pages", "yes", {}}};
      std::optional<HostAnswerScope> answers;
      if (run.designerOpen) answers.emplace(yes);
      SetFileWriteRecorderForTests(run.writes);
      const FileWriteBudgetScope scope(run.budget);
      SetStopAtFileWriteForTests(run.stopAt);
      SetFailAtFileWriteForTests(run.failAt);
      build = Build();
      SetFailAtFileWriteForTests(0);
      SetStopAtFileWriteForTests(0);
      SetFileWriteRecorderForTests(nullptr);
    }
    messages.clear();
    for (const HostMessageLine& line : host.Messages().All())
      messages += line.text + " " + ShownPath(line.source) + "\n";
    for (const HostBuildStep& step : build.steps) messages += step.error.empty() ? "" : "error: " + step.error + "\n";
    CloseEvents();
    return build;
  }

  std::filesystem::path Web() const { return std::filesystem::path(project) / "Tarnwell"; }
  std::filesystem::path Output() const { return std::filesystem::path(project) / "SendRoot"; }
  std::filesystem::path Good() const { return project + "-good"; }

  // The web project and the output as they are, kept in Good(); answers the
  // web project's entries relative to it, the whole folder ("") first.
  std::vector<std::filesystem::path> KeepGood() const {
    namespace fs = std::filesystem;
    fs::remove_all(Good());
    fs::create_directories(Good());
    fs::copy(Web(), Good() / "Tarnwell", fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    fs::copy(Output(), Good() / "SendRoot", fs::copy_options::recursive);
    std::vector<fs::path> entries = {fs::path()};
    for (const auto& entry : fs::recursive_directory_iterator(Good() / "Tarnwell"))
      entries.push_back(fs::relative(entry.path(), Good() / "Tarnwell"));
    return entries;
  }

#if defined(TARNWELL_HALVEX_PATH)
  // halvex as a user runs it, with the built plug-in registered in a home of
  // its own beside the project's folder.
  ProgramRun Halvex(const std::string& arguments) const {
    const std::string program = "HALVEX_HOME='" + project + "-home' '" + TARNWELL_HALVEX_PATH + "' ";
    if (!std::filesystem::exists(project + "-home")) {
      const ProgramRun registered = RunProgram(program + "register '" + TARNWELL_PLUGIN_PATH + "'");
      EXPECT_EQ(registered.status, 0) << registered.out;
    }
    return RunProgram(program + arguments);
  }

  // The demo made split as a user makes it: "web.xml" beside the project
  // file, and a change saved by the designer, which writes the page files.
  void MakeSplit() {
    std::filesystem::copy_file(Web() / "Demo.xml", Web() / "web.xml");
    const ProgramRun saved =
        Halvex("open '" + project + "' --command Tarnwell --click btnPageDown --click btnPageUp --click btnSave2");
    ASSERT_EQ(saved.status, 0) << saved.out;
    ASSERT_TRUE(std::filesystem::is_regular_file(Web() / "pages/DIAG.XML")) << saved.out;
  }
#endif

  std::string messages;

  HalvexHost host;
  std::unique_ptr<HostMainWindow> window = std::make_unique<HostMainWindow>(nullptr);
  PluginLibrary library;
  ComPtr<IQendPlugin> plugin;
  std::string project;
};

#endif
