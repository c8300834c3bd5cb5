// The designer's texts, status bar and menus: every hint and caption from
// each of the four UI language tables (compared with the tables' files),
// PNGs of the window and its menus in Czech, German and Polish, the page
// tree's hint, the page name display format, the page-link menu, the object
// menu's states, the wheel and the page change stamps.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/TextEncoding.h"
#include "core/TraceLog.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/PngWriter.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/StatusBar.h"
#include "platform/vcl/Timer.h"
#include "platform/vcl/ToolBar.h"
#include "platform/vcl/TreeView.h"
#include "platform/win/CodePage.h"
#include "project/FormGlobalSettings.h"
#include "tests/designer/commands/CommandsTestSupport.h"

using namespace commandstest;
using F = TFormDesign1;

namespace {

struct TextRow {
  const char* component;
  int id;
};

// The tool buttons' hints and the menu items' captions, by string id.
const std::vector<TextRow> kHints = {
    {"btnPass", 7081},        {"tbObjectList", 7189},    {"tbLayers", 7248},        {"btnArrow", 7001},
    {"btnLabel", 7002},       {"btnEditBox", 7003},      {"btnEditBoxEx", 7004},    {"btnStateImage", 7005},
    {"btnImageBtn", 7237},    {"btnMultiImage", 7173},   {"btnGlobalSubmit", 7006}, {"btnRectangle", 7137},
    {"btnBar", 7138},         {"btnRectDynCol", 7245},   {"btnStrImg", 7243},       {"btnCanvas", 7266},
    {"btnIFrame", 7283},      {"btnDropDown", 7313},     {"btnImage", 7007},        {"btnCameraPic", 7008},
    {"btnPostFileBox", 7234}, {"btnImageManager", 7009}, {"btnSave1", 7010},        {"btnSave2", 2018},
    {"btnGlobal", 7011},      {"btnAddGroup", 7012},     {"tbPreview1", 7099},      {"btnAddPage", 7013},
    {"btnDeletePage", 2009},  {"btnPageUp", 7014},       {"btnPageDown", 7015},     {"tbUndo", 7120},
    {"tbRedo", 7121},         {"tbLang", 8007},          {"tbAlarm", 7231},
};
const std::vector<TextRow> kCaptions = {
    {"Grid1", 7098},
    {"GlobalSettings1", 7011},
    {"ShowInNewWindow1", 7115},
    {"Editbase1", 7110},
    {"EditVisibilityBase1", 7149},
    {"AutoIndexArray1", 7193},
    {"VarNameReplace1", 7320},
    {"Edit1", 7016},
    {"Edit2", 7016},
    {"Edit3", 7016},
    {"Copy1", 2029},
    {"Copy2", 2029},
    {"Copy3", 2029},
    {"CommonCopy", 2029},
    {"CommonPaste", 2030},
    {"CommonCut", 2028},
    {"CommonSelectAll", 2027},
    {"Cut1", 2028},
    {"Cut2", 2028},
    {"Paste1", 2030},
    {"PasteDirect1", 7306},
    {"Paste2", 2030},
    {"Delete1", 2009},
    {"SelectAll1", 2027},
    {"Bringtofront1", 7106},
    {"Sendtoback1", 7107},
    {"BringForward1", 7108},
    {"SendBackward1", 7109},
    {"AlignToGrid1", 7143},
    {"GroupPageSettings1", 7116},
    {"ExportTexts1", 7151},
    {"ImportTexts1", 7150},
    {"Undo1", 7120},
    {"Align1", 7180},
    {"AlignTop1", 7176},
    {"AlignBottom1", 7177},
    {"AlignLeft1", 7111},
    {"AlignRight1", 7175},
    {"AlignMiddle1", 7179},
    {"AlignCenter1", 7178},
    {"DistributeHorizontally1", 7181},
    {"DistributeVertically1", 7182},
    {"Left1", 7183},
    {"Centre1", 7184},
    {"Spacing1", 7185},
    {"Right1", 7186},
    {"Top1", 7187},
    {"Centre2", 7184},
    {"Spacing2", 7185},
    {"Bottom1", 7188},
    {"LanguageSettings1", 8007},
    {"miLayers", 7248},
    {"Convert1", 8074},
    {"ToPicture1", 7007},
    {"ToImage1", 7005},
    {"ToImageBtn1", 7237},
    {"ToMulimg1", 7173},
    {"ToBlock1", 7137},
    {"ToBlockBar1", 7138},
    {"ToBlockColor1", 7245},
    {"PasteInActiveLayer1", 2069},
    {"RenameAllPages1", 7290},
    {"PagesDisplayFormat1", 7319},
    {"Caption1", 7094},
    {"FileName1", 7030},
};

// Each UI language with the ANSI code page of a system in that language.
struct UiLanguage {
  int index;
  const char* file;
  const char* name;
  UINT codePage;
};
const std::vector<UiLanguage> kLanguages = {
    {UI_LANG_CZECH, "cs", "czech", 1250},
    {UI_LANG_ENGLISH, "en", "english", 1252},
    {UI_LANG_GERMAN, "de", "german", 1252},
    {UI_LANG_POLISH, "pl", "polish", 1250},
};

// The host switches to a UI language on a system of its code page.
bool SwitchLanguage(const UiLanguage& language) {
  SetAnsiCodePage(language.codePage);
  return SelectUiLanguage(language.index);
}

// A string table file: id -> text (UTF-8, escapes as written).
std::map<int, std::string> ReadTable(const std::string& file) {
  std::map<int, std::string> table;
  std::ifstream in(windowtest::SourcePath("resources/strings/" + file + ".tsv"));
  std::string line;
  while (std::getline(in, line)) {
    const auto tab = line.find('\t');
    if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
    table[std::stoi(line.substr(0, tab))] = line.substr(tab + 1);
  }
  return table;
}

std::string Utf8(const std::string& ansi) { return AnsiToUtf8(ansi, static_cast<int>(GetACP())); }

const char* const kObjects =
    "<object X=\"1\" Y=\"1\" Uid=\"10\"><image off=\"A.PNG\" /></object>\r\n"
    "<object X=\"1\" Y=\"6\" Uid=\"11\"><image off=\"B.PNG\" /></object>\r\n"
    "<object X=\"1\" Y=\"11\" Uid=\"12\"><block width=\"5\" height=\"5\" /></object>\r\n"
    "<object caption=\"Far\" X=\"150\" Y=\"120\" Uid=\"13\"><label /></object>\r\n";

class DesignerTexts : public CommandsTest {
 protected:
  void SetUp() override {
    CommandsTest::SetUp();
    savedCodePage = GetACP();
  }
  void TearDown() override {
    SelectUiLanguage(UI_LANG_ENGLISH);
    SetAnsiCodePage(savedCodePage);
    CommandsTest::TearDown();
  }
  TMenuItem* Item(const std::string& name) const { return dynamic_cast<TMenuItem*>(designer->FindComponent(name)); }
  std::string Captions(TMenuItem* root) const {
    std::string text;
    for (int i = 0; i < root->Count(); ++i) text += (i > 0 ? "|" : "") + root->Items(i)->Caption();
    return text;
  }
  UINT savedCodePage = 0;
};

// --- the texts of the four UI languages ------------------------------------------------------

TEST_F(DesignerTexts, EveryHintAndCaptionComesFromTheLanguagesTable) {
  TFormDesign1& d = Open(OnePageProject(kObjects));
  std::map<std::string, std::string> english;
  for (const UiLanguage& language : kLanguages) {
    SCOPED_TRACE(language.file);
    ASSERT_TRUE(SwitchLanguage(language));
    const std::map<int, std::string> table = ReadTable(language.file);
    d.ApplyLanguageTexts();
    int differing = 0;
    auto check = [&](const TextRow& row, const std::string& shown) {
      ASSERT_TRUE(table.count(row.id)) << row.id;
      EXPECT_EQ(Utf8(shown), table.at(row.id)) << row.component;
      EXPECT_FALSE(shown.empty()) << row.component;
      if (language.index == UI_LANG_ENGLISH)
        english[row.component] = shown;
      else
        differing += english[row.component] != shown ? 1 : 0;
    };
    for (const TextRow& row : kHints) {
      auto* button = dynamic_cast<TToolButton*>(d.FindComponent(row.component));
      ASSERT_NE(button, nullptr) << row.component;
      check(row, button->Hint);
    }
    for (const TextRow& row : kCaptions) {
      TMenuItem* item = Item(row.component);
      ASSERT_NE(item, nullptr) << row.component;
      check(row, item->Caption());
    }
    EXPECT_EQ(Utf8(d.pnlCenter->Caption()), table.at(7018));
    EXPECT_EQ(Utf8(d.OpenPictureDialog1->Title), table.at(7017));
    EXPECT_EQ(Utf8(d.CaptionFileName1->Caption()), table.at(7094) + " (" + table.at(7030) + ")");
    EXPECT_FALSE(d.DebugPict1->Visible());
    // The translated tables differ from English in nearly every text.
    if (language.index != UI_LANG_ENGLISH) {
      EXPECT_GT(differing, 90) << "of " << kHints.size() + kCaptions.size();
    }
  }
}

TEST_F(DesignerTexts, ActivatingTheWindowAppliesTheHostsLanguage) {
  TFormDesign1& d = Open(OnePageProject(kObjects));
  ASSERT_TRUE(SwitchLanguage(kLanguages[2]));
  d.FormActivate(nullptr);
  const std::map<int, std::string> table = ReadTable("de");
  EXPECT_EQ(Utf8(d.tbUndo->Hint), table.at(7120));
  EXPECT_EQ(Utf8(d.Convert1->Caption()), table.at(8074));
  ASSERT_TRUE(SelectUiLanguage(UI_LANG_ENGLISH));
  d.ApplyLanguageTexts();
  EXPECT_EQ(d.tbUndo->Hint, "Undo");
  EXPECT_EQ(d.CaptionFileName1->Caption(), "Caption (File name)");
}

// Each menu's items, submenus indented, beside the tool buttons' hints: the
// texts a user of that language reads, in the window's font.
void SaveMenusPng(TFormDesign1& d, const std::string& file) {
  std::vector<std::pair<int, std::string>> lines;
  std::function<void(TMenuItem*, int)> walk = [&](TMenuItem* root, int depth) {
    for (int i = 0; i < root->Count(); ++i) {
      TMenuItem* item = root->Items(i);
      if (item->IsLine() || !item->Visible()) continue;
      lines.emplace_back(depth, item->Caption());
      walk(item, depth + 1);
    }
  };
  for (TPopupMenu* menu : {d.ObjectPopup, d.ScrollPopup, d.TreePopup}) {
    lines.emplace_back(0, "[" + menu->Name() + "]");
    walk(menu->Items(), 1);
  }
  std::vector<std::string> hints;
  for (const TextRow& row : kHints) hints.push_back(dynamic_cast<TToolButton*>(d.FindComponent(row.component))->Hint);
  TBitmap bitmap;
  const int lineHeight = 16;
  bitmap.SetSize(900, static_cast<int>(std::max(lines.size(), hints.size()) + 1) * lineHeight);
  TCanvas& c = *bitmap.Canvas;
  c.Font->Name = "Segoe UI";
  c.Font->SetSize(9);
  c.Brush->Color = clWhite;
  c.FillRect({0, 0, bitmap.Width(), bitmap.Height()});
  for (std::size_t i = 0; i < lines.size(); ++i)
    c.TextOut(4 + 16 * lines[i].first, static_cast<int>(i) * lineHeight, lines[i].second);
  for (std::size_t i = 0; i < hints.size(); ++i) c.TextOut(460, static_cast<int>(i) * lineHeight, hints[i]);
  ASSERT_TRUE(SaveBitmapAsPng(bitmap, file)) << file;
}

TEST_F(DesignerTexts, TheWindowInCzechGermanAndPolishIsWrittenAsPngs) {
  const std::string project =
      "<web version=\"8.1\" MaxUid=\"500\">\r\n<Grid Enable=\"1\" X=\"5\" Y=\"5\" />\r\n"
      "<group caption=\"G\" Uid=\"1\"><page caption=\"One\" name=\"P1.XML\" Uid=\"2\">"
      "<object caption=\"Label\" X=\"2\" Y=\"2\" Uid=\"10\"><label /></object></page>"
      "<page caption=\"\" name=\"P2.XML\" Uid=\"3\" /></group>\r\n"
      "<group caption=\"Empty\" Uid=\"4\" />\r\n</web>";
  for (const UiLanguage& language : kLanguages) {
    if (language.index == UI_LANG_ENGLISH) continue;
    SCOPED_TRACE(language.file);
    designer.reset();
    ASSERT_TRUE(SwitchLanguage(language));
    TFormDesign1& d = Open(project);
    d.ApplyLanguageTexts();
    const std::map<int, std::string> table = ReadTable(language.file);
    // The tree's hint of the page without caption in the status bar.
    TTreeNode* unnamed = Node(GetUiText(7141));
    ASSERT_NE(unnamed, nullptr);
    const TRect label = unnamed->DisplayRect(true);
    Driver::MouseMove(d.tvPageList, label.Left + 2, label.Top + 2);
    EXPECT_EQ(Utf8(d.sbStatus->Panels()->Items(0)->Text()), table.at(7141) + " (P2.XML)");
    const std::string base = std::string(TARNWELL_BINARY_DIR) + "/tests/designer/commands/designer_" + language.name;
    // Objects fit their size to what they show when first painted.
    TBitmap first;
    PaintControlToBitmap(&d, first);
    EXPECT_TRUE(SaveControlAsPng(&d, base + "_page.png"));
    // The empty group: no page on the surface.
    ClickNode(Node("Empty"));
    EXPECT_EQ(Utf8(d.pnlCenter->Caption()), table.at(7018));
    EXPECT_TRUE(SaveControlAsPng(&d, base + "_nopage.png"));
    SaveMenusPng(d, base + "_menus.png");
  }
}

// --- the status bar and the tree's hint ---------------------------------------------------------

TEST_F(DesignerTexts, TheTreeHintShowsCaptionAndFileName) {
  TFormDesign1& d = Open(OnePageProject(kObjects));
  TTreeNode* page = Node("One");
  ASSERT_NE(page, nullptr);
  const TRect label = page->DisplayRect(true);
  Driver::MouseMove(d.tvPageList, label.Left + 2, label.Top + 2);
  EXPECT_EQ(d.sbStatus->Panels()->Items(0)->Text(), "One (P1.XML)");
  // Whatever the tree shows.
  d.FileName1->Click();
  ASSERT_EQ(page->Text(), "P1.XML");
  Driver::MouseMove(d.tvPageList, label.Left + 2, label.Top + 2);
  EXPECT_EQ(d.sbStatus->Panels()->Items(0)->Text(), "One (P1.XML)");
  // Away from every node the panel is emptied.
  Driver::MouseMove(d.tvPageList, label.Left + 2, d.tvPageList->Height() - 3);
  EXPECT_EQ(d.sbStatus->Panels()->Items(0)->Text(), "");
}

TEST_F(DesignerTexts, TheStatusBarDrawsItsPanelsTexts) {
  TFormDesign1& d = Open(OnePageProject(kObjects));
  TStatusPanel* panel = d.sbStatus->Panels()->Items(1);
  TBitmap before;
  PaintControlToBitmap(d.sbStatus, before);
  panel->SetText("WWWWWWWW");
  TBitmap after;
  PaintControlToBitmap(d.sbStatus, after);
  const TRect r = d.sbStatus->PanelRect(1);
  int changed = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) changed += before.Canvas->GetPixel(x, y) != after.Canvas->GetPixel(x, y);
  EXPECT_GT(changed, 20);
}

// --- the page name display format ------------------------------------------------------------------

TEST_F(DesignerTexts, TheDisplayFormatIsStoredAndAppliedToTheTree) {
  const std::string project =
      "<web version=\"8.1\" MaxUid=\"500\">\r\n<Grid Enable=\"0\" X=\"5\" Y=\"5\" />\r\n"
      "<group caption=\"G\" Uid=\"1\">\r\n<page caption=\"One\" name=\"P1.XML\" Uid=\"2\" />\r\n"
      "<page caption=\"Nameless\" Uid=\"3\" />\r\n<page caption=\"\" name=\"P3.XML\" Uid=\"4\" />\r\n"
      "</group>\r\n</web>";
  TFormDesign1& d = Open(project);
  struct Case {
    const char* item;
    const char* pvstyle;
    std::vector<std::string> tree;
  };
  const std::vector<Case> cases = {
      {"FileName1", "1", {"G", "  P1.XML", "  Nameless", "  P3.XML"}},
      {"CaptionFileName1", "2", {"G", "  One (P1.XML)", "  Nameless", "  Unnamed (P3.XML)"}},
      {"Caption1", "0", {"G", "  One", "  Nameless", "  Unnamed"}},
  };
  for (const Case& c : cases) {
    Item(c.item)->Click();
    EXPECT_TRUE(Item(c.item)->Checked()) << c.item;
    TmyXmlNode* globalset = d.Document().Web()->firstChild;
    ASSERT_EQ(globalset->name, "globalset");
    EXPECT_EQ(globalset->GetAttr("pvstyle"), c.pvstyle);
    EXPECT_EQ(TreeTexts(), c.tree) << c.item;
  }
  EXPECT_FALSE(Item("FileName1")->Checked());
  // The format stays with the project.
  d.SetModified();
  d.btnSave2Click(nullptr);
  designer.reset();
  TFormDesign1& again = OpenDesigner();
  EXPECT_TRUE(again.Caption1->Checked());
}

// --- the page-link menu ---------------------------------------------------------------------------------

TEST_F(DesignerTexts, ThePageLinkMenuListsGroupsAndTheirPages) {
  const std::string project =
      "<web version=\"8.1\" MaxUid=\"500\">\r\n<Grid Enable=\"0\" X=\"5\" Y=\"5\" />\r\n"
      "<group Uid=\"1\"><page caption=\"One\" name=\"P1.XML\" Uid=\"2\" /><note /></group>\r\n"
      "<group caption=\"\" Uid=\"3\"><page caption=\"Two\" name=\"P2.XML\" Uid=\"4\" /></group>\r\n"
      "</web>";
  TFormDesign1& d = Open(project);
  // The load gives every group a caption; one made without shows "Unnamed".
  d.Document().Web()->FindChild("group")->DeleteAttr("caption");
  int clicks = 0;
  std::string clicked;
  TNotifyEvent handler = [&](TObject* sender) {
    ++clicks;
    clicked = dynamic_cast<TMenuItem*>(sender)->Caption();
  };
  d.FillPageLinkMenu(true, handler);
  TMenuItem* items = d.PagesPopup1->Items();
  // Groups are submenus of their pages.
  EXPECT_EQ(Captions(items), "|-|Unnamed|");
  EXPECT_EQ(Captions(items->Items(2)), "One - P1.XML");
  EXPECT_EQ(Captions(items->Items(3)), "Two - P2.XML");
  EXPECT_TRUE(items->Items(0)->OnClick != nullptr);
  EXPECT_TRUE(items->Items(2)->OnClick == nullptr);  // a group
  items->Items(2)->Items(0)->Click();
  EXPECT_EQ(clicked, "One - P1.XML");
  d.FillPageLinkMenu(false, handler);
  EXPECT_EQ(Captions(items), "Unnamed||-|Logout - LOGOUT.XML");
  items->Items(3)->Click();
  EXPECT_EQ(clicked, "Logout - LOGOUT.XML");
  EXPECT_EQ(clicks, 2);
}

TEST_F(DesignerTexts, AProjectWithoutGroupsGivesOnlyTheFixedEntries) {
  TFormDesign1& d = Open("<web version=\"8.1\" MaxUid=\"500\">\r\n<Grid Enable=\"0\" X=\"5\" Y=\"5\" />\r\n</web>");
  d.FillPageLinkMenu(true, {});
  EXPECT_EQ(Captions(d.PagesPopup1->Items()), "|-");
  d.FillPageLinkMenu(false, {});
  EXPECT_EQ(Captions(d.PagesPopup1->Items()), "-|Logout - LOGOUT.XML");
}

// --- the object menu --------------------------------------------------------------------------------------

TEST_F(DesignerTexts, TheObjectMenuAdaptsToTheSelection) {
  TFormDesign1& d = Open(OnePageProject(kObjects));
  const std::vector<std::string> align = {"AlignTop1",
                                          "AlignBottom1",
                                          "AlignLeft1",
                                          "AlignRight1",
                                          "AlignMiddle1",
                                          "AlignCenter1",
                                          "DistributeHorizontally1",
                                          "DistributeVertically1"};
  auto enabledAligns = [&] {
    int n = 0;
    for (const std::string& name : align) n += Item(name)->Enabled() ? 1 : 0;
    return n;
  };
  // One object, by a right click on it.
  Select({10});
  Driver::Click(Object(10), 2, 2, mbRight);
  ASSERT_EQ(d.ObjectPopup->PopupComponent, Object(10));
  EXPECT_EQ(enabledAligns(), 0);
  EXPECT_TRUE(d.Convert1->Visible());
  EXPECT_TRUE(d.ToPicture1->Visible());
  EXPECT_FALSE(d.ToImage1->Visible());
  EXPECT_FALSE(d.ToBlockBar1->Visible());
  EXPECT_EQ(d.miLayers->Count(), 16);
  EXPECT_TRUE(d.miLayers->Items(0)->Checked());
  // Two objects.
  Select({10, 12});
  d.ObjectPopup->Popup(0, 0);
  EXPECT_EQ(enabledAligns(), 8);
  EXPECT_TRUE(d.ToBlockBar1->Visible());
  // Nothing convertible.
  Select({13});
  d.ObjectPopup->Popup(0, 0);
  EXPECT_FALSE(d.Convert1->Visible());
  EXPECT_EQ(enabledAligns(), 0);
}

// --- the wheel, the stamps, the refresh timer ----------------------------------------------------------------

TEST_F(DesignerTexts, TheWheelScrollsTheSurface) {
  TFormDesign1& d = Open(OnePageProject(kObjects));
  TControlScrollBar* vert = d.sbDesign1->VertScrollBar();
  TControlScrollBar* horz = d.sbDesign1->HorzScrollBar();
  ASSERT_GT(vert->MaxPosition(), 100);
  ASSERT_GT(horz->MaxPosition(), 100);
  bool handled = false;
  d.sbDesign1MouseWheel(nullptr, 0, -120, {}, handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(vert->Position(), 48);
  d.sbDesign1MouseWheel(nullptr, 0, -120, {}, handled);
  d.sbDesign1MouseWheel(nullptr, 0, 120, {}, handled);
  EXPECT_EQ(vert->Position(), 48);
  d.sbDesign1MouseWheel(nullptr, ssShift, -120, {}, handled);
  EXPECT_EQ(horz->Position(), 48);
  EXPECT_EQ(vert->Position(), 48);
  // Through the user's wheel over the surface.
  Driver::Focus(d.sbDesign1);
  Driver::MouseWheel(d.sbDesign1, 300, 200, 120);
  EXPECT_EQ(vert->Position(), 0);
}

TEST_F(DesignerTexts, AGroupsPagesGetNewStamps) {
  const std::string project =
      "<web version=\"8.1\" MaxUid=\"500\">\r\n<Grid Enable=\"0\" X=\"5\" Y=\"5\" />\r\n"
      "<group caption=\"G\" Uid=\"1\"><page caption=\"One\" name=\"P1.XML\" ucid=\"5\" Uid=\"2\" />"
      "<page caption=\"Two\" name=\"P2.XML\" ucid=\"6\" Uid=\"3\" /></group>\r\n"
      "<group caption=\"H\" Uid=\"4\"><page caption=\"Three\" name=\"P3.XML\" ucid=\"7\" Uid=\"5\" /></group>\r\n"
      "</web>";
  TFormDesign1& d = Open(project);
  TmyXmlNode* web = d.Document().Web();
  TmyXmlNode* group = web->FindChild("group");
  const std::int32_t start = d.GetUcidTime();
  const std::int32_t last = d.RenewGroupPageUcids(group);
  EXPECT_GE(last, start);
  for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next)
    EXPECT_GE(page->GetAttrInt("ucid", 0), start) << page->GetAttr("name");
  EXPECT_EQ(web->FindDeepAttr("page", "name", "P3.XML")->GetAttr("ucid"), "7");
  TmyXmlNode empty("group");
  EXPECT_GE(d.RenewGroupPageUcids(&empty), start);
}

// The shown page keeps the stamp a dialog's OK renewed when it is stored.
TEST_F(DesignerTexts, TheShownPageKeepsTheStampThatADialogRenewed) {
  const struct {
    const char* dialog;
    TToolButton* F::*button;
    std::function<void(TCustomForm&)> act;
  } rows[] = {
      {"TFormAlarms", &F::tbAlarm, [](TCustomForm&) {}},
      {"TFormGlobalSettings", &F::btnGlobal,
       [](TCustomForm& f) { TFormGlobalSettings::SetBoxValue(dynamic_cast<TFormGlobalSettings&>(f).scWidth, 700); }},
  };
  for (const auto& row : rows) {
    std::string project = OnePageProject(kObjects);
    project.replace(project.find("Uid=\"2\""), 0, "ucid=\"5\" ");
    TFormDesign1& d = Open(project);
    TmyXmlNode* page = d.CurrentPage();
    ASSERT_EQ(d.FCurrentUcid, 5);
    Driver::OnModal(row.dialog, [&row](TCustomForm& f) {
      row.act(f);
      return static_cast<int>(mrOk);
    });
    Driver::Click(d.*row.button);
    const std::string renewed = page->GetAttr("ucid");
    EXPECT_NE(renewed, "5") << row.dialog;
    d.SavePage(page);
    EXPECT_EQ(page->GetAttr("ucid"), renewed) << row.dialog;
  }
}

TEST_F(DesignerTexts, TheRefreshTimerStopsAfterOneRound) {
  TFormDesign1& d = Open(OnePageProject(kObjects));
  d.RefreshTimer1->SetEnabled(true);
  d.RefreshTimer1Timer(d.RefreshTimer1);
  EXPECT_FALSE(d.RefreshTimer1->Enabled());
}

}  // namespace
