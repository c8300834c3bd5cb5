// After a good host build of the demo (the single file, and a split-layout
// copy that the designer saved), each file and each folder of the web project
// is deleted in turn and the project built again (also with the designer
// open, which makes even a project without files compile), with the built
// plug-in installed in this process. After each: the pages that asked for a login
// still do (the password file keeps its users and every page its level, or
// the build was refused and left the output as it was), the user's files
// that were not deleted are as they were unless the build said why, and the
// build's result is true: a failed build names its reason in the host's
// messages (one that failed at files it could not write may have written the
// others, and keeps every file of the last build), a good one wrote every page
// and left every picture its pages refer to.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "host/sim/HostAnswers.h"
#include "host/sim/HostMenu.h"
#include "tests/host/InProcessBuild.h"
#include "tests/host/ProgramRun.h"
#include "tests/support/FileTree.h"
#include "tests/support/WriteFaultSweep.h"

#if defined(TARNWELL_PLUGIN_PATH) && defined(TARNWELL_HALVEX_PATH)

namespace {

namespace fs = std::filesystem;

// Every file below `root` with its bytes, by its path relative to `root`.
using Tree = std::map<std::string, std::string>;

Tree Files(const fs::path& root) { return testsupport::ReadFileTree(root); }

// The level each data page of the output asks for ("WWW/NAME.XML" ->
// PAGE_LEVEL); -1 for a page without one.
std::map<std::string, int> PageLevels(const Tree& sendRoot) {
  std::map<std::string, int> levels;
  for (const auto& [name, bytes] : sendRoot) {
    if (!name.ends_with(".XML") || name.rfind("WWW/", 0) != 0 || name.find("/IMAGES/") != std::string::npos) continue;
    const std::size_t at = bytes.find("PAGE_LEVEL=\"");
    levels[name] = at == std::string::npos ? -1 : std::stoi(bytes.substr(at + 12));
  }
  return levels;
}

// A project file without what a compile keeps in it of its own: the pages'
// change stamps (`ucid`, renewed when the variables document is gone) and the
// extents of the page the designer showed (`width`, `height`, taken from its
// objects and their pictures).
std::string WithoutCompileStamps(const std::string& text) {
  static const std::regex pageTag("<page [^>]*>");
  static const std::regex stamp(" (ucid|width|height)=\"[^\"]*\"");
  std::string result;
  auto last = text.cbegin();
  for (std::sregex_iterator it(text.begin(), text.end(), pageTag), end; it != end; ++it) {
    result.append(last, (*it)[0].first);
    result += std::regex_replace((*it)[0].str(), stamp, "");
    last = (*it)[0].second;
  }
  return result.append(last, text.cend());
}

class DeletionSweep : public InProcessBuild {
 protected:
  // The demo made split as a user makes it: "web.xml" beside the project
  // file, and a change saved by the designer, which writes the page files.
  void MakeSplit() {
    fs::copy_file(Web() / "Demo.xml", Web() / "web.xml");
    const std::string home = project + "/home";
    const auto halvex = [&home](const std::string& arguments) {
      return RunProgram("HALVEX_HOME='" + home + "' '" + TARNWELL_HALVEX_PATH + "' " + arguments);
    };
    ASSERT_EQ(halvex("register '" + std::string(TARNWELL_PLUGIN_PATH) + "'").status, 0);
    const ProgramRun saved =
        halvex("open '" + project + "' --command Tarnwell --click btnPageDown --click btnPageUp --click btnSave2");
    ASSERT_EQ(saved.status, 0) << saved.out;
    fs::remove_all(home);
    ASSERT_TRUE(fs::is_regular_file(Web() / "pages/DIAG.XML")) << saved.out;
  }

  // One build from the files alone; true when it succeeded. With the
  // designer opened first (the plug-in's menu command), its question whether
  // to compile the web pages with the project is answered Yes.
  bool BuildOnce(bool designerOpen) {
    OpenEvents();
    bool succeeded = false;
    if (designerOpen) {
      for (const HostMenuCommand& command : host.Menu().Commands())
        if (command.name == "Tarnwell" && command.item != nullptr) command.item->Click();
      Application->ProcessMessages();
      const std::vector<HostAnswer> yes = {{"compile web pages", "yes", {}}};
      HostAnswerScope answers(yes);
      succeeded = Build().Succeeded();
    } else {
      succeeded = Build().Succeeded();
    }
    CloseEvents();
    return succeeded;
  }

  // The first build, then a build after each deletion from a copy of the
  // first build's files.
  void Sweep(const std::string& layout, bool designerOpen) {
    ASSERT_TRUE(BuildOnce(false)) << layout;
    const fs::path good = fs::path(project).parent_path() / (fs::path(project).filename().string() + "-good");
    fs::remove_all(good);
    fs::create_directories(good);
    fs::copy(Web(), good / "Tarnwell", fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    fs::copy(Output(), good / "SendRoot", fs::copy_options::recursive);
    const Tree web = Files(good / "Tarnwell"), output = Files(good / "SendRoot");
    const std::map<std::string, int> levels = PageLevels(output);
    ASSERT_EQ(levels.at("WWW/DIAG.XML"), 5);
    std::vector<fs::path> targets = {Web()};
    for (const auto& entry : fs::recursive_directory_iterator(good / "Tarnwell"))
      targets.push_back(Web() / fs::relative(entry.path(), good / "Tarnwell"));
    int refused = 0;
    for (const fs::path& target : targets) {
      const std::string name = layout + ": " + fs::relative(target, project).generic_string();
      fs::remove_all(Web());
      fs::remove_all(Output());
      fs::copy(good / "Tarnwell", Web(), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
      fs::copy(good / "SendRoot", Output(), fs::copy_options::recursive);
      fs::remove_all(target);
      const std::size_t messages = host.Messages().All().size(), boxes = Driver::MessageBoxes().size();
      const bool succeeded = BuildOnce(designerOpen);
      const std::vector<MessageBoxRecord> shown = Driver::MessageBoxes();
      // The question whether to compile with the project tells nothing.
      const bool told = host.Messages().All().size() > messages ||
                        std::any_of(shown.begin() + boxes, shown.end(), [](const MessageBoxRecord& box) {
                          return box.text.find("compile web pages during project compilation") == std::string::npos;
                        });
      const Tree after = Files(Output());
      refused += succeeded ? 0 : 1;
      bool notWritten = false;
      for (const HostMessageLine& line : host.Messages().All())
        notWritten = notWritten || line.text.find("Cannot create :") != std::string::npos;
      CheckLogins(name, output, levels, after, succeeded, notWritten);
      CheckUserFiles(name, web, target, told);
      if (target.filename() == "web.xml") {
        EXPECT_TRUE(std::any_of(shown.begin() + boxes, shown.end(), [](const MessageBoxRecord& box) {
          return box.text.find("Demo.xml\", the copy of the project that its last compile wrote, was loaded instead") !=
                 std::string::npos;
        })) << name;
      }
      if (!succeeded) {
        EXPECT_GT(host.Messages().All().size(), messages) << name << ": failed without a reason";
      }
    }
    fs::remove_all(good);
    std::cout << "deletion sweep, " << layout << ": " << targets.size() << " cases, " << refused << " refused\n";
  }

  // A refused build left the output as it was; one that failed at files it
  // could not write kept every file of the last build; a good one left every
  // picture its pages refer to. Both kept the users of the password file and
  // every page with its level.
  static void CheckLogins(const std::string& name, const Tree& output, const std::map<std::string, int>& levels,
                          const Tree& after, bool succeeded, bool notWritten) {
    if (!succeeded && !notWritten) {
      EXPECT_TRUE(after == output) << name << ": a refused build changed the output";
      return;
    }
    static const std::regex picture("IMAGES/([A-Za-z0-9_.-]+)");
    for (const auto& [file, bytes] : after) {
      if (!succeeded || file.find("/IMAGES/") != std::string::npos) continue;
      for (std::sregex_iterator it(bytes.begin(), bytes.end(), picture), end; it != end; ++it)
        EXPECT_TRUE(after.count("WWW/IMAGES/" + (*it)[1].str())) << name << ": " << file << " shows " << (*it)[0];
    }
    for (const auto& [file, bytes] : output)
      EXPECT_TRUE(succeeded || after.count(file)) << name << ": " << file << " is gone";
    EXPECT_TRUE(after.count("PSW.TXT") && after.at("PSW.TXT") == output.at("PSW.TXT")) << name << ": PSW.TXT";
    const std::map<std::string, int> now = PageLevels(after);
    for (const auto& [page, level] : levels) {
      ASSERT_TRUE(now.count(page)) << name << ": " << page << " is gone";
      EXPECT_EQ(now.at(page), level) << name << ": " << page;
    }
  }

  // The user's files that were not deleted are as they were, or the build
  // said something. The compile writes the project file anew (in the split
  // layout its copy) from what the designer loaded.
  void CheckUserFiles(const std::string& name, const Tree& web, const fs::path& target, bool told) const {
    const Tree now = Files(Web());
    for (const auto& [file, bytes] : web) {
      const fs::path path = Web() / file;
      const bool deleted = path == target || fs::relative(path, target).native().rfind("..", 0) != 0;
      if (deleted || !writefault::IsUserFile(file) || file.ends_with(".webx")) continue;
      const bool same = now.count(file) && WithoutCompileStamps(now.at(file)) == WithoutCompileStamps(bytes);
      EXPECT_TRUE(told || same) << name << ": " << file << " changed silently";
    }
  }

  fs::path Web() const { return fs::path(project) / "Tarnwell"; }
  fs::path Output() const { return fs::path(project) / "SendRoot"; }
};

TEST_F(DeletionSweep, SingleFile) { Sweep("single file", false); }

TEST_F(DeletionSweep, SingleFileWithTheDesignerOpen) { Sweep("single file, designer open", true); }

TEST_F(DeletionSweep, SplitLayout) {
  MakeSplit();
  Sweep("split layout", false);
}

}  // namespace

#endif
