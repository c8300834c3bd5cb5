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
//
// With a save between the deletion and the build (halvex open, a group added
// in the designer and saved, as a user starts anew; also with the project set
// to compile XML files alone), a good build may change the logins, but it
// leaves no page with a level that it does not own: each is named by the
// stamp list it wrote. A designer run that the user ends without saving (a
// delete declined) keeps the logins as a build alone does.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/host/InProcessBuild.h"
#include "tests/host/ProgramRun.h"
#include "tests/support/FileTree.h"
#include "tests/support/ReadOnlyEntries.h"
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
// objects and their pictures). Scanned by hand: std::regex in the tests'
// unoptimised code took most of the sweep's time.
std::string WithoutCompileStamps(std::string text) {
  for (std::size_t at = text.find("<page "), close; at != std::string::npos; at = text.find("<page ", close)) {
    close = text.find('>', at);
    if (close == std::string::npos) break;
    while (at < close) {  // each stamp in the tag, from left to right
      std::size_t end = std::string::npos;
      for (const char* stamp : {" ucid=\"", " width=\"", " height=\""})
        if (text.compare(at, std::strlen(stamp), stamp) == 0) end = text.find('"', at + std::strlen(stamp));
      if (end > close) {
        ++at;
        continue;
      }
      text.erase(at, end + 1 - at);
      close -= end + 1 - at;
    }
  }
  return text;
}

// What happens between a deletion and the build.
enum class Between {
  kNothing,
  kSave,            // the designer saves the project with a group added
  kSaveXmlOnly,     // and the saved project compiles XML files alone
  kDeclinedDelete,  // the designer opens, a delete is declined, nothing is saved by the user
};

class DeletionSweep : public InProcessBuild {
 protected:
  bool Built(bool designerOpen) { return BuildOnce({.designerOpen = designerOpen}).Succeeded(); }

  // The first build, then a build after each deletion from a copy of the
  // first build's files.
  void Sweep(const std::string& layout, bool designerOpen, Between between = Between::kNothing) {
    const bool saveBetween = between == Between::kSave || between == Between::kSaveXmlOnly;
    ASSERT_TRUE(Built(false)) << layout;
    const std::vector<fs::path> targets = KeepGood();
    const fs::path good = Good();
    const Tree web = Files(good / "Tarnwell"), output = Files(good / "SendRoot");
    const std::map<std::string, int> levels = PageLevels(output);
    ASSERT_EQ(levels.at("WWW/DIAG.XML"), 5);
    int refused = 0;
    for (const fs::path& entry : targets) {
      const fs::path target = entry.empty() ? Web() : Web() / entry;
      const std::string name = layout + ": " + fs::relative(target, project).generic_string();
      fs::remove_all(Web());
      fs::remove_all(Output());
      fs::copy(good / "Tarnwell", Web(), fs::copy_options::recursive | fs::copy_options::copy_symlinks);
      fs::copy(good / "SendRoot", Output(), fs::copy_options::recursive);
      fs::remove_all(target);
      if (between != Between::kNothing) {
        const ProgramRun saved = Halvex("open '" + project + "' --command Tarnwell " +
                                        (saveBetween ? "--click btnAddGroup --click btnSave2"
                                                     : "--click btnDeletePage --answer 'sure to delete=no'"));
        // A save refused over a page file that is missing fails the close.
        EXPECT_LE(saved.status, 1) << name << "\n" << saved.out;
        if (between == Between::kSaveXmlOnly) SetXmlOnly(Web() / "Demo.xml");
      }
      const std::size_t messages = host.Messages().All().size(), boxes = Driver::MessageBoxes().size();
      const bool succeeded = Built(designerOpen);
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
      if (!succeeded && !notWritten) {  // refused: the output is as it was
        EXPECT_TRUE(after == output) << name << ": a refused build changed the output";
      } else if (saveBetween) {
        CheckOwnedLevels(name, after);
      } else {
        CheckLogins(name, output, levels, after, succeeded);
      }
      if (!saveBetween) CheckUserFiles(name, web, target, told);
      if (target.filename() == "web.xml") {
        EXPECT_TRUE(std::any_of(shown.begin() + boxes, shown.end(), [](const MessageBoxRecord& box) {
          return box.text.find(
                     "Demo.xml\" was loaded instead. A compile writes that file as a copy of the project, "
                     "and then changes saved after that compile are not in it; a save writes it when the "
                     "project was started anew in that one file") != std::string::npos;
        })) << name;
      }
      if (!succeeded) {
        EXPECT_GT(host.Messages().All().size(), messages) << name << ": failed without a reason";
      }
    }
    std::cout << "deletion sweep, " << layout << ": " << targets.size() << " cases, " << refused << " refused\n";
  }

  // A build that failed at files it could not write kept every file of the
  // last build; a good one left every picture its pages refer to. Both kept
  // the users of the password file and every page with its level.
  static void CheckLogins(const std::string& name, const Tree& output, const std::map<std::string, int>& levels,
                          const Tree& after, bool succeeded) {
    for (const auto& [file, bytes] : after) {
      if (!succeeded || file.find("/IMAGES/") != std::string::npos) continue;
      for (std::size_t at = bytes.find("IMAGES/"); at != std::string::npos; at = bytes.find("IMAGES/", at + 1)) {
        const std::size_t end =
            bytes.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.-", at + 7);
        const std::string picture = bytes.substr(at + 7, end - (at + 7));
        if (picture.empty()) continue;
        EXPECT_TRUE(after.count("WWW/IMAGES/" + picture)) << name << ": " << file << " shows IMAGES/" << picture;
        at = end - 1;
      }
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

  // The flag as the global settings store it: the first child of `web`.
  static void SetXmlOnly(const fs::path& file) {
    if (!fs::is_regular_file(file)) return;
    std::string text = testsupport::ReadFileText(file);
    const std::size_t web = text.find("<web ");
    ASSERT_NE(web, std::string::npos) << file;
    text.insert(text.find('>', web) + 1, "<OnlyXml />");
    std::ofstream(file, std::ios::binary) << text;
  }

  // A build left no page with a level beside its password file that its
  // stamp list does not name.
  void CheckOwnedLevels(const std::string& name, const Tree& after) const {
    std::string listed = testsupport::ReadFileText(Web() / "Demo.txt");
    std::transform(listed.begin(), listed.end(), listed.begin(), [](unsigned char c) { return std::toupper(c); });
    for (auto [page, level] : PageLevels(after)) {
      std::string key = page.substr(std::char_traits<char>::length("WWW/"));
      std::replace(key.begin(), key.end(), '/', '\\');
      const bool named = listed.rfind(key + ",", 0) == 0 || listed.find("\n" + key + ",") != std::string::npos;
      EXPECT_TRUE(level <= 0 || named) << name << ": " << page << " asks for level " << level
                                       << " and is not the build's";
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
};

// The project takes the group of the page with a level off the web, compiles
// its XML files alone and names no user any more: the build (the designer's
// compile, or the build's driver alone) deletes the page it dropped before it
// writes the password file without users, and says so; one that cannot delete
// the page fails, says why and keeps the old password file beside it.
TEST_F(DeletionSweep, ALevelPageTheProjectDroppedGoesBeforeItsLogins) {
  const std::string deleted = "so they were deleted before the new password file was written: ";
  const std::string kept = "could not be deleted, so the password file of the last compile was kept: ";
  const struct {
    const char* name;
    bool driverAlone;               // without the marker file only the build's driver compiles
    std::string undeletable = {};   // the dropped page that cannot be deleted
    bool imported = false;          // the import folder drops its page too
    std::string gone = "DIAG.XML";  // the pages the build says it deleted
  } cases[] = {{"the designer's compile", false},
               {"the driver alone", true},
               {"undeletable", false, "DIAG.XML", false, ""},
               {"undeletable, the driver alone", true, "DIAG.XML", false, ""},
               {"imported", false, "", true, "DIAG.XML, sub/SECRET.XML"},
               {"imported undeletable, the driver alone", true, "sub/SECRET.XML", true}};
  fs::create_directories(Web() / "Import/sub");
  std::ofstream(Web() / "Import/sub/SECRET.XML") << "<PAGE><ACCESS PAGE_LEVEL=\"4\" /></PAGE>\n";
  ASSERT_TRUE(Built(false)) << messages;
  KeepGood();
  const std::string logins = testsupport::ReadFileText(Output() / "PSW.TXT");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(Web());
    fs::remove_all(Output());
    fs::copy(Good() / "Tarnwell", Web(), fs::copy_options::recursive);
    fs::copy(Good() / "SendRoot", Output(), fs::copy_options::recursive);
    const std::string dropped = DemoWithoutServiceAndUsers(testsupport::ReadFileText(Web() / "Demo.xml"));
    ASSERT_FALSE(dropped.empty());
    std::ofstream(Web() / "Demo.xml", std::ios::binary) << dropped;
    if (c.driverAlone) fs::remove(Web() / "Demo.auto");
    if (c.imported) fs::remove_all(Web() / "Import");
    std::optional<testsupport::UndeletableFile> held;
    if (!c.undeletable.empty()) held.emplace(Output() / "WWW" / c.undeletable);
    if (held && !held->Holds()) GTEST_SKIP() << "no file can be made undeletable here";
    const std::size_t earlier = host.Messages().All().size();
    const bool succeeded = Built(false);
    held.reset();
    std::string said;  // this build's messages
    const std::vector<HostMessageLine> lines = host.Messages().All();
    for (std::size_t i = earlier; i < lines.size(); ++i) said += lines[i].text + " " + lines[i].source + "\n";
    EXPECT_EQ(succeeded, c.undeletable.empty()) << messages;
    EXPECT_EQ(said.find(c.gone.empty() ? deleted : deleted + c.gone + ".") != std::string::npos, !c.gone.empty())
        << said;
    EXPECT_EQ(said.find(kept + c.undeletable + " (") != std::string::npos, !c.undeletable.empty()) << said;
    if (!c.undeletable.empty()) {
      // The page that stayed is told as a delete that failed, not as a file not written.
      EXPECT_NE(said.find("Cannot delete the file of the last compile ("), std::string::npos) << said;
      EXPECT_EQ(said.find("Cannot create"), std::string::npos) << said;
    }
    EXPECT_EQ(fs::exists(Output() / "WWW/DIAG.XML"), c.undeletable == "DIAG.XML");
    EXPECT_EQ(fs::exists(Output() / "WWW/sub/SECRET.XML"), !c.imported || !c.undeletable.empty());
    EXPECT_EQ(testsupport::ReadFileText(Output() / "PSW.TXT") == logins, !c.undeletable.empty());
  }
}

TEST_F(DeletionSweep, SingleFile) { Sweep("single file", false); }

TEST_F(DeletionSweep, SingleFileWithTheDesignerOpen) { Sweep("single file, designer open", true); }

TEST_F(DeletionSweep, SplitLayout) {
  ASSERT_NO_FATAL_FAILURE(MakeSplit());
  Sweep("split layout", false);
}

TEST_F(DeletionSweep, SingleFileWithASaveBetween) { Sweep("single file, a save between", false, Between::kSave); }

// The close saves no lost project the user did not save: the logins stay.
TEST_F(DeletionSweep, SingleFileWithADeclinedDeleteBetween) {
  Sweep("single file, a declined delete between", false, Between::kDeclinedDelete);
}

TEST_F(DeletionSweep, SingleFileWithASaveOfXmlAloneBetween) {
  Sweep("single file, a save of XML alone between", false, Between::kSaveXmlOnly);
}

TEST_F(DeletionSweep, SplitLayoutWithASaveBetween) {
  ASSERT_NO_FATAL_FAILURE(MakeSplit());
  Sweep("split layout, a save between", false, Between::kSave);
}

}  // namespace

#endif
