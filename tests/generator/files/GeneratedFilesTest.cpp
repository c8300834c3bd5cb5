// The generated-file table: registering files, deleting the previous
// compile's files through the stamp list (and nothing outside the output
// folder), giving unchanged files their previous times back, and the
// progress counters.

#include "generator/GeneratedFiles.h"

#include <gtest/gtest.h>

#include <strings.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Crc.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "generator/CompileState.h"
#include "generator/FormStatus1.h"
#include "platform/vcl/Panel.h"
#include "platform/win/FileFault.h"
#include "platform/win/FileTime.h"
#include "platform/win/Resources.h"
#include "tests/support/FakeCompileHost.h"
#include "tests/support/TempFolder.h"

namespace {

using testsupport::TempFolder;

// 2020-01-01 00:00:00 UTC and one second later, as file times.
constexpr std::uint64_t kOldWrite = 132223104000000000ull;
constexpr std::uint64_t kOldCreation = 132223104010000000ull;

class GeneratedFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    state.outputRoot = folder.System("SendRoot\\WWW\\");
    std::filesystem::create_directories(folder.Path() / "SendRoot" / "WWW");
    std::filesystem::create_directories(folder.Path() / "Tarnwell");
  }

  // Writes a file below the output root and registers it.
  void Put(const std::string& relative, const std::string& content) {
    std::string native = relative;
    for (char& c : native)
      if (c == '\\') c = '/';
    folder.Write("SendRoot/WWW/" + native, content);
    files.RegisterGeneratedFile(state.outputRoot + relative);
  }
  std::uint64_t WriteTimeOf(const std::string& relative) const {
    FILETIME write{};
    EXPECT_TRUE(GetPathFileTime(folder.System(relative), nullptr, nullptr, &write));
    return FileTimeToUInt64(write);
  }
  // One line of a stamp list: key, last write, creation, CRC-32 and size.
  static std::string StampLine(const std::string& key, std::uint64_t write, std::uint64_t creation, std::uint32_t crc,
                               std::uint32_t size) {
    char numbers[128];
    std::snprintf(numbers, sizeof numbers, ",%X,%X,%X,%X,%X,%X\r\n", static_cast<unsigned>(write & 0xFFFFFFFFu),
                  static_cast<unsigned>(write >> 32), static_cast<unsigned>(creation & 0xFFFFFFFFu),
                  static_cast<unsigned>(creation >> 32), crc, size);
    return key + numbers;
  }
  std::string StampList() const { return folder.System("Tarnwell\\Demo.txt"); }
  void WriteStampList(const std::string& text) const { folder.Write("Tarnwell/Demo.txt", text); }

  TempFolder folder{"genfiles"};
  TCompileState state;
  FakeCompileHost host;
  TGeneratedFiles files{state, host};
};

TEST_F(GeneratedFiles, RegisterKeysThePathBelowTheOutputRootWithSizeAndCrc) {
  const std::string content = "GIF89a and some bytes";
  Put("images\\LEFT.PNG", content);
  const GeneratedFileRecord* record = files.Find("images\\LEFT.PNG");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->size, content.size());
  EXPECT_EQ(record->crc32, Crc32::Of(content.data(), static_cast<std::uint32_t>(content.size())));
  EXPECT_EQ(FileTimeToUInt64(record->lastWriteTime), WriteTimeOf("SendRoot\\WWW\\images\\LEFT.PNG"));
  EXPECT_EQ(state.hostStatusText, "LEFT.PNG");
  ASSERT_EQ(files.Table().Count(), 1);
  EXPECT_EQ(files.Table()[0], "images\\LEFT.PNG");
}

TEST_F(GeneratedFiles, AFileThatCannotBeOpenedIsNotRegisteredButNamedInTheStatus) {
  files.RegisterGeneratedFile(state.outputRoot + "MISSING.XML");
  EXPECT_EQ(files.Table().Count(), 0);
  EXPECT_EQ(state.hostStatusText, "MISSING.XML");
}

TEST_F(GeneratedFiles, RegisteringTwiceKeepsOneRecordOfTheLastWriteWithNotForIdOnlyWhenBothHadIt) {
  struct Case {
    bool first;
    bool second;
    std::uint8_t expected;
  };
  const Case cases[] = {{false, false, 0}, {true, false, 0}, {false, true, 0}, {true, true, 1}};
  int n = 0;
  for (const Case& c : cases) {
    const std::string name = "PAGE" + std::to_string(n++) + ".XML";
    state.notForId = c.first;
    Put(name, "first");
    state.notForId = c.second;
    // The second registration names the file in another letter case: one key.
    folder.Write("SendRoot/WWW/" + name, "the second, longer content");
    files.RegisterGeneratedFile(state.outputRoot + "page" + std::to_string(n - 1) + ".xml");
    const GeneratedFileRecord* record = files.Find(name);
    ASSERT_NE(record, nullptr) << name;
    EXPECT_EQ(record->notForId, c.expected) << name << " " << c.first << c.second;
    EXPECT_EQ(record->size, 26u) << name;
    EXPECT_EQ(record->crc32, Crc32::Of("the second, longer content", 26)) << name;
  }
  EXPECT_EQ(files.Table().Count(), 4);
}

TEST_F(GeneratedFiles, TheStampListHoldsTheFilesInLetterOrderWhateverTheOrderOfWriting) {
  for (const char* name : {"b.XML", "C.XML", "a\\Z.XML"}) Put(name, name);
  ASSERT_EQ(files.Table().Count(), 3);
  // A file written after the table was read takes its place among the others.
  Put("B\\A.XML", "x");
  ASSERT_TRUE(files.MergeStamps(StampList()));
  const std::string text = folder.Read("Tarnwell/Demo.txt");
  std::string keys;
  for (std::size_t start = 0; start < text.size(); start = text.find('\n', start) + 1)
    keys += text.substr(start, text.find(',', start) - start) + " ";
  EXPECT_EQ(keys, "a\\Z.XML b.XML B\\A.XML C.XML ");
}

TEST_F(GeneratedFiles, WriteGeneratedFileWritesTheBytesAndRegistersThem) {
  EXPECT_TRUE(files.WriteGeneratedFile(state.outputRoot + "INDEX.XML", "<a/>\r\n"));
  EXPECT_EQ(folder.Read("SendRoot/WWW/INDEX.XML"), "<a/>\r\n");
  const GeneratedFileRecord* record = files.Find("INDEX.XML");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->size, 6u);
  // The record made while writing is the one registering the file makes.
  EXPECT_EQ(record->crc32, Crc32::Of("<a/>\r\n", 6));
  EXPECT_EQ(FileTimeToUInt64(record->lastWriteTime), WriteTimeOf("SendRoot\\WWW\\INDEX.XML"));
}

// The files go through their folder, held open from the first file on; what
// another program changes there meanwhile is seen by the next file.
TEST_F(GeneratedFiles, WriteGeneratedFileRewritesTheFileOfTheSameNameInAnyLetterCase) {
  const struct {
    const char* command;  // run by the shell in the output root first
    const char* written;  // below the output root
    const char* holder;   // the file that then holds the bytes
    int sameNames;        // entries whose names equal it without regard to case
  } steps[] = {
      {"true", "INDEX.XML", "INDEX.XML", 1},
      // A file in another letter case takes the new spelling with the bytes.
      {"touch page.xml", "PAGE.XML", "PAGE.XML", 1},
      // A name that exists as written wins over one in another letter case.
      {"touch Menu.xml && touch MENU.XML", "MENU.XML", "MENU.XML", 2},
      // The folder removed and made again: the file goes into the new one.
      {"cd .. && rm -r WWW && mkdir WWW && touch WWW/p2.xml", "P2.XML", "P2.XML", 1},
      {"true", "P3.XML", "P3.XML", 1},
  };
  const auto root = folder.Path() / "SendRoot" / "WWW";
  for (const auto& step : steps) {
    ASSERT_EQ(std::system(("cd '" + root.string() + "' && " + step.command).c_str()), 0) << step.command;
    const std::string bytes = std::string("written as ") + step.written;
    ASSERT_TRUE(files.WriteGeneratedFile(state.outputRoot + step.written, bytes)) << step.written;
    EXPECT_EQ(folder.Read(std::string("SendRoot/WWW/") + step.holder), bytes) << step.written;
    int same = 0;
    for (const auto& entry : std::filesystem::directory_iterator(root))
      same += strcasecmp(entry.path().filename().c_str(), step.written) == 0 ? 1 : 0;
    EXPECT_EQ(same, step.sameNames) << step.written;
  }
}

TEST_F(GeneratedFiles, WriteGeneratedFileThatFailsAnswersFalseAndRegistersNothing) {
  // The folder does not exist: the temporary file cannot be made.
  EXPECT_FALSE(files.WriteGeneratedFile(state.outputRoot + "NOFOLDER\\X.XML", "x"));
  EXPECT_EQ(files.Table().Count(), 0);
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/NOFOLDER/X.XML"));
}

// A file that may not be replaced stays when it holds the bytes, listed as it is.
TEST_F(GeneratedFiles, AFileThatCannotBeReplacedStaysWhenItHoldsTheBytesElseTheWriteFails) {
  for (const std::string held : {"the bytes", "the bytez", "the bytes and more"}) {
    const std::string name = held.substr(6) + ".CSS";
    folder.Write("SendRoot/WWW/" + name, held);
    const FileOpFaultScope refused(TFileOpFault::kFail, 3, EPERM);  // the rename over it
    const bool kept = files.WriteGeneratedFile(state.outputRoot + name, "the bytes");
    EXPECT_EQ(kept, held == "the bytes") << held;
    EXPECT_EQ(folder.Read("SendRoot/WWW/" + name), held);
    EXPECT_EQ(files.Find(name) != nullptr, kept) << held;
  }
  EXPECT_FALSE(files.WroteAny());
}

TEST_F(GeneratedFiles, TheListedFilesStayUntilTheRunDeletesThoseNotWrittenAgainThePasswordFileToo) {
  folder.Write("SendRoot/WWW/OLD.XML", "old");
  folder.Write("SendRoot/WWW/images/OLD.PNG", "old");
  folder.Write("SendRoot/WWW/KEEP.XML", "not listed");
  folder.Write("SendRoot/PSW.TXT", "v,1,1\r\n");
  WriteStampList(StampLine("OLD.XML", 1, 1, 2, 3) + StampLine("images\\old.png", 1, 1, 2, 3) +
                 StampLine("..\\PSW.TXT", 1, 1, 2, 3) + StampLine("GONE.XML", 1, 1, 2, 3) +
                 StampLine("AGAIN.XML", 1, 1, 2, 3));
  folder.Write("SendRoot/WWW/AGAIN.XML", "old");
  files.LoadGeneratedFileTable(StampList());
  EXPECT_TRUE(folder.Exists("SendRoot/WWW/OLD.XML"));
  EXPECT_TRUE(files.IsPreviousFile(state.outputRoot + "again.xml"));
  Put("AGAIN.XML", "new");
  EXPECT_FALSE(files.IsPreviousFile(state.outputRoot + "AGAIN.XML"));
  files.DeleteStaleFiles();
  EXPECT_EQ(folder.Read("SendRoot/WWW/AGAIN.XML"), "new");
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/OLD.XML"));
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/images/OLD.PNG"));
  EXPECT_FALSE(folder.Exists("SendRoot/PSW.TXT"));
  EXPECT_TRUE(folder.Exists("SendRoot/WWW/KEEP.XML"));
  EXPECT_EQ(files.Table().Count(), 1);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(GeneratedFiles, StaleFilesAndLinksToFilesAreDeletedButNoFolderAndNoLinkToNothing) {
  namespace fs = std::filesystem;
  const fs::path www = folder.Path() / "SendRoot/WWW";
  folder.Write("SendRoot/WWW/target.txt", "kept");
  fs::create_directories(www / "DIR");
  fs::create_symlink(www / "target.txt", www / "tofile");
  fs::create_directory_symlink(www / "DIR", www / "todir");
  fs::create_symlink(www / "none", www / "dangling");
  WriteStampList(StampLine("dir", 1, 1, 2, 3) + StampLine("TOFILE", 1, 1, 2, 3) + StampLine("todir", 1, 1, 2, 3) +
                 StampLine("dangling", 1, 1, 2, 3));
  files.LoadGeneratedFileTable(StampList());
  files.DeleteStaleFiles();
  EXPECT_TRUE(fs::is_directory(www / "DIR"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(www / "tofile")));
  EXPECT_EQ(folder.Read("SendRoot/WWW/target.txt"), "kept");
  EXPECT_TRUE(fs::is_symlink(www / "todir"));
  EXPECT_TRUE(fs::is_symlink(www / "dangling"));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(GeneratedFiles, StampKeysThatLeaveTheOutputRootDeleteNothingOutsideAndAreTraced) {
  folder.Write("outside.txt", "precious");
  folder.Write("SendRoot/other.txt", "precious");
  folder.Write("Tarnwell/Demo.xml", "precious");
  folder.Write("elsewhere/victim.txt", "precious");
  folder.Write("elsewhere/second.txt", "precious");
  folder.Write("SendRoot/WWW/INSIDE.XML", "old");
  folder.Write("SendRoot/WWW/sub/NESTED.XML", "old");
  std::filesystem::create_directory_symlink(folder.Path() / "elsewhere", folder.Path() / "SendRoot/WWW/link");
  // A link that stays inside the output tree is followed.
  std::filesystem::create_directory_symlink(folder.Path() / "SendRoot/WWW/sub", folder.Path() / "SendRoot/WWW/inner");
  const std::vector<std::string> keys = {
      "..\\..\\outside.txt",                            // climbs out
      "..\\other.txt",                                  // SendRoot, but not the password file
      "sub\\..\\..\\..\\Tarnwell\\Demo.xml",            // climbs out after a detour
      folder.Path().string() + "/outside.txt",          // absolute
      "\\" + folder.Path().string() + "\\outside.txt",  // absolute, system form
      "C:\\outside.txt",                                // a drive
      "link\\victim.txt",                               // a link inside that leads out
      "link\\second.txt",                               // the same link for another file
      "INSIDE.XML",                                     // the keys that are fine
      "inner\\NESTED.XML",
  };
  const std::size_t outside = keys.size() - 2;
  std::string list;
  for (const std::string& key : keys) list += StampLine(key, 1, 1, 2, 3);
  WriteStampList(list);
  ResetTraceLogTimer();
  SetTraceLogPath(folder.System("plugins.log"));
  SetTraceLogEnabled(true);
  files.LoadGeneratedFileTable(StampList());
  files.DeleteStaleFiles();
  SetTraceLogEnabled(false);

  EXPECT_EQ(folder.Read("outside.txt"), "precious");
  EXPECT_EQ(folder.Read("SendRoot/other.txt"), "precious");
  EXPECT_EQ(folder.Read("Tarnwell/Demo.xml"), "precious");
  EXPECT_EQ(folder.Read("elsewhere/victim.txt"), "precious");
  EXPECT_EQ(folder.Read("elsewhere/second.txt"), "precious");
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/INSIDE.XML"));
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/sub/NESTED.XML"));
  const std::string log = folder.Read("plugins.log");
  for (std::size_t i = 0; i < outside; ++i)
    EXPECT_NE(log.find("'" + keys[i] + "' lies outside the output folder"), std::string::npos) << keys[i];
  EXPECT_EQ(log.find("INSIDE.XML"), std::string::npos);
  EXPECT_EQ(log.find("NESTED.XML"), std::string::npos);
}

TEST_F(GeneratedFiles, WithoutAStampListPathNothingIsDeleted) {
  folder.Write("SendRoot/WWW/OLD.XML", "old");
  WriteStampList(StampLine("OLD.XML", 1, 1, 2, 3));
  files.LoadGeneratedFileTable("");
  EXPECT_TRUE(folder.Exists("SendRoot/WWW/OLD.XML"));
}

TEST_F(GeneratedFiles, AKeyWithACommaIsWrittenWholeAndReadBackUpToItsFirstComma) {
  Put("a,b.txt", "x");
  files.MergeStamps(StampList());
  const std::string list = folder.Read("Tarnwell/Demo.txt");
  EXPECT_EQ(list.rfind("a,b.txt,", 0), 0u) << list;
  // Read back, the key is "a": that file goes, "a,b.txt" stays.
  folder.Write("SendRoot/WWW/a", "y");
  TGeneratedFiles next(state, host);
  next.LoadGeneratedFileTable(StampList());
  next.DeleteStaleFiles();
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/a"));
  EXPECT_TRUE(folder.Exists("SendRoot/WWW/a,b.txt"));
}

TEST_F(GeneratedFiles, MergeStampsGivesFilesOfTheSameSizeAndCrcTheirPreviousTimes) {
  const std::string same = "same content";
  const std::uint32_t sameCrc = Crc32::Of(same.data(), static_cast<std::uint32_t>(same.size()));
  // The previous record of CHANGED.XML has its size and CRC-32 (the content
  // the stamp list once described does not matter: only these are compared).
  WriteStampList(StampLine("SAME.XML", kOldWrite, kOldCreation, sameCrc, 12) +
                 StampLine("CHANGED.XML", kOldWrite, kOldCreation, 0x1234, 12) +
                 StampLine("EMPTY.XML", kOldWrite, kOldCreation, 0, 0) +
                 StampLine("RESIZED.XML", kOldWrite, kOldCreation, sameCrc, 13) +
                 StampLine("OTHER.XML", kOldWrite, kOldCreation, sameCrc, 12));
  files.LoadPreviousStamps(StampList());
  Put("SAME.XML", same);
  // A key names the file that exists in another letter case.
  folder.Write("SendRoot/WWW/Other.xml", same);
  files.RegisterGeneratedFile(state.outputRoot + "OTHER.XML");
  Put("CHANGED.XML", "other conten");
  Put("EMPTY.XML", "");
  Put("RESIZED.XML", same);
  const std::uint64_t emptyTime = WriteTimeOf("SendRoot\\WWW\\EMPTY.XML");
  files.MergeStamps(StampList());

  EXPECT_EQ(WriteTimeOf("SendRoot\\WWW\\SAME.XML"), kOldWrite);
  EXPECT_EQ(WriteTimeOf("SendRoot\\WWW\\Other.xml"), kOldWrite);
  EXPECT_NE(WriteTimeOf("SendRoot\\WWW\\CHANGED.XML"), kOldWrite);
  EXPECT_EQ(WriteTimeOf("SendRoot\\WWW\\EMPTY.XML"), emptyTime);
  EXPECT_NE(WriteTimeOf("SendRoot\\WWW\\RESIZED.XML"), kOldWrite);
  const GeneratedFileRecord* record = files.Find("SAME.XML");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(FileTimeToUInt64(record->lastWriteTime), kOldWrite);
  EXPECT_EQ(FileTimeToUInt64(record->creationTime), kOldCreation);
  // The stamp list keeps the previous times of the unchanged file, the new
  // ones of the rest, in the table's order.
  const std::string list = folder.Read("Tarnwell/Demo.txt");
  EXPECT_NE(list.find(StampLine("SAME.XML", kOldWrite, kOldCreation, sameCrc, 12)), std::string::npos) << list;
  EXPECT_LT(list.find("CHANGED.XML"), list.find("EMPTY.XML"));
  EXPECT_EQ(list.find(StampLine("CHANGED.XML", kOldWrite, kOldCreation, 0x1234, 12)), std::string::npos);
}

TEST_F(GeneratedFiles, MergeStampsSetsNoTimesThroughALinkThatLeadsOutOfTheOutputRoot) {
  std::filesystem::create_directories(folder.Path() / "elsewhere");
  std::filesystem::create_directory_symlink(folder.Path() / "elsewhere", folder.Path() / "SendRoot/WWW/link");
  WriteStampList(StampLine("link\\victim.txt", kOldWrite, kOldCreation, Crc32::Of("x", 1), 1));
  files.LoadPreviousStamps(StampList());
  Put("link\\victim.txt", "x");
  files.MergeStamps(StampList());
  EXPECT_NE(WriteTimeOf("elsewhere\\victim.txt"), kOldWrite);
}

TEST_F(GeneratedFiles, ASecondCompileOfUnchangedFilesKeepsTheTimesOfTheFirst) {
  Put("PAGE1.XML", "<page/>");
  files.MergeStamps(StampList());
  const std::uint64_t first = WriteTimeOf("SendRoot\\WWW\\PAGE1.XML");

  // In the compile's order: the previous list is read, then its records.
  TGeneratedFiles second(state, host);
  second.LoadGeneratedFileTable(StampList());
  second.LoadPreviousStamps(StampList());
  folder.Write("SendRoot/WWW/PAGE1.XML", "<page/>");
  const FILETIME later = UInt64ToFileTime(first + 50000000ull);
  SetPathFileTime(folder.System("SendRoot\\WWW\\PAGE1.XML"), nullptr, nullptr, &later);
  second.RegisterGeneratedFile(state.outputRoot + "PAGE1.XML");
  second.MergeStamps(StampList());
  EXPECT_EQ(WriteTimeOf("SendRoot\\WWW\\PAGE1.XML"), first);
}

class Progress : public GeneratedFiles {
 protected:
  void SetUp() override {
    GeneratedFiles::SetUp();
    ASSERT_TRUE(LoadDefaultUiTable(HInstance));
  }
  void TearDown() override { FreeUiTable(); }
};

TEST_F(Progress, WithoutAStatusWindowOnlyTheCountersGrow) {
  files.StepCompileProgress();
  files.StepImageProgress();
  EXPECT_EQ(state.compiledFiles, 2);
  EXPECT_EQ(state.compiledImages, 1);
  EXPECT_TRUE(host.statusTexts.empty());
  EXPECT_EQ(host.keepAlives, 0);
}

TEST_F(Progress, AHiddenStatusWindowShowsTheCountsAndEachFileGoesToTheHostStatusLine) {
  TFormStatus1 form(nullptr);
  state.statusForm = &form;
  Put("A.XML", "a");
  files.StepCompileProgress();
  Put("images\\B.PNG", "b");
  files.StepImageProgress();
  EXPECT_EQ(form.pnlFileNum->Caption(), "2");
  EXPECT_EQ(form.pnlImgNum->Caption(), "1");
  EXPECT_EQ(host.statusTexts, (std::vector<std::string>{"A.XML", "B.PNG"}));
  EXPECT_EQ(host.keepAlives, 2);
  state.statusForm = nullptr;
}

TEST_F(Progress, AVisibleStatusWindowKeepsTheWindowsAliveInsteadOfTheHost) {
  TFormStatus1 form(nullptr);
  state.statusForm = &form;
  form.Show();
  Put("A.XML", "a");
  files.StepCompileProgress();
  EXPECT_EQ(form.pnlFileNum->Caption(), "1");
  EXPECT_EQ(form.pnlImgNum->Caption(), "0");
  EXPECT_TRUE(host.statusTexts.empty());
  EXPECT_EQ(host.keepAlives, 0);
  form.Hide();
  state.statusForm = nullptr;
}

}  // namespace
