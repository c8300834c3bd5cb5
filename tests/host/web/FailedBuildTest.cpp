// halvex build on a copy of the demo built once, after its project file was
// damaged or lost (with its records or its whole folder, also with a changed
// project saved in its place), or a page file of the split layout was lost:
// the build fails with the reason and writes nothing under SendRoot nor among
// the project's files (its settings file keeps the time of the last compile),
// and halvex serve still asks for a login before the service pages of the
// last good build. So does a project that dropped its page with a level and
// its users while that page cannot be deleted. A missing picture fails the
// build too, and keeps its last copy and its place in the project; a picture
// its folder in the output refuses names that folder.

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/host/HostTestProject.h"
#include "tests/host/ProgramRun.h"
#include "tests/host/web/ServeRun.h"
#include "tests/support/FileTree.h"
#include "tests/support/ReadOnlyEntries.h"
#include "tests/support/TempFolder.h"

#if defined(TARNWELL_HALVEX_PATH) && defined(TARNWELL_PLUGIN_PATH)

namespace {

namespace fs = std::filesystem;

// Every file under `root` with its bytes; none when `root` is gone.
std::map<std::string, std::string> TreeBytes(const testsupport::TempFolder& folder, const std::string& root) {
  std::map<std::string, std::string> tree;
  for (auto& [name, bytes] : testsupport::ReadFileTree(folder.Native(root))) tree[root + "/" + name] = std::move(bytes);
  return tree;
}

// halvex as a user runs it, with the built plug-in registered in a home of
// its own in the folder.
ProgramRun Halvex(const testsupport::TempFolder& folder, const std::string& arguments) {
  const std::string program = "HALVEX_HOME='" + folder.Native("home") + "' '" + TARNWELL_HALVEX_PATH + "' ";
  if (!fs::exists(folder.Native("home"))) {
    const ProgramRun registered = RunProgram(program + "register '" + TARNWELL_PLUGIN_PATH + "'");
    EXPECT_EQ(registered.status, 0) << registered.out;
  }
  return RunProgram(program + arguments);
}

TEST(FailedBuild, KeepsTheLastGoodOutputAndItsLogins) {
  testsupport::TempFolder folder("failed-build-");
  const auto halvex = [&folder](const std::string& arguments) { return Halvex(folder, arguments); };
  // The output's pages folder read-only while the cases live.
  const auto pagesHeld = std::make_shared<std::optional<testsupport::ReadOnlyFolders>>();
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
    const char* saveVerb = "open";  // or build, whose exit code is then 1
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
      // A change the user did not save (a group added) does not start the lost
      // project anew at the close: asked, the default No writes nothing.
      {.name = "removed-group-added-build",
       .change = [](const fs::path& file) { fs::remove(file); },
       .reason = "does not exist, but the web folder holds the records of its last compile",
       .told = "Save it now as the project file? Yes writes it, and the next build replaces the pages and the logins "
               "of the last compile with this project's. No writes nothing: the files stay as they are, and the "
               "changes are lost with the close.\" answered No (default)",
       .save = "--command Tarnwell --click btnAddGroup",
       .saveVerb = "build"},
      {.name = "removed-delete-declined-open",
       .change = [](const fs::path& file) { fs::remove(file); },
       .reason = "does not exist, but the web folder holds the records of its last compile",
       .told = "A save with the Save button writes this project as the project file, and the next build then "
               "replaces the pages and the logins of that compile with this project's",
       .save = "--command Tarnwell --click btnDeletePage --answer 'sure to delete=no'"},
      // A page with a level that the import folder brings in would be open
      // to anyone beside the new project's logins: the box names it.
      {.name = "removed-level-page-imported",
       .change =
           [](const fs::path& file) {
             fs::remove(file);
             fs::create_directories(file.parent_path() / "Import/NOTIFY/sub");
             std::ofstream(file.parent_path() / "Import/NOTIFY/PUMPS.XML") << "<PAGE PAGE_LEVEL=\"3\"/>\n";
             std::ofstream(file.parent_path() / "Import/NOTIFY/sub/DEEP.XML") << "<PAGE PAGE_LEVEL=\"3\"/>\n";
           },
       .reason = "does not exist, but the web folder holds the records of its last compile",
       .told = "These pages of the import folder ask for a level, and every build copies them into the web output, "
               "where anyone can open them while the project names no user: NOTIFY/PUMPS.XML, NOTIFY/sub/DEEP.XML."},
      {.name = "removed-group-added",
       .change = [](const fs::path& file) { fs::remove(file); },
       .reason = "does not exist, but the web folder holds the records of its last compile",
       .told = "was lost, and this project was loaded in its place. Save it now as the project file?",
       .save = "--command Tarnwell --click btnAddGroup"},
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
      // The group of the page with a level off the web, XML files alone and
      // no user: the page that cannot be deleted keeps the old logins. The
      // compile ran: it stamped its time and wrote the project copy.
      {"service-dropped-undeletable",
       [pagesHeld](const fs::path& file) {
         const std::string dropped = DemoWithoutServiceAndUsers(testsupport::ReadFileText(file));
         std::ofstream(file, std::ios::binary) << dropped;
         pagesHeld->emplace(file.parent_path().parent_path() / "SendRoot/WWW", false);
       },
       // The reason: a read-only folder's, or an immutable one's (root's).
       "could not be deleted, so the password file of the last compile was kept: DIAG.XML (",
       nullptr,
       "",
       false,
       {"service-dropped-undeletable/Tarnwell/Demo.webx", "service-dropped-undeletable/Tarnwell/Demo.xml"}},
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
    const std::string verb = c.saveVerb;
    const ProgramRun saved = c.save != nullptr ? halvex(verb + " " + project + " " + c.save) : ProgramRun{0, ""};
    EXPECT_EQ(saved.status, verb == "build" ? 1 : 0) << saved.out;
    const auto projectFiles = TreeBytes(folder, std::string(c.name) + "/Tarnwell");

    const ProgramRun failed = halvex("build " + project + c.arguments);
    EXPECT_EQ(failed.status, 1) << failed.out;
    EXPECT_NE(failed.out.find("ClLinkExtendedProgMap (libtarnwell.so) -> 0x80004005"), std::string::npos);
    EXPECT_NE(failed.out.find(c.reason), std::string::npos) << failed.out;
    if (c.told != nullptr) {
      EXPECT_NE((saved.out + failed.out).find(c.told), std::string::npos) << saved.out << failed.out;
    }
    EXPECT_EQ(testsupport::ChangedFiles(built, TreeBytes(folder, std::string(c.name) + "/SendRoot")),
              std::vector<std::string>());
    EXPECT_EQ(testsupport::ChangedFiles(projectFiles, TreeBytes(folder, std::string(c.name) + "/Tarnwell")), c.made);

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
    pagesHeld->reset();
  }
}

// A picture the pages use that is missing (its file gone, the image folder
// gone or moved away, a folder in the place of the picture or of its copy in
// the output): the load tells which pictures have no file when the last
// compile's copy cannot bring them back, each build fails naming the copy in
// the output as the folder is spelt there, the last good copies stay as they
// were, and the project keeps the pictures, so that once they are back a build
// succeeds with all of them.
TEST(FailedBuild, AMissingPictureFailsTheBuildKeepsItsLastCopyAndStaysInTheProject) {
  testsupport::TempFolder folder("missing-picture-");
  const auto halvex = [&folder](const std::string& arguments) { return Halvex(folder, arguments); };
  const fs::path demoImages = fs::path(TARNWELL_SOURCE_DIR) / "examples/demo/Tarnwell/Images";
  const std::string demoProject = testsupport::ReadFileText(demoImages.parent_path() / "Demo.xml");
  using Step = std::function<void(const fs::path& project)>;
  const Step none = [](const fs::path&) {};
  // The pictures' folder of the output read-only while the cases live.
  const auto imagesHeld = std::make_shared<std::optional<testsupport::ReadOnlyFolders>>();
  const Step pumpBack = [&demoImages](const fs::path& p) {
    fs::remove_all(p / "Tarnwell/Images/pump_on.png");
    fs::copy_file(demoImages / "pump_on.png", p / "Tarnwell/Images/pump_on.png");
  };
  const struct {
    const char* name;
    Step change;
    int builds;                    // failed builds in a row
    const char* named;             // the files the failure names, below SendRoot/WWW/IMAGES/
    const char* told;              // the load's message, or null for none
    const char* reason = nullptr;  // a message of the copy
    Step restore = nullptr;        // then a build succeeds with every picture
  } cases[] = {
      {"folder-removed", [](const fs::path& p) { fs::remove_all(p / "Tarnwell/Images"); }, 1, "pump_off.png, ",
       "lamp_on.png, lamp_off.png, mode_off.png, mode_manual.png, mode_auto.jpg, button_on.png and 2 more."},
      {"folder-away", [](const fs::path& p) { fs::rename(p / "Tarnwell/Images", p / "Images.away"); }, 2,
       "pump_off.png, ",
       "/Tarnwell/Images\" and could not be brought back from the output of its last compile: pump_on.png", nullptr,
       [](const fs::path& p) { fs::rename(p / "Images.away", p / "Tarnwell/Images"); }},
      {"one-picture-lost",
       [](const fs::path& p) {
         fs::remove(p / "Tarnwell/Images/pump_on.png");
         fs::remove(p / "SendRoot/WWW/IMAGES/pump_on.png");
       },
       1, "pump_on.png.", "last compile: pump_on.png. They stay in the project's image list",
       "/Tarnwell/Images/pump_on.png] [Tarnwell] - Cannot copy :\u00A0(No such file or directory)", pumpBack},
      {"folder-for-picture",
       [](const fs::path& p) {
         fs::remove(p / "Tarnwell/Images/pump_on.png");
         fs::create_directory(p / "Tarnwell/Images/pump_on.png");
       },
       1, "pump_on.png.", "last compile: pump_on.png.", "/Tarnwell/Images/pump_on.png is a folder, not a file)",
       pumpBack},
      {"folder-for-copy",
       [](const fs::path& p) {
         fs::remove(p / "SendRoot/WWW/IMAGES/pump_on.png");
         fs::create_directory(p / "SendRoot/WWW/IMAGES/pump_on.png");
       },
       1, "pump_on.png.", nullptr, "/SendRoot/WWW/IMAGES/pump_on.png is a folder, not a file)",
       [](const fs::path& p) { fs::remove(p / "SendRoot/WWW/IMAGES/pump_on.png"); }},
      // The copy is refused by its folder, not by the picture it reads.
      {"images-read-only", [imagesHeld](const fs::path& p) { imagesHeld->emplace(p / "SendRoot/WWW/IMAGES", false); },
       1, "", nullptr, "/SendRoot/WWW/IMAGES\" did not take the copy)",
       [imagesHeld](const fs::path&) { imagesHeld->reset(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path copy = folder.Native(c.name);
    fs::copy(std::string(TARNWELL_SOURCE_DIR) + "/examples/demo", copy, fs::copy_options::recursive);
    const std::string project = "'" + copy.string() + "'";
    ASSERT_EQ(halvex("build " + project).status, 0);
    const std::string images = std::string(c.name) + "/SendRoot/WWW/IMAGES";
    const auto good = TreeBytes(folder, images);
    ASSERT_EQ(good.size(), 14u);
    c.change(copy);
    const auto kept = TreeBytes(folder, images);
    for (int i = 0; i < c.builds; ++i) {
      const ProgramRun failed = halvex("build " + project);
      EXPECT_EQ(failed.status, 1) << failed.out;
      EXPECT_NE(failed.out.find("These files of the compile could not be written: " + copy.string() +
                                "/SendRoot/WWW/IMAGES/" + c.named),
                std::string::npos)
          << failed.out;
      const std::size_t box = failed.out.find("message box \"Warning\": \"These pictures of the project are missing");
      EXPECT_EQ(box != std::string::npos, c.told != nullptr) << failed.out;
      if (c.told != nullptr) {
        EXPECT_NE(failed.out.find(c.told, box), std::string::npos) << failed.out;
      }
      if (c.reason != nullptr) {
        EXPECT_NE(failed.out.find(c.reason), std::string::npos) << failed.out;
      }
      // Each file that failed is named once, however many objects show it.
      std::map<std::string, int> named;
      for (std::size_t at = failed.out.find("\n  compiler: ["); at != std::string::npos;
           at = failed.out.find("\n  compiler: [", at + 1))
        ++named[failed.out.substr(at, failed.out.find('\n', at + 1) - at)];
      for (const auto& [line, count] : named) EXPECT_EQ(count, 1) << line;
      EXPECT_EQ(testsupport::ChangedFiles(kept, TreeBytes(folder, images)), std::vector<std::string>());
    }
    if (c.restore == nullptr) continue;
    c.restore(copy);
    const ProgramRun built = halvex("build " + project);
    EXPECT_EQ(built.status, 0) << built.out;
    EXPECT_EQ(built.out.find("message box"), std::string::npos) << built.out;
    EXPECT_EQ(testsupport::ChangedFiles(good, TreeBytes(folder, images)), std::vector<std::string>());
    const auto pictures = [](const std::string& text) {
      std::size_t count = 0;
      for (std::size_t at = text.find(" longname="); at != std::string::npos; at = text.find(" longname=", at + 1))
        ++count;
      return count;
    };
    EXPECT_EQ(pictures(folder.Read(std::string(c.name) + "/Tarnwell/Demo.xml")), pictures(demoProject));
  }
}

}  // namespace

#endif
