// The multi-state image dialog: the state list filled and mixed, entries
// added after the selection, replaced, deleted and moved across several
// objects, and entries whose picture file is missing.

#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/PageControl.h"
#include "platform/vcl/Panel.h"
#include "properties/FormMultiImageProperties.h"
#include "tests/properties/images/ImagesTestSupport.h"

using namespace imgtest;
using namespace proptest;

namespace {

std::string MultiObject(int uid, int x, const std::vector<std::string>& names) {
  std::string xml = "<object caption=\"M\" X=\"" + std::to_string(x) + "\" Y=\"4\" Uid=\"" + std::to_string(uid) +
                    "\"><mulimg variable=\"I1\" count=\"" + std::to_string(names.size()) + "\">";
  for (const std::string& n : names) xml += "<img name=\"" + n + "\" />";
  return xml + "</mulimg></object>\r\n";
}

const std::vector<std::string> kThree = {"lamp_off.png", "lamp_on.png", "pump_on.png"};

std::vector<std::string> Names(const TGridWebElement& e) {
  std::vector<std::string> names;
  for (int i = 0; i < e.GetImageCount(); ++i) names.push_back(e.GetImageName(i));
  return names;
}

TFormMultiImageProperties& Multi(TPropertyForm& f) { return dynamic_cast<TFormMultiImageProperties&>(f); }

std::vector<std::string> Entries(TPropertyForm& f) {
  std::vector<std::string> entries;
  TListBox* list = Multi(f).List();
  for (int i = 0; i < list->Count(); ++i) entries.push_back(list->Items()->Strings(i));
  return entries;
}

// Chooses the entry as the user does (a click on its row).
void Choose(TPropertyForm& f, int index) {
  TListBox* list = Multi(f).List();
  const TRect r = list->ItemRect(index);
  Driver::Click(list, r.Left + 4, r.Top + 4);
}

class MultiImageDialog : public ImagesTest {};

}  // namespace

TEST_F(MultiImageDialog, TwoObjectsWithTheSameImagesShowThemAndEntryZeroIsSelected) {
  OpenImages(MultiObject(10, 3, kThree) + MultiObject(11, 20, kThree));
  SelectObjects({0, 1});
  Edit(0, "TFormMultiImageProperties", [&](TPropertyForm& f) {
    EXPECT_EQ(Entries(f),
              (std::vector<std::string>{"Lamp off|lamp_off.png", "Lamp on|lamp_on.png", "Pump on|pump_on.png"}));
    EXPECT_EQ(Multi(f).List()->ItemIndex(), 0);
    EXPECT_EQ(f.Get<TTabSheet>("TabSheet1")->Text(), "Variable = 0");
    EXPECT_NE(f.Get<TImage>("Image1")->Picture()->Graphic(), nullptr);
    EXPECT_FALSE(f.Get<TButton>("btnMoveUp")->Enabled());
    EXPECT_TRUE(f.Get<TButton>("btnMoveDn")->Enabled());
    Choose(f, 2);
    EXPECT_EQ(f.Get<TTabSheet>("TabSheet1")->Text(), "Variable = 2");
    EXPECT_FALSE(f.Get<TButton>("btnMoveDn")->Enabled());
    SavePicture(f, "mulimg-two-en");
    EXPECT_FALSE(f.Flagged("lbPictures"));
    return PressOk(f);
  });
  EXPECT_EQ(Names(*Objects()[0]), kThree);
}

TEST_F(MultiImageDialog, DifferentListsOpenEmptyAndOkLeavesBoth) {
  OpenImages(MultiObject(10, 3, kThree) + MultiObject(11, 20, {"lamp_off.png", "logo.bmp", "pump_on.png"}));
  SelectObjects({0, 1});
  const std::string first = ObjectXml(0), second = ObjectXml(1);
  AnswerPicker("logo.bmp");
  Edit(0, "TFormMultiImageProperties", [&](TPropertyForm& f) {
    EXPECT_TRUE(Entries(f).empty());
    EXPECT_FALSE(f.Get<TButton>("btnEdit")->Enabled());
    EXPECT_FALSE(f.Get<TButton>("btnDelete")->Enabled());
    EXPECT_EQ(f.Get<TTabSheet>("TabSheet1")->Text(), "Variable = ?");
    // A click on the preview with nothing to replace changes nothing.
    Driver::Click(f.Get<TImage>("Image1"));
    f.Get<TButton>("btnMoveUp")->Click();
    f.Get<TButton>("btnMoveDn")->Click();
    EXPECT_FALSE(f.Flagged("lbPictures"));
    return PressOk(f);
  });
  EXPECT_EQ(ObjectXml(0), first);
  EXPECT_EQ(ObjectXml(1), second);
}

// One row a list edit of the user on two selected objects of the same three
// images; the list both then hold.
TEST_F(MultiImageDialog, ListEditsReachEverySelectedObject) {
  struct Row {
    const char* what;
    const char* pick;
    std::function<void(TPropertyForm&)> input;
    std::vector<std::string> expected;
    int selection;
  };
  const Row rows[] = {
      {"add with entry 1 selected",
       "logo.bmp",
       [](TPropertyForm& f) {
         Choose(f, 1);
         ClickControl(f, "btnAdd");
       },
       {"lamp_off.png", "lamp_on.png", "logo.bmp", "pump_on.png"},
       2},
      {"modify entry 2",
       "logo.bmp",
       [](TPropertyForm& f) {
         Choose(f, 2);
         ClickControl(f, "btnEdit");
       },
       {"lamp_off.png", "lamp_on.png", "logo.bmp"},
       2},
      {"delete entry 0",
       "",
       [](TPropertyForm& f) {
         Choose(f, 0);
         ClickControl(f, "btnDelete");
       },
       {"lamp_on.png", "pump_on.png"},
       0},
      {"delete entry 2",
       "",
       [](TPropertyForm& f) {
         Choose(f, 2);
         ClickControl(f, "btnDelete");
       },
       {"lamp_off.png", "lamp_on.png"},
       1},
      {"move entry 2 up",
       "",
       [](TPropertyForm& f) {
         Choose(f, 2);
         ClickControl(f, "btnMoveUp");
       },
       {"lamp_off.png", "pump_on.png", "lamp_on.png"},
       1},
      {"move entry 0 down",
       "",
       [](TPropertyForm& f) {
         Choose(f, 0);
         ClickControl(f, "btnMoveDn");
       },
       {"lamp_on.png", "lamp_off.png", "pump_on.png"},
       1},
      {"add cancelled", "", [](TPropertyForm& f) { ClickControl(f, "btnAdd"); }, kThree, 0},
  };
  for (const Row& row : rows) {
    OpenImages(MultiObject(10, 3, kThree) + MultiObject(11, 20, kThree) + MultiObject(12, 40, {"logo.bmp"}));
    SelectObjects({0, 1});
    const std::string third = ObjectXml(2);
    AnswerPicker(row.pick);
    Edit(1, "TFormMultiImageProperties", [&](TPropertyForm& f) {
      row.input(f);
      EXPECT_EQ(Multi(f).List()->ItemIndex(), row.selection) << row.what;
      return PressOk(f);
    });
    EXPECT_EQ(Names(*Objects()[0]), row.expected) << row.what;
    EXPECT_EQ(Names(*Objects()[1]), row.expected) << row.what;
    EXPECT_EQ(ObjectXml(2), third) << row.what;
  }
}

TEST_F(MultiImageDialog, AnObjectWithoutImagesTakesTheFirstAsEntryZero) {
  OpenImages(MultiObject(10, 3, {}));
  SelectObjects({0});
  AnswerPicker("pump_on.png");
  Edit(0, "TFormMultiImageProperties", [&](TPropertyForm& f) {
    EXPECT_FALSE(f.Get<TButton>("btnEdit")->Enabled());
    ClickControl(f, "btnAdd");
    EXPECT_EQ(Multi(f).List()->ItemIndex(), 0);
    EXPECT_EQ(f.Get<TImage>("Image1")->Tag, 0);
    return PressOk(f);
  });
  EXPECT_EQ(Names(*Objects()[0]), (std::vector<std::string>{"pump_on.png"}));
  EXPECT_NE(ObjectXml(0).find("count=\"1\""), std::string::npos) << ObjectXml(0);
}

// An entry whose picture file is missing keeps its name, also when it is
// entry 0 and selected as the dialog opens; OK without edits writes nothing.
TEST_F(MultiImageDialog, AMissingPictureFileKeepsTheEntry) {
  OpenImages(MultiObject(10, 3, {"gone.png", "lamp_on.png", "nothere.png"}) +
             MultiObject(11, 20, {"gone.png", "lamp_on.png", "nothere.png"}));
  SelectObjects({0, 1});
  const std::string first = ObjectXml(0), second = ObjectXml(1);
  Edit(0, "TFormMultiImageProperties", [&](TPropertyForm& f) {
    // The picture without a file stays in the project's list with its long
    // name (the load's image check told it); the entry keeps its name.
    EXPECT_EQ(Entries(f), (std::vector<std::string>{"Missing|gone.png", "Lamp on|lamp_on.png", "|nothere.png"}));
    EXPECT_TRUE(Multi(f).EntryMissing(0));
    EXPECT_FALSE(Multi(f).EntryMissing(1));
    EXPECT_EQ(f.Get<TPanel>("Panel1")->Text(), "Click to insert image...");
    Choose(f, 2);
    EXPECT_EQ(Entries(f).at(2), "|nothere.png");
    EXPECT_FALSE(f.Flagged("lbPictures"));
    SavePicture(f, "mulimg-missing-en");
    return PressOk(f);
  });
  EXPECT_EQ(ObjectXml(0), first);
  EXPECT_EQ(ObjectXml(1), second);
  // An edit of the list keeps the missing entries' names in every object.
  Edit(0, "TFormMultiImageProperties", [&](TPropertyForm& f) {
    Choose(f, 1);
    ClickControl(f, "btnMoveUp");
    return PressOk(f);
  });
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(Names(*Objects()[i]), (std::vector<std::string>{"lamp_on.png", "gone.png", "nothere.png"})) << i;
}
