// The status window of a compile: its components and layout, the texts set
// when it is activated (in the UI language of that moment), its button, the
// help key, and how it looks.

#include "generator/FormStatus1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/HostEnvironment.h"
#include "core/UiText.h"
#include "platform/help/HtmlHelp.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/Panel.h"
#include "platform/win/Resources.h"
#include "platform/win/VirtualKeys.h"
#include "tests/support/BitmapPixels.h"
#include "tests/support/TempFolder.h"

namespace {

class StatusWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadDefaultUiTable(HInstance));
    Driver::Reset();
  }
  void TearDown() override {
    Driver::Reset();
    SelectUiLanguage(UI_LANG_ENGLISH);
    FreeUiTable();
  }
  std::string PicturePath(const std::string& name) const {
    return std::string(TARNWELL_BINARY_DIR) + "/tests/generator/files/" + name;
  }
};

TEST_F(StatusWindow, ComponentsStandWhereTheLayoutPutsThem) {
  TFormStatus1 form(nullptr);
  struct Row {
    TControl* control;
    const char* name;
    const char* parent;
    int left, top, width, height;
  };
  const Row rows[] = {
      {form.Panel1, "Panel1", "", 0, 93, 439, 33},
      {form.Button1, "Button1", "Panel1", 179, 4, 75, 25},
      {form.MainPanel, "MainPanel", "", 5, 5, 428, 84},
      {form.pnlOutput, "pnlOutput", "MainPanel", 7, 8, 410, 22},
      {form.pnlPath, "pnlPath", "pnlOutput", 85, 1, 321, 20},
      {form.pnlGenerated, "pnlGenerated", "MainPanel", 7, 32, 410, 22},
      {form.pnlStatus, "pnlStatus", "pnlGenerated", 85, 1, 321, 20},
      {form.pnlFiles, "pnlFiles", "MainPanel", 7, 56, 163, 22},
      {form.pnlFileNum, "pnlFileNum", "pnlFiles", 88, 1, 60, 20},
      {form.pnlImages, "pnlImages", "MainPanel", 180, 56, 161, 22},
      {form.pnlImgNum, "pnlImgNum", "pnlImages", 88, 1, 60, 20},
  };
  for (const Row& row : rows) {
    ASSERT_NE(row.control, nullptr) << row.name;
    EXPECT_EQ(form.FindComponent(row.name), row.control) << row.name;
    const std::string parent = row.control->Parent() == &form ? "" : row.control->Parent()->Name();
    EXPECT_EQ(parent, row.parent) << row.name;
    EXPECT_EQ(row.control->Left(), row.left) << row.name;
    EXPECT_EQ(row.control->Top(), row.top) << row.name;
    EXPECT_EQ(row.control->Width(), row.width) << row.name;
    EXPECT_EQ(row.control->Height(), row.height) << row.name;
  }
  EXPECT_EQ(form.ClientWidth(), 439);
  EXPECT_EQ(form.ClientHeight(), 126);
  EXPECT_EQ(form.Caption(), "Tarnwell status");
  EXPECT_EQ(form.BorderStyle(), bsSingle);
  EXPECT_EQ(form.BorderIcons(), static_cast<TBorderIcons>(biSystemMenu));
  EXPECT_EQ(form.Font()->Name, "Segoe UI");
  EXPECT_EQ(form.Font()->Size(), 9);
  EXPECT_EQ(form.pnlOutput->BevelOuter(), bvLowered);
  EXPECT_EQ(form.pnlPath->BevelOuter(), bvNone);
  EXPECT_EQ(form.pnlPath->Alignment(), taLeftJustify);
  EXPECT_EQ(form.pnlFileNum->Alignment(), taRightJustify);
  EXPECT_EQ(form.pnlImgNum->Alignment(), taRightJustify);
  for (TPanel* p : {form.pnlGenerated, form.pnlStatus}) {
    EXPECT_TRUE(p->Font()->Bold()) << p->Name();
    EXPECT_EQ(p->Font()->Color, clGreen) << p->Name();
  }
  EXPECT_TRUE(form.Button1->Default());
  EXPECT_TRUE(form.Button1->Cancel);
  EXPECT_EQ(form.Button1->ModalResult, mrOk);
}

TEST_F(StatusWindow, ActivationSetsTheLabelsInTheLanguageOfThatMomentButNotTheCaption) {
  TFormStatus1 form(nullptr);
  form.FormActivate(&form);
  EXPECT_EQ(form.pnlOutput->Caption(), "Output :");
  EXPECT_EQ(form.pnlGenerated->Caption(), "Compiled :");
  EXPECT_EQ(form.pnlFiles->Caption(), "Files :");
  EXPECT_EQ(form.pnlImages->Caption(), "Images :");
  EXPECT_EQ(form.Button1->Caption(), "OK");

  ASSERT_TRUE(SelectUiLanguage(UI_LANG_CZECH));
  const std::string czechOutput = GetUiText(7063);
  ASSERT_NE(czechOutput, "Output :");
  form.Show();
  form.SetFocus();
  EXPECT_EQ(form.pnlOutput->Caption(), czechOutput);
  EXPECT_EQ(form.pnlFiles->Caption(), GetUiText(7065));
  EXPECT_EQ(form.Caption(), "Tarnwell status");
  form.Hide();
}

TEST_F(StatusWindow, TheModalWindowClosesWithEnterOrEscapeAsOk) {
  for (WORD key : {static_cast<WORD>(VK_RETURN), static_cast<WORD>(VK_ESCAPE)}) {
    TFormStatus1 form(nullptr);
    Driver::OnModal("TFormStatus1", [key](TCustomForm& f) {
      Driver::PressKey(key, 0, &f);
      return mrNone;
    });
    EXPECT_EQ(form.ShowModal(), mrOk) << key;
    Driver::Reset();
  }
}

TEST_F(StatusWindow, F1OpensTheHelpOfTarnwell) {
  testsupport::TempFolder folder("status");
  folder.Write("bin/halvex", "");
  folder.Write("HELP/ENU_Tarnwell.chm", "ITSF");
  SetHostExeName(folder.System("bin\\halvex"));
  ClearHtmlHelpRequests();
  TFormStatus1 form(nullptr);
  form.Show();
  Driver::PressKey(VK_F1, 0, &form);
  SetHostExeName("");
  const std::vector<HtmlHelpRequest> requests = HtmlHelpRequests();
  ClearHtmlHelpRequests();
  form.Hide();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].command, HH_DISPLAY_TOPIC);
  EXPECT_NE(requests[0].file.find("ENU_Tarnwell.chm"), std::string::npos) << requests[0].file;
}

// The window at the end of a compile with errors, painted. The PNG is kept in
// the build folder for a person to look at.
TEST_F(StatusWindow, PaintsTheRowsWithTheirValuesAndTheStateInRed) {
  TFormStatus1 form(nullptr);
  form.FormActivate(&form);
  form.pnlPath->SetCaption("/home/user/Demo/SendRoot\\WWW\\");
  form.pnlStatus->SetCaption(GetUiText(7068));
  form.pnlStatus->Font()->Color = clRed;
  form.pnlGenerated->Font()->Color = clRed;
  form.pnlFileNum->SetCaption("128");
  form.pnlImgNum->SetCaption("17");
  TBitmap bitmap;
  PaintClientToBitmap(&form, bitmap);
  ASSERT_TRUE(SaveControlAsPng(&form, PicturePath("status-window.png")));
  EXPECT_EQ(bitmap.Width(), 439);
  EXPECT_EQ(bitmap.Height(), 126);
  // The state row's label and value are written in red; the other rows not.
  const TRect state{form.MainPanel->Left() + 7, form.MainPanel->Top() + 32, form.MainPanel->Left() + 417,
                    form.MainPanel->Top() + 54};
  EXPECT_GT(CountColor(bitmap, state, clRed), 40);
  const TRect output{state.Left, state.Top - 24, state.Right, state.Bottom - 24};
  EXPECT_EQ(CountColor(bitmap, output, clRed), 0);
  EXPECT_GT(CountColor(bitmap, output, clBlack), 10);
}

}  // namespace
