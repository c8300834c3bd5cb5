// The about box (with and without a version block), the small edit and
// question dialogs (Esc answers Cancel, the buttons' texts), the live-view
// window's elements, and pictures of the three dialogs.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "core/HostEnvironment.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/win/VirtualKeys.h"
#include "project/AboutBoxTarnwell.h"
#include "project/FormDebug1.h"
#include "project/FormSimpleEdit.h"
#include "project/FormSimpleMessage.h"
#include "tests/project/ProjectDialogTest.h"
#include "tests/support/CutTexts.h"
#include "tests/support/TestDesignerContext.h"

using namespace projecttest;

namespace {

using TBlock = std::map<std::string, std::string>;

// A version block of the file at `file` only.
TAboutBoxTarnwell::TVersionLookup BlockOf(const std::string& file, const TBlock& block) {
  return [file, block](const std::string& asked, const std::string& key) {
    if (asked != file) return std::string();
    const auto found = block.find(key);
    return found != block.end() ? found->second : std::string();
  };
}

class SmallDialogs : public ProjectDialogTest {
 protected:
  void SetUp() override {
    ProjectDialogTest::SetUp();
    savedExe = HostExeName();
    SetHostExeName("\\Programs\\Halvex\\halvex.exe");
  }
  void TearDown() override {
    SetHostExeName(savedExe);
    ProjectDialogTest::TearDown();
  }
  std::string savedExe;
};

TEST_F(SmallDialogs, TheAboutBoxReadsTheBlockOfTheFileInTheHostProgramsFolder) {
  EXPECT_EQ(TAboutBoxTarnwell::VersionFile(), "\\Programs\\Halvex\\Tarnwell.dll");
  const struct {
    const char* what;
    std::string file;
    TBlock block;
    const char* name;
    const char* copyright;
    const char* version;
    const char* interface;
  } cases[] = {
      {"full block",
       "\\Programs\\Halvex\\Tarnwell.dll",
       {{"ProductName", "Tarnwell Pro"},
        {"LegalCopyright", "(c) Vorn"},
        {"FileVersion", "24.1.0.1"},
        {"ProductVersion", "24.1"}},
       "Tarnwell Pro",
       "(c) Vorn",
       "24.1.0.1",
       "24.1"},
      {"no product name", "\\Programs\\Halvex\\Tarnwell.dll", {{"FileVersion", "1.2"}}, "Tarnwell", "", "1.2", ""},
      // The plug-in loaded from elsewhere does not count.
      {"file elsewhere",
       "\\Plugins\\Tarnwell.dll",
       {{"ProductName", "Other"}, {"FileVersion", "9"}},
       "Tarnwell",
       "",
       "",
       ""},
  };
  for (const auto& c : cases) {
    TAboutBoxTarnwell box(nullptr, BlockOf(c.file, c.block));
    box.LoadVersionInfo("Tarnwell", 1);
    EXPECT_EQ(box.lProductName->Caption(), c.name) << c.what;
    EXPECT_EQ(box.lCopyright->Caption(), c.copyright) << c.what;
    EXPECT_EQ(box.lVersion->Caption(), c.version) << c.what;
    EXPECT_EQ(box.lRozhrani->Caption(), c.interface) << c.what;
    EXPECT_EQ(box.lVer->Caption(), "Version") << c.what;
    EXPECT_EQ(box.Caption(), "About plug-in") << c.what;
  }
}

TEST_F(SmallDialogs, TheDesignerShowsTheAboutBoxWithTheProductWord) {
  Open();
  std::string shown;
  Driver::OnModal("TAboutBoxTarnwell", [&shown](TCustomForm& form) {
    shown = dynamic_cast<TAboutBoxTarnwell&>(form).lProductName->Caption();
    return mrOk;
  });
  ClickButton(designer->tbAbout);
  EXPECT_EQ(shown, "Tarnwell");
}

TEST_F(SmallDialogs, EscapeAnswersCancel) {
  const auto pressEscape = [](TCustomForm&) {
    Driver::PressKey(VK_ESCAPE);
    return mrNone;
  };
  Driver::OnModal("TFormSimpleEdit", pressEscape);
  Driver::OnModal("TFormSimpleMessage", pressEscape);
  TFormSimpleEdit edit(nullptr);
  edit.Edit1->SetText("BASE");
  EXPECT_EQ(edit.ShowModal(), mrCancel);
  EXPECT_EQ(edit.Edit1->Text(), "BASE");
  TFormSimpleMessage question(nullptr);
  question.Message1->SetCaption(GetUiText(7126));
  EXPECT_EQ(question.ShowModal(), mrCancel);
  // Enter takes the default button: OK, "Yes".
  const auto pressEnter = [](TCustomForm&) {
    Driver::PressKey(VK_RETURN);
    return mrNone;
  };
  Driver::Reset();
  Driver::OnModal("TFormSimpleEdit", pressEnter);
  Driver::OnModal("TFormSimpleMessage", pressEnter);
  EXPECT_EQ(edit.ShowModal(), mrOk);
  EXPECT_EQ(question.ShowModal(), mrOk);
  EXPECT_EQ(question.Button1->Caption(), "Yes");
  EXPECT_EQ(question.Button2->Caption(), "No");
  EXPECT_EQ(question.Caption(), "Tarnwell");
}

TEST_F(SmallDialogs, TheLiveWindowPointsItsElementsAtItsFlagAndStopsTheLiveViewOnClose) {
  Open();
  designer->LoadProject();
  TmyXmlNode* page = Find("page");
  TmyXmlNode* object = page->AddChild("object");
  object->UpdateAttr("caption", "Pressure");
  object->SetAttrInt("X", 20);
  object->SetAttrInt("Y", 16);
  object->AddChild("label");
  testsupport::TestDesignerContext context;
  auto* window = new TFormDebug1(nullptr, &context);
  designer->LoadObjects(page, window->sbDesign1);
  TGridWebElement* element = nullptr;
  for (int i = 0; i < window->sbDesign1->ControlCount() && element == nullptr; ++i)
    element = dynamic_cast<TGridWebElement*>(window->sbDesign1->Controls(i));
  ASSERT_NE(element, nullptr);
  element->FPending = true;
  element->FPendingText = "12";
  window->Show();
  EXPECT_EQ(element->LiveModeFlag(), &window->LiveMode);
  EXPECT_TRUE(*element->LiveModeFlag());
  EXPECT_FALSE(element->FPending);
  EXPECT_EQ(element->FPendingText, "");
  window->SetCaption("Start");
  EXPECT_FALSE(SavePicture(window, "live-window").empty());
  window->Close();
  EXPECT_EQ(context.liveViewStops, 1);
  Application->ProcessMessages();
}

TEST_F(SmallDialogs, PicturesOfTheSmallDialogs) {
  InEveryLanguage([](const std::string& language) {
    TAboutBoxTarnwell box(nullptr, BlockOf(TAboutBoxTarnwell::VersionFile(), {{"LegalCopyright", "Copyright (c) Vorn"},
                                                                              {"FileVersion", "24.1.0.1"},
                                                                              {"ProductVersion", "24.1"}}));
    box.LoadVersionInfo("Tarnwell", 1);
    EXPECT_FALSE(SavePicture(&box, "about-" + language).empty());
    TFormSimpleEdit edit(nullptr);
    edit.SetCaption(GetUiText(7110));
    edit.Edit1->SetText("Plant.Tank[1].");
    edit.FormActivate(&edit);
    EXPECT_FALSE(SavePicture(&edit, "simple-edit-" + language).empty());
    TFormSimpleMessage question(nullptr);
    question.Message1->SetCaption(GetUiText(7125));
    EXPECT_FALSE(SavePicture(&question, "simple-message-" + language).empty());
    EXPECT_EQ(testsupport::CutTexts(question), std::vector<std::string>{}) << language;
  });
}

}  // namespace
