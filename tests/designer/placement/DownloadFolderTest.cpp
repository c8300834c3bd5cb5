// EmptyDownloadFolder: which folders closing may empty. Only an absolute,
// existing folder at or below the project's temporary folder is emptied
// (the folder itself stays); anything else deletes nothing.

#include <gtest/gtest.h>

#include <filesystem>

#include "designer/DownloadFolder.h"
#include "tests/support/TempFolder.h"

namespace {

struct TFolderCase {
  const char* name;
  const char* folder;      // relative to the scratch folder ("@" + text: the text as it stands)
  const char* tempFolder;  // the same
  bool emptied;
};

// Test output names the case.
void PrintTo(const TFolderCase& c, std::ostream* out) { *out << c.name; }

class EmptyDownloadFolderCases : public ::testing::TestWithParam<TFolderCase> {
 protected:
  void SetUp() override {
    scratch.Write("Tarnwell/temp/a.png", "a");
    scratch.Write("Tarnwell/temp/RAM/b.png", "b");
    scratch.Write("Tarnwell/temp/sub/c.png", "c");
    scratch.Write("Tarnwell/Proj.xml", "project");
    scratch.Write("Tarnwell/temp2/d.png", "d");
    // Relative paths would name the folders under the working directory.
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(scratch.Path());
  }
  void TearDown() override { std::filesystem::current_path(previous_); }
  std::string Path(const char* text) const { return text[0] == '@' ? std::string(text + 1) : scratch.System(text); }
  testsupport::TempFolder scratch{"downloads"};

 private:
  std::filesystem::path previous_;
};

TEST_P(EmptyDownloadFolderCases, EmptiesOnlyFoldersBelowTheTemporaryFolder) {
  const TFolderCase& c = GetParam();
  EXPECT_EQ(EmptyDownloadFolder(Path(c.folder), Path(c.tempFolder)), c.emptied);
  EXPECT_TRUE(scratch.Exists("Tarnwell/Proj.xml"));
  EXPECT_TRUE(scratch.IsFolder("Tarnwell/temp"));
  EXPECT_TRUE(scratch.Exists("Tarnwell/temp2/d.png"));
  if (std::string(c.name) == "Subfolder") {
    EXPECT_TRUE(scratch.IsFolder("Tarnwell/temp/sub"));
    EXPECT_FALSE(scratch.Exists("Tarnwell/temp/sub/c.png"));
    EXPECT_TRUE(scratch.Exists("Tarnwell/temp/a.png"));
  } else {
    EXPECT_EQ(scratch.Exists("Tarnwell/temp/a.png"), !c.emptied);
    EXPECT_EQ(scratch.Exists("Tarnwell/temp/RAM/b.png"), !c.emptied);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, EmptyDownloadFolderCases,
    ::testing::Values(TFolderCase{"TheTemporaryFolder", "Tarnwell\\temp\\", "Tarnwell\\temp\\", true},
                      TFolderCase{"WithoutTrailingSeparator", "Tarnwell\\temp", "Tarnwell\\temp\\", true},
                      TFolderCase{"OtherLetterCase", "TARNWELL\\Temp\\", "Tarnwell\\temp\\", true},
                      TFolderCase{"Subfolder", "Tarnwell\\temp\\sub\\", "Tarnwell\\temp\\", true},
                      TFolderCase{"Empty", "@", "Tarnwell\\temp\\", false},
                      TFolderCase{"Relative", "@Tarnwell\\temp\\", "Tarnwell\\temp\\", false},
                      TFolderCase{"Above", "Tarnwell\\", "Tarnwell\\temp\\", false},
                      TFolderCase{"OutThroughDots", "Tarnwell\\temp\\..\\", "Tarnwell\\temp\\", false},
                      TFolderCase{"Missing", "Tarnwell\\temp\\gone\\", "Tarnwell\\temp\\", false},
                      TFolderCase{"NoTemporaryFolder", "Tarnwell\\temp\\", "@", false},
                      TFolderCase{"RelativeTemporaryFolder", "Tarnwell\\temp\\", "@Tarnwell\\temp\\", false},
                      TFolderCase{"SiblingWithTheSamePrefix", "Tarnwell\\temp2\\", "Tarnwell\\temp\\", false}),
    [](const ::testing::TestParamInfo<TFolderCase>& info) { return std::string(info.param.name); });

TEST(ProjectTempFolder, IsTheTempFolderOfTheWebProject) {
  TProjectLocation location;
  EXPECT_EQ(ProjectTempFolder(location), "");
  location.hostProjectDir = "/p/Plant\\";
  location.hostProjectName = "Plant";
  EXPECT_EQ(ProjectTempFolder(location), "/p/Plant\\Tarnwell\\temp\\");
}

}  // namespace
