// Copying a project picture into the output tree: the copy keeps the
// picture's time and is registered and counted; pictures of not-for-www
// groups are copied only for the operator panels; a missing picture file is
// error bit 2; a global project's pictures come from the shared folder.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "core/HostEnvironment.h"
#include "core/XmlDocument.h"
#include "generator/CompileState.h"
#include "generator/GeneratedFiles.h"
#include "generator/ProjectImages.h"
#include "generator/ProjectSettings.h"
#include "tests/core/services/ServicesTestSupport.h"
#include "tests/support/FakeCompileHost.h"
#include "tests/support/TempFolder.h"

using testsupport::TempFolder;

namespace {

namespace fs = std::filesystem;

constexpr const char* kPicture = "\x89PNG picture bytes";
// 2024-01-01 00:00:00 UTC: a whole, even number of seconds, as the copy
// rounds the source's times to even seconds.
constexpr std::chrono::seconds kPictureSeconds{1704067200};
const fs::file_time_type kPictureTime =
    fs::file_time_type::clock::from_sys(std::chrono::sys_time<std::chrono::seconds>(kPictureSeconds));

class ProjectImageCopyTest : public testing::Test {
 protected:
  void SetUp() override {
    manager_.projectFolder = project_.Path().string() + "\\";
    manager_.globalFolder = global_.Path().string() + "\\";
    SetHostProjectManager(&manager_);
    fs::create_directories(project_.Path() / "SendRoot" / "WWW");
    state_.outputRoot = manager_.projectFolder + "SendRoot\\WWW\\";
    project_.Write("Tarnwell/Images/PUMP.PNG", kPicture);
    fs::last_write_time(project_.Path() / "Tarnwell/Images/PUMP.PNG", kPictureTime);
    parser_.LoadFromString(
        "<images><img name=\"PUMP.PNG\" type=\"png\" longname=\"Pump\" />"
        "<img name=\"GONE.PNG\" type=\"png\" longname=\"Gone\" /></images>");
    root_.reset(parser_.Parse());
    compile_.settings = &settings_;
    images_ = std::make_unique<TProjectImages>(root_->FindChild("images"), compile_, state_, &files_);
  }
  void TearDown() override { SetHostProjectManager(nullptr); }

  bool Copied(const std::string& name) const { return project_.Exists("SendRoot/WWW/" + name); }

  TempFolder project_{"imgcopy"};
  TempFolder global_{"imgglobal"};
  servicestest::FakeProjectManager manager_;
  TmyXMLParser parser_;
  std::unique_ptr<TmyXmlNode> root_;
  TProjectSettings settings_;
  TCompileProject compile_;
  TCompileState state_;
  FakeCompileHost host_;
  TGeneratedFiles files_{state_, host_};
  std::unique_ptr<TProjectImages> images_;
};

}  // namespace

TEST_F(ProjectImageCopyTest, TheCopyKeepsTheTimeAndIsRegisteredAndCounted) {
  TmyXmlNode* node = images_->CopyProjectImage("PUMP.PNG", state_.outputRoot);
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->GetAttr("longname"), "Pump");
  EXPECT_EQ(project_.Read("SendRoot/WWW/PUMP.PNG"), kPicture);
  EXPECT_EQ(fs::last_write_time(project_.Path() / "SendRoot/WWW/PUMP.PNG"), kPictureTime);
  const GeneratedFileRecord* record = files_.Find("PUMP.PNG");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->size, std::string(kPicture).size());
  EXPECT_EQ(state_.compiledImages, 1);
  EXPECT_EQ(state_.compiledFiles, 1);
  EXPECT_EQ(state_.compileErrors, 0u);
}

TEST_F(ProjectImageCopyTest, NotForWwwGroupsCopyOnlyForTheOperatorPanels) {
  const struct {
    bool notForWww;
    bool notForId;
    bool panels;
    bool copied;
  } kRules[] = {
      {false, false, false, true}, {false, true, false, true}, {false, true, true, true},  {true, false, false, false},
      {true, false, true, true},   {true, true, true, false},  {true, true, false, false},
  };
  for (const auto& rule : kRules) {
    SCOPED_TRACE(testing::Message() << "notForWww " << rule.notForWww << " notForId " << rule.notForId << " panels "
                                    << rule.panels);
    std::error_code ec;
    fs::remove(project_.Path() / "SendRoot/WWW/PUMP.PNG", ec);
    TCompileState state;
    state.outputRoot = state_.outputRoot;
    state.notForWww = rule.notForWww;
    state.notForId = rule.notForId;
    settings_.operatorPanels = rule.panels;
    TGeneratedFiles files(state, host_);
    TProjectImages images(root_->FindChild("images"), compile_, state, &files);
    EXPECT_NE(images.CopyProjectImage("PUMP.PNG", state.outputRoot), nullptr);
    EXPECT_EQ(Copied("PUMP.PNG"), rule.copied);
    EXPECT_EQ(files.Find("PUMP.PNG") != nullptr, rule.copied);
    EXPECT_EQ(state.compiledImages, rule.copied ? 1 : 0);
    EXPECT_EQ(state.compileErrors, 0u);
  }
}

TEST_F(ProjectImageCopyTest, AMissingPictureFileIsAFileError) {
  EXPECT_NE(images_->CopyProjectImage("GONE.PNG", state_.outputRoot), nullptr);
  EXPECT_EQ(state_.compileErrors, static_cast<std::uint32_t>(kCompileErrorFile));
  EXPECT_FALSE(Copied("GONE.PNG"));
  EXPECT_EQ(files_.Find("GONE.PNG"), nullptr);
  EXPECT_EQ(state_.compiledImages, 0);
}

TEST_F(ProjectImageCopyTest, ANameOutsideTheListCopiesNothing) {
  project_.Write("Tarnwell/Images/OTHER.PNG", kPicture);
  EXPECT_EQ(images_->CopyProjectImage("OTHER.PNG", state_.outputRoot), nullptr);
  EXPECT_EQ(images_->CopyProjectImage("pump.png", state_.outputRoot), nullptr);
  EXPECT_FALSE(Copied("OTHER.PNG"));
  EXPECT_EQ(state_.compiledImages, 0);
  EXPECT_EQ(state_.compileErrors, 0u);
}

TEST_F(ProjectImageCopyTest, AGlobalProjectsPicturesComeFromTheSharedFolder) {
  global_.Write("Shared/Images/PUMP.PNG", "shared picture");
  compile_.globalMode = true;
  compile_.globalDir = "Shared";
  EXPECT_NE(images_->CopyProjectImage("PUMP.PNG", state_.outputRoot), nullptr);
  EXPECT_EQ(project_.Read("SendRoot/WWW/PUMP.PNG"), "shared picture");
  EXPECT_EQ(state_.compiledImages, 1);
}
