// The upload progress window: its texts, its times on the virtual clock, its
// Cancel and closing, and a whole upload that feeds it through the
// communication-loop callback.

#include <gtest/gtest.h>

#include "PlcLink.h"
#include "core/UiText.h"
#include "grid/TransferStart.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/ProgressBar.h"
#include "platform/win/Resources.h"
#include "platform/win/VirtualClock.h"
#include "platform/win/WindowMessages.h"
#include "plugin/FileTransfers.h"
#include "plugin/UploadProgress.h"
#include "tests/support/CutTexts.h"
#include "tests/support/TempFolder.h"
#include "tests/support/UiLanguages.h"

namespace {

class UploadProgress : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadDefaultUiTable(HInstance));
    ResetCommLiveView();
    livetest::SetLink(&link_);
    gCommRecord.liveViewOn.store(1);
    blocked_ = CreateWindowHandle([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
  }
  void TearDown() override {
    if (FormUploadProgress != nullptr) FormUploadProgress->Close();
    Application->ProcessMessages();
    DestroyWindow(blocked_);
    ResetCommLiveView();
    livetest::SetLink(nullptr);
  }
  // An upload record as a running upload of `size` bytes leaves it.
  TFormUploadProgress* Open(std::uint32_t size) {
    TPostFile& up = gCommRecord.upload;
    up.localName = "C:\\Users\\me\\pictures\\Holiday.png";
    std::snprintf(up.plcPath, sizeof up.plcPath, "%s", "//WWW/UPLOAD/HOLI1A2B.PNG");
    up.size.store(size);
    up.offset.store(0);
    up.outcome.store(TUploadOutcome::Running);
    up.progressWindow.store(ShowUploadProgress(up, blocked_));
    Application->ProcessMessages();
    return FormUploadProgress;
  }
  void Progress(std::uint32_t offset) {
    gCommRecord.upload.offset.store(offset);
    PostMessage(gCommRecord.upload.progressWindow.load(), kMsgCommProgress, 0, 0);
    Application->ProcessMessages();
  }
  void SavePicture(const char* name) {
    const std::string png = std::string(TARNWELL_BINARY_DIR) + "/tests/plugin/live/" + name + ".png";
    EXPECT_TRUE(SaveControlAsPng(FormUploadProgress, png)) << png;
  }

  livetest::PlcLink link_;
  HWND blocked_ = nullptr;
  testsupport::TempFolder folder_{"tarnwell-progress-"};
};

TEST_F(UploadProgress, ShowsTheNamesAndBlocksTheDesigner) {
  TFormUploadProgress* form = Open(1000);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Caption(), "Upload progress");
  EXPECT_EQ(form->lblName1->Caption(), "Holiday.png");
  EXPECT_EQ(form->lblName2->Caption(), "//WWW/UPLOAD/HOLI1A2B.PNG");
  EXPECT_EQ(form->lblProgress->Caption(), "??:??");
  EXPECT_EQ(form->Button1->Caption(), "Cancel");
  EXPECT_EQ(form->ClientWidth(), 342);
  EXPECT_EQ(form->ClientHeight(), 128);
  EXPECT_FALSE(IsWindowEnabled(blocked_));
  form->Close();
  Application->ProcessMessages();
  EXPECT_TRUE(IsWindowEnabled(blocked_));
  EXPECT_EQ(FormUploadProgress, nullptr);
  EXPECT_EQ(gCommRecord.upload.progressWindow.load(), nullptr);
  EXPECT_EQ(gCommRecord.upload.cancel.load(), 1);
}

TEST_F(UploadProgress, ShowsCountsAndTimesOnTheClock) {
  const struct {
    std::uint32_t size;
    std::uint32_t firstOffset;
    ULONGLONG afterMs;
    std::uint32_t offset;
    int position;
    const char* label;
  } cases[] = {
      {4000000, 0, 30000, 2000000, 50, "(2.000.000B/4.000.000B) 0:30/1:00"},
      {1000, 440, 0, 440, 44, "(440B/1.000B) 0:00/0:00"},
      {999, 0, 61500, 333, 33, "(333B/999B) 1:01/3:04"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TFormUploadProgress* form = Open(c.size);
    Progress(c.firstOffset);
    AdvanceVirtualClock(c.afterMs);
    Progress(c.offset);
    EXPECT_EQ(form->ProgressBar1->Position(), c.position);
    EXPECT_EQ(form->lblProgress->Caption(), c.label);
    SavePicture("upload_progress");
    form->Close();
    Application->ProcessMessages();
  }
}

// Pictures in each UI language: upload_progress-LANG, nothing cut.
TEST_F(UploadProgress, PicturesInEveryLanguage) {
  for (const testsupport::TUiLanguage& language : testsupport::kUiLanguages) {
    ASSERT_TRUE(testsupport::SelectHostLanguage(language));
    TFormUploadProgress* form = Open(5000);
    Progress(1100);
    SavePicture(("upload_progress-" + std::string(language.code)).c_str());
    EXPECT_EQ(testsupport::CutTexts(*form), std::vector<std::string>{}) << language.code;
    form->Close();
    Application->ProcessMessages();
  }
  testsupport::SelectEnglish();
}

TEST_F(UploadProgress, ASizeOfZeroLeavesTheWindowAsItIs) {
  TFormUploadProgress* form = Open(0);
  Progress(0);
  EXPECT_EQ(form->lblProgress->Caption(), "??:??");
  EXPECT_EQ(form->ProgressBar1->Position(), 0);
}

TEST_F(UploadProgress, CancelGreysTheButtonAndEndsTheUploadWithoutTheDoneFlag) {
  folder_.Write("big.bin", std::string(5000, 'x'));
  bool done = false;
  ASSERT_TRUE(PrepareUpload(gCommRecord.upload, folder_.System("big.bin"), "//WWW/UPLOAD/BIG.BIN", &done));
  PublishUpload(gCommRecord.upload, ShowUploadProgress(gCommRecord.upload, blocked_));
  Application->ProcessMessages();
  TFormUploadProgress* form = FormUploadProgress;
  for (int i = 0; i < 6; ++i) livetest::CallOnce();
  Application->ProcessMessages();
  EXPECT_EQ(form->ProgressBar1->Position(), 22);
  Driver::Click(form->Button1);
  EXPECT_FALSE(form->Button1->Enabled());
  EXPECT_EQ(livetest::RunTransfers(), 3);  // the block, the close, the end
  Application->ProcessMessages();          // WM_CLOSE from the callback
  EXPECT_EQ(FormUploadProgress, nullptr);
  EXPECT_FALSE(done);
  EXPECT_EQ(gCommRecord.upload.outcome.load(), TUploadOutcome::Cancelled);
  EXPECT_TRUE(IsWindowEnabled(blocked_));
}

TEST_F(UploadProgress, AWholeUploadClosesTheWindowAndAFailedOneStaysRed) {
  folder_.Write("a.bin", std::string(700, 'a'));
  for (bool fail : {false, true}) {
    SCOPED_TRACE(fail);
    bool done = false;
    link_.fault = [&](std::uint8_t command, std::uint8_t* a, std::uint32_t*) {
      if (fail && command == 5) livetest::SetU32(a, 12, 0);
    };
    ASSERT_TRUE(PrepareUpload(gCommRecord.upload, folder_.System("a.bin"), "//WWW/UPLOAD/A.BIN", &done));
    PublishUpload(gCommRecord.upload, ShowUploadProgress(gCommRecord.upload, blocked_));
    Application->ProcessMessages();
    EXPECT_GT(livetest::RunTransfers(), 0);
    Application->ProcessMessages();
    EXPECT_EQ(done, !fail);
    if (!fail) {
      EXPECT_EQ(FormUploadProgress, nullptr);
      continue;
    }
    ASSERT_NE(FormUploadProgress, nullptr);
    EXPECT_EQ(FormUploadProgress->ProgressBar1->BarColor, clRed);
    EXPECT_FALSE(FormUploadProgress->Button1->Enabled());
    EXPECT_EQ(FormUploadProgress->lblProgress->Caption(), "(0B/700B) --:--");
    SavePicture("upload_failed");
  }
}

}  // namespace
