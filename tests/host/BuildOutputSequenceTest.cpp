// Sequences of the host's builds of the demo, with the built plug-in
// installed in this process: what one build leaves in the output folder never
// makes a later one fail or keep a stale name. A user's script copy replaces
// the file of an earlier compile after a data-pages-only build and after a
// lost stamp list; a page or picture renamed in letter case only takes its new
// spelling on disk. A picture's copy that the project no longer uses and that
// cannot be deleted is named as the disk spells it, with the reason, and stays
// in the stamp list until a later build deletes it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/host/InProcessBuild.h"
#include "tests/support/FileTree.h"
#include "tests/support/ReadOnlyEntries.h"

#if defined(TARNWELL_PLUGIN_PATH)

namespace {

namespace fs = std::filesystem;

using testsupport::ReadFileText;

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// Every `from` in the file becomes `to`.
void Replace(const fs::path& path, const std::string& from, const std::string& to) {
  std::string text = ReadFileText(path);
  ASSERT_NE(text.find(from), std::string::npos) << from;
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  WriteText(path, text);
}

class BuildOutputSequence : public InProcessBuild {
 protected:
  void SetUp() override {
    InProcessBuild::SetUp();
    // The host's program lies in "bin" of the project's folder: its scripts
    // folder is the project's own "SCRIPTS".
    fs::create_directories(fs::path(project) / "bin");
    Application->SetExeName(project + "/bin/halvex");
    const char* argv[] = {"halvex"};
    library.setHostCommandLine(1, argv);
  }

  fs::path Pages() const { return Output() / "WWW"; }
  fs::path ProjectFile() const { return fs::path(project) / "Tarnwell" / "Demo.xml"; }

  // The paths the stamp list names.
  std::set<std::string> Listed() const {
    std::set<std::string> keys;
    std::ifstream in(fs::path(project) / "Tarnwell" / "Demo.txt");
    for (std::string line; std::getline(in, line);) keys.insert(line.substr(0, line.find(',')));
    return keys;
  }

  // The names in a folder of the output.
  std::set<std::string> Names(const fs::path& folder) const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
  }
};

TEST_F(BuildOutputSequence, AUserScriptCopyReplacesTheLastCompilesAfterADataPagesBuildAndALostStampList) {
  Replace(ProjectFile(), "name=\"OVERVIEW.XML\"", "name=\"OVERVIEW.XML\" jsonmap=\"true\"");
  const fs::path userCopy = fs::path(project) / "SCRIPTS" / "VORN_VAR.JS";
  const fs::path client = Pages() / "JS" / "VORN_VAR.JS";
  WriteText(userCopy, "// the user's client 1\n");
  ASSERT_TRUE(BuildOnce().Succeeded()) << messages;
  EXPECT_EQ(ReadFileText(client), "// the user's client 1\n");
  const std::set<std::string> full = Listed();
  ASSERT_EQ(full.count("JS\\VORN_VAR.JS"), 1u);

  // A build of the data pages only keeps every file of the last full compile
  // listed, so that the next one replaces or deletes it.
  Replace(ProjectFile(), "<globalset", "<OnlyXml />\n\t<globalset");
  ASSERT_TRUE(BuildOnce().Succeeded()) << messages;
  const std::set<std::string> dataPagesOnly = Listed();
  for (const std::string& key : full) EXPECT_EQ(dataPagesOnly.count(key), 1u) << key;

  Replace(ProjectFile(), "<OnlyXml />", "");
  const struct {
    const char* step;
    bool loseStampList;
  } steps[] = {{"full build after the data pages", false}, {"after a lost stamp list", true}, {"again", false}};
  int round = 2;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.step);
    if (step.loseStampList) fs::remove(fs::path(project) / "Tarnwell" / "Demo.txt");
    const std::string text = "// the user's client " + std::to_string(round++) + "\n";
    WriteText(userCopy, text);
    EXPECT_TRUE(BuildOnce().Succeeded()) << messages;
    EXPECT_EQ(ReadFileText(client), text);
    EXPECT_EQ(Listed(), full);
  }
}

TEST_F(BuildOutputSequence, APageAndAPictureRenamedInLetterCaseOnlyTakeTheirNewSpelling) {
  ASSERT_TRUE(BuildOnce().Succeeded()) << messages;
  Replace(ProjectFile(), "name=\"DIAG.XML\"", "name=\"diag.xml\"");
  Replace(ProjectFile(), "pump_on.png", "Pump_On.png");
  fs::rename(fs::path(project) / "Tarnwell" / "Images" / "pump_on.png",
             fs::path(project) / "Tarnwell" / "Images" / "Pump_On.png");
  ASSERT_TRUE(BuildOnce().Succeeded()) << messages;
  const std::set<std::string> web = Names(Pages());
  for (const char* name : {"diag.xml", "diag.xSl", "diag.JS"}) EXPECT_EQ(web.count(name), 1u) << name;
  for (const char* name : {"DIAG.XML", "DIAG.XSL", "DIAG.JS"}) EXPECT_EQ(web.count(name), 0u) << name;
  const std::set<std::string> images = Names(Pages() / "IMAGES");
  EXPECT_EQ(images.count("Pump_On.png"), 1u);
  EXPECT_EQ(images.count("pump_on.png"), 0u);
  EXPECT_EQ(ReadFileText(Pages() / "IMAGES" / "Pump_On.png"),
            ReadFileText(fs::path(project) / "Tarnwell" / "Images" / "Pump_On.png"));
  const std::set<std::string> listed = Listed();
  for (const char* key : {"diag.xml", "images\\Pump_On.png"}) EXPECT_EQ(listed.count(key), 1u) << key;
}

TEST_F(BuildOutputSequence, ACopyThatCannotBeDeletedIsNamedAndStaysListedUntilItIsGone) {
  ASSERT_TRUE(BuildOnce().Succeeded()) << messages;
  // The page "Settings" alone shows the picture button_off.bmp.
  std::string text = ReadFileText(ProjectFile());
  const std::size_t page = text.find("<page caption=\"Settings\"");
  ASSERT_NE(page, std::string::npos);
  text.erase(page, text.find("</page>", page) + std::char_traits<char>::length("</page>") - page);
  WriteText(ProjectFile(), text);
  const fs::path copy = Pages() / "IMAGES" / "button_off.bmp";
  std::optional<testsupport::UndeletableFile> held(copy);
  if (!held->Holds()) GTEST_SKIP() << "no file can be made undeletable here";
  const bool built = BuildOnce().Succeeded();
  held.reset();
  EXPECT_TRUE(built) << messages;
  EXPECT_NE(messages.find(
                "[Tarnwell] - Cannot delete the file of the last compile (Operation not permitted); it stays listed, "
                "so that the next compile deletes it:\xA0 " +
                copy.string() + "\n"),
            std::string::npos)
      << messages;
  EXPECT_EQ(Listed().count("images\\button_off.bmp"), 1u);
  ASSERT_TRUE(BuildOnce().Succeeded()) << messages;
  EXPECT_FALSE(fs::exists(copy));
  EXPECT_EQ(Listed().count("images\\button_off.bmp"), 0u);
}

}  // namespace

#endif
