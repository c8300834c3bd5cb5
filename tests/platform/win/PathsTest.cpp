#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/win/CodePage.h"
#include "platform/win/FileIo.h"
#include "platform/win/Paths.h"
#include "platform/win/Resources.h"

namespace fs = std::filesystem;

namespace {

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("tw-paths-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST_F(TempDir, BackslashPathsResolveWithoutRegardToCase) {
  fs::create_directories(dir / "Tarnwell" / "Images");
  std::ofstream(dir / "Tarnwell" / "Images" / "Logo.PNG") << "x";
  std::string sys = dir.string() + "\\TARNWELL\\images\\logo.png";
  EXPECT_EQ(ToNativePath(sys), (dir / "Tarnwell" / "Images" / "Logo.PNG").string());
  // A new entry keeps the case the caller wrote, below an existing folder's real case.
  EXPECT_EQ(ToNativePath(dir.string() + "\\tarnwell\\New\\a.xml"), (dir / "Tarnwell" / "New" / "a.xml").string());
  // A trailing separator stays.
  EXPECT_EQ(ToNativePath(dir.string() + "\\tarnwell\\"), (dir / "Tarnwell").string() + "/");
  // Runs of separators become one; "." and ".." stay as written; a path that
  // exists as written, or a new name in a folder that does, is found as well.
  const std::string d = dir.string();
  const struct {
    std::string asked;
    std::string found;
  } rows[] = {
      {d + "\\Tarnwell//Images\\\\Logo.PNG", d + "/Tarnwell/Images/Logo.PNG"},
      {d + "\\Tarnwell\\Images\\", d + "/Tarnwell/Images/"},
      {d + "\\Tarnwell\\Images\\NEW.png", d + "/Tarnwell/Images/NEW.png"},
      {d + "\\Tarnwell\\Images\\LOGO.png\\", d + "/Tarnwell/Images/Logo.PNG/"},
      {d + "\\tarnwell\\images\\..", d + "/Tarnwell/Images/.."},
      {d + "\\tarnwell\\.\\IMAGES\\logo.png", d + "/Tarnwell/./Images/Logo.PNG"},
      {d + "\\tarnwell\\new\\..\\images", d + "/Tarnwell/new/../images"},
  };
  for (const auto& row : rows) EXPECT_EQ(ToNativePath(row.asked), row.found) << row.asked;
}

// Another program changes the folders between two look-ups: each look-up
// sees the folder as it is then.
TEST_F(TempDir, LookUpsSeeWhatAnotherProgramChangedSinceTheLastOne) {
  const struct {
    const char* command;  // run by the shell in `dir`
    const char* asked;    // below `dir`, as the system writes it
    const char* found;    // below `dir`
  } steps[] = {
      {"mkdir Web", "web\\a.xml", "Web/a.xml"},
      {"touch Web/A.XML", "web\\a.xml", "Web/A.XML"},
      {"mv Web/A.XML Web/Page.xml", "web\\a.xml", "Web/a.xml"},
      {"true", "WEB\\PAGE.XML", "Web/Page.xml"},
      {"rm Web/Page.xml", "web\\page.xml", "Web/page.xml"},
      {"mkdir Web/Sub && touch Web/Sub/X.TXT", "web\\sub\\x.txt", "Web/Sub/X.TXT"},
      // The folder replaced by another of the same name, and one renamed onto its path.
      {"rm -r Web && mkdir Web && touch Web/B.XML", "web\\b.xml", "Web/B.XML"},
      {"mv Web Old && mkdir -p Web && touch Web/C.XML", "web\\b.xml", "Web/b.xml"},
      {"true", "web\\c.xml", "Web/C.XML"},
      {"rm -r Web && mv Old Web", "web\\b.xml", "Web/B.XML"},
      // More changes since the last look-up than one read of the kernel's queue takes.
      {"for i in $(seq 1200); do : > Web/file$i; done && touch Web/LAST.TXT", "Web\\last.txt", "Web/LAST.TXT"},
      // A name below a file, and below a link that leads nowhere.
      {"touch Web/Plain && ln -s Missing Web/Dangling", "web\\plain\\x.txt", "Web/Plain/x.txt"},
      {"true", "web\\dangling\\x.txt", "Web/Dangling/x.txt"},
  };
  for (const auto& step : steps) {
    ASSERT_EQ(std::system(("cd '" + dir.string() + "' && " + step.command).c_str()), 0) << step.command;
    EXPECT_EQ(ToNativePath(dir.string() + "\\" + step.asked), (dir / step.found).string()) << step.command;
  }
}

// Look-ups in more folders than are kept, more changes between two look-ups
// than the kernel queues, a child made by fork: each look-up still sees the
// folder as it is.
TEST_F(TempDir, LookUpsStayTrueBeyondTheKeptFoldersTheQueuedChangesAndAFork) {
  const auto asked = [&](const std::string& relative) { return ToNativePath(dir.string() + "\\" + relative); };
  for (int i = 0; i < 300; ++i) {
    fs::create_directories(dir / ("F" + std::to_string(i)));
    asked("f" + std::to_string(i) + "\\x.txt");
  }
  std::ofstream(dir / "F0" / "X.TXT") << "x";
  EXPECT_EQ(asked("f0\\x.txt"), (dir / "F0" / "X.TXT").string());

  std::ifstream limit("/proc/sys/fs/inotify/max_queued_events");
  int queued = 0;
  limit >> queued;
  std::ofstream(dir / "F299" / "a") << "x";
  for (int i = 0; i <= queued / 2; ++i) {
    fs::rename(dir / "F299" / "a", dir / "F299" / "b");
    fs::rename(dir / "F299" / "b", dir / "F299" / "a");
  }
  std::ofstream(dir / "F299" / "X.TXT") << "x";
  EXPECT_EQ(asked("f299\\x.txt"), (dir / "F299" / "X.TXT").string());

  const pid_t child = ::fork();
  if (child == 0) {
    std::ofstream(dir / "F298" / "C.TXT") << "x";
    ::_exit(asked("f298\\c.txt") == (dir / "F298" / "C.TXT").string() ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(asked("f298\\c.txt"), (dir / "F298" / "C.TXT").string());
}

TEST(SafeNames, RefuseWhatLeavesTheFolder) {
  EXPECT_TRUE(IsSafeFileName("logo.png"));
  for (const char* bad : {"", ".", "..", "a/b", "a\\b", "C:x", "/etc"}) EXPECT_FALSE(IsSafeFileName(bad)) << bad;
  EXPECT_TRUE(IsSafeRelativePath("pages\\p1.xml"));
  EXPECT_TRUE(IsSafeRelativePath("Images/a.png"));
  for (const char* bad : {"", "\\x", "/x", "a\\..\\b", "..", "a\\\\b", "C:\\x"})
    EXPECT_FALSE(IsSafeRelativePath(bad)) << bad;
}

// Names as the file system holds them (UTF-8) and as texts in a code page,
// both ways; a path shown on the screen in the ANSI code page.
TEST(FileNameTexts, ConvertAtTheFileSystemBoundary) {
  const struct {
    const char* name;  // UTF-8
    UINT codePage;
    const char* text;
    bool held;
  } rows[] = {
      {"\u010Cerpadlo.png", 1250, "\xC8\x65rpadlo.png", true},
      {"\u010Cerpadlo.png", 1252, "?erpadlo.png", false},
      {"Gr\u00FC\u00DF\x65", 1252, "Gr\xFC\xDF\x65", true},
      {"logo.png", 1251, "logo.png", true},
  };
  for (const auto& row : rows) {
    bool held = !row.held;
    EXPECT_EQ(TextOfFileName(row.name, row.codePage, &held), row.text) << row.name << " " << row.codePage;
    EXPECT_EQ(held, row.held) << row.name << " " << row.codePage;
    if (row.held) {
      EXPECT_EQ(FileNameOfText(row.text, row.codePage), row.name);
    }
  }
  // A name that is no UTF-8 is taken as it stands.
  EXPECT_EQ(TextOfFileName("\xC8\x65rpadlo", 1250), "\xC8\x65rpadlo");

  const UINT saved = GetACP();
  SetAnsiCodePage(1250);
  EXPECT_EQ(ShownPath("/tmp/\u010Derpac\u00ED stanice\\SendRoot\\WWW\\"),
            "/tmp/\xE8\x65rpac\xED stanice/SendRoot/WWW/");
  // A text in the code page already keeps its bytes.
  EXPECT_EQ(ShownPath("/tmp/\xE8\x65rpac\xED stanice\\SendRoot"), "/tmp/\xE8\x65rpac\xED stanice/SendRoot");
  SetAnsiCodePage(saved);
}

TEST_F(TempDir, ReplacingWriteKeepsOldFileOnFailureAndReplacesOnSuccess) {
  std::string file = (dir / "web.xml").string();
  ASSERT_TRUE(WriteFileReplacing(file, "old", 3));
  std::string text;
  ASSERT_TRUE(ReadWholeFile(file, text));
  EXPECT_EQ(text, "old");
  ASSERT_TRUE(WriteFileReplacing(file, "newer", 5));
  ASSERT_TRUE(ReadWholeFile(file, text));
  EXPECT_EQ(text, "newer");
  // No temporary file is left beside it.
  int count = 0;
  for (auto& e : fs::directory_iterator(dir)) (void)e, ++count;
  EXPECT_EQ(count, 1);
  // A folder that does not exist: the write fails and nothing appears.
  EXPECT_FALSE(WriteFileReplacing((dir / "missing" / "x.xml").string(), "a", 1));
  EXPECT_FALSE(ReadWholeFile((dir / "missing" / "x.xml").string(), text));
  EXPECT_EQ(text, "newer");
  // A pipe holds no text: refused at once, not waited for.
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(ReadWholeFile((dir / "pipe").string(), text));
  EXPECT_EQ(errno, EINVAL);
  EXPECT_EQ(text, "newer");
}

TEST_F(TempDir, InPlaceWriteTruncatesAnOlderLongerFileAndFindsItWithoutCase) {
  ASSERT_TRUE(WriteFileReplacing((dir / "PAGE1.XML").string(), "a longer old page", 17));
  // Written through another letter case: the existing file is rewritten whole.
  ASSERT_TRUE(WriteFileInPlace((dir / "page1.xml").string(), "new", 3));
  std::string text;
  ASSERT_TRUE(ReadWholeFile((dir / "PAGE1.XML").string(), text));
  EXPECT_EQ(text, "new");
  int count = 0;
  for (auto& e : fs::directory_iterator(dir)) (void)e, ++count;
  EXPECT_EQ(count, 1);
  EXPECT_FALSE(WriteFileInPlace((dir / "missing" / "x.xml").string(), "a", 1));
}

TEST_F(TempDir, AppendCreatesAndExtends) {
  std::string file = (dir / "log.txt").string();
  ASSERT_TRUE(AppendToFile(file, "ab", 2));
  ASSERT_TRUE(AppendToFile(file, "cd", 2));
  std::string text;
  ASSERT_TRUE(ReadWholeFile(file, text));
  EXPECT_EQ(text, "abcd");
}

TEST(Resources, FoundByNameWithoutCaseAndByIntegerType) {
  static const unsigned char bytes[] = {1, 2, 3};
  static const EmbeddedResource table[] = {{"TEST_BLOB", "#10", bytes, 3}, {"#7", "CUSTOM", bytes, 2}};
  RegisterEmbeddedResources(table, 2);
  HRSRC r = FindResource(HInstance, "test_blob", RT_RCDATA);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(SizeofResource(HInstance, r), 3u);
  EXPECT_EQ(static_cast<const unsigned char*>(LockResource(LoadResource(HInstance, r)))[2], 3);
  EXPECT_EQ(FindResource(HInstance, "TEST_BLOB", RT_BITMAP), nullptr);
  HRSRC byId = FindResource(HInstance, MAKEINTRESOURCE(7), "custom");
  ASSERT_NE(byId, nullptr);
  EXPECT_EQ(SizeofResource(HInstance, byId), 2u);
  EXPECT_EQ(FindResource(HInstance, "NOT_THERE", RT_RCDATA), nullptr);
}

}  // namespace
