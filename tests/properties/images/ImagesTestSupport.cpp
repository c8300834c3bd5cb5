#include "tests/properties/images/ImagesTestSupport.h"

#include <fstream>
#include <sstream>

#include "core/XmlNode.h"
#include "designer/ProjectDocument.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Driver.h"

namespace imgtest {

namespace {

std::string ReadSource(const std::string& relative) {
  std::ifstream in(std::string(TARNWELL_SOURCE_DIR) + "/" + relative, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace

std::string ImageProject(const std::string& objects) {
  std::string project = proptest::Project(objects);
  const std::string images =
      "<images>\r\n"
      "<img name=\"lamp_on.png\" type=\"png\" longname=\"Lamp on\" />\r\n"
      "<img name=\"lamp_off.png\" type=\"png\" longname=\"Lamp off\" />\r\n"
      "<img name=\"pump_on.png\" type=\"png\" longname=\"Pump on\" />\r\n"
      "<img name=\"logo.bmp\" type=\"bmp\" longname=\"Logo\" />\r\n"
      "<img name=\"gone.png\" type=\"png\" longname=\"Missing\" />\r\n"
      "</images>\r\n";
  const auto at = project.find("<Languages");
  project.insert(at, images);
  return project;
}

void ImagesTest::SetUp() {
  PropertiesTest::SetUp();
  SetImagePickerHook([this](const std::string& current) -> TmyXmlNode* {
    pickerCalls.push_back(current);
    if (answer_.empty()) return nullptr;
    for (TmyXmlNode* n = designer->Document().Images()->firstChild; n != nullptr; n = n->next)
      if (n->GetAttr("name") == answer_) return n;
    return nullptr;
  });
}

void ImagesTest::TearDown() {
  SetImagePickerHook(nullptr);
  PropertiesTest::TearDown();
}

TFormDesign1& ImagesTest::OpenImages(const std::string& objects) {
  for (const char* name : {"lamp_on.png", "lamp_off.png", "pump_on.png", "logo.bmp"})
    folder.Write(std::string("Tarnwell/Images/") + name,
                 ReadSource(std::string("examples/demo/Tarnwell/Images/") + name));
  return Open(ImageProject(objects));
}

void ImagesTest::AnswerPicker(const std::string& name) { answer_ = name; }

void ImagesTest::Edit(int index, const std::string& formClass, const std::function<int(TPropertyForm&)>& act) {
  bool shown = false;
  const int id = Driver::OnModal(formClass, [&](TCustomForm& form) {
    shown = true;
    return act(dynamic_cast<TPropertyForm&>(form));
  });
  Driver::DoubleClick(Objects().at(index), 2, 2);
  Driver::RemoveHandler(id);
  EXPECT_TRUE(shown) << formClass;
}

}  // namespace imgtest
