// halvex build on a copy of the demo in a fresh host home, as a user builds
// the PLC project in the IDE: the build's steps come in the host's order,
// each with its result; the demo's marker file makes the build compile the
// same web tree as the designer's save-and-compile button, with the password
// file, the variables document and the stamp list, without a question; the
// exit code is 0 exactly when every step answered S_OK; every reference the
// plug-in took comes back. Without the marker file and with the designer
// open, the plug-in asks once, and the --answer given decides. A variable that
// moved since the last compile makes a later build ask to recompile; a later
// build keeps the page change stamps that an earlier one renewed; the build
// leaves the demo's project file as it was.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/win/FileLock.h"
#include "tests/host/HostTestProject.h"
#include "tests/host/ProgramRun.h"
#include "tests/support/FileTree.h"
#include "tests/support/TempFolder.h"

#if defined(TARNWELL_HALVEX_PATH) && defined(TARNWELL_PLUGIN_PATH)

namespace {

namespace fs = std::filesystem;

// The files the demo compiles into, relative to SendRoot/.
const std::vector<std::string> kExpectedFiles = {
#include "CompileRoadFiles.inc"
};

class HalvexBuild : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = testsupport::MakeTempFolder("halvex-build-");
    ASSERT_NE(home_, "");
    demo_ = home_ + "/demo";
    fs::copy(DemoProjectFolder(), demo_, fs::copy_options::recursive);
    ASSERT_EQ(Halvex("register '" + std::string(TARNWELL_PLUGIN_PATH) + "'").status, 0);
    run_ = Halvex("build '" + demo_ + "'");
  }
  static void TearDownTestSuite() { fs::remove_all(home_); }

  static ProgramRun Halvex(const std::string& arguments) {
    return RunProgram("HALVEX_HOME='" + home_ + "' '" + TARNWELL_HALVEX_PATH + "' " + arguments);
  }
  // The files under a project's SendRoot/, sorted, relative to it.
  static std::vector<std::string> SendRootFiles(const std::string& project) {
    std::vector<std::string> files;
    const fs::path root = fs::path(project) / "SendRoot";
    if (!fs::is_directory(root)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
      if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), root).generic_string());
    std::sort(files.begin(), files.end());
    return files;
  }
  static std::string ReadText(const fs::path& path) { return testsupport::ReadFileText(path); }
  // The position of `part` in the run's output, after `from`; npos when absent.
  static std::size_t Find(const std::string& part, std::size_t from = 0) { return run_.out.find(part, from); }

  static std::string home_;
  static std::string demo_;
  static ProgramRun run_;
};

std::string HalvexBuild::home_;
std::string HalvexBuild::demo_;
ProgramRun HalvexBuild::run_;

TEST_F(HalvexBuild, TheStepsComeInTheHostsOrder) {
  const std::vector<std::string> steps = {
      "build:\n  IQendCompilerEvents::OnStartCompiling -> 1 sink(s), ",
      "\n  IQendCompilerEventsExt1::OnLinkingExtendedProgMap -> 1 sink(s), ",
      "\n  ClLinkExtendedProgMap (libtarnwell.so) -> ",
      "\n  IQendCompilerEvents::OnEndCompiling -> 1 sink(s), ",
  };
  std::size_t at = 0;
  for (const std::string& step : steps) {
    at = Find(step, at);
    ASSERT_NE(at, std::string::npos) << "missing, or out of order: " << step << "\n" << run_.out;
  }
}

TEST_F(HalvexBuild, TheExitCodeIsZeroExactlyWhenEveryStepSucceeded) {
  const std::size_t build = Find("build:\n");
  ASSERT_NE(build, std::string::npos) << run_.out;
  const std::size_t end = Find("\nbuild ", build + 1);
  ASSERT_NE(end, std::string::npos) << run_.out;
  const std::string steps = run_.out.substr(build, end - build);
  bool allOk = true;
  for (std::size_t line = steps.find("\n  "); line != std::string::npos; line = steps.find("\n  ", line + 1)) {
    const std::size_t arrow = steps.find(" -> ", line);
    const std::size_t stop = steps.find('\n', line + 1);
    if (arrow == std::string::npos || arrow > stop) continue;
    const std::string answer = steps.substr(arrow, stop - arrow);
    if (answer.find("S_OK") == std::string::npos) allOk = false;
  }
  EXPECT_EQ(run_.out.find(allOk ? "\nbuild succeeded\n" : "\nbuild failed\n") != std::string::npos, true) << run_.out;
  EXPECT_EQ(run_.status, allOk ? 0 : 1) << run_.out;
}

TEST_F(HalvexBuild, TheExportRunsTheCompileDriverWhichWritesThePasswordFile) {
  EXPECT_NE(Find("\n  ClLinkExtendedProgMap (libtarnwell.so) -> S_OK, outputs 0 0, host object reference given back "
                 "by the plug-in\n"),
            std::string::npos)
      << run_.out;
  EXPECT_TRUE(fs::is_regular_file(fs::path(demo_) / "SendRoot/PSW.TXT"));
  EXPECT_NE(Find("\nbuild succeeded\n"), std::string::npos) << run_.out;
  EXPECT_EQ(run_.status, 0) << run_.out;
}

TEST_F(HalvexBuild, TheOperatorPanelFilesAreAGzipOfWellFormedXmlAndACrcClosedList) {
  const std::string www = demo_ + "/SendRoot/WWW/";
  EXPECT_EQ(RunProgram("gzip -t '" + www + "TARNWELL.XMZ'").status, 0);
  const ProgramRun xml = RunProgram("zcat '" + www + "TARNWELL.XMZ' | xmllint --noout - && echo well-formed");
  EXPECT_EQ(xml.status, 0) << xml.out;
  EXPECT_NE(xml.out.find("well-formed"), std::string::npos) << xml.out;
  // The uncompressed copy goes unless the project asks to keep it.
  EXPECT_FALSE(fs::exists(www + "TARNWELL.XML"));
  const std::string text = ReadText(www + "TARNWELL.PUB");
  ASSERT_GE(text.size(), 20u);
  const std::size_t last = text.rfind("\r\n", text.size() - 3);
  ASSERT_NE(last, std::string::npos);
  const std::string crcLine = text.substr(last + 2);
  EXPECT_EQ(crcLine.substr(0, 8), ";* Crc=\"") << crcLine;
  EXPECT_EQ(crcLine.size(), 15u) << crcLine;  // ;* Crc="XXXX" and CR LF
  // The members of the panels' input and output structures, as the host lays them out.
  for (const char* line : {"PNLIN1.KEYS R W 3000 WORD PUB_INOUT\r\n", "PNLOUT2.LAMPS R W 3014 WORD PUB_INOUT\r\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << text;
  EXPECT_NE(ReadText(fs::path(demo_) / "Tarnwell/Demo.xml").find("<panel rack=\"2\" pos=\"5\" type=\"HMI12\""),
            std::string::npos);
}

// Every variable of the demo's pages is known to the host: the build reports
// nothing, and the schematic's canvas has its buffer's entry.
TEST_F(HalvexBuild, TheDemoCompilesWithoutAMessage) {
  EXPECT_NE(Find("\nmessages:\n  (none)\n"), std::string::npos) << run_.out;
  const std::string canvas = ReadText(fs::path(demo_) / "SendRoot/WWW/CANVAS.XML");
  EXPECT_NE(canvas.find("_ARRAY_u\" VALUE=\"0\" ML=\"535\" />"), std::string::npos) << canvas;
}

TEST_F(HalvexBuild, TheMarkerFileMakesTheBuildCompileTheWebTreeWithoutAQuestion) {
  EXPECT_NE(Find("  questions: none\n"), std::string::npos) << run_.out;
  EXPECT_EQ(SendRootFiles(demo_), kExpectedFiles);
  EXPECT_TRUE(fs::is_regular_file(fs::path(demo_) / "Tarnwell/Demo_var.xml"));
  EXPECT_TRUE(fs::is_regular_file(fs::path(demo_) / "Tarnwell/Demo.txt"));
  // The compile's progress went to the host's status window.
  EXPECT_NE(Find("  status: \"OVERVIEW.XML\"\n"), std::string::npos) << run_.out;
}

// A build that compiled no web page says so under the messages, with the way
// to have them compiled.
TEST_F(HalvexBuild, WithoutTheMarkerTheAnswerToTheOneTimeQuestionDecides) {
  const struct {
    const char* reply;  // none: the designer is not open, and nothing is asked
    const char* answered;
    bool compiled;
    const char* told;     // the line under the messages when nothing was compiled
    bool noCopy = false;  // no project copy (split layout, never compiled): no password file
  } cases[] = {
      {"yes", "Yes", true, nullptr},
      {"no", "No", false,
       "/Tarnwell/Demo.auto\". The build wrote only the password file. The pages for the PLC stay those of the last "
       "compile, if any. To compile them with every build, tick \"Compile web pages during project compilation\" in "
       "Tarnwell > Global settings; the designer's button \"Compile web pages\" compiles them once."},
      {nullptr, nullptr, false,
       "/Tarnwell/Demo.auto\", and the designer is not open, so nothing was asked. The build wrote only the "
       "password file. The pages for the PLC stay those of the last compile, if any. To compile them with every "
       "build, open the designer (the command Tarnwell) before a build and answer Yes"},
      {nullptr, nullptr, false,
       "/Tarnwell/Demo.auto\", and the designer is not open, so nothing was asked. The build wrote no file for the "
       "PLC.",
       true},
  };
  for (const auto& c : cases) {
    const std::string name = std::string(c.reply != nullptr ? c.reply : "unasked") + (c.noCopy ? "-split" : "");
    SCOPED_TRACE(name);
    const std::string copy = home_ + "/demo-" + name;
    fs::remove_all(copy);
    fs::copy(DemoProjectFolder(), copy, fs::copy_options::recursive);
    fs::remove(fs::path(copy) / "Tarnwell/Demo.auto");
    if (c.noCopy) fs::rename(fs::path(copy) / "Tarnwell/Demo.xml", fs::path(copy) / "Tarnwell/web.xml");
    const ProgramRun run =
        Halvex("build '" + copy + "'" +
               (c.reply != nullptr ? " --command Tarnwell --answer 'compile web pages=" + std::string(c.reply) + "'"
                                   : std::string()));
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find(c.answered == nullptr
                               ? std::string("  questions: none\n")
                               : "  questions:\n    message box \"Tarnwell\": \"Do you want to compile web pages "
                                 "during project compilation?  (This setting can be changed later in Tarnwell > "
                                 "Global settings)\" answered " +
                                     std::string(c.answered) + " (--answer)\n"),
              std::string::npos)
        << run.out;
    const std::string told =
        "\n  [Tarnwell] No web page was compiled with this build: the project has no marker "
        "file \"" +
        copy + (c.told != nullptr ? c.told : "");
    EXPECT_EQ(run.out.find(c.told != nullptr ? told : "No web page was compiled") != std::string::npos,
              c.told != nullptr)
        << run.out;
    // Yes leaves the marker file that makes every later build compile.
    EXPECT_EQ(ReadText(fs::path(copy) / "Tarnwell/Demo.auto"), c.compiled ? "On" : "");
    // The export's compile driver writes the password file either way.
    EXPECT_EQ(SendRootFiles(copy), c.compiled ? kExpectedFiles
                                   : c.noCopy ? std::vector<std::string>{}
                                              : std::vector<std::string>{"PSW.TXT"});
  }
}

TEST_F(HalvexBuild, AVariableMovedSinceTheLastCompileAsksToRecompile) {
  // The suite's build compiled the demo and wrote its variables document.
  // Without the marker, a later build checks that document against the host.
  const struct {
    const char* name;
    const char* tankLevel;  // its declaration in halvex.prj
    const char* question;
    const char* recorded;  // its Item in the variables document after the build
    int status;            // an answer that answered no question fails the run
  } cases[] = {
      {"kept", "UINT          R 1024", "  questions: none\n", "Pos=\"03000400\" Tdi=\"0000003C\" Ccd=\"04\"", 1},
      {"moved", "UINT          T 2048",
       "  questions:\n    modal form TFormSimpleMessage \"Tarnwell\" closed with result 1 (--answer)\n",
       "Pos=\"04000800\" Tdi=\"0000003C\" Ccd=\"05\"", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string copy = home_ + "/demo-" + c.name;
    fs::remove_all(copy);
    fs::copy(demo_, copy, fs::copy_options::recursive);
    fs::remove(fs::path(copy) / "Tarnwell/Demo.auto");
    std::string project = ReadText(fs::path(copy) / "halvex.prj");
    const std::string declared = "var TankLevel      UINT          R 1024";
    ASSERT_NE(project.find(declared), std::string::npos);
    project.replace(project.find(declared), declared.size(), std::string("var TankLevel      ") + c.tankLevel);
    std::ofstream(fs::path(copy) / "halvex.prj", std::ios::binary) << project;
    const ProgramRun run = Halvex("build '" + copy + "' --answer TFormSimpleMessage=yes");
    EXPECT_EQ(run.status, c.status) << run.out;
    EXPECT_NE(run.out.find(c.question), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("--answer \"TFormSimpleMessage=yes\" answered no question") != std::string::npos,
              c.status != 0)
        << run.out;
    // Yes recompiled: the document records where the variable lies now.
    const std::string item = "<Item Name=\"TankLevel\" " + std::string(c.recorded);
    EXPECT_NE(ReadText(fs::path(copy) / "Tarnwell/Demo_var.xml").find(item), std::string::npos) << item;
  }
}

// The demo's project file holds what a build's save writes (the variables'
// types as the host answers them, every row of the access settings, the page
// stamps and sizes), and its variables document what the build records: a
// build of a fresh copy leaves the user's file as it was.
TEST_F(HalvexBuild, TheBuildLeavesTheDemosProjectFileAsItWas) {
  EXPECT_EQ(ReadText(fs::path(demo_) / "Tarnwell/Demo.xml"),
            ReadText(fs::path(DemoProjectFolder()) / "Tarnwell/Demo.xml"));
}

// A first build, without a variables document, counts every variable as
// moved, and the pages that watch one get a new stamp. The next build finds
// nothing moved and keeps each page's stamp.
TEST_F(HalvexBuild, TheNextBuildKeepsThePageStampsTheFirstRenewed) {
  const fs::path copy = home_ + "/demo-again";
  fs::remove_all(copy);
  fs::copy(DemoProjectFolder(), copy, fs::copy_options::recursive);
  fs::remove(copy / "Tarnwell/Demo_var.xml");
  ASSERT_EQ(Halvex("build '" + copy.string() + "'").status, 0);
  // Data page name to the UCID of its ACCESS element.
  const auto stamps = [&copy] {
    std::map<std::string, std::string> found;
    for (const auto& entry : fs::directory_iterator(copy / "SendRoot/WWW")) {
      const std::string text = entry.is_regular_file() ? ReadText(entry.path()) : std::string();
      const std::size_t at = text.find("<ACCESS ");
      const std::size_t ucid = text.find(" UCID=\"", at);
      if (at != std::string::npos && ucid != std::string::npos)
        found[entry.path().filename().string()] = text.substr(ucid + 7, text.find('"', ucid + 7) - ucid - 7);
    }
    return found;
  };
  const std::map<std::string, std::string> first = stamps();
  ASSERT_EQ(first.count("OVERVIEW.XML"), 1u);
  EXPECT_NE(first.at("OVERVIEW.XML"), "0");
  const ProgramRun run = Halvex("build '" + copy.string() + "'");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(stamps(), first);
  // The project file keeps no `format` attribute of the compile's writers.
  EXPECT_EQ(ReadText(copy / "Tarnwell/Demo.xml").find(" format=\""), std::string::npos);
}

// A copy of the demo that cannot be compiled fails the build with the reason
// in the link event's error and in the host's messages, and keeps its project
// file; one without the host's web variable map compiles with direct
// identifiers. The designer's compile button fails an `open` as the compile
// fails a build.
TEST_F(HalvexBuild, TheBuildsResultIsTheCompilesAndSaysWhy) {
  // A folder where the settings file should be: nothing can write it.
  const auto settingsFolder = [](const fs::path& web) {
    fs::remove(web / "Demo.webx");
    fs::create_directory(web / "Demo.webx");
  };
  const auto settingsFolderNoMarker = [&settingsFolder](const fs::path& web) {
    fs::remove(web / "Demo.auto");
    settingsFolder(web);
  };
  const struct {
    const char* name;
    std::function<void(const fs::path&)> change;
    const char* options;
    int status;
    const char* reason;
    const char* shown;             // in the output as the terminal shows it: UTF-8, paths with '/' only
    const char* unsaid = nullptr;  // nowhere in the output
    const char* verb = "build";
  } cases[] = {
      {"damaged", [](const fs::path& web) { fs::resize_file(web / "Demo.xml", 300); }, "", 1,
       "could not be read when the project was opened, so it is not overwritten", "/Tarnwell/Demo.xml\" could"},
      {"settings-folder", settingsFolder, "", 1,
       "/Demo.webx\" could not be written (Is a directory): a compile records its time there, so this one did not",
       nullptr, "Unable to write"},
      // Without the marker the one-time question is asked all the same, then
      // the settings file that could not keep its answer is named; the
      // build's driver, which compiles no page, writes the password file.
      {"settings-folder-no-marker", settingsFolderNoMarker, " --command Tarnwell --answer \"compile web pages=no\"", 0,
       nullptr, "Global settings)\" answered No (--answer)\n    message box \"Tarnwell\": \"\"", "compile again"},
      {"settings-folder-unasked", settingsFolderNoMarker, "", 0, nullptr,
       "so nothing was asked. The build wrote only the password file.", "compile again"},
      // A Yes compiles, which cannot begin: its error names the file, no box.
      {"settings-folder-yes", settingsFolderNoMarker, " --command Tarnwell --answer \"compile web pages=yes\"", 1,
       "/Demo.webx\" could not be written (Is a directory): a compile records its time there",
       "Global settings)\" answered Yes (--answer)\n  host project files added", "it is kept as it was"},
      {"without-map", [](const fs::path&) {}, " --without IHalvexWebTdiMap", 0, nullptr, nullptr},
      {"unknown-variable",
       [](const fs::path& web) {
         std::string project = ReadText(web / "Demo.xml");
         project.replace(project.find("\"StatusColor\""), 13, "\"NoSuchVar\"");
         std::ofstream(web / "Demo.xml", std::ios::binary) << project;
       },
       "", 0, nullptr, "[Tarnwell] - Unknown variable :\u00A0\n"},
      {"stylesheet-folder",
       [](const fs::path& web) { fs::create_directories(web.parent_path() / "SendRoot/WWW/OVERVIEW.XSL/x"); }, "", 1,
       "[Tarnwell] - Cannot create :\u00A0(", "These files of the compile could not be written: " /* the path */},
      // An output folder that is a file: said once, before anything is tried.
      {"send-root-file", [](const fs::path& web) { std::ofstream(web.parent_path() / "SendRoot") << "x"; }, "", 1,
       "/SendRoot\" is not a folder, so no file for the PLC can be written into it", nullptr, "Cannot c"},
      {"www-file",
       [](const fs::path& web) {
         fs::create_directory(web.parent_path() / "SendRoot");
         std::ofstream(web.parent_path() / "SendRoot/WWW") << "x";
       },
       "", 1, "/SendRoot/WWW\" is not a folder", nullptr, "Cannot c"},
      // So is a folder below it that the compile writes into: the pictures',
      // or one the import folder brings.
      {"images-file",
       [](const fs::path& web) {
         fs::create_directories(web.parent_path() / "SendRoot/WWW");
         std::ofstream(web.parent_path() / "SendRoot/WWW/images") << "x";
       },
       "", 1, "/SendRoot/WWW/images\" is not a folder", nullptr, "Cannot c"},
      // The driver alone only makes the pictures' folder: a file in its place stops no password file.
      {"images-file-driver-alone",
       [](const fs::path& web) {
         fs::remove(web / "Demo.auto");
         fs::create_directories(web.parent_path() / "SendRoot/WWW");
         std::ofstream(web.parent_path() / "SendRoot/WWW/IMAGES") << "x";
       },
       "", 0, nullptr, "\n    PSW.TXT (", "is not a folder"},
      {"json-map-folder-file",
       [](const fs::path& web) {
         std::string project = ReadText(web / "Demo.xml");
         project.replace(project.find("name=\"OVERVIEW.XML\""), 19, "name=\"OVERVIEW.XML\" jsonmap=\"true\"");
         std::ofstream(web / "Demo.xml", std::ios::binary) << project;
         fs::create_directories(web.parent_path() / "SendRoot/WWW");
         std::ofstream(web.parent_path() / "SendRoot/WWW/JSN") << "x";
       },
       "", 1, "/SendRoot/WWW/JSN\" is not a folder", nullptr, "Cannot c"},
      {"import-folder-file",
       [](const fs::path& web) {
         fs::create_directories(web / "Import/css");
         std::ofstream(web / "Import/css/site.css") << "p {}";
         fs::create_directories(web.parent_path() / "SendRoot/WWW");
         std::ofstream(web.parent_path() / "SendRoot/WWW/css") << "x";
       },
       "", 1, "/SendRoot/WWW/css\" is not a folder", nullptr, "Cannot c"},
      // A project folder named with Czech letters, in the Czech UI: the
      // paths in the messages are shown with their letters.
      {"\u010Derpac\u00ED stanice",
       [](const fs::path& web) {
         std::string prj = ReadText(web.parent_path() / "halvex.prj");
         prj.replace(prj.find("\nlanguage 1033"), 14, "\nlanguage 1029");
         std::ofstream(web.parent_path() / "halvex.prj", std::ios::binary) << prj;
         fs::create_directories(web.parent_path() / "SendRoot/WWW/OVERVIEW.XSL/x");
       },
       "", 1, "[Tarnwell] - Nelze vytvo\u0159it :",
       "demo-\u010Derpac\u00ED stanice/SendRoot/WWW/OVERVIEW.XSL] [Tarnwell] - Nelze vytvo\u0159it :"},
      // The save's settings file that cannot take the save's time: its box
      // names it with the system's reason, a warning that fails nothing.
      {"settings-folder-save", settingsFolder, " --command Tarnwell --click btnPageDown --click btnSave2", 0, nullptr,
       "/Demo.webx\" could not be written (Is a directory): the time of this save is not recorded.\" answered OK",
       "Unable to write", "open"},
      {"click-compile",
       [](const fs::path& web) { fs::create_directories(web.parent_path() / "SendRoot/WWW/OVERVIEW.XSL/x"); },
       " --command Tarnwell --click btnSave1 --click btnAddGroup", 1, nullptr,
       "\nhalvex open: --click btnSave1: the compile failed: These files of the compile could not be written: ",
       "clicked FormDesign1.btnAddGroup", "open"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path copy = home_ + "/demo-" + c.name;
    fs::remove_all(copy);
    fs::copy(DemoProjectFolder(), copy, fs::copy_options::recursive);
    c.change(copy / "Tarnwell");
    if (fs::is_directory(copy / "SendRoot")) std::ofstream(copy / "SendRoot/PSW.TXT.~tarnwell~killed") << "half";
    const std::string project = fs::is_regular_file(copy / "Tarnwell/Demo.xml") && c.status != 0
                                    ? ReadText(copy / "Tarnwell/Demo.xml")
                                    : std::string();
    const ProgramRun run = Halvex(std::string(c.verb) + " '" + copy.string() + "'" + c.options);
    EXPECT_EQ(run.status, c.status) << run.out;
    if (std::string(c.verb) == "build") {
      EXPECT_NE(run.out.find(c.status == 0 ? "\nbuild succeeded\n" : "\nbuild failed\n"), std::string::npos) << run.out;
    }
    if (c.shown != nullptr) {
      EXPECT_NE(run.out.find(c.shown), std::string::npos) << run.out;
    }
    if (c.unsaid != nullptr) {
      EXPECT_EQ(run.out.find(c.unsaid), std::string::npos) << run.out;
    }
    EXPECT_EQ(testsupport::WriterTemporaryFiles(copy), std::vector<std::string>{}) << "a refused run too\n" << run.out;
    if (c.reason == nullptr) continue;
    EXPECT_NE(run.out.find("OnLinkingExtendedProgMap -> 1 sink(s), 0x80004005\n    error: "), std::string::npos)
        << run.out;
    const std::size_t message = run.out.find("\n  compiler: [");
    ASSERT_NE(message, std::string::npos) << run.out;
    EXPECT_LT(run.out.find(c.reason, message), run.out.find('\n', message + 1)) << run.out;
    EXPECT_EQ(ReadText(copy / "Tarnwell/Demo.xml"), project);
    EXPECT_FALSE(fs::exists(copy / "Tarnwell/Demo.xml.bak"));
  }
}

// A project not opened (another run held its lock for the whole wait, or a
// folder stands at its file's place) fails the run with the load's own reason
// (not a failed recovery's words), runs no click and leaves every file as it was.
TEST_F(HalvexBuild, AProjectThatWasNotOpenedFailsItsRunAndWritesNothing) {
  const struct {
    const char* name;
    bool locked;  // else a folder stands at the project file's place
    const char* run;
    const char* said;
  } cases[] = {
      {"locked-build", true, "build", "error: The web pages were not compiled: The project is not opened: another"},
      {"locked-open", true, "open",
       "\nhalvex open: the designer did not open the project, so nothing is done in it: "
       "The project is not opened: another program is saving or opening the project"},
      {"folder-build", false, "build", "/Demo.xml\" could not be read: it cannot be opened (Is a directory). The pro"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path copy = home_ + "/demo-not-opened-" + c.name;
    fs::remove_all(copy);
    fs::copy(demo_, copy, fs::copy_options::recursive);
    if (!c.locked) fs::remove(copy / "Tarnwell/Demo.xml") && fs::create_directory(copy / "Tarnwell/Demo.xml");
    const int lock =
        c.locked ? open((copy / "Tarnwell/.~tarnwell~lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644) : -1;
    ASSERT_TRUE(!c.locked || flock(lock, LOCK_EX) == 0);
    const std::map<std::string, std::string> before = testsupport::ReadFileTree(copy);
    const std::string clicks = " --command Tarnwell --click btnSave1 --click btnAddGroup --click btnSave2";
    // A second's wait (the user's setting) for the lock that this test holds.
    const ProgramRun run =
        RunProgram("TARNWELL_LOCK_WAIT=1 HALVEX_HOME='" + home_ + "' '" + TARNWELL_HALVEX_PATH + "' " + c.run + " '" +
                   copy.string() + "'" + (c.run == std::string("open") ? clicks : ""));
    if (lock >= 0) close(lock);
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find(c.said), std::string::npos) << run.out;
    for (const char* unsaid : {"An interrupted save", "\nclicked ", "build succeeded"})
      EXPECT_EQ(run.out.find(unsaid), std::string::npos) << unsaid << "\n" << run.out;
    EXPECT_EQ(testsupport::ChangedFiles(before, testsupport::ReadFileTree(copy)), std::vector<std::string>{});
  }
}

// A build that finds the project folder's lock taken tells its wait on
// standard error while it waits (the report comes after the wait) and keeps
// the line in its report; once the lock is given back it builds. A wait
// setting that is not taken is told once a run, on standard error.
TEST_F(HalvexBuild, AWaitForTheLockIsShownWhileItLastsAndAWaitSettingNotTakenIsTold) {
  const fs::path copy = home_ + "/demo-wait";
  fs::remove_all(copy);
  fs::copy(demo_, copy, fs::copy_options::recursive);
  const int lock = open((copy / "Tarnwell/.~tarnwell~lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  const fs::path output = home_ + "/wait.out";
  const std::string command = "TARNWELL_LOCK_WAIT=20 HALVEX_HOME='" + home_ + "' exec '" + TARNWELL_HALVEX_PATH +
                              "' build '" + copy.string() + "' > '" + output.string() + "'";
  const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
  int errors[2];
  ASSERT_EQ(pipe2(errors, O_CLOEXEC), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, errors[1], 2);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, "sh", &actions, nullptr, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(errors[1]);
  ASSERT_EQ(spawned, 0);
  // Standard error until the wait's line comes, or the run ends (the wait,
  // twenty seconds, over).
  const std::string said = "halvex build: [Tarnwell] Waiting up to 20 seconds for another program (process " +
                           std::to_string(getpid()) + "), which is saving or opening the project in " + copy.string() +
                           "/Tarnwell/.\n";
  std::string err;
  char buffer[4096];
  for (ssize_t n = 1; n > 0 && err.find(said) == std::string::npos;)
    if ((n = read(errors[0], buffer, sizeof buffer)) > 0) err.append(buffer, static_cast<std::size_t>(n));
  const bool toldWhileHeld = err.find(said) != std::string::npos;
  close(lock);
  for (ssize_t n; (n = read(errors[0], buffer, sizeof buffer)) > 0;) err.append(buffer, static_cast<std::size_t>(n));
  close(errors[0]);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  const std::string out = ReadText(output);
  EXPECT_TRUE(toldWhileHeld) << err << out;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << err << out;
  EXPECT_NE(out.find("\n  [Tarnwell] Waiting up to 20 seconds for another program (process "), std::string::npos)
      << out;
  EXPECT_NE(out.find("\nbuild succeeded\n"), std::string::npos) << out;

  const ProgramRun unset = RunProgram("TARNWELL_LOCK_WAIT=5s HALVEX_HOME='" + home_ + "' '" + TARNWELL_HALVEX_PATH +
                                      "' build '" + copy.string() + "'");
  EXPECT_EQ(unset.status, 0) << unset.out;
  const std::string told =
      "halvex: TARNWELL_LOCK_WAIT=\"5s\" is not taken (it takes whole seconds from 0 to 3600): a "
      "run waits up to 120 seconds for another run's lock on a project folder\n";
  const std::size_t first = unset.out.find(told);
  EXPECT_NE(first, std::string::npos) << unset.out;
  EXPECT_EQ(unset.out.find(told, first + 1), std::string::npos) << "told once\n" << unset.out;
}

// Waits until `done` holds; false when it did not within a minute (a run
// that hangs fails the test with its reason instead of at ctest's limit).
bool WaitUntil(const std::function<bool()>& done) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// Another run saves between this run's opening and its save (the project
// folder's lock, taken by the test first, serves them in turn): the question
// whether to replace that save, answered No at the click and at the close,
// writes nothing, and the changes lost fail the run as a failed save does.
TEST_F(HalvexBuild, ChangesLostWithAReplaceDeclinedFailTheRun) {
  const fs::path copy = home_ + "/demo-declined", theirs = home_ + "/demo-declined-theirs";
  for (const fs::path& project : {copy, theirs}) {
    fs::remove_all(project);
    fs::copy(demo_, project, fs::copy_options::recursive);
  }
  ASSERT_EQ(Halvex("open '" + theirs.string() + "' --command Tarnwell --click btnAddGroup --click btnSave2").status, 0);
  const auto waiting = [&copy] {  // the runs in line for the lock
    return std::count_if(fs::directory_iterator(copy / "Tarnwell"), fs::directory_iterator(), [](const auto& entry) {
      return entry.path().filename().string().starts_with(".~tarnwell~queue-");
    });
  };
  const std::string lockFile = (copy / "Tarnwell/.~tarnwell~lock").string(), output = home_ + "/declined.out";
  auto first = std::make_unique<TFolderLock>(lockFile);
  FILE* run = popen(("HALVEX_HOME='" + home_ + "' '" + TARNWELL_HALVEX_PATH + "' open '" + copy.string() +
                     "' --command Tarnwell --click btnPageDown --click btnSave2 > '" + output + "' 2>&1")
                        .c_str(),
                    "r");
  ASSERT_TRUE(WaitUntil([&] { return waiting() == 1; }));
  const pid_t other = fork();
  if (other == 0) {
    const TFolderLock lock(lockFile);
    fs::copy_file(theirs / "Tarnwell/Demo.xml", copy / "Tarnwell/Demo.xml", fs::copy_options::overwrite_existing);
    _exit(WaitUntil([&] { return waiting() == 1; }) ? 0 : 1);
  }
  ASSERT_TRUE(WaitUntil([&] { return waiting() == 2; }));
  first.reset();
  const int status = pclose(run);
  waitpid(other, nullptr, 0);
  const std::string out = ReadText(output);
  EXPECT_EQ(WEXITSTATUS(status), 1) << out;
  EXPECT_NE(out.find("\nhalvex open: closing the project failed: The project could not be saved: another program"),
            std::string::npos)
      << out;
  EXPECT_EQ(ReadText(copy / "Tarnwell/Demo.xml"), ReadText(theirs / "Tarnwell/Demo.xml"));
}

// Ctrl+C (or SIGTERM) in the middle of a compile, of a build or of the
// designer's save-and-compile button: a named pipe in the import folder holds
// the compile in its copy of the import folder (the writes of the output have
// begun) until the test has sent the signal. The run says that it stopped,
// ends with 128 + the signal and leaves no temporary file; the next build's
// tree is a clean build's. The signal also ends a wait for the loop's rounds.
TEST_F(HalvexBuild, CtrlCStopsTheBuildWhichSaysSoAndTheNextBuildIsWhole) {
  const struct {
    const char* verb;
    const char* options;  // after the project
    int signal;
    const char* said;
    const char* waitFor = nullptr;  // the output's line the signal waits for; none: the compile's held file
    int rounds = 0;                 // the loop's rounds asked for, which the stop leaves uncounted
  } cases[] = {
      {"build", "", SIGINT, "\nbuild stopped by SIGINT: the web files are incomplete until a build runs to its end\n"},
      {"open", " --command Tarnwell --click btnSave1", SIGTERM, "\nhalvex open: stopped by SIGTERM\n"},
      {"open", " --rounds 1000", SIGINT, "\nhalvex open: stopped by SIGINT\n", "events of opening:\n", 1000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.verb) + c.options);
    const std::string row = c.verb + std::to_string(&c - cases);
    const fs::path copy = home_ + "/demo-stop-" + row;
    const fs::path clean = home_ + "/demo-stop-" + row + "-clean";
    for (const fs::path& project : {copy, clean}) {
      fs::remove_all(project);
      fs::copy(DemoProjectFolder(), project, fs::copy_options::recursive);
      fs::create_directories(project / "Tarnwell/Import");
    }
    // The compiled description holds the pictures' times: both copies take the
    // same, even when their copying straddled a second.
    for (const auto& entry : fs::recursive_directory_iterator(copy))
      if (entry.is_regular_file())
        fs::last_write_time(clean / fs::relative(entry.path(), copy), fs::last_write_time(entry.path()));
    std::ofstream(clean / "Tarnwell/Import/HELD.TXT").close();
    const fs::path pipe = copy / "Tarnwell/Import/HELD.TXT";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const fs::path output = home_ + "/stop-" + row + ".out";
    const std::string command = "HALVEX_HOME='" + home_ + "' exec '" + TARNWELL_HALVEX_PATH + "' " + c.verb + " '" +
                                copy.string() + "'" + c.options + " > '" + output.string() + "' 2>&1";
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    // Started as from a terminal, with the signals' default handling, also
    // when the tests run as a background job that has SIGINT ignored.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "sh", nullptr, &attributes, const_cast<char* const*>(argv), environ);
    posix_spawnattr_destroy(&attributes);
    ASSERT_EQ(spawned, 0);
    int status = 0;
    bool ended = false;
    const auto hasEnded = [&] { return ended || (ended = waitpid(pid, &status, WNOHANG) == pid); };
    // The compile opens the pipe for writing, closes it and opens it for
    // reading, which holds it until a writer comes.
    const int reader = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const bool reached = WaitUntil([&] {
      if (c.waitFor != nullptr) return hasEnded() || ReadText(output).find(c.waitFor) != std::string::npos;
      pollfd held{reader, POLLIN, 0};
      return hasEnded() || (poll(&held, 1, 0) == 1 && (held.revents & POLLHUP) != 0);
    });
    kill(pid, c.signal);
    close(reader);
    // Its read of the pipe ends empty; a run that the signal ended has no
    // reader left.
    const bool released = WaitUntil([&] {
      const int writer = open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) close(writer);
      return writer >= 0 || hasEnded();
    });
    if (!WaitUntil(hasEnded)) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      FAIL() << "halvex did not end within a minute of the signal\n" << ReadText(output);
    }
    const std::string out = ReadText(output);
    ASSERT_TRUE(reached) << "halvex never came to " << (c.waitFor != nullptr ? c.waitFor : "the held file") << "\n"
                         << out;
    ASSERT_TRUE(released) << out;
    ASSERT_FALSE(WIFSIGNALED(status)) << "halvex was ended by signal " << WTERMSIG(status)
                                      << " instead of stopping at its next file\n"
                                      << out;
    ASSERT_TRUE(WIFEXITED(status)) << out;
    EXPECT_EQ(WEXITSTATUS(status), 128 + c.signal) << out;
    EXPECT_NE(out.find(c.said), std::string::npos) << out;
    EXPECT_EQ(out.find("The compile was stopped before its end.") != std::string::npos, c.waitFor == nullptr) << out;
    if (c.rounds != 0) {
      const std::size_t counted = out.find(" round(s), PLC ");
      ASSERT_NE(counted, std::string::npos) << out;
      EXPECT_LT(std::stoi(out.substr(out.rfind(' ', counted - 1) + 1)), c.rounds) << out;
    }
    EXPECT_EQ(testsupport::WriterTemporaryFiles(copy), std::vector<std::string>{}) << out;

    fs::remove(pipe);
    std::ofstream(pipe).close();
    const ProgramRun again = Halvex("build '" + copy.string() + "'");
    EXPECT_EQ(again.status, 0) << again.out;
    ASSERT_EQ(Halvex("build '" + clean.string() + "'").status, 0);
    EXPECT_EQ(testsupport::ChangedFiles(testsupport::ReadFileTree(copy / "SendRoot"),
                                        testsupport::ReadFileTree(clean / "SendRoot")),
              std::vector<std::string>{});
  }
  // A signal after the compile's last file, or once the run has ended and
  // the plug-in is unloaded (one the host sends itself there, moments no
  // signal from outside can be timed to), stops nothing.
  for (const char* moment : {"1", "exit"}) {
    const fs::path late = home_ + "/demo-signal-after-" + moment;
    fs::copy(DemoProjectFolder(), late, fs::copy_options::recursive);
    const ProgramRun run = RunProgram("HALVEX_SIGNAL_AFTER_BUILD=" + std::string(moment) + " HALVEX_HOME='" + home_ +
                                      "' '" + TARNWELL_HALVEX_PATH + "' build '" + late.string() + "'");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("\nbuild succeeded\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("SIGTERM came after the run's work had ended: it stopped nothing"), std::string::npos)
        << run.out;
  }
}

// A build killed for good (SIGKILL, a power cut) leaves its temporary files
// where they were (in the host's home too): the next opening of the project
// and the next build remove them, and neither keeps, counts nor ships one. A
// file of the user's whose name merely looks temporary stays.
TEST_F(HalvexBuild, TheTemporaryFilesOfAKilledBuildAreRemovedNotShipped) {
  const fs::path copy = home_ + "/demo-killed";
  fs::remove_all(copy);
  fs::copy(DemoProjectFolder(), copy, fs::copy_options::recursive);
  ASSERT_EQ(Halvex("build '" + copy.string() + "'").status, 0);
  const std::vector<fs::path> left = {"SendRoot/PSW.TXT.~tarnwell~a1B2c3",
                                      "SendRoot/WWW/TARNWELL.XML.~tarnwell~XyZ987",
                                      "SendRoot/WWW/IMAGES/button_off.bmp.~tarnwell~cp4242_7",
                                      "SendRoot/WWW/IMAGES/button_on.png.~tarnwell~999999999_Q0w9E8",
                                      "Tarnwell/Demo.webx.~tarnwell~Q0w9E8",
                                      "Tarnwell/Demo.xml.~tarnwell~zzzzzz"};
  const std::vector<fs::path> users = {"SendRoot/report.tmp202405", "SendRoot/WWW/IMAGES/plan.png.~cp4242_7",
                                       "Tarnwell/notes.tmpabcdef", "SendRoot/old.~tarnwell~"};
  // The host's own files in its home (the registry, the desktop files) are
  // written through temporary files too.
  const std::vector<fs::path> leftInHome = {"registry.~tarnwell~Zx81Qa", "desktop-Demo.txt.~tarnwell~cp4242_7"};
  const fs::path home = home_, usersInHome = "desktop-Demo.txt.~tarnwell~";
  for (const fs::path& file : left) std::ofstream(copy / file) << "half";
  ASSERT_EQ(Halvex("open '" + copy.string() + "' --command Tarnwell").status, 0);
  for (const fs::path& file : left) EXPECT_FALSE(fs::exists(copy / file)) << file;
  for (const fs::path& file : left) std::ofstream(copy / file) << "half";
  for (const fs::path& file : users) std::ofstream(copy / file) << "mine";
  for (const fs::path& file : leftInHome) std::ofstream(home / file) << "half";
  std::ofstream(home / usersInHome) << "mine";
  const ProgramRun run = Halvex("build '" + copy.string() + "'");
  EXPECT_EQ(run.status, 0) << run.out;
  for (const fs::path& file : left) EXPECT_FALSE(fs::exists(copy / file)) << file;
  for (const fs::path& file : users) EXPECT_TRUE(fs::exists(copy / file)) << file;
  for (const fs::path& file : leftInHome) EXPECT_FALSE(fs::exists(home / file)) << file;
  EXPECT_TRUE(fs::exists(home / usersInHome));
  EXPECT_EQ(testsupport::WriterTemporaryFiles(copy), std::vector<std::string>{(copy / users.back()).string()})
      << run.out;
  // The users' files under SendRoot are listed beside the compile's.
  EXPECT_NE(run.out.find(" " + std::to_string(kExpectedFiles.size() + 3) + " in all\n"), std::string::npos) << run.out;
}

// The demo made split as the README tells (a "web.xml" beside the project
// file, a change saved), then built: a save whose project the files hold
// already writes no project or page file and keeps the backups; it stamps
// its time in the settings and writes the PLC's constants, as every save.
TEST_F(HalvexBuild, ASaveOfAnUnchangedSplitProjectAfterABuildWritesNoProjectFile) {
  const fs::path copy = home_ + "/demo-split";
  fs::remove_all(copy);
  fs::copy(DemoProjectFolder(), copy, fs::copy_options::recursive);
  fs::copy_file(copy / "Tarnwell/Demo.xml", copy / "Tarnwell/web.xml");
  const std::string moveBackAndSave =
      "open '" + copy.string() + "' --command Tarnwell --click btnPageDown --click btnPageUp --click btnSave2";
  ASSERT_EQ(Halvex(moveBackAndSave).status, 0);
  ASSERT_TRUE(fs::is_regular_file(copy / "Tarnwell/pages/DIAG.XML"));
  ASSERT_EQ(Halvex("build '" + copy.string() + "'").status, 0);
  std::map<std::string, std::string> before = testsupport::ReadFileTree(copy / "Tarnwell");
  const ProgramRun saved = Halvex(moveBackAndSave);
  EXPECT_EQ(saved.status, 0) << saved.out;
  std::map<std::string, std::string> after = testsupport::ReadFileTree(copy / "Tarnwell");
  for (auto* tree : {&before, &after})
    for (const char* stamped : {"Demo.webx", "TarnwellConst.ST"}) ASSERT_EQ(tree->erase(stamped), 1u);
  EXPECT_EQ(testsupport::ChangedFiles(before, after), std::vector<std::string>()) << saved.out;
}

TEST_F(HalvexBuild, TheWebFilesListedAreThoseOnDisk) {
  // The copy held no web tree before the build: every file under SendRoot
  // was written by it, and each is listed with its size as new.
  std::vector<std::string> onDisk;
  const fs::path root = fs::path(demo_) / "SendRoot";
  if (fs::exists(root))
    for (const auto& entry : fs::recursive_directory_iterator(root))
      if (entry.is_regular_file()) onDisk.push_back(fs::relative(entry.path(), root).generic_string());
  const std::string summary = "  web files written under " + root.string() + ": " + std::to_string(onDisk.size()) +
                              " written, 0 unchanged, " + std::to_string(onDisk.size()) + " in all\n";
  EXPECT_NE(Find(summary), std::string::npos) << summary << run_.out;
  for (const std::string& file : onDisk)
    EXPECT_NE(Find("    " + file + " (" + std::to_string(fs::file_size(root / file)) + " bytes, new)\n"),
              std::string::npos)
        << file;
}

TEST_F(HalvexBuild, ThePlugInGivesBackWhatItTookAndUnloads) {
  EXPECT_NE(Find("host references still held: none"), std::string::npos) << run_.out;
  EXPECT_NE(Find("ControledDestruction: S_OK, library unloaded"), std::string::npos) << run_.out;
  EXPECT_EQ(Find("left by the plug-ins"), std::string::npos) << run_.out;
}

}  // namespace

#endif
