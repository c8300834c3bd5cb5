// halvex build on a copy of the demo built once, after its project file was
// damaged or lost (with its records or its whole folder, also with a changed
// project saved in its place), or a page file of the split layout was lost:
// the build fails with the reason and writes nothing under SendRoot nor among
// the project's files (its settings file keeps the time of the last compile),
// and halvex serve still asks for a login before the service pages of the
// last good build.

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/host/ProgramRun.h"
#include "tests/host/web/ServeRun.h"
#include "tests/support/FileTree.h"
#include "tests/support/TempFolder.h"

#if defined(TARNWELL_HALVEX_PATH) && defined(TARNWELL_PLUGIN_PATH)

namespace {

namespace fs = std::filesystem;

// The names of the files whose bytes differ between two trees, or that only
// one of them holds.
std::vector<std::string> Changed(const std::map<std::string, std::string>& before,
                                 const std::map<std::string, std::string>& after) {
  std::vector<std::string> changed;
  for (const auto& [name, bytes] : after)
    if (!before.count(name) || before.at(name) != bytes) changed.push_back(name);
  for (const auto& [name, bytes] : before)
    if (!after.count(name)) changed.push_back(name);
  return changed;
}

// Every file under `root` with its bytes; none when `root` is gone.
std::map<std::string, std::string> TreeBytes(const testsupport::TempFolder& folder, const std::string& root) {
  std::map<std::string, std::string> tree;
  for (auto& [name, bytes] : testsupport::ReadFileTree(folder.Native(root))) tree[root + "/" + name] = std::move(bytes);
  return tree;
}

TEST(FailedBuild, KeepsTheLastGoodOutputAndItsLogins) {
  testsupport::TempFolder folder("failed-build-");
  const auto halvex = [&folder](const std::string& arguments) {
    return RunProgram("HALVEX_HOME='" + folder.Native("home") + "' '" + TARNWELL_HALVEX_PATH + "' " + arguments);
  };
  ASSERT_EQ(halvex("register '" + std::string(TARNWELL_PLUGIN_PATH) + "'").status, 0);
  const struct {
    const char* name;
    std::function<void(const fs::path& projectFile)> change;
    const char* reason;
    const char* told = nullptr;  // what the designer's message box said
    const char* arguments = "";  // more arguments of the second build
    bool split = false;          // the copy is made split before the first build
    // Project files the second run may make anew: with the folder gone, the
    // marker file that the user's answer asks for and the designer's settings.
    std::vector<std::string> made = {};
    // A designer run between the change and the build: halvex open's
    // arguments after the project. The box is told there.
    const char* save = nullptr;
  } cases[] = {
      // The save-and-compile of the link event fails: the export writes nothing.
      {"garbage", [](const fs::path& file) { std::ofstream(file, std::ios::binary) << "garbage\n"; },
       "The web pages were not compiled: The project file"},
      // Without the marker file only the export reads the project file.
      {"garbage-unmarked",
       [](const fs::path& file) {
         std::ofstream(file, std::ios::binary) << "garbage\n";
         fs::remove(fs::path(file).replace_extension(".auto"));
       },
       "could not be read: it holds no web element. Nothing was written for the PLC"},
      // Lost beside the records of its compiles: the designer tells, and the
      // empty new project is not compiled over the pages.
      {"removed", [](const fs::path& file) { fs::remove(file); },
       "does not exist, but the web folder holds the records of its last compile",
       "does not exist. An empty new project was loaded instead. The web folder holds the records"},
      // Lost with its records, or with its whole folder while the designer is
      // open: the pages of the output that ask for logins tell it.
      {"removed-with-records",
       [](const fs::path& file) {
         for (const char* suffix : {".xml", ".txt", "_var.xml"})
           fs::remove(file.parent_path() / (file.stem().string() + suffix));
       },
       "and neither do the records of its last compile, but the web output",
       "An empty new project was loaded instead. The web output"},
      {"folder-removed",
       [](const fs::path& file) { fs::remove_all(file.parent_path()); },
       "holds the pages of an earlier project that asked for logins",
       "An empty new project was loaded instead. The web output",
       " --command Tarnwell --answer 'compile web pages=yes'",
       false,
       {"folder-removed/Tarnwell/Demo.auto", "folder-removed/Tarnwell/Demo.webx"}},
      // The folder lost and a changed project saved in its place: the
      // earlier pages with a level are not the new project's, and neither the
      // save-and-compile nor (the compile with the project declined) the
      // export puts the new password file beside them.
      {"folder-removed-saved",
       [](const fs::path& file) { fs::remove_all(file.parent_path()); },
       "holds pages that ask for logins which this project does not compile and the records of its last compile do "
       "not name (DIAG.XML, SETTINGS.XML)",
       "neither the designer nor a build compiles this project while they are there, also after a save",
       "",
       false,
       {"folder-removed-saved/Tarnwell/Demo.auto", "folder-removed-saved/Tarnwell/Demo.webx"},
       "--command Tarnwell --click btnAddGroup --click btnSave2"},
      {"folder-removed-saved-export",
       [](const fs::path& file) { fs::remove_all(file.parent_path()); },
       "(DIAG.XML, SETTINGS.XML): an earlier project left them there",
       "also after a save",
       " --answer 'compile web pages=no'",
       false,
       {"folder-removed-saved-export/Tarnwell/Demo.webx"},
       "--command Tarnwell --click btnAddGroup --click btnSave2"},
      // A page file of the split layout gone, or a link to nothing in its place.
      {"page-removed", [](const fs::path& file) { fs::remove(file.parent_path() / "pages/DIAG.XML"); },
       "DIAG.XML\" was missing when the project was opened", "DIAG.XML\" does not exist. The page was loaded empty.",
       "", true},
      {"page-dangling",
       [](const fs::path& file) {
         fs::remove(file.parent_path() / "pages/DIAG.XML");
         fs::create_symlink(file.parent_path() / "nowhere", file.parent_path() / "pages/DIAG.XML");
       },
       "DIAG.XML\" was missing when the project was opened", "DIAG.XML\" does not exist. The page was loaded empty.",
       "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::copy(std::string(TARNWELL_SOURCE_DIR) + "/examples/demo", folder.Native(c.name), fs::copy_options::recursive);
    const std::string project = "'" + folder.Native(c.name) + "'";
    if (c.split) {
      // As a user makes it: "web.xml" beside the project file, and a change
      // saved by the designer, which writes the page files.
      const std::string web = std::string(c.name) + "/Tarnwell/";
      fs::copy_file(folder.Native(web + "Demo.xml"), folder.Native(web + "web.xml"));
      ASSERT_EQ(halvex("open " + project + " --command Tarnwell --click btnPageDown --click btnPageUp --click btnSave2")
                    .status,
                0);
      ASSERT_TRUE(fs::is_regular_file(folder.Native(web + "pages/DIAG.XML")));
    }
    ASSERT_EQ(halvex("build " + project).status, 0);
    const auto built = TreeBytes(folder, std::string(c.name) + "/SendRoot");
    // The good build as if it were a while ago: a stamp taken again differs.
    const std::string settingsFile = std::string(c.name) + "/Tarnwell/Demo.webx";
    std::string settings = folder.Read(settingsFile);
    const std::size_t stamp = settings.find("CompileTD=");
    ASSERT_NE(stamp, std::string::npos) << settings;
    settings.replace(stamp, settings.find_first_of("\r\n", stamp) - stamp, "CompileTD=1000000000");
    folder.Write(settingsFile, settings);
    c.change(folder.Native(std::string(c.name) + "/Tarnwell/Demo.xml"));
    const ProgramRun saved = c.save != nullptr ? halvex("open " + project + " " + c.save) : ProgramRun{0, ""};
    EXPECT_EQ(saved.status, 0) << saved.out;
    const auto projectFiles = TreeBytes(folder, std::string(c.name) + "/Tarnwell");

    const ProgramRun failed = halvex("build " + project + c.arguments);
    EXPECT_EQ(failed.status, 1) << failed.out;
    EXPECT_NE(failed.out.find("ClLinkExtendedProgMap (libtarnwell.so) -> 0x80004005"), std::string::npos);
    EXPECT_NE(failed.out.find(c.reason), std::string::npos) << failed.out;
    if (c.told != nullptr) {
      EXPECT_NE((saved.out + failed.out).find(c.told), std::string::npos) << saved.out << failed.out;
    }
    EXPECT_EQ(Changed(built, TreeBytes(folder, std::string(c.name) + "/SendRoot")), std::vector<std::string>());
    EXPECT_EQ(Changed(projectFiles, TreeBytes(folder, std::string(c.name) + "/Tarnwell")), c.made);

    ServeRun serve;
    StartServe(folder.Native(c.name), serve);
    const std::string prefix =
        "serving " + folder.Native(std::string(c.name) + "/SendRoot/WWW") + " at http://127.0.0.1:";
    ASSERT_EQ(serve.firstLine.rfind(prefix, 0), 0u) << serve.firstLine;
    httplib::Client client("127.0.0.1", std::stoi(serve.firstLine.substr(prefix.size())));
    for (const char* page : {"/DIAG.XML", "/SETTINGS.XML"}) {
      const auto answer = client.Get(page);
      ASSERT_TRUE(answer) << page;
      EXPECT_EQ(answer->status, 302) << page << "\n" << answer->body;
      EXPECT_EQ(answer->get_header_value("Location"), "/LOGIN.XML") << page;
    }
    EXPECT_EQ(StopServe(serve, SIGTERM).first, 0);
  }
}

}  // namespace

#endif
