#include "tests/project/ProjectDialogTest.h"

#include <filesystem>

#include "core/UiText.h"
#include "core/XmlNode.h"
#include "platform/vcl/Painting.h"

namespace projecttest {

std::string ProjectWith(const std::string& webChildren) {
  return "<web version=\"8.1\" MaxUid=\"100\">\r\n"
         "<Grid Enable=\"1\" X=\"5\" Y=\"5\" />\r\n"
         "<group caption=\"Main\" Uid=\"1\">\r\n"
         "<page caption=\"Start\" name=\"START.XML\" Uid=\"2\" />\r\n"
         "<page caption=\"Pump - left\" name=\"PUMP.XML\" Uid=\"3\" />\r\n"
         "</group>\r\n"
         "<group caption=\"Service\" Uid=\"4\">\r\n"
         "<page caption=\"Alarms\" name=\"ALARMS.XML\" Uid=\"5\" />\r\n"
         "</group>\r\n" +
         webChildren + "</web>\r\n";
}

void ProjectDialogTest::Open(const std::string& webChildren) {
  PutProject(ProjectWith(webChildren));
  OpenDesigner();
}

TmyXmlNode* ProjectDialogTest::Web() const { return designer->Document().Web(); }

TmyXmlNode* ProjectDialogTest::Find(const char* name) const { return designer->Document().Root()->FindDeep(name); }

std::string ProjectDialogTest::SavePicture(TControl* control, const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(TARNWELL_BINARY_DIR) / "pictures";
  std::filesystem::create_directories(folder);
  const std::string path = (folder / ("project-" + name + ".png")).string();
  return SaveControlAsPng(control, path) ? path : std::string();
}

void ProjectDialogTest::SelectLanguage(const testsupport::TUiLanguage& language) {
  ASSERT_TRUE(testsupport::SelectHostLanguage(language));
}

}  // namespace projecttest
