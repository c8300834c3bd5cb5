// The compiled pages in real browsers: Debian's chromium and Firefox ESR,
// headless, driven by puppeteer-core through the scripts beside this file,
// against the simulated PLC's web server started here on a free port of
// 127.0.0.1. Every test runs in both browsers.
//
// Two trees are served: the demo project, built by halvex into a copy as a
// user builds it, and the generator's golden tree of every object kind
// (tests/generator/cases/kinds), which has what the demo lacks: objects above
// user level 0, a drawing canvas with its buffer and an upload page. Each
// test runs one script (one browser launch) with a time limit; the script
// exits 0 when everything it checked held, 77 when the browser shows no
// XSLT at all, anything else with its findings on the output.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "host/sim/HalvexHost.h"
#include "host/sim/web/PlcWebServer.h"
#include "tests/host/ProgramRun.h"
#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr int kBrowserSkip = 77;
constexpr const char* kScriptSeconds = "240";

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// A new file browser/server-*.log in the build folder for the server's trace.
std::string NewTraceFile() {
  const std::string folder = std::string(TARNWELL_BINARY_DIR) + "/browser";
  fs::create_directories(folder);
  std::string pattern = folder + "/server-XXXXXX.log";
  const int file = mkstemps(pattern.data(), 4);
  if (file < 0) return {};
  close(file);
  return pattern;
}

// A project folder with its simulated PLC and the web server on it; memory
// starts from the project's presets for every test. The server traces its
// connections and requests into a file that is kept when the test failed.
class ServedProject {
 public:
  ServedProject(const std::string& folder, const std::string& variablesDocument) : trace_(NewTraceFile()) {
    host_.OpenProject(folder);
    server_ = std::make_unique<PlcWebServer>(host_.Plc(), host_.Project(), host_.Variables(),
                                             PlcWebOptions{folder + "/SendRoot", variablesDocument, true, trace_});
    port_ = server_->Start(0);
  }
  ~ServedProject() {
    server_->Stop();
    if (trace_.empty()) return;
    if (::testing::Test::HasFailure())
      std::cout << "The server's trace of the failed test: " << trace_ << std::endl;
    else
      fs::remove(trace_);
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

 private:
  std::string trace_;
  HalvexHost host_;
  std::unique_ptr<PlcWebServer> server_;
  int port_ = 0;
};

// Runs a browser script in one browser against the server; fails with the
// script's output. Its pictures go to the build folder's browser/BROWSER/.
void RunScript(const std::string& script, const std::string& url, const std::string& browser) {
  const std::string pictures = std::string(TARNWELL_BINARY_DIR) + "/browser/" + browser;
  fs::create_directories(pictures);
  const std::string folder = std::string(TARNWELL_SOURCE_DIR) + "/tests/browser";
  const ProgramRun run =
      RunProgram("timeout " + std::string(kScriptSeconds) + " node " + Quoted(folder + "/" + script) + " " +
                 Quoted(url) + " " + Quoted(pictures) + " " + Quoted(browser));
  if (run.status == kBrowserSkip) GTEST_SKIP() << run.out;
  EXPECT_EQ(run.status, 0) << run.out;
  std::cout << run.out;
}

using testsupport::MakeTempFolder;

// Builds a copy of the demo in a new temporary folder with halvex
// and the plug-in, as a user builds it; `alarm` first gives the copy's web
// project an alarm: HighLevel shows the page DIAG.XML. Answers the copy's
// folder (its parent is the host's home), empty when the build failed.
std::string BuildDemoCopy(bool alarm) {
  const std::string home = MakeTempFolder("browser-demo-");
  if (home.empty()) return {};
  const std::string demo = home + "/demo";
  fs::copy(std::string(TARNWELL_SOURCE_DIR) + "/examples/demo", demo, fs::copy_options::recursive);
  if (alarm) {
    const std::string path = demo + "/Tarnwell/Demo.xml";
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    std::string project = text.str();
    const std::size_t end = project.rfind("</web>");
    if (end == std::string::npos) return {};
    project.insert(end, "\t<alarms>\n\t\t<alarm var=\"HighLevel\" page=\"DIAG.XML\" />\n\t</alarms>\n");
    std::ofstream(path, std::ios::binary) << project;
  }
  const std::string halvex = "HALVEX_HOME=" + Quoted(home) + " " + Quoted(TARNWELL_HALVEX_PATH) + " ";
  const ProgramRun registered = RunProgram(halvex + "register " + Quoted(TARNWELL_PLUGIN_PATH));
  const ProgramRun built = RunProgram(halvex + "build " + Quoted(demo));
  EXPECT_EQ(registered.status, 0) << registered.out;
  EXPECT_EQ(built.status, 0) << built.out;
  return registered.status == 0 && built.status == 0 ? demo : std::string();
}

// The demo, built once for the suite.
class DemoInBrowser : public ::testing::TestWithParam<std::string> {
 protected:
  static void SetUpTestSuite() { demo_ = BuildDemoCopy(false); }
  static void TearDownTestSuite() {
    if (!demo_.empty()) fs::remove_all(fs::path(demo_).parent_path());
  }
  void SetUp() override {
    ASSERT_TRUE(fs::exists(demo_ + "/SendRoot/WWW/INDEX.XML")) << "the demo's build wrote no web tree";
    served_ = std::make_unique<ServedProject>(demo_, demo_ + "/Tarnwell/Demo_var.xml");
  }

  static std::string demo_;
  std::unique_ptr<ServedProject> served_;
};

std::string DemoInBrowser::demo_;

TEST_P(DemoInBrowser, PagesShowLiveValuesFollowTheMemoryAndArePictured) {
  RunScript("demo-pages.mjs", served_->Url(), GetParam());
}

TEST_P(DemoInBrowser, EditsListsImagesAndButtonsPostIntoTheMemory) {
  RunScript("demo-inputs.mjs", served_->Url(), GetParam());
}

class DemoAlarmInBrowser : public ::testing::TestWithParam<std::string> {};

TEST_P(DemoAlarmInBrowser, AnAlarmShowsItsPageAndItsEndGoesBack) {
  const std::string demo = BuildDemoCopy(true);
  ASSERT_FALSE(demo.empty());
  {
    ServedProject served(demo, demo + "/Tarnwell/Demo_var.xml");
    RunScript("demo-alarm.mjs", served.Url(), GetParam());
  }
  fs::remove_all(fs::path(demo).parent_path());
}

// The golden tree of every object kind with a host project that declares the
// variables its direct identifiers name.
class KindsInBrowser : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    folder_ = MakeTempFolder("browser-kinds-");
    ASSERT_FALSE(folder_.empty());
    fs::copy(std::string(TARNWELL_SOURCE_DIR) + "/tests/generator/cases/kinds/expected/SendRoot", folder_ + "/SendRoot",
             fs::copy_options::recursive);
    std::ofstream(folder_ + "/halvex.prj") << "project \"Kinds\"\n"
                                              "var Level INT R 0\n"
                                              "var FileName STRING[80] R 20\n"
                                              "var SetPoint UINT R 10\n"
                                              "preset SetPoint 55\n";
  }
  void TearDown() override {
    served_.reset();
    fs::remove_all(folder_);
  }
  void Serve(const std::string& passwords) {
    if (!passwords.empty()) std::ofstream(folder_ + "/SendRoot/PSW.TXT", std::ios::binary) << passwords;
    served_ = std::make_unique<ServedProject>(folder_, "");
  }

  std::string folder_;
  std::unique_ptr<ServedProject> served_;
};

TEST_P(KindsInBrowser, ALoginRaisesTheLevelAndALogoutEndsIt) {
  Serve("v,1,4\r\n2,0,0\r\nop,op-pass,1\r\nchief,Chief#7,3\r\n\r\n/EDIT.XML\r\n");
  RunScript("kinds-login.mjs", served_->Url(), GetParam());
}

TEST_P(KindsInBrowser, ACanvasDrawsItsBufferAndAnUploadLandsInThePlc) {
  Serve("");
  RunScript("kinds-canvas-upload.mjs", served_->Url(), GetParam());
}

const auto kBrowsers = ::testing::Values(std::string("chromium"), std::string("firefox"));
const auto kBrowserName = [](const ::testing::TestParamInfo<std::string>& info) { return info.param; };
INSTANTIATE_TEST_SUITE_P(Browsers, DemoInBrowser, kBrowsers, kBrowserName);
INSTANTIATE_TEST_SUITE_P(Browsers, DemoAlarmInBrowser, kBrowsers, kBrowserName);
INSTANTIATE_TEST_SUITE_P(Browsers, KindsInBrowser, kBrowsers, kBrowserName);

}  // namespace
