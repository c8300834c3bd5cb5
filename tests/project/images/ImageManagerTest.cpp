// The image manager on a designer's project: adding and naming, removal into
// the trash with Cancel, OK and the window's close button, renames that chain
// into each other, the purge of unused pictures, the pickers, and pictures.

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/HostEnvironment.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Image.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/OpenDialog.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Shape.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/ToolBar.h"
#include "platform/win/FileFault.h"
#include "platform/win/WriteFault.h"
#include "project/FormDeletePict.h"
#include "project/FormImageManager.h"
#include "tests/core/services/ServicesTestSupport.h"
#include "tests/pictures/PictureFiles.h"
#include "tests/project/ProjectDialogTest.h"
#include "tests/support/CutTexts.h"

using namespace projecttest;

namespace {

using picturetest::Rgba;

// A GIF of 6 x 3 cut off where its colour table should begin.
const std::string kCutGif("GIF89a\x06\x00\x03\x00\x80\x00\x00", 13);

std::vector<Rgba> Filled(int w, int h, Rgba colour) {
  return std::vector<Rgba>(static_cast<std::size_t>(w * h), colour);
}

class ImageManager : public ProjectDialogTest {
 protected:
  void TearDown() override {
    dialog.reset();
    ProjectDialogTest::TearDown();
  }
  // A picture in the image folder (or anywhere below the temporary folder).
  void Picture(const std::string& relative, int w, int h, Rgba colour) {
    std::filesystem::create_directories(std::filesystem::path(folder.Native(relative)).parent_path());
    const std::string path = folder.Native(relative);
    if (relative.ends_with(".jpeg") || relative.ends_with(".JPG"))
      picturetest::WriteJpeg(path, w, h, Filled(w, h, colour));
    else
      picturetest::WritePng(path, w, h, Filled(w, h, colour));
  }
  static std::string ImageFile(const std::string& name) { return "Tarnwell/Images/" + name; }
  bool Exists(const std::string& relative) const { return std::filesystem::exists(folder.Native(relative)); }
  // A project whose `images` has an entry per name (PNG files of 4 x 2).
  void OpenWith(const std::vector<std::string>& names, const std::string& more = "") {
    std::string images = "<images>";
    Rgba colour{10, 20, 30, 255};
    for (const std::string& name : names) {
      images += "<img name=\"" + name + "\" type=\"" + name.substr(name.find('.') + 1) +
                "\" height=\"2\" width=\"4\" longname=\"" + name.substr(0, name.find('.')) + "\" />";
      Picture(ImageFile(name), 4, 2, colour);
      colour.r = static_cast<std::uint8_t>(colour.r + 40);
    }
    Open(images + "</images>" + more);
  }
  TFormImageManager& Manager() {
    dialog.reset();
    dialog = std::make_unique<TFormImageManager>(designer.get());
    dialog->Designer = designer.get();
    dialog->LoadXML(designer->Document().Images());
    return *dialog;
  }
  // The working copy's entries as "name longname type", in list order.
  static std::vector<std::string> Listed(TFormImageManager& form) {
    std::vector<std::string> out;
    for (int i = 0; i < form.lvImages->Items()->Count(); ++i) {
      const auto* node = static_cast<const TmyXmlNode*>(form.lvImages->Items()->Item(i)->Data);
      out.push_back(node->GetAttr("name") + " " + node->GetAttr("longname") + " " + node->GetAttr("type"));
    }
    return out;
  }
  std::vector<std::string> ProjectNames() const {
    std::vector<std::string> out;
    for (TmyXmlNode* img = designer->Document().Images()->firstChild; img != nullptr; img = img->next)
      out.push_back(img->GetAttr("name"));
    return out;
  }
  void Select(TFormImageManager& form, const std::string& name) {
    form.SelectImage(name);
    ASSERT_EQ(form.FindItemByName(name), form.lvImages->ItemIndex()) << name;
  }
  void Rename(TFormImageManager& form, const std::string& from, const std::string& stem) {
    if (!from.empty()) Select(form, from);
    form.edtName->SelectAll();
    Driver::TypeText(stem, form.edtName);
    form.edtNameExit(form.edtName);
  }
  std::unique_ptr<TFormImageManager> dialog;
};

// The image manager opened from the designer's button and driven through its
// controls; the add button's file dialog answers `picked`.
class ImageManagerDriven : public ImageManager {
 protected:
  void SetUp() override {
    ImageManager::SetUp();
    manager.projectFolder = folder.Path().string() + "\\";
    manager.projectName = "Proj";
    SetHostProjectManager(&manager);
    Driver::OnDialog("TOpenPictureDialog", [this](TCommonDialog& shown) {
      dynamic_cast<TOpenDialog&>(shown).FileName = folder.System(picked);
      return true;
    });
    Driver::OnModal("TFormDeletePict", [](TCustomForm&) { return mrYes; });
  }
  void TearDown() override {
    SetHostProjectManager(nullptr);
    ImageManager::TearDown();
  }
  static void ClickItem(TFormImageManager& form, const std::string& name) {
    const TRect rect = form.lvImages->ItemRect(form.lvImages->Items()->Item(form.FindItemByName(name)));
    Driver::Click(form.lvImages, rect.Left + 4, (rect.Top + rect.Bottom) / 2);
  }
  // Runs the image manager with `act` playing the user.
  void Run(const std::function<void(TFormImageManager&)>& act) {
    const int id = Driver::OnModal("TFormImageManager", [&act](TCustomForm& shown) {
      act(static_cast<TFormImageManager&>(shown));
      return mrNone;
    });
    ClickButton(designer->btnImageManager);
    Driver::RemoveHandler(id);
  }
  // Every file below the image folder with its bytes, every folder as "name/".
  std::map<std::string, std::string> Images() const {
    std::map<std::string, std::string> entries;
    const std::filesystem::path root = folder.Native("Tarnwell/Images");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
      entries[std::filesystem::relative(entry.path(), root).string() + (entry.is_directory() ? "/" : "")] =
          entry.is_directory() ? "" : windowtest::ReadBytes(entry.path());
    return entries;
  }
  servicestest::FakeProjectManager manager;
  std::string picked;
};

// A file added under the name of a removed one, then every way to leave
// without OK: the image folder is as it was before the dialog opened.
TEST_F(ImageManagerDriven, LeavingWithoutOkRestoresTheFolderAfterANameWasReused) {
  enum class End { Cancel, CloseButton, RemoveAgainThenCancel };
  for (const End end : {End::Cancel, End::CloseButton, End::RemoveAgainThenCancel}) {
    SCOPED_TRACE(static_cast<int>(end));
    std::filesystem::remove_all(folder.Native("Tarnwell/Images"));
    OpenWith({"PUMP.PNG", "TANK.PNG"});
    Picture("src/pump.png", 3, 3, {0, 200, 0, 255});
    picked = "src\\pump.png";
    const std::map<std::string, std::string> before = Images();
    Run([end](TFormImageManager& form) {
      ClickItem(form, "PUMP.PNG");
      Driver::Click(form.btnRemove);
      Driver::Click(form.btnAdd);
      ASSERT_EQ(form.FindItemByName("PUMP.PNG"), form.lvImages->ItemIndex());
      if (end == End::RemoveAgainThenCancel) Driver::Click(form.btnRemove);
      if (end == End::CloseButton)
        form.Close();
      else
        Driver::Click(form.Button2);
    });
    EXPECT_EQ(Images(), before);
    EXPECT_NE(designer->FindImageNode("PUMP.PNG"), nullptr);
  }
}

// An entry without `type` after a JPG entry: OK keeps a name not edited (or
// typed as shown) whole, however long or dotted; a new name becomes 8.3 with
// the extension of its own name, and the file and the references follow it.
TEST_F(ImageManagerDriven, AnEntryWithoutTypeKeepsItsNameAndExtension) {
  const struct {
    const char* entry;
    const char* typed;  // typed into the name field, or none
    const char* name;   // the entry's name afterwards
  } cases[] = {{"LOGO.PNG", nullptr, "LOGO.PNG"},
               {"LOGO.PNG", "BRAND", "BRAND.PNG"},
               {"button_off.png", nullptr, "button_off.png"},
               {"pump.on.png", "pump", "pump.on.png"},
               {"button_off.png", "button_off", "BUTTON_O.png"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.entry) + " typed " + (c.typed == nullptr ? "-" : c.typed) + " -> " + c.name);
    std::filesystem::remove_all(folder.Native("Tarnwell/Images"));
    Picture(ImageFile("A.JPG"), 4, 2, {10, 20, 30, 255});
    Picture(ImageFile(c.entry), 4, 2, {90, 20, 30, 255});
    const std::string logo = windowtest::ReadBytes(folder.Native(ImageFile(c.entry)));
    Open(std::string("<images><img name=\"A.JPG\" type=\"JPG\" height=\"2\" width=\"4\" longname=\"A\" />") +
         "<img name=\"" + c.entry + "\" height=\"2\" width=\"4\" longname=\"Logo\" /></images>");
    TmyXmlNode* picture = Find("page")->AddChild("object")->AddChild("picture");
    picture->SetAttr("img", c.entry);
    Run([&c](TFormImageManager& form) {
      ClickItem(form, "A.JPG");
      ClickItem(form, c.entry);
      if (c.typed != nullptr) {
        Driver::Focus(form.edtName);
        form.edtName->SelectAll();
        Driver::TypeText(c.typed);
      }
      Driver::Click(form.Button1);
    });
    const TmyXmlNode* entry = designer->FindImageNode(c.name);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->FindAttr("type"), nullptr);
    EXPECT_EQ(windowtest::ReadBytes(folder.Native(ImageFile(c.name))), logo);
    EXPECT_EQ(picture->GetAttr("img"), c.name);
  }
}

// A stray file holds the new name, or the folder takes no rename: the user is
// told which, the entry keeps its old name, and the picker still answers the
// image the user chose.
TEST_F(ImageManagerDriven, ARenameThatCannotBeDoneIsToldAndThePickerAnswersTheImage) {
  for (const bool stray : {true, false}) {
    std::filesystem::remove_all(folder.Native("Tarnwell/Images"));
    OpenWith({"A.PNG", "B.PNG"});
    if (stray) Picture(ImageFile("C.PNG"), 1, 1, {9, 9, 9, 255});
    const auto c = [this] {
      return Exists(ImageFile("C.PNG")) ? windowtest::ReadBytes(folder.Native(ImageFile("C.PNG"))) : "";
    };
    const std::string before = c();
    const int id = Driver::OnModal("TFormImageManager", [stray](TCustomForm& shown) {
      auto& form = static_cast<TFormImageManager&>(shown);
      ClickItem(form, "A.PNG");
      Driver::Focus(form.edtName);
      form.edtName->SelectAll();
      Driver::TypeText("C");
      const FileOpFaultScope locked(stray ? TFileOpFault::kNone : TFileOpFault::kHalt, 1, EACCES);
      Driver::Click(form.Button1);
      return mrNone;
    });
    ClearMessageBoxLog();
    TmyXmlNode* picked = designer->PickImage("B.PNG");
    Driver::RemoveHandler(id);
    ASSERT_NE(picked, nullptr);
    EXPECT_EQ(picked->GetAttr("name"), "A.PNG");
    const std::vector<MessageBoxRecord> boxes = Driver::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, std::string("The picture 'A.PNG' could not be renamed to 'C.PNG'") +
                                 (stray ? ": a file of that name is already in the image folder."
                                        : " in the image folder (Permission denied).") +
                                 " The picture keeps its old name.");
    EXPECT_EQ(c(), before);
    EXPECT_TRUE(Exists(ImageFile("A.PNG")));
  }
}

// A picture file named with Czech letters (UTF-8 on the file system), added:
// its long name is stored in the project's code page; a code page that
// lacks a letter is told, and the letter stands as '?'.
TEST_F(ImageManagerDriven, AFileNameBeyondAsciiIsStoredInTheProjectsCodePage) {
  const struct {
    const char* encoding;
    const char* longName;
    bool told;
  } cases[] = {{"windows-1250", "\xC8\x65rpadlo \x9Elut\xFD", false}, {"windows-1252", "?erpadlo \x9Elut\xFD", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.encoding);
    std::filesystem::remove_all(folder.Native("Tarnwell/Images"));
    OpenWith({"PUMP.PNG"});
    Web()->SetAttr("encoding", c.encoding);
    Picture("src/\u010Cerpadlo \u017Elut\u00FD.png", 3, 3, {0, 200, 0, 255});
    picked = "src\\\u010Cerpadlo \u017Elut\u00FD.png";
    ClearMessageBoxLog();
    Run([](TFormImageManager& form) {
      Driver::Click(form.btnAdd);
      Driver::Click(form.Button1);
    });
    std::vector<std::string> longNames;
    for (TmyXmlNode* img = designer->Document().Images()->firstChild; img != nullptr; img = img->next)
      longNames.push_back(img->GetAttr("longname"));
    EXPECT_EQ(longNames, (std::vector<std::string>{"PUMP", c.longName}));
    const std::vector<MessageBoxRecord> boxes = Driver::MessageBoxes();
    ASSERT_EQ(boxes.size(), c.told ? 1u : 0u);
    if (c.told) {
      EXPECT_EQ(boxes[0].text,
                "The name of the file \"?erpadlo \x9Elut\xFD.png\" has letters that the project's code page cannot "
                "hold; its long name is \"?erpadlo \x9Elut\xFD\".");
    }
  }
}

// TANK is shown when an add is refused (its file is still on disk under a
// renamed entry) or fails (the disk is full, the picture cannot be read): OK
// leaves TANK, its file and the object that shows it as they were.
TEST_F(ImageManagerDriven, AnAddThatIsRefusedOrFailsLeavesTheShownEntryAsItWas) {
  const struct {
    const char* picked;
    bool diskFull;
    const char* told;
  } cases[] = {{"src\\pump.png", false, "This file has been already added"},
               {"src\\other.png", true, "[Tarnwell] - Cannot copy :"},
               {"src\\cut.gif", false, "The picture \""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.picked);
    std::filesystem::remove_all(folder.Native("Tarnwell/Images"));
    OpenWith({"PUMP.PNG", "TANK.PNG"});
    TmyXmlNode* picture = Find("page")->AddChild("object")->AddChild("picture");
    picture->SetAttr("img", "TANK.PNG");
    Picture("src/pump.png", 3, 3, {0, 200, 0, 255});
    Picture("src/other.png", 5, 5, {0, 0, 200, 255});
    picturetest::WriteBytes(folder.Native("src/cut.gif"), kCutGif);
    const std::string tank = windowtest::ReadBytes(folder.Native(ImageFile("TANK.PNG")));
    picked = c.picked;
    ClearMessageBoxLog();
    Run([&c](TFormImageManager& form) {
      ClickItem(form, "PUMP.PNG");
      Driver::Focus(form.edtName);
      form.edtName->SelectAll();
      Driver::TypeText("NEW");
      ClickItem(form, "TANK.PNG");
      {
        const FileWriteBudgetScope disk(c.diskFull ? 0 : -1);
        Driver::Click(form.btnAdd2);
      }
      Driver::Click(form.Button1);
    });
    const std::vector<MessageBoxRecord> boxes = Driver::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.starts_with(c.told)) << boxes[0].text;
    const TmyXmlNode* entry = designer->FindImageNode("TANK.PNG");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->GetAttr("longname") + " " + entry->GetAttr("width") + "x" + entry->GetAttr("height"), "TANK 4x2");
    EXPECT_EQ(windowtest::ReadBytes(folder.Native(ImageFile("TANK.PNG"))), tank);
    EXPECT_EQ(picture->GetAttr("img"), "TANK.PNG");
    EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"NEW.PNG", "TANK.PNG"}));
  }
}

// A picture whose file cannot be read: the box names the file, and the entry
// keeps its own size rather than taking that of the picture shown before.
TEST_F(ImageManagerDriven, APictureThatCannotBeReadIsNamedAndKeepsItsSize) {
  OpenWith({"A.PNG"});
  picturetest::WriteBytes(folder.Native(ImageFile("CUT.GIF")), kCutGif);
  TmyXmlNode* cut = designer->Document().Images()->AddChild("img");
  for (const auto& [key, value] : {std::pair{"name", "CUT.GIF"}, {"type", "GIF"}, {"height", "3"}, {"width", "6"}})
    cut->AppendAttr(key, value);
  ClearMessageBoxLog();
  Run([](TFormImageManager& form) {
    ClickItem(form, "CUT.GIF");
    EXPECT_EQ(form.edtWidth->Text() + "x" + form.edtHeight->Text(), "6x3");
    Driver::Click(form.Button1);
  });
  // Each time the entry is shown (the click, OK) the file is tried again.
  const std::vector<MessageBoxRecord> boxes = Driver::MessageBoxes();
  ASSERT_FALSE(boxes.empty());
  for (const MessageBoxRecord& box : boxes)
    EXPECT_EQ(box.text, "The picture \"" + (folder.Path() / "Tarnwell/Images/CUT.GIF").string() +
                            "\" could not be read: GIF: Error reading global color table in GIF file.");
  EXPECT_EQ(designer->FindImageNode("CUT.GIF")->GetAttr("width"), "6");
}

TEST_F(ImageManager, AddingNamesFilesAfterTheirShortNameAndCountsUp) {
  OpenWith({"PUMP.PNG"});
  Picture("src/holiday.jpeg", 6, 3, {200, 10, 10, 255});
  TFormImageManager& form = Manager();
  form.AddFiles({folder.System("src\\holiday.jpeg")});
  form.AddFiles({folder.System("src\\holiday.jpeg")});
  EXPECT_EQ(Listed(form),
            (std::vector<std::string>{"HOLIDA_1.JPG holiday JPG", "HOLIDA_2.JPG holiday JPG", "PUMP.PNG PUMP PNG"}));
  EXPECT_TRUE(Exists(ImageFile("HOLIDA_1.JPG")));
  EXPECT_TRUE(Exists(ImageFile("HOLIDA_2.JPG")));
  EXPECT_EQ(form.edtHeight->Text(), "3");
  form.Button1Click(form.Button1);
  EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"PUMP.PNG", "HOLIDA_1.JPG", "HOLIDA_2.JPG"}));
  const TmyXmlNode* added = designer->FindImageNode("HOLIDA_1.JPG");
  ASSERT_NE(added, nullptr);
  // Names are looked up in their exact case, as the generator looks them up.
  EXPECT_EQ(designer->FindImageNode("holida_1.jpg"), nullptr);
  EXPECT_EQ(added->GetAttr("width"), "6");
  EXPECT_EQ(added->GetAttr("longname"), "holiday");
}

TEST_F(ImageManager, AFileStillOnDiskUnderARenamedEntryIsRefused) {
  OpenWith({"HOLIDA_1.JPG"});
  Picture("src/holiday.jpeg", 6, 3, {200, 10, 10, 255});
  TFormImageManager& form = Manager();
  Rename(form, "HOLIDA_1.JPG", "TRIP");
  form.AddFiles({folder.System("src\\holiday.jpeg")});
  const std::vector<MessageBoxRecord> boxes = Driver::MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "This file has been already added");
  EXPECT_EQ(boxes[0].caption, "Images manager");
  EXPECT_EQ(form.lvImages->Items()->Count(), 1);
}

TEST_F(ImageManager, TheLongNameRetitlesAndResortsTheItem) {
  OpenWith({"A.PNG", "B.PNG"});
  TFormImageManager& form = Manager();
  Select(form, "A.PNG");
  form.edtLongName->SetText("Z pump");
  form.edtLongNameExit(form.edtLongName);
  EXPECT_EQ(Listed(form), (std::vector<std::string>{"B.PNG B PNG", "A.PNG Z pump PNG"}));
  EXPECT_EQ(form.lvImages->ItemIndex(), 1);
}

TEST_F(ImageManager, ALeftoverFileIsReusedOnlyWhenItHoldsTheSamePicture) {
  OpenWith({});
  Picture("src/holiday.jpeg", 6, 3, {200, 10, 10, 255});
  // A different picture left in the image folder under the name the add
  // would take, and an identical one under the next name.
  Picture(ImageFile("HOLIDA_1.JPG"), 2, 2, {0, 0, 255, 255});
  std::filesystem::copy_file(folder.Native("src/holiday.jpeg"), folder.Native(ImageFile("HOLIDA_2.JPG")));
  const std::string leftover = windowtest::ReadBytes(folder.Native(ImageFile("HOLIDA_1.JPG")));
  TFormImageManager& form = Manager();
  form.AddFiles({folder.System("src\\holiday.jpeg")});
  EXPECT_EQ(Listed(form), (std::vector<std::string>{"HOLIDA_2.JPG holiday JPG"}));
  EXPECT_EQ(windowtest::ReadBytes(folder.Native(ImageFile("HOLIDA_1.JPG"))), leftover);
  // Cancel deletes only what it copied: the reused file stays.
  form.Button2Click(form.Button2);
  dialog.reset();
  EXPECT_TRUE(Exists(ImageFile("HOLIDA_2.JPG")));
  EXPECT_TRUE(designer->Document().Images()->firstChild == nullptr);
}

TEST_F(ImageManager, CancelDeletesTheCopiedFiles) {
  OpenWith({});
  Picture("src/holiday.jpeg", 6, 3, {200, 10, 10, 255});
  TFormImageManager& form = Manager();
  form.AddFiles({folder.System("src\\holiday.jpeg")});
  ASSERT_TRUE(Exists(ImageFile("HOLIDA_1.JPG")));
  form.Button2Click(form.Button2);
  EXPECT_FALSE(Exists(ImageFile("HOLIDA_1.JPG")));
}

TEST_F(ImageManager, EntriesWithoutFileAreDroppedAndMissingLongNamesFilled) {
  Picture(ImageFile("A.PNG"), 4, 2, {1, 2, 3, 255});
  Open(
      "<images><img name=\"A.PNG\" type=\"PNG\" height=\"9\" width=\"9\" />"
      "<img name=\"GONE.PNG\" type=\"PNG\" longname=\"gone\" /></images>");
  TFormImageManager& form = Manager();
  EXPECT_EQ(Listed(form), (std::vector<std::string>{"A.PNG A PNG"}));
  // The stored size was wrong: the fields show the real one.
  EXPECT_EQ(form.edtHeight->Text(), "2");
  EXPECT_EQ(form.edtWidth->Text(), "4");
  form.Button1Click(form.Button1);
  EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"A.PNG"}));
  EXPECT_EQ(designer->FindImageNode("A.PNG")->GetAttr("height"), "2");
}

// How the dialog ends after a removal: what becomes of the removed file.
TEST_F(ImageManager, RemovedFilesWaitInTheTrashUntilTheDialogEnds) {
  enum class End { Ok, Cancel, CloseButton, Freed };
  const struct {
    End end;
    bool fileBack;
    bool listed;
  } cases[] = {
      {End::Ok, false, false}, {End::Cancel, true, true}, {End::CloseButton, true, true}, {End::Freed, true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.end));
    OpenWith({"A.PNG", "B.PNG"});
    TFormImageManager& form = Manager();
    Select(form, "A.PNG");
    form.btnRemoveClick(nullptr);
    EXPECT_EQ(Listed(form), (std::vector<std::string>{"B.PNG B PNG"}));
    EXPECT_FALSE(Exists(ImageFile("A.PNG")));
    EXPECT_TRUE(Exists(ImageFile("Trash/A.PNG")));
    switch (c.end) {
      case End::Ok: form.Button1Click(form.Button1); break;
      case End::Cancel: form.Button2Click(form.Button2); break;
      case End::CloseButton:
        Driver::OnModal("TFormImageManager", [](TCustomForm& shown) {
          shown.Close();
          return mrNone;
        });
        EXPECT_EQ(form.ShowModal(), mrCancel);
        break;
      case End::Freed: break;
    }
    dialog.reset();
    EXPECT_EQ(Exists(ImageFile("A.PNG")), c.fileBack);
    EXPECT_FALSE(Exists(ImageFile("Trash/A.PNG")));
    EXPECT_EQ(designer->FindImageNode("A.PNG") != nullptr, c.listed);
    Driver::Reset();
  }
}

TEST_F(ImageManager, RemovingTheLastItemDisablesTheFields) {
  OpenWith({"A.PNG"});
  TFormImageManager& form = Manager();
  EXPECT_TRUE(form.edtName->Enabled());
  form.btnRemoveClick(nullptr);
  EXPECT_EQ(form.lvImages->Items()->Count(), 0);
  EXPECT_FALSE(form.edtName->Enabled());
  EXPECT_FALSE(form.edtWidth->Enabled());
}

// Renames whose names chain into each other, in both orders of the entries.
TEST_F(ImageManager, ChainedRenamesMoveFilesAndReferencesTogether) {
  for (const bool aFirst : {true, false}) {
    SCOPED_TRACE(aFirst);
    std::filesystem::remove_all(folder.Native("Tarnwell/Images"));
    OpenWith(aFirst ? std::vector<std::string>{"A.PNG", "B.PNG"} : std::vector<std::string>{"B.PNG", "A.PNG"});
    const std::string bytesA = windowtest::ReadBytes(folder.Native(ImageFile("A.PNG")));
    const std::string bytesB = windowtest::ReadBytes(folder.Native(ImageFile("B.PNG")));
    TmyXmlNode* page = Find("page");
    page->AddChild("object")->AddChild("picture")->SetAttr("img", "A.PNG");
    TmyXmlNode* image = page->AddChild("object")->AddChild("image");
    image->SetAttr("on", "B.PNG");
    image->SetAttr("off", "A.PNG");
    TFormImageManager& form = Manager();
    Rename(form, "B.PNG", "C");
    Rename(form, "A.PNG", "B");
    form.Button1Click(form.Button1);
    EXPECT_EQ(windowtest::ReadBytes(folder.Native(ImageFile("B.PNG"))), bytesA);
    EXPECT_EQ(windowtest::ReadBytes(folder.Native(ImageFile("C.PNG"))), bytesB);
    EXPECT_FALSE(Exists(ImageFile("A.PNG")));
    EXPECT_EQ(page->FindDeep("picture")->GetAttr("img"), "B.PNG");
    EXPECT_EQ(image->GetAttr("on"), "C.PNG");
    EXPECT_EQ(image->GetAttr("off"), "B.PNG");
    EXPECT_EQ(designer->FindImageNode("A.PNG"), nullptr);
    EXPECT_EQ(designer->FindImageNode("B.PNG")->GetAttr("oldname"), "");
    dialog.reset();
  }
}

// A stray file under a new name blocks that rename, and with it every rename
// onto the name that therefore stays: no file is overwritten.
TEST_F(ImageManager, RenamesOntoAStrayFileKeepTheirOldNames) {
  OpenWith({"A.PNG", "B.PNG"});
  Picture(ImageFile("C.PNG"), 1, 1, {9, 9, 9, 255});
  const std::string stray = windowtest::ReadBytes(folder.Native(ImageFile("C.PNG")));
  const std::string bytesB = windowtest::ReadBytes(folder.Native(ImageFile("B.PNG")));
  Find("page")->AddChild("object")->AddChild("picture")->SetAttr("img", "A.PNG");
  TFormImageManager& form = Manager();
  Rename(form, "B.PNG", "C");
  Rename(form, "A.PNG", "B");
  form.Button1Click(form.Button1);
  EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"A.PNG", "B.PNG"}));
  EXPECT_EQ(windowtest::ReadBytes(folder.Native(ImageFile("C.PNG"))), stray);
  EXPECT_EQ(windowtest::ReadBytes(folder.Native(ImageFile("B.PNG"))), bytesB);
  EXPECT_EQ(Find("page")->FindDeep("picture")->GetAttr("img"), "A.PNG");
}

TEST_F(ImageManager, RenamingToATakenNameCountsUpAndTwiceKeepsTheFirstOldName) {
  OpenWith({"A.PNG", "B.PNG"});
  TFormImageManager& form = Manager();
  Rename(form, "A.PNG", "B");
  EXPECT_EQ(form.edtName->Text(), "B1");
  Rename(form, "B.PNG", "B");
  EXPECT_EQ(form.edtName->Text(), "B");
  Rename(form, "B1.PNG", "X");
  Rename(form, "", "Z");
  form.Button1Click(form.Button1);
  EXPECT_TRUE(Exists(ImageFile("Z.PNG")));
  EXPECT_FALSE(Exists(ImageFile("A.PNG")));
  EXPECT_EQ(ProjectNames(), (std::vector<std::string>{"Z.PNG", "B.PNG"}));
}

TEST_F(ImageManager, PurgeOffersOnlyUnusedPictures) {
  OpenWith({"USED.PNG", "FREE1.PNG", "BACK.PNG", "FREE2.PNG", "CANVAS.PNG", "OLD.PNG"});
  TmyXmlNode* page = designer->Document().Root()->FindDeepAttr("page", "name", "ALARMS.XML");
  ASSERT_NE(page, designer->CurrentPage());
  page->SetAttr("background", "BACK.PNG");
  page->AddChild("object")->AddChild("picture")->SetAttr("img", "USED.PNG");
  page->AddChild("object")->AddChild("canvas")->AddChild("img")->SetAttr("longname", "CANVAS.PNG");
  page->AddChild("object")->AddChild("picture")->SetAttr("img", "OLD.PNG");
  std::vector<std::string> asked;
  Driver::OnModal("TFormDeletePict", [this, &asked](TCustomForm&) {
    asked.push_back(dialog->edtName->Text());
    return mrAll;
  });
  TFormImageManager& form = Manager();
  // Renamed in this session: the pages still name it by its old name.
  Rename(form, "OLD.PNG", "NEW");
  form.Button3Click(form.Button3);
  EXPECT_EQ(asked, (std::vector<std::string>{"FREE1"}));
  EXPECT_EQ(Listed(form), (std::vector<std::string>{"BACK.PNG BACK PNG", "CANVAS.PNG CANVAS PNG", "NEW.PNG OLD PNG",
                                                    "USED.PNG USED PNG"}));
  EXPECT_TRUE(Exists(ImageFile("Trash/FREE2.PNG")));
}

// A picture placed on the shown page since the page was last stored counts
// as used.
TEST_F(ImageManager, PurgeKnowsThePicturesOfTheShownPage) {
  OpenWith({"SHOWN.PNG", "FREE.PNG"});
  ClickNode(Node("Start"));
  TmyXmlNode* page = designer->CurrentPage();
  ASSERT_NE(page, nullptr);
  TmyXmlNode* object = page->AddChild("object");
  object->SetAttr("uid", "50");
  object->AddChild("picture")->SetAttr("img", "SHOWN.PNG");
  designer->LoadPage(page);
  ASSERT_EQ(designer->PageObjects().size(), 1u);
  delete object;
  ASSERT_EQ(page->FindDeep("picture"), nullptr);
  std::vector<std::string> asked;
  Driver::OnModal("TFormDeletePict", [this, &asked](TCustomForm&) {
    asked.push_back(dialog->edtName->Text());
    return mrNo;
  });
  TFormImageManager& form = Manager();
  form.Button3Click(form.Button3);
  EXPECT_EQ(asked, (std::vector<std::string>{"FREE"}));
}

TEST_F(ImageManager, PurgeCancelStopsAndNoSkips) {
  OpenWith({"A.PNG", "B.PNG", "C.PNG"});
  std::vector<int> answers{mrNo, mrYes, mrCancel};
  Driver::OnModal("TFormDeletePict", [&answers](TCustomForm&) {
    const int answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  });
  TFormImageManager& form = Manager();
  form.Button3Click(form.Button3);
  EXPECT_TRUE(answers.empty());
  EXPECT_EQ(Listed(form), (std::vector<std::string>{"A.PNG A PNG", "C.PNG C PNG"}));
}

// The pickers as a property dialog calls them.
TEST_F(ImageManager, PickersAnswerTheChosenImagesOrNothingOnCancel) {
  Picture(ImageFile("LOGO.PNG"), 4, 2, {1, 2, 3, 255});
  Picture(ImageFile("PUMP.PNG"), 4, 2, {1, 2, 3, 255});
  Open(
      "<images><img name=\"LOGO.PNG\" type=\"png\" height=\"2\" width=\"4\" longname=\"logo\" />"
      "<img name=\"PUMP.PNG\" type=\"PNG\" height=\"2\" width=\"4\" longname=\"pump\" /></images>");
  for (const int answer : {mrOk, mrCancel}) {
    SCOPED_TRACE(answer);
    const int id = Driver::OnModal("TFormImageManager", [answer](TCustomForm& shown) {
      auto& form = static_cast<TFormImageManager&>(shown);
      Driver::Click(answer == mrOk ? form.Button1 : form.Button2);
      return mrNone;
    });
    TmyXmlNode* picked = designer->PickImage("pump.png");
    EXPECT_EQ(picked, answer == mrOk ? designer->FindImageNode("PUMP.PNG") : nullptr);
    std::unique_ptr<TStringList> names = designer->PickImages("LOGO.PNG", false);
    std::unique_ptr<TStringList> typed = designer->PickImages("LOGO.PNG", true);
    if (answer == mrOk) {
      ASSERT_NE(names, nullptr);
      ASSERT_NE(typed, nullptr);
      EXPECT_EQ(names->Text(), "LOGO.PNG\r\n");
      EXPECT_EQ(typed->Text(), "logo.png\r\n");
    } else {
      EXPECT_EQ(names, nullptr);
      EXPECT_EQ(typed, nullptr);
    }
    Driver::RemoveHandler(id);
  }
  EXPECT_EQ(FormImageManager, nullptr);
}

TEST_F(ImageManager, Pictures) {
  Picture(ImageFile("A.PNG"), 120, 80, {30, 120, 200, 255});
  Picture(ImageFile("B.PNG"), 400, 100, {200, 60, 30, 255});
  Picture(ImageFile("C.PNG"), 20, 20, {20, 160, 40, 255});
  Open(
      "<images><img name=\"A.PNG\" type=\"PNG\" height=\"80\" width=\"120\" longname=\"Sky\" />"
      "<img name=\"B.PNG\" type=\"PNG\" height=\"1\" width=\"1\" longname=\"Brick wall\" />"
      "<img name=\"C.PNG\" type=\"PNG\" height=\"20\" width=\"20\" longname=\"Lamp\" /></images>");
  InEveryLanguage([this](const std::string& lang) {
    TFormImageManager& form = Manager();
    form.Show();
    form.FormActivate(&form);
    Select(form, "B.PNG");
    EXPECT_FALSE(SavePicture(&form, "imagemanager-" + lang).empty());
    EXPECT_EQ(testsupport::CutTexts(form), std::vector<std::string>{}) << lang;
    TFormDeletePict question(&form);
    question.ShowPicture("Brick wall", form.Image1->Picture()->Bitmap());
    question.Show();
    EXPECT_EQ(question.Image1->Height(), 32);
    EXPECT_EQ(question.Image1->Top(), question.Shape1->Top() + 48);
    EXPECT_FALSE(SavePicture(&question, "deletepicture-" + lang).empty());
    EXPECT_EQ(testsupport::CutTexts(question), std::vector<std::string>{}) << lang;
  });
}

}  // namespace
