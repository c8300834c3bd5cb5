#include "tests/designer/commands/CommandsTestSupport.h"

#include <gtest/gtest.h>

namespace commandstest {

std::string OnePageProject(const std::string& objects, const std::string& webChildren,
                           const std::string& webAttributes) {
  return "<web version=\"8.1\" MaxUid=\"500\" " + webAttributes + ">\r\n<Grid Enable=\"0\" X=\"5\" Y=\"5\" />\r\n" +
         webChildren + "<group caption=\"G\" Uid=\"1\">\r\n<page caption=\"One\" name=\"P1.XML\" Uid=\"2\">\r\n" +
         objects + "</page>\r\n</group>\r\n</web>";
}

TFormDesign1& CommandsTest::Open(const std::string& projectText) {
  PutProject(projectText);
  return OpenDesigner();
}

TGridWebElement* CommandsTest::Object(int uid) const {
  for (TGridWebElement* e : designer->PageObjects())
    if (e->FUid == uid) return e;
  ADD_FAILURE() << "no object " << uid;
  return nullptr;
}

void CommandsTest::Select(const std::vector<int>& uids) {
  for (TGridWebElement* e : designer->PageObjects()) e->DeselectInvalidate();
  for (int uid : uids)
    if (TGridWebElement* e = Object(uid)) e->Select();
}

std::vector<std::string> CommandsTest::Kinds() const {
  std::vector<std::string> kinds;
  for (TGridWebElement* e : designer->PageObjects())
    kinds.push_back(std::to_string(e->FUid) + ":" + std::to_string(e->Kind()));
  return kinds;
}

}  // namespace commandstest
