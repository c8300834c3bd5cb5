// The global settings: the target presets and the size label, the preset
// that typed sizes select, the enabling rules, the write-back into the
// designer and the `web` element (change stamps renewed only for layout
// changes, encodings, flag elements), the marker files and the favicon
// applied on OK only, and pictures of the dialog.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "designer/GlobalSettingsBridge.h"
#include "generator/ProjectSettings.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ColorDialog.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/OpenDialog.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Shape.h"
#include "platform/win/MessageBox.h"
#include "project/FormGlobalSettings.h"
#include "tests/project/ProjectDialogTest.h"

using namespace projecttest;

namespace {

using TAction = std::function<void(TFormGlobalSettings&)>;

class GlobalSettings : public ProjectDialogTest {
 protected:
  void TearDown() override {
    form.reset();
    ProjectDialogTest::TearDown();
  }
  // The dialog filled from the designer and shown (not modally).
  TFormGlobalSettings& Filled() {
    form.reset();
    form = std::make_unique<TFormGlobalSettings>(designer.get());
    FillGlobalSettings(*form, *designer);
    form->Show();
    return *form;
  }
  // The command as the user runs it: the action, then OK or Cancel.
  void Run(const TAction& action, int answer) {
    Driver::OnModal("TFormGlobalSettings", [action, answer](TCustomForm& shown) {
      action(dynamic_cast<TFormGlobalSettings&>(shown));
      return answer;
    });
    ClickButton(designer->btnGlobal);
    Driver::Reset();
  }
  static void Type(TEdit* box, int value) {
    Driver::Focus(box);
    box->SelectAll();
    Driver::TypeText(std::to_string(value));
  }
  const TProjectSettings& Settings() const { return designer->Document().Settings(); }

  std::unique_ptr<TFormGlobalSettings> form;
};

TEST_F(GlobalSettings, PresetsSetTheBoxesAndTheLabels) {
  Open();
  const struct {
    const char* entry;
    bool menuBefore;
    bool titleBefore;
    int width;
    int height;
    bool menuAfter;
    bool titleAfter;
    const char* size;
  } cases[] = {
      {"Pavo-B", true, true, 480, 272, false, false, "480 x 272"},
      {"Pavo-C (portrait)", true, false, 600, 800, false, false, "600 x 800"},
      {"1024x768", false, true, 984, 593, false, true, "984 x 553"},
      {"1024x768", true, true, 984, 593, true, true, "824 x 553"},
      {"320x240", false, false, 280, 65, false, false, "280 x 65"},
  };
  for (const auto& c : cases) {
    TFormGlobalSettings& dialog = Filled();
    dialog.cbMenu->SetChecked(c.menuBefore);
    dialog.cbTitle->SetChecked(c.titleBefore);
    dialog.cbGeneratePavoA->SetChecked(false);
    const int entry = dialog.cbTarget->Items()->IndexOf(c.entry);
    ASSERT_GE(entry, 0) << c.entry;
    Driver::Focus(dialog.cbTarget);
    dialog.cbTarget->SelectFromList(entry);
    EXPECT_EQ(TFormGlobalSettings::BoxValue(dialog.scWidth), c.width) << c.entry;
    EXPECT_EQ(TFormGlobalSettings::BoxValue(dialog.scHeight), c.height) << c.entry;
    EXPECT_EQ(dialog.cbMenu->Checked(), c.menuAfter) << c.entry;
    EXPECT_EQ(dialog.cbTitle->Checked(), c.titleAfter) << c.entry;
    EXPECT_EQ(dialog.cbGeneratePavoA->Checked(), !c.menuAfter && !c.titleAfter && entry <= 4) << c.entry;
    EXPECT_EQ(dialog.cbTarget->ItemIndex(), entry) << c.entry;
    EXPECT_EQ(dialog.lbSize->Caption(), c.size) << c.entry;
    EXPECT_EQ(dialog.lbWidth->Caption(), std::to_string(c.width + 20)) << c.entry;
    EXPECT_EQ(dialog.lbHeight->Caption(), std::to_string(c.height + 20)) << c.entry;
  }
  // Leaving the height box raises a height below 200.
  Driver::Focus(form->scHeight);
  Driver::Focus(form->scWidth);
  EXPECT_EQ(TFormGlobalSettings::BoxValue(form->scHeight), 200);
}

TEST_F(GlobalSettings, TypedSizesSelectTheMatchingPreset) {
  Open();
  const struct {
    bool menu;
    bool title;
    int width;
    int height;
    int entry;
  } cases[] = {
      {false, false, 640, 480, 1}, {true, false, 640, 480, 0}, {false, false, 600, 800, 4},
      {true, true, 760, 425, 9},   {false, true, 760, 425, 9}, {false, false, 760, 425, 0},
  };
  for (const auto& c : cases) {
    TFormGlobalSettings& dialog = Filled();
    dialog.cbMenu->SetChecked(c.menu);
    dialog.cbTitle->SetChecked(c.title);
    Type(dialog.scWidth, c.width);
    Type(dialog.scHeight, c.height);
    EXPECT_EQ(dialog.cbTarget->ItemIndex(), c.entry) << c.width << "x" << c.height << " menu " << c.menu;
  }
}

TEST_F(GlobalSettings, AStoredPanelPageOpensOnItsPreset) {
  std::string text = ProjectWith("");
  text.replace(text.find("<web "), 5, "<web width=\"660\" height=\"500\" menu=\"false\" title=\"false\" ");
  PutProject(text);
  OpenDesigner();
  TFormGlobalSettings& dialog = Filled();
  EXPECT_EQ(dialog.scWidth->Text(), "640");
  EXPECT_EQ(dialog.scHeight->Text(), "480");
  EXPECT_EQ(dialog.cbTarget->Text(), "Pavo-A");
}

TEST_F(GlobalSettings, TheMenuDisablesHideBorder) {
  Open();
  TFormGlobalSettings& dialog = Filled();
  dialog.cbMenu->SetChecked(false);
  EXPECT_TRUE(dialog.cbBorder->Enabled());
  dialog.cbBorder->SetChecked(true);
  Driver::Click(dialog.cbMenu);
  EXPECT_TRUE(dialog.cbMenu->Checked());
  EXPECT_FALSE(dialog.cbBorder->Enabled());
  EXPECT_FALSE(dialog.cbBorder->Checked());
  Driver::Click(dialog.cbMenu);
  EXPECT_TRUE(dialog.cbBorder->Enabled());
  EXPECT_FALSE(dialog.cbBorder->Checked());
  // The grid boxes follow the grid check box; the scale boxes theirs.
  EXPECT_TRUE(dialog.cbGrid->Enabled());
  dialog.cbGrid->SetChecked(false);
  EXPECT_FALSE(dialog.seGridX->Enabled());
  dialog.cbInitialScale->SetChecked(true);
  EXPECT_TRUE(dialog.meInitialScale->Enabled());
  EXPECT_FALSE(dialog.meMaxScale->Enabled());
}

TEST_F(GlobalSettings, OnlyLayoutChangesRenewThePagesChangeStamps) {
  const struct {
    const char* what;
    TAction action;
    bool renewed;
  } cases[] = {
      {"encoding", [](TFormGlobalSettings& f) { f.cbEncoding->SetText("windows-1251"); }, false},
      {"footnote", [](TFormGlobalSettings& f) { f.edtFoot->SetText("Plant"); }, false},
      {"panels", [](TFormGlobalSettings& f) { f.cbGeneratePavoA->SetChecked(true); }, false},
      {"marker", [](TFormGlobalSettings& f) { f.cbGenarateEveryTime->SetChecked(true); }, false},
      {"width", [](TFormGlobalSettings& f) { TFormGlobalSettings::SetBoxValue(f.scWidth, 700); }, true},
      {"margin", [](TFormGlobalSettings& f) { TFormGlobalSettings::SetBoxValue(f.scLeft, 3); }, true},
      {"title", [](TFormGlobalSettings& f) { f.cbTitle->SetChecked(false); }, true},
      {"mobile", [](TFormGlobalSettings& f) { f.cbWebApp->SetChecked(true); }, true},
  };
  for (const auto& c : cases) {
    Open();
    Find("page")->UpdateAttr("ucid", "7");
    Run(c.action, mrOk);
    EXPECT_EQ(Find("page")->GetAttr("ucid") != "7", c.renewed) << c.what;
    EXPECT_TRUE(designer->Document().Modified()) << c.what;
    designer.reset();
  }
}

TEST_F(GlobalSettings, EncodingsMapToCodePagesAsTheDesignerReadsThem) {
  for (const char* encoding : {"windows-1251", "UTF-8", "windows-1254", "latin", "WINDOWS-1250"}) {
    Open();
    Run([encoding](TFormGlobalSettings& f) { f.cbEncoding->SetText(encoding); }, mrOk);
    EXPECT_EQ(Web()->GetAttr("encoding"), encoding);
    EXPECT_EQ(Settings().codePage, CodePageOfEncoding(encoding)) << encoding;
    designer.reset();
  }
  EXPECT_EQ(CodePageOfEncoding("windows-1251"), 1251);
  EXPECT_EQ(CodePageOfEncoding("UTF-8"), 8);
}

TEST_F(GlobalSettings, OkWritesTheWebElementAndCancelNothing) {
  Open();
  const std::string before = DocumentText();
  Run([](TFormGlobalSettings& f) { TFormGlobalSettings::SetBoxValue(f.scWidth, 700); }, mrCancel);
  EXPECT_EQ(DocumentText(), before);
  EXPECT_FALSE(designer->Document().Modified());
  Run(
      [](TFormGlobalSettings& f) {
        TFormGlobalSettings::SetBoxValue(f.scWidth, 960);
        TFormGlobalSettings::SetBoxValue(f.scHeight, 480);
        f.cbMenu->SetChecked(false);
        f.cbBorder->SetChecked(true);
        f.DontDeleteXml1->Click();
        f.GenerateVarNames1->Click();
        f.cbOldDim1->SetChecked(false);
        f.cbGrid->SetChecked(true);
        TFormGlobalSettings::SetBoxValue(f.seGridX, 0);
      },
      mrOk);
  TmyXmlNode* web = Web();
  EXPECT_EQ(web->GetAttr("width"), "980");
  EXPECT_EQ(web->GetAttr("height"), "500");
  EXPECT_EQ(web->GetAttr("menu"), "false");
  EXPECT_EQ(web->GetAttr("border"), "false");
  // The built-in footnote and author are written when the project had none.
  EXPECT_EQ(web->GetAttr("foot"), "Created with Tarnwell");
  EXPECT_EQ(web->GetAttr("author"), "Tarnwell");
  // The newest flag element stands first.
  EXPECT_EQ(web->firstChild->name, "globalset");
  EXPECT_EQ(web->firstChild->GetAttr("newdim"), "1");
  EXPECT_EQ(web->firstChild->next->name, "VarNames");
  EXPECT_EQ(web->firstChild->next->next->name, "DebugXmz");
  EXPECT_EQ(Settings().pageWidth, 980);
  EXPECT_TRUE(Settings().menuOff);
  EXPECT_TRUE(designer->Document().VarNames());
  EXPECT_EQ(designer->Document().Grid()->GetAttr("X"), "1");
  EXPECT_EQ(designer->FGridX, 1);
  // Unchecking removes the element; checking again adds no second one.
  Run([](TFormGlobalSettings& f) { f.DontDeleteXml1->Click(); }, mrOk);
  EXPECT_EQ(web->FindChild("DebugXmz"), nullptr);
  Run([](TFormGlobalSettings& f) { f.DontDeleteXml1->Click(); }, mrOk);
  Run([](TFormGlobalSettings& f) { EXPECT_TRUE(f.DontDeleteXml1->Checked()); }, mrOk);
  int count = 0;
  for (TmyXmlNode* child = web->firstChild; child != nullptr; child = child->next) count += child->name == "DebugXmz";
  EXPECT_EQ(count, 1);
}

TEST_F(GlobalSettings, TheMarkerFilesChangeOnOkOnly) {
  Open();
  const auto check = [](TFormGlobalSettings& f) {
    f.cbGenarateEveryTime->SetChecked(true);
    f.DisableTdi1->Click();
  };
  Run(check, mrCancel);
  EXPECT_FALSE(folder.Exists("Tarnwell/Proj.auto"));
  EXPECT_FALSE(folder.Exists("Tarnwell/disable.tdi"));
  EXPECT_FALSE(designer->DictionaryOff());
  Run(check, mrOk);
  EXPECT_EQ(folder.Read("Tarnwell/Proj.auto"), "On");
  EXPECT_EQ(folder.Read("Tarnwell/disable.tdi"), "Disable");
  EXPECT_TRUE(designer->DictionaryOff());
  // The next opening shows both; an existing marker is not rewritten.
  folder.Write("Tarnwell/Proj.auto", "kept");
  Run(
      [](TFormGlobalSettings& f) {
        EXPECT_TRUE(f.cbGenarateEveryTime->Checked());
        EXPECT_TRUE(f.DisableTdi1->Checked());
      },
      mrOk);
  EXPECT_EQ(folder.Read("Tarnwell/Proj.auto"), "kept");
  Run(
      [](TFormGlobalSettings& f) {
        f.cbGenarateEveryTime->SetChecked(false);
        f.DisableTdi1->Click();
      },
      mrOk);
  EXPECT_FALSE(folder.Exists("Tarnwell/Proj.auto"));
  EXPECT_FALSE(folder.Exists("Tarnwell/disable.tdi"));
  EXPECT_FALSE(designer->DictionaryOff());
}

class GlobalSettingsIcon : public GlobalSettings {
 protected:
  void SetUp() override {
    GlobalSettings::SetUp();
    folder.Write("new.ico", windowtest::ReadBytes(windowtest::SourcePath("resources/web/FAVICON.ICO")));
    folder.Write("Tarnwell/Images/FAVICON.ICO", "old icon");
  }
  void PickOnRun() {
    Driver::OnDialog("TOpenPictureDialog", [this](TCommonDialog& dialog) {
      dynamic_cast<TOpenDialog&>(dialog).FileName = folder.System("new.ico");
      return true;
    });
  }
  void Run(int answer) {
    Driver::OnModal("TFormGlobalSettings", [this, answer](TCustomForm& shown) {
      auto& dialog = dynamic_cast<TFormGlobalSettings&>(shown);
      PickOnRun();
      Driver::Click(dialog.btnIcon);
      picked = dialog.IconName;
      return answer;
    });
    ClickButton(designer->btnGlobal);
    Driver::Reset();
  }
  std::string picked;
};

TEST_F(GlobalSettingsIcon, CancelKeepsTheOldIconAndLeavesNoCopy) {
  Open();
  Run(mrCancel);
  EXPECT_EQ(picked, "FAVICON.ICO");
  EXPECT_EQ(folder.Read("Tarnwell/Images/FAVICON.ICO"), "old icon");
  EXPECT_FALSE(folder.Exists("Tarnwell/Images/FAVICON.ICO.new"));
  EXPECT_EQ(Web()->FindAttr("icon"), nullptr);
}

TEST_F(GlobalSettingsIcon, OkReplacesTheIconAndNamesIt) {
  Open();
  Run(mrOk);
  EXPECT_EQ(folder.Read("Tarnwell/Images/FAVICON.ICO"), folder.Read("new.ico"));
  EXPECT_FALSE(folder.Exists("Tarnwell/Images/FAVICON.ICO.new"));
  EXPECT_EQ(Web()->GetAttr("icon"), "FAVICON.ICO");
  // The next opening shows the icon with the button that removes it; the
  // removal leaves the file.
  TFormGlobalSettings& dialog = Filled();
  EXPECT_EQ(dialog.btnIcon->Caption(), "x");
  EXPECT_GT(dialog.imgIco->Width(), 0);
  EXPECT_EQ(dialog.imgIco->Width(), std::min(32, dialog.imgIco->Picture()->Width()));
  Driver::Click(dialog.btnIcon);
  EXPECT_EQ(dialog.btnIcon->Caption(), "...");
  EXPECT_EQ(dialog.IconName, "");
  EXPECT_TRUE(folder.Exists("Tarnwell/Images/FAVICON.ICO"));
}

TEST_F(GlobalSettingsIcon, AFailedCopyIsReportedAndTheOldIconStays) {
  Open();
  // A folder stands where the copy should go.
  folder.Write("Tarnwell/Images/FAVICON.ICO.new/inside", "a folder");
  int reports = 0;
  AddMessageBoxHandler("copying of images", [&reports](const MessageBoxRecord&) {
    ++reports;
    return IDOK;
  });
  Run(mrOk);
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(picked, "");
  EXPECT_EQ(folder.Read("Tarnwell/Images/FAVICON.ICO"), "old icon");
  EXPECT_EQ(Web()->GetAttr("icon"), "");
}

TEST_F(GlobalSettings, TheSwatchTakesAConfirmedColourAndNotACancelledOne) {
  Open();
  TFormGlobalSettings& dialog = Filled();
  dialog.cbSameAsPage->SetChecked(true);
  EXPECT_EQ(dialog.shFront->Brush->Style, bsDiagCross);
  int answer = 0;
  Driver::OnDialog("TColorDialog", [&answer](TCommonDialog& shown) {
    dynamic_cast<TColorDialog&>(shown).Color = 0x00FF00;
    return answer++ > 0;
  });
  Driver::Click(dialog.shFront);
  EXPECT_EQ(dialog.shFront->Brush->Color, static_cast<TColor>(0xFFFFFF));
  EXPECT_TRUE(dialog.cbSameAsPage->Checked());
  Driver::Click(dialog.shFront);
  EXPECT_EQ(dialog.shFront->Brush->Color, static_cast<TColor>(0x00FF00));
  EXPECT_FALSE(dialog.cbSameAsPage->Checked());
  EXPECT_EQ(dialog.shFront->Brush->Style, bsSolid);
}

TEST_F(GlobalSettings, AReadOnlyProjectTakesNothingOnOk) {
  std::string text = ProjectWith("");
  text.replace(text.find("8.1"), 3, "9.0");
  PutProject(text);
  Driver::AnswerMessageBox("newer version", IDOK);
  OpenDesigner();
  ASSERT_TRUE(designer->Document().ReadOnly());
  const std::string before = DocumentText();
  Run([](TFormGlobalSettings& f) { TFormGlobalSettings::SetBoxValue(f.scWidth, 700); }, mrOk);
  EXPECT_EQ(DocumentText(), before);
  EXPECT_EQ(Settings().pageWidth, 980);
}

TEST_F(GlobalSettingsIcon, AnIconThatCannotBePutInPlaceIsReportedAndNotNamed) {
  Open();
  std::filesystem::remove(folder.Path() / "Tarnwell/Images/FAVICON.ICO");
  folder.Write("Tarnwell/Images/FAVICON.ICO/blocking", "a folder of the icon's name");
  int reports = 0;
  AddMessageBoxHandler("copying of images", [&reports](const MessageBoxRecord&) {
    ++reports;
    return IDOK;
  });
  Run(mrOk);
  EXPECT_EQ(picked, "FAVICON.ICO");
  EXPECT_EQ(reports, 1);
  EXPECT_EQ(Web()->GetAttr("icon"), "");
  EXPECT_FALSE(folder.Exists("Tarnwell/Images/FAVICON.ICO.new"));
}

TEST_F(GlobalSettings, PicturesOfTheDialog) {
  Open();
  InEveryLanguage([this](const std::string& language) {
    TFormGlobalSettings& dialog = Filled();
    dialog.SetUiTexts();
    EXPECT_EQ(dialog.cbTarget->Items()->Strings(0),
              language == "en" ? "user resolution" : dialog.cbTarget->Items()->Strings(0));
    EXPECT_FALSE(SavePicture(&dialog, "global-settings-" + language).empty());
  });
}

TEST_F(GlobalSettings, LabelsAndBoxesOfARowDoNotOverlapInAnyLanguage) {
  Open();
  InEveryLanguage([this](const std::string& language) {
    TFormGlobalSettings& d = Filled();
    d.SetUiTexts();
    const std::vector<std::vector<TControl*>> rows = {
        {d.Label3, d.scWidth, d.Label2, d.scHeight},
        {d.Label4, d.cbTarget},
        {d.lblLeft, d.scLeft, d.lblTop, d.scTop},
        {d.lblBackground, d.shFront, d.cbSameAsPage},
        {d.lblGridX, d.seGridX, d.lblGridY, d.seGridY},
        {d.lblFoot, d.edtFoot},
        {d.lblAuthor, d.edtAuthor},
        {d.lblEncoding, d.cbEncoding},
    };
    for (const std::vector<TControl*>& row : rows) {
      for (std::size_t i = 1; i < row.size(); ++i)
        EXPECT_GE(row[i]->Left(), row[i - 1]->Left() + row[i - 1]->Width())
            << language << ": " << row[i - 1]->Name() << " reaches into " << row[i]->Name();
      EXPECT_LE(row.back()->Left() + row.back()->Width(), d.ClientWidth()) << language << ": " << row.back()->Name();
    }
    // A label keeps the width of its whole text.
    TCanvas measure;
    measure.Font->Assign(*d.Label4->Font());
    EXPECT_EQ(d.Label4->Width(), measure.TextWidth(d.Label4->Caption())) << language;
  });
  // Back in English, the boxes stand where they were made.
  TFormGlobalSettings& d = Filled();
  d.SetUiTexts();
  EXPECT_EQ(d.cbTarget->Left(), 150);
  EXPECT_EQ(d.cbEncoding->Left(), 240);
}

// The preset list beside its drop-down button and the placeholders button
// show their whole texts in every language ("benutzerdefinierte Auflösung",
// "Symbole zastępcze ...").
TEST_F(GlobalSettings, ThePresetListAndThePlaceholdersButtonShowTheirWholeTexts) {
  Open();
  InEveryLanguage([this](const std::string& language) {
    TFormGlobalSettings& d = Filled();
    d.SetUiTexts();
    TCanvas measure;
    measure.Font->Assign(*d.cbTarget->Font());
    const int listTextArea = d.cbTarget->Width() - 4 - 17;  // edges and button
    for (int i = 0; i < d.cbTarget->Items()->Count(); ++i)
      EXPECT_LE(measure.TextWidth(d.cbTarget->Items()->Strings(i)) + 4, listTextArea) << language << " entry " << i;
    EXPECT_LE(d.cbTarget->Left() + d.cbTarget->Width(), d.ClientWidth()) << language;
    EXPECT_LE(measure.TextWidth(d.btnPlaceHolders->Caption()) + 8, d.btnPlaceHolders->Width()) << language;
    EXPECT_LT(d.btnPlaceHolders->Left() + d.btnPlaceHolders->Width(), d.Button1->Left()) << language;
  });
}

}  // namespace
