// The designer's messages about saving, pasting, loading objects, importing
// texts and compiling speak the UI's language: each row drives the designer
// as a user would in the Czech UI and finds the Czech text of the string
// table in a message shown, the compile's status window or the compile's
// result (which the host's build shows in its message window).

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/HostEnvironment.h"
#include "core/TextEncoding.h"
#include "generator/FormStatus1.h"
#include "platform/vcl/Clipbrd.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Panel.h"
#include "platform/win/MessageBox.h"
#include "tests/designer/window/WindowTestSupport.h"
#include "tests/support/UiLanguages.h"

using namespace windowtest;

namespace {

constexpr unsigned kCzechAnsiCodePage = 1250;

std::string ProjectWithKind(const std::string& objectKind) {
  return "<web version=\"8.1\" MaxUid=\"100\">\r\n<group caption=\"G\" Uid=\"1\">\r\n"
         "<page caption=\"One\" name=\"ONE.XML\" Uid=\"2\">\r\n"
         "<object caption=\"Hello\" X=\"2\" Y=\"3\" Uid=\"10\"><" +
         objectKind + " /></object>\r\n</page>\r\n</group>\r\n</web>";
}

void SaveChanged(TFormDesign1& d) {
  d.SetModified();
  Driver::Click(d.btnSave2);
}

class MessageTexts : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(testsupport::SelectHostLanguage(testsupport::kUiLanguages[0]));
    Driver::OnModal("TFormStatus1", [this](TCustomForm& form) {
      plain.push_back(static_cast<TFormStatus1&>(form).pnlStatus->Caption());
      return mrOk;
    });
  }
  void TearDown() override {
    testsupport::SelectEnglish();
    WindowTest::TearDown();
  }
  // Every message shown so far, as UTF-8.
  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (const MessageBoxRecord& box : MessageBoxLog()) shown.push_back(AnsiToUtf8(box.text, kCzechAnsiCodePage));
    for (const std::string& text : plain) shown.push_back(AnsiToUtf8(text, kCzechAnsiCodePage));
    return shown;
  }
  std::vector<std::string> plain;
};

TEST_F(MessageTexts, EachMessageComesFromTheCzechTable) {
  const std::filesystem::path web = folder.Path() / "Tarnwell";
  const struct {
    const char* name;
    std::string project;  // Proj.xml
    std::function<void(TFormDesign1&)> act;
    const char* czech;  // found in one of the messages
  } rows[] = {
      {"unreadable project file", "<web version=\"8.1\"><group>", [](TFormDesign1& d) { SaveChanged(d); },
       "\" nemohl být při otevření projektu přečten, proto se nepřepíše. Přesuňte jej jinam"},
      {"read-only project file", ProjectWithKind("label"),
       [&web](TFormDesign1& d) {
         std::filesystem::permissions(web / "Proj.xml", std::filesystem::perms::owner_read);
         SaveChanged(d);
         std::filesystem::permissions(web / "Proj.xml", std::filesystem::perms::owner_all);
       },
       "\" je jen pro čtení, proto se nepřepíše. Chcete-li tento projekt uložit, povolte do něj zápis."},
      {"failed write", ProjectWithKind("label"),
       [&web](TFormDesign1& d) {
         std::filesystem::create_directory(web / "Proj.xml.bak");
         SaveChanged(d);
         std::filesystem::remove(web / "Proj.xml.bak");
       },
       "Proj.xml.bak je složka, ne soubor"},
      {"paste refused", ProjectWithKind("label"),
       [](TFormDesign1& d) {
         Clipboard()->SetAsText("hello");
         d.Paste1->Click();
       },
       "Schránka neobsahuje kopii z návrháře.\nNic nebylo vloženo."},
      {"picture not taken", ProjectWithKind("label"),
       [](TFormDesign1& d) {
         Clipboard()->SetAsText(
             "<clipboard src=\"x\"><object caption=\"P\" X=\"1\" Y=\"1\"><label /></object>"
             "<images><img name=\"..\\OUT.PNG\" type=\"png\" crc=\"0\">AAAA</img></images></clipboard>");
         d.Paste1->Click();
       },
       "Některé obrázky ze schránky nebyly převzaty do projektu:\n\"..\\OUT.PNG\": není prostý název souboru 8.3"},
      {"object not loaded", ProjectWithKind("bogus"), [](TFormDesign1&) {},
       "Některé objekty stránky nebylo možné načíst; zůstávají ve stránce beze změny:\nObjekt 1: neznámý druh "
       "\"bogus\""},
      {"report not written", ProjectWithKind("label"),
       [&web](TFormDesign1& d) {
         std::filesystem::create_directories(web / "Language" / "report.txt" / "x");
         std::ofstream(web / "Language" / "Texts.txt") << "{Group 000 : 00000001}G\r\n";
         d.ImportTexts1->Click();
       },
       "Texty byly importovány. Protokol '"},
      {"no texts file", ProjectWithKind("label"), [](TFormDesign1& d) { d.ImportTexts1->Click(); },
       "Žádné texty nebyly importovány, protože nebylo možné načíst žádný soubor s texty"},
      {"output not written", ProjectWithKind("label"),
       [&web, this](TFormDesign1& d) {
         std::filesystem::create_directories(web / "Proj_var.xml" / "x");
         ClickButton(d.btnSave1);
       },
       "Tyto soubory překladu nebylo možné zapsat: "},
      {"project copy not written", ProjectWithKind("label"),
       [&web, this](TFormDesign1& d) {
         std::filesystem::remove(web / "Proj.xml");
         std::filesystem::create_directories(web / "Proj.xml" / "x");
         ClickButton(d.btnSave1);
       },
       "Proj.xml\" nemohl být zapsán; zůstává beze změny."},
      {"no project folder", ProjectWithKind("label"),
       [this](TFormDesign1& d) {
         host->noProject = true;
         ClickButton(d.btnSave1);
       },
       "hostitelský program neuvádí žádnou složku projektu"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    designer.reset();
    ClearMessageBoxLog();
    plain.clear();
    std::filesystem::remove_all(web);
    PutProject(row.project);
    TFormDesign1& d = OpenDesigner();
    row.act(d);
    plain.push_back(d.lastCompile.error);
    const std::vector<std::string> shown = Shown();
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [&](const std::string& text) {
      return text.find(row.czech) != std::string::npos;
    })) << ::testing::PrintToString(shown);
  }
}

}  // namespace
