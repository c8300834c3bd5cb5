// The designer's save-and-compile: what it hands the compile of its own
// state shows in the pages it writes.

#include <gtest/gtest.h>

#include "tests/designer/window/WindowTestSupport.h"

using namespace windowtest;

namespace {

// Texts kept per language; the editor's language is English (9). The label
// stands on a page that is not shown, so its node keeps the stored caption.
constexpr const char* kProject =
    "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\r\n"
    "<web version=\"8.1\" MaxUid=\"100\">\r\n"
    "<Languages enabled=\"1\"><Language Code=\"5\" Editor=\"0\" /><Language Code=\"9\" Editor=\"1\" /></Languages>\r\n"
    "<group caption=\"Main\" Uid=\"1\">\r\n"
    "<page caption=\"First\" name=\"FIRST.XML\" default=\"true\" Uid=\"2\" />\r\n"
    "<page caption=\"Second\" name=\"SECOND.XML\" Uid=\"3\">\r\n"
    "<object caption=\"Cerpadlo\" hint=\"Bezi\" X=\"2\" Y=\"3\" Uid=\"10\"><lang><caption code=\"5\">Cerpadlo</caption>"
    "<caption code=\"9\">Pump</caption><hint code=\"9\">Running</hint></lang><label /></object>\r\n"
    "</page>\r\n"
    "</group>\r\n"
    "</web>";

class DesignerCompile : public WindowTest {};

}  // namespace

TEST_F(DesignerCompile, PagesShowTheTextsOfTheEditorsLanguage) {
  PutProject(kProject);
  TFormDesign1& d = MakeDesigner();
  d.btnSave1Click(nullptr);
  const std::string stylesheet = ReadBytes(folder.Path() / "SendRoot/WWW/SECOND.XSL");
  EXPECT_NE(stylesheet.find("<div title=\"Running\" style="), std::string::npos) << stylesheet;
  EXPECT_NE(stylesheet.find(">Pump</div>"), std::string::npos) << stylesheet;
  EXPECT_EQ(stylesheet.find("Cerpadlo"), std::string::npos) << stylesheet;
}
