#include "tests/properties/PropertiesTestSupport.h"

#include <filesystem>

#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "designer/DesignerHost.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Painting.h"
#include "platform/vcl/ScrollBox.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Resources.h"
#include "platform/win/VirtualKeys.h"

namespace proptest {

namespace {

class THost : public TDesignerHost {
 public:
  explicit THost(const testsupport::TempFolder& folder) : folder_(folder) {}
  TProjectLocation ProjectLocation() override {
    TProjectLocation location;
    location.hostProjectDir = folder_.Path().string() + "\\";
    location.hostProjectName = "Proj";
    return location;
  }
  std::string UpdateStConstants(TmyXmlNode*) override { return {}; }

 private:
  const testsupport::TempFolder& folder_;
};

}  // namespace

std::string Project(const std::string& objects, const std::vector<int>& languages, bool locked) {
  std::string langs = std::string("<Languages enabled=\"") + (languages.size() > 1 ? "1" : "0") + "\">\r\n";
  for (std::size_t i = 0; i < languages.size(); ++i)
    langs += "<Language Code=\"" + std::to_string(languages[i]) + "\" Editor=\"" + (i == 0 ? "1" : "0") + "\" />\r\n";
  langs += "</Languages>\r\n";
  return "<web version=\"8.1\" MaxUid=\"500\">\r\n<Grid Enable=\"0\" X=\"1\" Y=\"1\" />\r\n" + langs +
         "<group caption=\"G\" Uid=\"1\"" + (locked ? " locked=\"1\"" : "") +
         ">\r\n<page caption=\"P\" name=\"P.XML\" default=\"true\" Uid=\"2\">\r\n" + objects +
         "</page>\r\n</group>\r\n<group caption=\"Other\" Uid=\"3\">\r\n"
         "<page caption=\"Start - main\" name=\"START.XML\" Uid=\"4\" />\r\n</group>\r\n</web>";
}

void PropertiesTest::SetUp() {
  ASSERT_TRUE(LoadDefaultUiTable(HInstance));
  Driver::Reset();
  ClearMessageBoxLog();
}

void PropertiesTest::TearDown() {
  designer.reset();
  Driver::Reset();
  ClearMessageBoxLog();
  FreeUiTable();
}

TFormDesign1& PropertiesTest::Open(const std::string& project) {
  folder.Write("Tarnwell/Proj.xml", project);
  designer = std::make_unique<TFormDesign1>(nullptr, std::make_unique<THost>(folder));
  designer->Show();
  designer->FTreeChangeSuppressed = false;
  return *designer;
}

std::vector<TGridWebElement*> PropertiesTest::Objects() const { return designer->PageObjects(); }

void PropertiesTest::SelectObjects(const std::vector<int>& indexes) {
  bool first = true;
  for (int i : indexes) {
    TGridWebElement* e = Objects().at(i);
    Driver::Click(e, 2, 2, mbLeft, first ? TShiftState(0) : TShiftState(ssShift));
    first = false;
  }
}

std::string PropertiesTest::DoubleClickObject(int index, std::function<int(TPropertyForm&)> act) {
  std::string shown;
  auto handler = [&](TCustomForm& form) {
    shown = form.ClassName();
    return act(dynamic_cast<TPropertyForm&>(form));
  };
  std::vector<int> ids = {
      Driver::OnModal("TFormLabelProperties", handler), Driver::OnModal("TFormEditProperties", handler),
      Driver::OnModal("TFormSubmitProperties", handler), Driver::OnModal("TFormDropDownProperties", handler)};
  // The picture dialogs and the other kinds.
  for (const char* form :
       {"TFormPictureProperties", "TFormImageProperties", "TFormImageBtnProperties", "TFormMultiImageProperties",
        "TFormPostFileProperties", "TFormCameraProperties", "TFormBlockProperties", "TFormStrImgProperties",
        "TFormIFrameProperties", "TFormCanvasProperties"})
    ids.push_back(Driver::OnModal(form, handler));
  TGridWebElement* e = Objects().at(index);
  Driver::DoubleClick(e, 2, 2);
  for (int id : ids) Driver::RemoveHandler(id);
  return shown;
}

std::string PropertiesTest::ObjectXml(int index) const {
  TmyXmlNode root("");
  Objects().at(index)->SaveToXml(&root, designer->FLangMutations);
  TmyXMLParser writer;
  writer.progress = false;
  return writer.WriteNode(&root, 0);
}

void PropertiesTest::ExpectNoClickAction(int index) const {
  EXPECT_EQ(Objects().at(index)->GetVariable(), "");
  EXPECT_EQ(ObjectXml(index).find("variable="), std::string::npos) << ObjectXml(index);
  EXPECT_EQ(ObjectXml(index).find("value="), std::string::npos) << ObjectXml(index);
}

int PropertiesTest::UndoCount() const { return designer->FUndoTree != nullptr ? designer->FUndoTree->ChildCount() : 0; }

void PropertiesTest::SavePicture(TControl& form, const std::string& name) {
  const std::string dir = std::string(TARNWELL_BINARY_DIR) + "/pictures/properties";
  std::filesystem::create_directories(dir);
  EXPECT_TRUE(SaveControlAsPng(&form, dir + "/" + name + ".png"));
}

void TypeInto(TPropertyForm& form, const std::string& name, const std::string& text) {
  auto* edit = form.Get<TEdit>(name);
  Driver::Focus(edit);
  edit->SelectAll();
  if (text.empty()) {
    Driver::TypeText("x");
    Driver::PressKey(VK_BACK);
  } else {
    Driver::TypeText(text);
  }
}

void ClickControl(TPropertyForm& form, const std::string& name) { Driver::Click(form.Get<TControl>(name)); }

int PressOk(TPropertyForm& form) {
  ClickControl(form, "Button1");
  return mrNone;
}

void PressTab() { Driver::PressKey(VK_TAB); }

int TypeAClickActionAndUncheckIt(TPropertyForm& form) {
  ClickControl(form, "cbUseVal");
  TypeInto(form, "edtVariable", "Pump.On");
  TypeInto(form, "edtVal", "1");
  ClickControl(form, "cbUseVal");
  return PressOk(form);
}

void ExpectBindingTable(const std::string& name, TPropertyForm& form) {
  int checked = 0;
  for (const TPropertyBinding& b : form.Bindings()) {
    if (b.kind == TBindKind::LangSlots) {
      EXPECT_NE(form.FindLangText(b.control), nullptr) << name << " " << b.control;
      continue;
    }
    const TComponent* control = form.FindComponent(b.control);
    ASSERT_NE(control, nullptr) << name << " " << b.control;
    EXPECT_TRUE(ControlFitsBinding(control, b)) << name << " " << b.control;
    for (const char* other : b.flaggedBy) EXPECT_NE(form.FindComponent(other), nullptr) << name << " " << other;
    ++checked;
  }
  EXPECT_GT(checked, 8) << name;
  for (const TLangText& text : form.langTexts) {
    EXPECT_NE(form.FindComponent(text.edit), nullptr) << name << " " << text.edit;
    EXPECT_NE(form.FindComponent(text.button), nullptr) << name << " " << text.button;
  }
}

}  // namespace proptest
