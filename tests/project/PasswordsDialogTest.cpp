// The access-settings dialog: the compile road (made unshown, OK called),
// the count choosers, the row filters as the user types, MAC typing and the
// generic addresses, API rows, start pages from the page menu, the
// designer's command with OK and Cancel, and its pictures.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "core/PasswordScramble.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/win/MessageBox.h"
#include "platform/win/VirtualKeys.h"
#include "project/FormPasswords.h"
#include "project/FramMac.h"
#include "project/FramUser.h"
#include "properties/ComboBoxNoWheel.h"
#include "tests/project/ProjectDialogTest.h"
#include "tests/support/CutTexts.h"

using namespace projecttest;

namespace {

constexpr int kUnknownUnit = -1;
constexpr int kUnitWithCounts = 11;

std::string Lines(int from, int to, const std::string& suffix) {
  std::string text;
  for (int i = from; i < to; ++i) text += std::to_string(i) + "," + std::to_string(i) + suffix;
  return text;
}
std::string Repeat(const std::string& line, int n) {
  std::string text;
  while (n-- > 0) text += line;
  return text;
}

// Reads the scrambled body back on its own terms: every byte b of the body
// moved the running byte on by 255 - b; the first byte is the sum of the rest.
std::string Unscramble(const std::string& hex) {
  std::vector<int> running;
  for (std::size_t i = 0; i + 2 <= hex.size(); i += 2) running.push_back(std::stoi(hex.substr(i, 2), nullptr, 16));
  std::string plain;
  int before = 0;
  for (int value : running) {
    plain.push_back(static_cast<char>(255 - ((value - before + 256) % 256)));
    before = value;
  }
  return plain;
}

std::string UserXml(int level, const std::string& name, const std::string& password, const std::string& page = "") {
  return "<user level=\"" + std::to_string(level) + "\" name=\"" + name + "\" pass=\"" + EncodeUserPassword(password) +
         "\"" + (page.empty() ? "" : " page=\"" + page + "\"") + " />";
}

class PasswordsDialog : public ProjectDialogTest {
 protected:
  void SetUp() override {
    ProjectDialogTest::SetUp();
    folder.Write("SendRoot/.keep", "");
  }
  void TearDown() override {
    dialog.reset();
    Driver::ResetPopups();
    ProjectDialogTest::TearDown();
  }
  // The dialog as the designer's command makes it, loaded from the project.
  TFormPasswords& Load(int unit) {
    dialog.reset();
    dialog = std::make_unique<TFormPasswords>(designer.get(), designer.get(), unit);
    dialog->LoadUsers(Find("security"));
    dialog->LoadAutologin(Find("autologin"));
    dialog->LoadApiUsers(Find("vornapi"));
    dialog->UpdateRowStates();
    // Shown (not modally) so that the driver's clicks and keys reach it.
    dialog->Show();
    return *dialog;
  }
  std::string PasswordFile() const { return folder.Read("SendRoot/PSW.TXT"); }

  std::unique_ptr<TFormPasswords> dialog;
};

TEST_F(PasswordsDialog, TheCompileRoadOnAProjectWithoutSecurityWritesTheDefaultsAndAScrambledFile) {
  Open();
  TFormPasswords& form = Load(kUnknownUnit);
  form.FormatVersion = 8001;
  form.Button1Click(nullptr);
  ASSERT_TRUE(form.PasswordFileWritten());
  EXPECT_EQ(form.PswFileName, folder.System("SendRoot\\PSW.TXT"));

  TmyXmlNode* security = Find("security");
  ASSERT_NE(security, nullptr);
  EXPECT_EQ(security->GetAttr("crypt"), "1");
  EXPECT_EQ(security->GetAttr("count"), "10");
  ASSERT_EQ(security->ChildCount(), 10);
  int row = 0;
  for (TmyXmlNode* user = security->firstChild; user != nullptr; user = user->next, ++row) {
    EXPECT_EQ(user->GetAttr("level"), "-1");
    EXPECT_EQ(user->GetAttr("name"), std::to_string(row));
    EXPECT_EQ(user->GetAttr("pass"), EncodeUserPassword(std::to_string(row)));
    EXPECT_EQ(user->FindAttr("page"), nullptr);
  }
  TmyXmlNode* autologin = Find("autologin");
  ASSERT_NE(autologin, nullptr);
  EXPECT_EQ(autologin->GetAttr("count"), "10");
  ASSERT_EQ(autologin->ChildCount(), 10);
  EXPECT_EQ(autologin->firstChild->GetAttr("mac"), "00:00:00:00:00:00");
  EXPECT_EQ(autologin->firstChild->GetAttr("level"), "0");
  EXPECT_NE(autologin->firstChild->FindAttr("note"), nullptr);
  TmyXmlNode* vornapi = Find("vornapi");
  ASSERT_NE(vornapi, nullptr);
  ASSERT_EQ(vornapi->ChildCount(), 10);
  EXPECT_EQ(vornapi->lastChild->GetAttr("level"), "-1");
  EXPECT_EQ(vornapi->lastChild->GetAttr("name"), "");

  const std::string file = PasswordFile();
  ASSERT_EQ(file.substr(0, 7), "c,1,1\r\n");
  const std::string plain = Lines(0, 10, ",-1\r\n") + Repeat("00:00:00:00:00:00,0\r\n", 10);
  const std::string hex = file.substr(7);
  ASSERT_EQ(hex.size(), 2 * (plain.size() + 1));
  const std::string back = Unscramble(hex);
  unsigned sum = 0;
  for (char c : plain) sum += static_cast<unsigned char>(c);
  EXPECT_EQ(static_cast<unsigned char>(back[0]), sum % 256);
  EXPECT_EQ(back.substr(1), plain);
}

TEST_F(PasswordsDialog, ChosenCountsKeepRowsToTheLastInUseAndWriteVersion4) {
  std::string users;
  for (int i = 0; i < 25; ++i) users += UserXml(-1, std::to_string(i), std::to_string(i));
  users += UserXml(3, "anna", "pw%1");
  Open("<security crypt=\"0\" count=\"30\">" + users + "</security>");
  TFormPasswords& form = Load(kUnitWithCounts);
  EXPECT_TRUE(form.CountsEnabled);
  EXPECT_TRUE(form.cbCntUser->Visible());
  EXPECT_EQ(form.cbCntUser->Text(), "30");
  EXPECT_EQ(form.UserCount, 30);
  ASSERT_NE(form.UserRows[25], nullptr);
  EXPECT_TRUE(form.UserRows[29]->Visible());
  EXPECT_EQ(form.UserRows[25]->edtUser->Text(), "anna");
  form.FormatVersion = 8001;
  form.Button1Click(nullptr);
  EXPECT_EQ(Find("security")->ChildCount(), 26);
  EXPECT_EQ(Find("security")->GetAttr("count"), "30");
  const std::string file = PasswordFile();
  EXPECT_EQ(file.substr(0, 17), "v,1,4\r\n30,10,10\r\n");
  EXPECT_NE(file.find("\r\nanna,pw%1,3\r\n"), std::string::npos);
}

TEST_F(PasswordsDialog, LoweringAChooserHidesRowsButKeepsThoseInUse) {
  std::string users;
  for (int i = 0; i < 20; ++i) users += UserXml(-1, std::to_string(i), std::to_string(i));
  users += UserXml(0, "late", "x");
  Open("<security crypt=\"0\" count=\"30\">" + users + "</security>");
  TFormPasswords& form = Load(kUnitWithCounts);
  form.cbCntUser->SetItemIndex(0);
  form.cbCntChange(form.cbCntUser);
  EXPECT_EQ(form.UserCount, 10);
  EXPECT_FALSE(form.UserRows[20]->Visible());
  EXPECT_TRUE(form.UserRows[9]->Visible());
  form.FormatVersion = 8001;
  form.Button1Click(nullptr);
  EXPECT_EQ(Find("security")->ChildCount(), 21);
  EXPECT_EQ(PasswordFile().substr(0, 7), "v,1,1\r\n");
}

// The wheel turned over a row counter changes neither the count nor the rows.
TEST_F(PasswordsDialog, TheWheelLeavesTheRowCountersAlone) {
  Open();
  TFormPasswords& form = Load(kUnitWithCounts);
  Driver::Focus(form.cbCntUser);
  Driver::MouseWheel(form.cbCntUser, 5, 5, -120);
  EXPECT_EQ(form.cbCntUser->Text(), "10");
  form.Button1Click(nullptr);
  EXPECT_EQ(Find("security")->GetAttr("count"), "10");
}

// The host has not reported its central unit yet: the project's counts stay,
// so that a user in row 15 can still log in.
TEST_F(PasswordsDialog, AnUnknownUnitKeepsTheStoredCounts) {
  std::string users;
  for (int i = 0; i < 15; ++i) users += UserXml(-1, std::to_string(i), std::to_string(i));
  users += UserXml(2, "late", "pw");
  Open("<security crypt=\"0\" count=\"20\">" + users + "</security>");
  TFormPasswords& form = Load(kUnknownUnit);
  EXPECT_FALSE(form.CountsEnabled);
  EXPECT_FALSE(form.cbCntUser->Visible());
  EXPECT_EQ(form.UserCount, 20);
  form.FormatVersion = 8001;
  form.Button1Click(nullptr);
  EXPECT_EQ(Find("security")->GetAttr("count"), "20");
  const std::string file = PasswordFile();
  EXPECT_EQ(file.substr(0, 17), "v,1,4\r\n20,10,10\r\n");
  EXPECT_NE(file.find("\r\nlate,pw,2\r\n"), std::string::npos);
}

TEST_F(PasswordsDialog, AnOlderUnitWritesTenRowsAndCount10) {
  Open("<security crypt=\"0\" count=\"50\"/>");
  TFormPasswords& form = Load(10);
  EXPECT_EQ(form.UserCount, 10);
  form.FormatVersion = 8001;
  form.Button1Click(nullptr);
  EXPECT_EQ(Find("security")->GetAttr("count"), "10");
  EXPECT_EQ(PasswordFile(), "v,1,1\r\n" + Lines(0, 10, ",-1\r\n") + Repeat("00:00:00:00:00:00,0\r\n", 10));
}

TEST_F(PasswordsDialog, AnApiUserInRow3GivesVersion3AndFormatZeroWritesNoFile) {
  Open("<security crypt=\"0\"/>");
  TFormPasswords& form = Load(kUnknownUnit);
  form.PageControl1->SetActivePageIndex(2);
  TFramUser& api = *form.ApiRows[3];
  Driver::Click(api.cbLevel);
  api.edtUser->SetText("robot");
  api.edtPass->SetText("k3y");
  form.Button1Click(nullptr);
  EXPECT_FALSE(form.PasswordFileWritten());
  EXPECT_FALSE(folder.Exists("SendRoot/PSW.TXT"));
  EXPECT_EQ(Find("vornapi")->ChildCount(), 10);
  form.FormatVersion = 8001;
  form.Button1Click(nullptr);
  const std::string file = PasswordFile();
  EXPECT_EQ(file.substr(0, 7), "v,1,3\r\n");
  EXPECT_NE(file.find(Repeat("\r\n", 21) + ",,-\r\n,,-\r\n,,-\r\nrobot,k3y,0\r\n"), std::string::npos) << file;
}

TEST_F(PasswordsDialog, NamesAndPasswordsAreFilteredAsTheyAreTyped) {
  Open();
  TFormPasswords& form = Load(kUnknownUnit);
  TFramUser& row = *form.UserRows[0];
  Driver::Click(row.edtLevel);
  row.SetLevelIndex(3);
  row.cntLevelChange(row.edtLevel);
  struct Case {
    std::string typed;
    std::string name;
    std::string password;
  };
  const std::vector<Case> cases = {
      {"Jan Novak%", "Jan_Novak_", "Jan_Novak%"},
      {"ABCDEFGHIJK", "ABCDEFGHIJ", "ABCDEFGHIJ"},
      {"a<b>c&d", "a_b_c_d", "a_b_c_d"},
  };
  for (const Case& c : cases) {
    row.edtUser->SetText("");
    row.edtPass->SetText("");
    Driver::Focus(row.edtUser);
    Driver::TypeText(c.typed);
    EXPECT_EQ(row.edtUser->Text(), c.name) << c.typed;
    Driver::Focus(row.edtPass);
    Driver::TypeText(c.typed);
    EXPECT_EQ(row.edtPass->Text(), c.password) << c.typed;
    EXPECT_EQ(row.Password, c.password) << c.typed;
  }
  // "Žluť" in code page 1250, pasted: both edits give "Zlut".
  row.edtUser->SetText("\x8Elu\x9D");
  row.edtPass->SetText("\x8Elu\x9D");
  EXPECT_EQ(row.edtUser->Text(), "Zlut");
  EXPECT_EQ(row.Password, "Zlut");
  // A paste of more than ten characters keeps the first ten.
  Clipboard()->SetAsText("0123456789XY");
  row.edtUser->SetText("");
  Driver::Focus(row.edtUser);
  Driver::PressKey('V', ssCtrl);
  EXPECT_EQ(row.edtUser->Text(), "0123456789");
  // The focused password edit shows its text; the check box masks all again.
  Driver::Focus(row.edtPass);
  EXPECT_EQ(row.edtPass->PasswordChar(), '\0');
  form.cbShowPassword->SetChecked(true);
  form.cbShowPassword->SetChecked(false);
  EXPECT_EQ(row.edtPass->PasswordChar(), '*');
}

TEST_F(PasswordsDialog, MacAddressesAreTypedAsPairsAndNormalisedInEveryRowOnOk) {
  std::string macs;
  for (int i = 0; i < 12; ++i) macs += "<mac level=\"0\" mac=\"00:00:00:00:00:00\" note=\"\"/>";
  macs += "<mac level=\"4\" mac=\"A:B\" note=\"door\"/>";
  Open("<security crypt=\"0\"/><autologin count=\"20\">" + macs + "</autologin>");
  TFormPasswords& form = Load(kUnitWithCounts);
  form.PageControl1->SetActivePageIndex(1);
  TFramMac& row = *form.MacRows[0];
  row.edtMac->SetText("");
  Driver::Focus(row.edtMac);
  Driver::TypeText("ab-cd");
  EXPECT_EQ(row.edtMac->Text(), "AB:CD");
  EXPECT_EQ(row.edtMac->SelStart(), 5);
  Driver::TypeText("xg1");
  EXPECT_EQ(row.edtMac->Text(), "AB:CD:1");
  row.edtMac->SetText("aa bb cc dd ee ff 11");
  EXPECT_EQ(row.edtMac->Text(), "AA:BB:CC:DD:EE:FF");
  // The row loaded as "A:B" shows what the edit makes of it ("AB"); OK
  // writes every row in full, rows from ten on too.
  EXPECT_EQ(form.MacRows[12]->edtMac->Text(), "AB");
  form.MacRows[12]->edtMac->SetText("A:B");
  form.Button1Click(nullptr);
  TmyXmlNode* last = Find("autologin")->lastChild;
  EXPECT_EQ(last->GetAttr("mac"), "AB:00:00:00:00:00");
  EXPECT_EQ(last->GetAttr("level"), "4");
  EXPECT_EQ(last->GetAttr("note"), "door");
  EXPECT_EQ(NormalizeMac("A:B"), "0A:0B:00:00:00:00");
}

TEST_F(PasswordsDialog, TheGenericAddressesNameAllPanelsOrOneModel) {
  Open();
  TFormPasswords& form = Load(kUnknownUnit);
  form.PageControl1->SetActivePageIndex(1);
  TFramMac& row = *form.MacRows[1];
  const struct {
    const char* entry;
    const char* mac;
  } cases[] = {{"For all operators panels", "FF:FF:FF:FF:FF:00"},
               {"For operator panel Pavo-3", "FF:FF:FF:FF:FF:03"},
               {"For operator panel Pavo-5", "FF:FF:FF:FF:FF:05"}};
  for (const auto& c : cases) {
    const int id = Driver::ChoosePopupItem("PopupMenu1", c.entry);
    Driver::Click(row.Button1);
    Driver::RemovePopupHandler(id);
    EXPECT_EQ(row.edtMac->Text(), c.mac) << c.entry;
  }
  EXPECT_EQ(row.PopupMenu1->Items()->Items(0)->Caption(), "Generic MAC address");
}

TEST_F(PasswordsDialog, ApiRowsAreSwitchedByTheirCheckBoxAndKeepALoadedLevel) {
  Open("<vornapi count=\"10\"><api level=\"-1\" name=\"\" pass=\"\"/><api level=\"5\" name=\"svc\" pass=\"" +
       EncodeUserPassword("s") + "\"/></vornapi>");
  TFormPasswords& form = Load(kUnknownUnit);
  form.PageControl1->SetActivePageIndex(2);
  TFramUser& unused = *form.ApiRows[0];
  EXPECT_FALSE(unused.edtUser->Enabled());
  EXPECT_FALSE(unused.edtLevel->Visible());
  EXPECT_TRUE(unused.cbLevel->Visible());
  Driver::Click(unused.cbLevel);
  EXPECT_EQ(unused.LevelIndex(), 1);
  EXPECT_TRUE(unused.edtUser->Enabled());
  EXPECT_TRUE(unused.edtPass->Enabled());
  TFramUser& loaded = *form.ApiRows[1];
  EXPECT_TRUE(loaded.cbLevel->Checked());
  EXPECT_EQ(loaded.LevelIndex(), 6);
  form.Button1Click(nullptr);
  EXPECT_EQ(Find("vornapi")->firstChild->next->GetAttr("level"), "5");
  EXPECT_EQ(Find("vornapi")->firstChild->GetAttr("level"), "0");
}

TEST_F(PasswordsDialog, AStartPageIsChosenFromThePageMenuAndStoredByItsName) {
  Open("<security crypt=\"0\">" + UserXml(1, "op", "pw", "start.xml") + UserXml(2, "gone", "pw", "OLD.XML") +
       "</security>");
  TFormPasswords& form = Load(kUnknownUnit);
  EXPECT_EQ(form.UserRows[0]->cbStartPage->Text(), "Main > Start - START.XML");
  EXPECT_EQ(form.UserRows[1]->cbStartPage->Text(), "");
  // A row not in use keeps its start page field disabled.
  EXPECT_FALSE(form.UserRows[2]->cbStartPage->Enabled());
  form.UserRows[2]->SetLevelIndex(1);
  form.UserRows[2]->cntLevelChange(form.UserRows[2]->edtLevel);
  Driver::ChoosePopupItem("PagesPopup1", "Main|Pump - left - PUMP.XML");
  Driver::Click(form.UserRows[2]->cbStartPage);
  EXPECT_EQ(form.UserRows[2]->cbStartPage->Text(), "Main > Pump - left - PUMP.XML");
  Driver::ResetPopups();
  Driver::OnPopupMenu("PagesPopup1", [](TPopupMenu& menu) { return menu.Items()->Items(0); });
  Driver::Click(form.UserRows[0]->cbStartPage);
  EXPECT_EQ(form.UserRows[0]->cbStartPage->Text(), "");
  form.Button1Click(nullptr);
  TmyXmlNode* first = Find("security")->firstChild;
  EXPECT_EQ(first->FindAttr("page"), nullptr);
  EXPECT_EQ(first->next->FindAttr("page"), nullptr);
  EXPECT_EQ(first->next->next->GetAttr("page"), "PUMP.XML");
}

TEST_F(PasswordsDialog, TheDesignerCommandWritesOnOkAndNothingOnCancel) {
  Open("<security crypt=\"0\">" + UserXml(1, "op", "pw") + "</security>");
  const std::string before = DocumentText();
  const int cancel = Driver::OnModal("TFormPasswords", [](TCustomForm& form) {
    auto& passwords = dynamic_cast<TFormPasswords&>(form);
    passwords.UserRows[0]->edtUser->SetText("changed");
    return mrCancel;
  });
  ClickButton(designer->btnPass);
  Driver::RemoveHandler(cancel);
  EXPECT_EQ(DocumentText(), before);
  EXPECT_FALSE(designer->Document().Modified());
  Driver::OnModal("TFormPasswords", [](TCustomForm& form) {
    auto& passwords = dynamic_cast<TFormPasswords&>(form);
    passwords.UserRows[0]->edtUser->SetText("changed");
    Driver::Click(passwords.Button1);
    return mrNone;
  });
  ClickButton(designer->btnPass);
  EXPECT_TRUE(designer->Document().Modified());
  EXPECT_EQ(Find("security")->firstChild->GetAttr("name"), "changed");
  // The designer's road writes no password file.
  EXPECT_FALSE(folder.Exists("SendRoot/PSW.TXT"));
  // The dialog kept its width and tab in the settings file.
  EXPECT_NE(folder.Read("Tarnwell/Proj.webx").find("[FormPasswords]"), std::string::npos);
}

// The user drags the dialog's frame: its height stays fixed, its width at 652
// or more.
TEST_F(PasswordsDialog, ResizingKeepsTheHeightFixedAndTheWidthAtLeast652) {
  Open();
  TFormPasswords& form = Load(kUnknownUnit);
  for (const auto& [width, height, keptWidth] : {std::tuple{760, 300, 760}, {400, 700, 652}, {1000, 452, 1000}}) {
    form.SetBounds(form.Left(), form.Top(), width, height);
    EXPECT_EQ(form.Width(), keptWidth) << width << "x" << height;
    EXPECT_GE(form.Height(), 452) << width << "x" << height;
    EXPECT_LE(form.Height(), 453) << width << "x" << height;
  }
}

TEST_F(PasswordsDialog, ThePlacementIsKeptAndTheCryptWarningShowsOnlyWhenSwitchedOn) {
  Open();
  folder.Write("Tarnwell/Proj.webx", "[FormPasswords]\r\nWidth=900\r\nTab=1\r\n");
  TFormPasswords& form = Load(kUnknownUnit);
  EXPECT_EQ(form.Width(), 900);
  EXPECT_EQ(form.PageControl1->ActivePageIndex(), 1);
  ClearMessageBoxLog();
  form.cbCrypt->SetChecked(false);
  EXPECT_TRUE(MessageBoxLog().empty());
  Driver::Click(form.cbCrypt);
  ASSERT_EQ(MessageBoxLog().size(), 1u);
  EXPECT_EQ(MessageBoxLog()[0].caption, "Warning");
  EXPECT_NE(MessageBoxLog()[0].text.find("firmware version 7.1"), std::string::npos);
  form.PageControl1->SetActivePageIndex(2);
  form.Close();
  const std::string settings = folder.Read("Tarnwell/Proj.webx");
  EXPECT_NE(settings.find("Width=900"), std::string::npos) << settings;
  EXPECT_NE(settings.find("Tab=2"), std::string::npos) << settings;
}

TEST_F(PasswordsDialog, PicturesOfTheThreeTabs) {
  Open("<security crypt=\"1\">" + UserXml(9, "admin", "secret", "START.XML") + "</security>");
  InEveryLanguage([this](const std::string& language) {
    TFormPasswords& form = Load(kUnitWithCounts);
    for (int tab = 0; tab < 3; ++tab) {
      form.PageControl1->SetActivePageIndex(tab);
      EXPECT_FALSE(SavePicture(&form, "passwords-" + std::to_string(tab) + "-" + language).empty());
      EXPECT_EQ(testsupport::CutTexts(form), std::vector<std::string>{}) << language;
    }
    EXPECT_EQ(form.Caption(), language == "en" ? "Access settings" : form.Caption());
  });
}

}  // namespace
