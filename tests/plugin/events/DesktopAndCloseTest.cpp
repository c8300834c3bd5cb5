// The desktop events (the designer saved with the host's desktop and
// restored from it) and the project's close queries and close.

#include <gtest/gtest.h>

#include "EventsFixture.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/IniFiles.h"
#include "platform/win/MessageBox.h"
#include "plugin/CommRecord.h"
#include "plugin/DesignerLink.h"
#include "plugin/PluginState.h"
#include "plugin/WebMainForm.h"

namespace {

using eventstest::ReadFile;
using eventstest::WriteFile;

// A "SaveTD" that no save writes: a save since it was set replaces it.
constexpr const char* kUntouchedSave = "7";

class DesktopAndClose : public eventstest::EventsFixture {
 protected:
  DesktopStorage Storage() { return &host.Desktop(); }
  // The designer with a change of its project that is not saved yet.
  void OpenModifiedDesigner() {
    OpenDesigner(true);
    ASSERT_NE(FormDesign1, nullptr);
    FormDesign1->SetModified();
    SetSetting("TimeStamps", "SaveTD", kUntouchedSave);
  }
  bool SavedSinceMarked() const { return Setting("TimeStamps", "SaveTD") != kUntouchedSave; }
};

TEST_F(DesktopAndClose, SaveAndLoadDesktopBringBackAShownDesignerDockedAsItWas) {
  OpenModifiedDesigner();
  EXPECT_EQ(plugin->SaveDesktop(Storage()), S_OK);
  EXPECT_TRUE(TIniFile(WebFile(".webx").string()).ReadBool("Settings", "Show", false));
  EXPECT_TRUE(gSavedWithDesktop);
  EXPECT_TRUE(SavedSinceMarked()) << "the project was saved with the desktop";
  EXPECT_TRUE(std::filesystem::exists(WebFile(".xml")));
  EXPECT_FALSE(host.Desktop().values.empty());

  EXPECT_EQ(plugin->OnCloseControler(), S_OK);
  ASSERT_EQ(FormDesign1, nullptr);
  EXPECT_TRUE(host.Ide().Forms().empty());

  WebMainForm1->Global = false;
  SetSetting("Settings", "Global", "1");
  SetSetting("Settings", "GlobalDir", "Shared");
  EXPECT_EQ(plugin->LoadDesktop(Storage()), S_OK);
  ASSERT_NE(FormDesign1, nullptr);
  const auto forms = host.Ide().Forms();
  ASSERT_EQ(forms.count(FormDesign1), 1u);
  EXPECT_TRUE(forms.at(FormDesign1).docked);
  EXPECT_TRUE(forms.at(FormDesign1).shown);
  EXPECT_EQ(forms.at(FormDesign1).stateName, "FormDesign1");
  EXPECT_TRUE(FormDesign1->FApplyDocking);
  EXPECT_TRUE(WebMainForm1->Global);
  EXPECT_EQ(WebMainForm1->GlobalDir, "Shared");
}

TEST_F(DesktopAndClose, DesktopSavedWithoutADesignerRestoresNone) {
  EXPECT_EQ(plugin->SaveDesktop(Storage()), S_OK);
  EXPECT_FALSE(TIniFile(WebFile(".webx").string()).ReadBool("Settings", "Show", true));
  EXPECT_FALSE(gSavedWithDesktop);
  EXPECT_EQ(plugin->LoadDesktop(Storage()), S_OK);
  EXPECT_EQ(FormDesign1, nullptr);
}

TEST_F(DesktopAndClose, CloseAfterTheDesktopSaveDoesNotSaveAgain) {
  OpenModifiedDesigner();
  EXPECT_EQ(plugin->SaveDesktop(Storage()), S_OK);
  ASSERT_TRUE(SavedSinceMarked());
  // Changed again after the desktop save: the close still does not save.
  FormDesign1->SetModified();
  SetSetting("TimeStamps", "SaveTD", kUntouchedSave);
  EXPECT_EQ(plugin->OnCloseControler(), S_OK);
  EXPECT_EQ(FormDesign1, nullptr);
  EXPECT_FALSE(SavedSinceMarked());
}

TEST_F(DesktopAndClose, CloseQueryBeforeTheCloseMakesTheCloseSaveTheModifiedProject) {
  OpenModifiedDesigner();
  EXPECT_EQ(plugin->SaveDesktop(Storage()), S_OK);
  FormDesign1->SetModified();
  SetSetting("TimeStamps", "SaveTD", kUntouchedSave);
  VARIANT_BOOL mayClose = 5;
  EXPECT_EQ(plugin->OnQueryCloseControler(&mayClose), S_OK);
  EXPECT_EQ(mayClose, VARIANT_TRUE);
  EXPECT_FALSE(gSavedWithDesktop);
  EXPECT_EQ(plugin->OnCloseControler(), S_OK);
  EXPECT_EQ(FormDesign1, nullptr);
  EXPECT_TRUE(SavedSinceMarked());
}

TEST_F(DesktopAndClose, CloseQueriesRefuseWhileAnUploadRunsAndLeaveTheValueWithoutADesigner) {
  struct Case {
    bool designer;
    int uploadState;
    VARIANT_BOOL expected;
  };
  constexpr VARIANT_BOOL kUntouched = 5;
  const Case cases[] = {
      {true, 0, VARIANT_TRUE}, {true, 2, VARIANT_FALSE}, {false, 0, kUntouched}, {false, 2, kUntouched}};
  for (const Case& c : cases) {
    if (c.designer) OpenModifiedDesigner();
    gCommRecord.upload.state.store(c.uploadState);
    VARIANT_BOOL project = kUntouched;
    VARIANT_BOOL controler = kUntouched;
    EXPECT_EQ(plugin->OnQueryCloseProject(0, &project), S_OK);
    EXPECT_EQ(plugin->OnQueryCloseControler(&controler), S_OK);
    EXPECT_EQ(project, c.expected) << c.designer << " " << c.uploadState;
    EXPECT_EQ(controler, c.expected) << c.designer << " " << c.uploadState;
    gCommRecord.upload.state.store(0);
    DropDesigner();
  }
}

TEST_F(DesktopAndClose, EndOfClosingDropsTheDesignerWithoutSaving) {
  OpenModifiedDesigner();
  EXPECT_EQ(plugin->EndOfClosingProject(), S_OK);
  EXPECT_EQ(FormDesign1, nullptr);
  EXPECT_TRUE(host.Ide().Forms().empty());
  EXPECT_FALSE(SavedSinceMarked());
}

}  // namespace

// The host's close saves with the desktop and then closes the designer,
// whose close query saves again. A save refused because the project file
// could not be read is told once in that close, and the file stays as it is.
TEST_F(DesktopAndClose, ARefusedSaveIsToldOnceWhenTheProjectCloses) {
  WriteFile(WebFile(".xml"), "<web version=\"8.1\"><group caption=\"G\">");
  OpenModifiedDesigner();
  ClearMessageBoxLog();
  // The events of the host's close, in its order.
  VARIANT_BOOL mayClose = VARIANT_FALSE;
  EXPECT_EQ(plugin->SaveDesktop(Storage()), S_OK);
  EXPECT_EQ(plugin->OnQueryCloseProject(0, &mayClose), S_OK);
  EXPECT_EQ(plugin->OnQueryCloseControler(&mayClose), S_OK);
  EXPECT_EQ(plugin->OnCloseControler(), S_OK);
  EXPECT_EQ(FormDesign1, nullptr);
  int refusals = 0;
  for (const MessageBoxRecord& box : MessageBoxLog())
    refusals += box.text.find("could not be read when the project was opened") != std::string::npos ? 1 : 0;
  EXPECT_EQ(refusals, 1);
  EXPECT_EQ(ReadFile(WebFile(".xml")), "<web version=\"8.1\"><group caption=\"G\">");
}
