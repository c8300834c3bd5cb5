// The import-folder copy: files and sub-folders into the output tree with
// their times, entries beginning with "." left out, DEFAULT.XSL kept as the
// page template instead of being copied, every copy registered.

#include "generator/ImportFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "generator/CompileState.h"
#include "generator/GeneratedFiles.h"
#include "platform/win/FileTime.h"
#include "tests/support/FakeCompileHost.h"
#include "tests/support/TempFolder.h"

namespace {

using testsupport::TempFolder;

// 2021-06-01 12:00:00 UTC, an even second.
constexpr std::uint64_t kSourceTime = 132670224000000000ull;

class ImportFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    state.outputRoot = folder.System("SendRoot\\WWW\\");
    std::filesystem::create_directories(folder.Path() / "SendRoot" / "WWW");
    state.importedFiles = std::make_unique<TStringList>();
    Import("Index.htm", "<html>mine</html>");
    Import("sub/B.JS", "var b;");
    Import("sub/deeper/C.CSS", "p{}");
    Import("default.xsl", "<xsl:stylesheet/>");
    Import(".svn/entries", "svn");
    Import(".hidden", "h");
    Import("sub/.git", "g");
  }
  void Import(const std::string& relative, const std::string& content) {
    folder.Write("Tarnwell/Import/" + relative, content);
    const FILETIME time = UInt64ToFileTime(kSourceTime);
    SetPathFileTime(folder.Native("Tarnwell/Import/" + relative), nullptr, nullptr, &time);
  }
  std::uint64_t WriteTimeOf(const std::string& relative) const {
    FILETIME write{};
    EXPECT_TRUE(GetPathFileTime(folder.Native(relative), nullptr, nullptr, &write));
    return FileTimeToUInt64(write);
  }
  std::vector<std::string> Keys(const TStringList& list) const {
    std::vector<std::string> keys;
    for (int i = 0; i < list.Count(); ++i) keys.push_back(list[i]);
    return keys;
  }
  void Copy() { CopyFolderToOutput(folder.System("Tarnwell\\Import\\"), "", state, files); }

  TempFolder folder{"import"};
  TCompileState state;
  FakeCompileHost host;
  TGeneratedFiles files{state, host};
};

TEST_F(ImportFolder, CopiesFilesAndSubFoldersWithTheirTimesAndRegistersEachCopy) {
  folder.Write("SendRoot/WWW/INDEX.HTM", "generated");
  Copy();
  // The user's file replaces the generated one of the same name (letter case
  // aside), and its spelling that of the one it replaces.
  EXPECT_EQ(folder.Read("SendRoot/WWW/Index.htm"), "<html>mine</html>");
  EXPECT_FALSE(std::filesystem::exists(folder.Native("SendRoot/WWW/INDEX.HTM")));
  EXPECT_EQ(folder.Read("SendRoot/WWW/sub/B.JS"), "var b;");
  EXPECT_EQ(folder.Read("SendRoot/WWW/sub/deeper/C.CSS"), "p{}");
  EXPECT_EQ(WriteTimeOf("SendRoot/WWW/sub/deeper/C.CSS"), kSourceTime);
  EXPECT_EQ(Keys(files.Table()), (std::vector<std::string>{"Index.htm", "sub\\B.JS", "sub\\deeper\\C.CSS"}));
  // Registered, not counted.
  EXPECT_EQ(state.compiledFiles, 0);
  EXPECT_EQ(state.compileErrors, 0u);
}

TEST_F(ImportFolder, EntriesBeginningWithADotAreNotCopied) {
  Copy();
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/.svn"));
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/.hidden"));
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/sub/.git"));
  EXPECT_EQ(state.importedFiles->Count(), 4);
  for (const std::string& key : Keys(*state.importedFiles)) {
    EXPECT_NE(key[0], '.') << key;
    EXPECT_EQ(key.find("\\."), std::string::npos) << key;
  }
}

TEST_F(ImportFolder, DefaultXslIsKeptAsTheTemplateAndNotCopied) {
  Copy();
  EXPECT_EQ(state.userTemplatePath, folder.System("Tarnwell\\Import\\default.xsl"));
  EXPECT_FALSE(folder.Exists("SendRoot/WWW/default.xsl"));
  EXPECT_EQ(files.Find("default.xsl"), nullptr);
  // It is an imported file all the same.
  state.importedFiles->Sort();
  EXPECT_EQ(Keys(*state.importedFiles),
            (std::vector<std::string>{"default.xsl", "Index.htm", "sub\\B.JS", "sub\\deeper\\C.CSS"}));
}

TEST_F(ImportFolder, WithoutTheListOfImportedFilesTheFilesAreStillCopied) {
  state.importedFiles.reset();
  Copy();
  EXPECT_TRUE(folder.Exists("SendRoot/WWW/sub/B.JS"));
  EXPECT_EQ(files.Table().Count(), 3);
}

TEST_F(ImportFolder, ACopyThatFailsSetsTheFileErrorAndRegistersNothing) {
  // A folder stands where the file should go: the copy cannot replace it.
  std::filesystem::create_directories(folder.Path() / "SendRoot/WWW/Index.htm/x");
  Copy();
  EXPECT_EQ(state.compileErrors, static_cast<std::uint32_t>(kCompileErrorFile));
  EXPECT_EQ(files.Find("Index.htm"), nullptr);
  EXPECT_TRUE(folder.Exists("SendRoot/WWW/sub/B.JS"));
}

}  // namespace
