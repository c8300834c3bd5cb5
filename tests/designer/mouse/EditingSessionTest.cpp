// One whole editing session on a copy of the example project, driven as a
// user would: an insert tool with its properties dialog, a drag, the rubber
// band and an alignment from the object menu, copy and paste by the keys with
// the frame dropped, undo and redo, save; then save and compile, with the
// output checked by xmllint and every page rendered through its stylesheet by
// xsltproc. The surface is painted into a PNG after each step.

#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "generator/FormStatus1.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/vcl/ToolBar.h"
#include "tests/designer/mouse/MouseTestSupport.h"
#include "tests/host/ProgramRun.h"

using namespace mousetest;
namespace fs = std::filesystem;

namespace {

// An object of the saved page: its kind element and its page pixel.
struct TSavedObject {
  std::string kind;
  std::string caption;
  int left = 0;
  int top = 0;
};

int IntAttr(TmyXmlNode* node, const char* name) {
  const std::string text = node->GetAttr(name);
  return text.empty() ? 0 : std::stoi(text);
}

// The objects of the page NAME of the saved project, by uid.
std::map<int, TSavedObject> SavedObjects(const fs::path& file, const std::string& pageName) {
  std::map<int, TSavedObject> objects;
  TmyXMLParser parser;
  parser.LoadFromString(windowtest::ReadBytes(file).c_str());
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  if (root == nullptr) return objects;
  TmyXmlNode* web = root->FindChild("web", {}, true);
  if (web == nullptr) return objects;
  for (TmyXmlNode* group = web->firstChild; group != nullptr; group = group->next)
    for (TmyXmlNode* page = group->firstChild; page != nullptr; page = page->next) {
      if (page->name != "page" || page->GetAttr("name") != pageName) continue;
      for (TmyXmlNode* o = page->firstChild; o != nullptr; o = o->next) {
        if (o->name != "object") continue;
        TSavedObject saved;
        // The kind element follows the texts of the languages.
        for (TmyXmlNode* c = o->firstChild; c != nullptr && saved.kind.empty(); c = c->next)
          if (c->name != "lang") saved.kind = c->name;
        saved.caption = o->GetAttr("caption");
        saved.left = (IntAttr(o, "X") - 1) * 8 + IntAttr(o, "xoff");
        saved.top = (IntAttr(o, "Y") - 1) * 8 + IntAttr(o, "yoff");
        objects[IntAttr(o, "Uid")] = saved;
      }
    }
  return objects;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class EditingSession : public MouseTest {
 protected:
  void TearDown() override {
    Driver::Reset();
    MouseTest::TearDown();
  }
  // The page pixel of an object's corner.
  static TPoint Corner(TGridWebElement* object) {
    const TPoint p = object->GetPosition();
    return {p.x - 1, p.y - 1};
  }
  std::vector<int> Uids() const {
    std::vector<int> uids;
    for (TGridWebElement* e : designer->PageObjects()) uids.push_back(e->FUid);
    return uids;
  }
  fs::path ProjectFile() const { return folder.Path() / "Tarnwell" / "Demo.xml"; }
};

constexpr int kTitle = 1001;  // the overview's title label, top left

}  // namespace

TEST_F(EditingSession, InsertMoveAlignPasteUndoRedoSaveAndCompile) {
  TFormDesign1& d = *designer;
  ASSERT_EQ(d.CurrentPage()->GetAttr("name"), "OVERVIEW.XML");
  TGridWebElement* title = Object(kTitle);
  ASSERT_NE(title, nullptr);
  const std::size_t before = d.PageObjects().size();
  SavePng("session-0-opened");

  // A rectangle from its tool, placed on the empty part of the page; its
  // properties dialog is answered with OK.
  std::vector<std::string> dialogs;
  Driver::OnModal("TFormBlockProperties", [&](TCustomForm& form) {
    dialogs.push_back(form.Caption());
    auto* ok = dynamic_cast<TControl*>(form.FindComponent("Button1"));
    if (ok == nullptr) return static_cast<int>(mrOk);
    Driver::Click(ok);
    return static_cast<int>(mrNone);
  });
  Driver::Click(d.btnRectangle);
  Driver::MouseMove(d.sbDesign1, 120, 420);
  ASSERT_NE(d.FInsert, nullptr);
  Driver::Click(d.sbDesign1, 120, 420);
  EXPECT_EQ(d.FInsert, nullptr);
  EXPECT_EQ(dialogs.size(), 1u);
  ASSERT_EQ(d.PageObjects().size(), before + 1);
  TGridWebElement* block = d.PageObjects().back();
  const int blockUid = block->FUid;
  EXPECT_GT(blockUid, 0);
  EXPECT_EQ(block->Kind(), wkBlock);
  EXPECT_TRUE(d.btnArrow->Down());
  SavePng("session-1-inserted");

  // The title dragged down beside the rectangle.
  const TPoint titleStart = Corner(title);
  const int dx = 200 - titleStart.x, dy = 440 - titleStart.y;
  Drag(titleStart.x + 5, titleStart.y + 5, titleStart.x + 5 + dx, titleStart.y + 5 + dy);
  EXPECT_EQ(Corner(title).x, titleStart.x + dx);
  EXPECT_EQ(Corner(title).y, titleStart.y + dy);
  SavePng("session-2-dragged");

  // The rubber band over both, from the empty page; then "Align top".
  const TPoint blockCorner = Corner(block);
  Drag(60, 370, title->Left() + title->Width() + 10, 470);
  EXPECT_EQ(Selected(), std::to_string(kTitle) + " " + std::to_string(blockUid)) << Dump();
  Driver::ChoosePopupItem("ObjectPopup", "Align or distribution|Align top");
  Driver::Click(title, 3, 3, mbRight);
  const int topmost = std::min(blockCorner.y, titleStart.y + dy);
  EXPECT_EQ(Corner(title).y, topmost);
  EXPECT_EQ(Corner(block).y, topmost);
  EXPECT_EQ(Corner(block).x, blockCorner.x);
  SavePng("session-3-aligned");

  // Copy from the object menu, paste from the surface's menu (Ctrl+C and
  // Ctrl+V reach no menu on the surface: its menus are popped up by code);
  // the pasted frame is dropped lower down.
  Driver::ChoosePopupItem("ObjectPopup", "Copy");
  Driver::Click(title, 3, 3, mbRight);
  EXPECT_EQ(Selected(), std::to_string(kTitle) + " " + std::to_string(blockUid));
  Driver::ChoosePopupItem("ScrollPopup", "Paste");
  Driver::Click(d.sbDesign1, 600, 520, mbRight);
  ASSERT_NE(d.FInsert, nullptr) << "the paste carries a frame";
  Driver::MouseMove(d.sbDesign1, 150, 520);
  SavePng("session-4-carrying");
  Driver::Click(d.sbDesign1, 150, 520);
  EXPECT_EQ(d.FInsert, nullptr);
  ASSERT_EQ(d.PageObjects().size(), before + 3);
  const std::vector<int> pasted = {d.PageObjects()[before + 1]->FUid, d.PageObjects()[before + 2]->FUid};
  for (int uid : pasted) {
    EXPECT_NE(uid, kTitle);
    EXPECT_NE(uid, blockUid);
    EXPECT_TRUE(Object(uid)->Selected()) << uid;
    EXPECT_GT(Corner(Object(uid)).y, topmost + 30) << uid;
  }
  EXPECT_NE(pasted[0], pasted[1]);
  SavePng("session-5-pasted");
  const std::string afterPaste = Dump();

  // Undo takes the paste back, redo brings it again.
  Driver::Click(d.tbUndo);
  EXPECT_EQ(d.PageObjects().size(), before + 1);
  SavePng("session-6-undone");
  Driver::Click(d.tbRedo);
  // Labels measure themselves when painted: the dump follows the painting.
  SavePng("session-7-redone");
  EXPECT_EQ(Dump(), afterPaste);

  // Saved: the file holds the moved title, the rectangle and the copies.
  Driver::Click(d.btnSave2);
  const std::map<int, TSavedObject> saved = SavedObjects(ProjectFile(), "OVERVIEW.XML");
  ASSERT_EQ(saved.size(), before + 3) << windowtest::ReadBytes(ProjectFile()).substr(0, 400);
  ASSERT_TRUE(saved.count(kTitle));
  EXPECT_EQ(saved.at(kTitle).left, titleStart.x + dx);
  EXPECT_EQ(saved.at(kTitle).top, topmost);
  ASSERT_TRUE(saved.count(blockUid));
  EXPECT_EQ(saved.at(blockUid).kind, "block");
  EXPECT_EQ(saved.at(blockUid).left, blockCorner.x);
  EXPECT_EQ(saved.at(blockUid).top, topmost);
  std::vector<std::string> pastedKinds;
  for (int uid : pasted) {
    ASSERT_TRUE(saved.count(uid)) << uid;
    EXPECT_EQ(saved.at(uid).left, Corner(Object(uid)).x) << uid;
    EXPECT_EQ(saved.at(uid).top, Corner(Object(uid)).y) << uid;
    pastedKinds.push_back(saved.at(uid).kind + ":" + saved.at(uid).caption);
  }
  std::sort(pastedKinds.begin(), pastedKinds.end());
  EXPECT_EQ(pastedKinds, (std::vector<std::string>{"block:", "label:Pumping station"}));

  // Save and compile; the status window is answered.
  std::vector<std::string> status;
  Driver::OnModal("TFormStatus1", [&](TCustomForm& form) {
    status.push_back(static_cast<TFormStatus1&>(form).pnlStatus->Caption());
    return static_cast<int>(mrOk);
  });
  Driver::Click(d.btnSave1);
  ASSERT_EQ(status.size(), 1u);
  const fs::path output = folder.Path() / "SendRoot";
  ASSERT_TRUE(fs::is_directory(output)) << status.front();
  int checked = 0, pages = 0;
  for (const auto& entry : fs::recursive_directory_iterator(output)) {
    const std::string file = entry.path().string();
    if (!EndsWith(file, ".XML") && !EndsWith(file, ".XSL")) continue;
    const ProgramRun lint = RunProgram("xmllint --noout '" + file + "'");
    EXPECT_EQ(lint.status, 0) << file << "\n" << lint.out;
    ++checked;
    if (!EndsWith(file, ".XSL") || entry.path().parent_path() != output / "WWW") continue;
    const fs::path data = file.substr(0, file.size() - 2) + "ML";
    if (!fs::exists(data)) continue;
    const ProgramRun page = RunProgram("xsltproc '" + file + "' '" + data.string() + "'");
    EXPECT_EQ(page.status, 0) << file << "\n" << page.out;
    EXPECT_NE(page.out.find("<html"), std::string::npos) << file;
    ++pages;
    if (entry.path().filename() == "OVERVIEW.XSL") {
      EXPECT_NE(page.out.find("Pumping station"), page.out.rfind("Pumping station"))
          << "the title and its copy are both on the page";
    }
  }
  EXPECT_GT(checked, 8);
  EXPECT_EQ(pages, 6) << "four pages, the login and the logout page";
}
