// The standard dialogs answered by the driver's handlers and, without one,
// cancelled; what the system's dialogs do after OK (default extension, file
// must exist, overwrite prompt).

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/vcl/Dialogs.h"
#include "tests/platform/vcl/comctrls/ComCtrlsTestSupport.h"

class DialogsTest : public ComCtrlsTest {};

TEST_F(DialogsTest, ColorDialogTakesTheHandlersColourAndKeepsItsOwnOnCancel) {
  TColorDialog dialog(nullptr);
  dialog.Color = clRed;
  dialog.CustomColors()->Add("ColorA=3C5A9C");
  dialog.CustomColors()->Add("ColorB=zz");
  EXPECT_EQ(dialog.CustomColor(0), static_cast<TColor>(0x9C5A3C));
  EXPECT_EQ(dialog.CustomColor(1), clNone);
  EXPECT_EQ(dialog.CustomColor(2), clNone);
  EXPECT_EQ(dialog.CustomColor(16), clNone);
  EventLog log;
  dialog.OnShow = [&](TObject*) { log.Add("show"); };
  dialog.OnClose = [&](TObject*) { log.Add("close"); };

  // No handler: Cancel, recorded.
  EXPECT_FALSE(dialog.Execute());
  ASSERT_EQ(Driver::DialogLog().size(), 1u);
  EXPECT_EQ(Driver::DialogLog()[0].className, "TColorDialog");
  EXPECT_FALSE(Driver::DialogLog()[0].answeredByHandler);

  Driver::OnDialog("TColorDialog", [](TCommonDialog& d) {
    auto& cd = static_cast<TColorDialog&>(d);
    EXPECT_EQ(cd.Color, clRed);  // the dialog opens on the current colour
    cd.Color = clTeal;
    cd.CustomColors()->SetStrings(0, "ColorA=FFFFFF");
    return true;
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Color, clTeal);
  EXPECT_EQ(dialog.CustomColor(0), clWhite);

  // A handler that changes things and cancels leaves nothing behind.
  Driver::Reset();
  Driver::OnDialog("TColorDialog", [](TCommonDialog& d) {
    static_cast<TColorDialog&>(d).Color = clYellow;
    static_cast<TColorDialog&>(d).CustomColors()->Clear();
    return false;
  });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.Color, clTeal);
  EXPECT_EQ(dialog.CustomColors()->Count(), 2);
  EXPECT_EQ(log.Joined(), "show close show close show close");
}

class FileDialogsTest : public DialogsTest {
 protected:
  void SetUp() override {
    DialogsTest::SetUp();
    dir_ = std::filesystem::path(TARNWELL_BINARY_DIR) / "comctrls-dialogs";
    std::filesystem::create_directories(dir_);
    existing_ = (dir_ / "present.bmp").string();
    std::ofstream(existing_) << "x";
  }
  std::filesystem::path dir_;
  std::string existing_;
};

TEST_F(FileDialogsTest, OpenDialogAnsweredByAHandlerOrCancelledByDefault) {
  TOpenDialog dialog(nullptr);
  dialog.Options = ofHideReadOnly | ofFileMustExist | ofEnableSizing;
  dialog.FileName = "old.xml";
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "old.xml");
  EXPECT_EQ(Driver::DialogLog().back().className, "TOpenDialog");

  Driver::OnDialog("TOpenDialog", [this](TCommonDialog& d) {
    auto& od = static_cast<TOpenDialog&>(d);
    EXPECT_EQ(od.Options & ofFileMustExist, ofFileMustExist);
    od.FileName = existing_;
    return true;
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, existing_);
  ASSERT_EQ(dialog.Files()->Count(), 1);
  EXPECT_EQ(dialog.Files()->Strings(0), existing_);
}

TEST_F(FileDialogsTest, AMissingFileIsRefusedWhenItMustExistAndDefaultExtIsAdded) {
  TOpenDialog dialog(nullptr);
  dialog.Options = ofFileMustExist;
  dialog.FileName = "keep.txt";
  const std::string missing = (dir_ / "missing.bmp").string();
  Driver::OnDialog("TOpenDialog", [&](TCommonDialog& d) {
    static_cast<TOpenDialog&>(d).FileName = missing;
    return true;
  });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "keep.txt");
  const auto boxes = MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_NE(boxes[0].text.find("missing.bmp"), std::string::npos);
  EXPECT_NE(boxes[0].text.find("File not found."), std::string::npos);

  // Without the option the name is taken, and DefaultExt completes it.
  Driver::Reset();
  dialog.Options = ofHideReadOnly;
  dialog.DefaultExt = "xml";
  Driver::OnDialog("TOpenDialog", [](TCommonDialog& d) {
    static_cast<TOpenDialog&>(d).FileName = "C:\\proj.d\\project";
    return true;
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "C:\\proj.d\\project.xml");

  // An empty choice counts as Cancel.
  Driver::Reset();
  Driver::OnDialog("TOpenDialog", [](TCommonDialog& d) {
    static_cast<TOpenDialog&>(d).FileName.clear();
    return true;
  });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "C:\\proj.d\\project.xml");
}

TEST_F(FileDialogsTest, MultiSelectGivesFilesAndTheFirstAsFileName) {
  TOpenDialog dialog(nullptr);
  Driver::OnDialog("TOpenDialog", [](TCommonDialog& d) {
    auto& od = static_cast<TOpenDialog&>(d);
    od.Files()->Add("a.png");
    od.Files()->Add("b.png");
    od.FilterIndex = 2;
    return true;
  });
  dialog.Options = ofAllowMultiSelect;
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Files()->Count(), 2);
  EXPECT_EQ(dialog.FileName, "a.png");
  EXPECT_EQ(dialog.FilterIndex, 2);
  dialog.Options = 0;  // one file only without the option
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.Files()->Count(), 1);
}

TEST_F(FileDialogsTest, SaveDialogAsksBeforeReplacingAnExistingFile) {
  TSaveDialog dialog(nullptr);
  dialog.Options = ofOverwritePrompt;
  Driver::OnDialog("TSaveDialog", [this](TCommonDialog& d) {
    static_cast<TSaveDialog&>(d).FileName = existing_;
    return true;
  });
  // No answer to the question: its default button, No.
  EXPECT_FALSE(dialog.Execute());
  ASSERT_EQ(MessageBoxLog().size(), 1u);
  EXPECT_NE(MessageBoxLog()[0].text.find("already exists"), std::string::npos);
  Driver::AnswerMessageBox("already exists", IDYES);
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, existing_);
}

TEST_F(FileDialogsTest, OpenPictureDialogHasPictureFiltersAndItsOwnClassName) {
  TOpenPictureDialog dialog(nullptr);
  dialog.Title = "Open images";
  EXPECT_NE(dialog.FilterPatterns(1).find("*.bmp"), std::string::npos);
  EXPECT_EQ(dialog.FilterPatterns(4), "*.bmp");
  EXPECT_EQ(dialog.FilterPatterns(0), "");
  EXPECT_EQ(dialog.FilterPatterns(99), "");
  std::string seenTitle;
  Driver::OnDialog("TOpenPictureDialog", [&](TCommonDialog& d) {
    seenTitle = static_cast<TOpenPictureDialog&>(d).Title;
    static_cast<TOpenPictureDialog&>(d).FileName = existing_;
    return true;
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(seenTitle, "Open images");
}
