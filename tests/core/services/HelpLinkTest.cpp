// The help link: help file paths per language with their fallback, the OEM
// folder, and what the viewer stand-in is asked to show.

#include <gtest/gtest.h>

#include "core/HelpLink.h"
#include "core/HostEnvironment.h"
#include "core/UiText.h"
#include "platform/help/HtmlHelp.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Resources.h"
#include "tests/core/services/ServicesTestSupport.h"

using servicestest::TempFolder;

namespace {

class HelpLinkTest : public testing::Test {
 protected:
  void SetUp() override {
    dir.Write("bin/halvex", "");
    SetHostExeName(dir.System("bin\\halvex"));
    SetOemDir("");
    ClearHtmlHelpRequests();
    SetHtmlHelpInstalled(true);
    SetHtmlHelpLookupFinds(true);
    handler = AddMessageBoxHandler("", [this](const MessageBoxRecord& box) {
      boxes.push_back(box.text);
      return 0;
    });
  }
  void TearDown() override {
    RemoveMessageBoxHandler(handler);
    SetHostExeName("");
    ClearHtmlHelpRequests();
    SetHtmlHelpLookupFinds(true);
  }
  std::string HelpFile(const std::string& code) const { return dir.System("bin\\..\\HELP\\" + code + "_Tarnwell.chm"); }
  void AddHelp(const std::string& code) const { dir.Write("help/" + code + "_Tarnwell.chm", "ITSF"); }
  TempFolder dir;
  std::vector<std::string> boxes;
  int handler = 0;
};

}  // namespace

TEST_F(HelpLinkTest, PathsPerLanguageWithoutFallback) {
  EXPECT_EQ(GetHelpFilePath(1, "Tarnwell", false), HelpFile("ENU"));
  EXPECT_EQ(GetHelpFilePath(0, "Tarnwell", false), HelpFile("CSY"));
  EXPECT_EQ(GetHelpFilePath(2, "Tarnwell", false), HelpFile("RUS"));
  EXPECT_EQ(GetHelpFilePath(4, "Tarnwell", false), HelpFile("DEU"));
  EXPECT_EQ(GetHelpFilePath(5, "Tarnwell", false), HelpFile("PLK"));
  EXPECT_EQ(GetHelpFilePath(3, "Tarnwell", false), HelpFile("ENU"));
  EXPECT_EQ(GetHelpFilePath(1, "Tarnwell.hlp", false), HelpFile("ENU"));
  EXPECT_EQ(GetHelpFilePath(kHelpFullPath, "C:\\Help\\Own.chm", true), "C:\\Help\\Own.chm");
}

TEST_F(HelpLinkTest, OemFolderReplacesTheProgramFolder) {
  SetOemDir("D:\\OEM\\BIN");
  EXPECT_EQ(GetHelpFilePath(1, "Tarnwell", false), "D:\\OEM\\BIN\\..\\HELP\\ENU_Tarnwell.chm");
  EXPECT_EQ(HelpBaseFolder(), "D:\\OEM\\BIN");
  SetOemDir("");
  EXPECT_EQ(HelpBaseFolder(), dir.System("bin"));
}

TEST_F(HelpLinkTest, FallbackOrderAskedEnglishGermanCzech) {
  // Nothing there: the asked language's path.
  EXPECT_EQ(GetHelpFilePath(2, "Tarnwell", true), HelpFile("RUS"));
  AddHelp("CSY");
  EXPECT_EQ(GetHelpFilePath(1, "Tarnwell", true), HelpFile("CSY"));
  EXPECT_EQ(GetHelpFilePath(2, "Tarnwell", true), HelpFile("CSY"));
  AddHelp("DEU");
  EXPECT_EQ(GetHelpFilePath(2, "Tarnwell", true), HelpFile("DEU"));
  AddHelp("ENU");
  EXPECT_EQ(GetHelpFilePath(2, "Tarnwell", true), HelpFile("ENU"));
  EXPECT_EQ(GetHelpFilePath(0, "Tarnwell", true), HelpFile("CSY"));
  AddHelp("RUS");
  EXPECT_EQ(GetHelpFilePath(2, "Tarnwell", true), HelpFile("RUS"));
}

TEST_F(HelpLinkTest, ShowHelpOpensTheFoundFileAtItsDefaultTopic) {
  EXPECT_FALSE(ShowHelp(2, "Tarnwell", "", ""));
  EXPECT_TRUE(HtmlHelpRequests().empty());

  AddHelp("ENU");
  EXPECT_TRUE(ShowHelp(2, "Tarnwell", " ", ""));
  AddHelp("RUS");
  EXPECT_TRUE(ShowHelp(2, "Tarnwell", "", ""));
  std::vector<HtmlHelpRequest> requests = HtmlHelpRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].file, HelpFile("ENU"));
  EXPECT_EQ(requests[0].command, HH_DISPLAY_TOPIC);
  EXPECT_EQ(requests[1].file, HelpFile("RUS"));
  EXPECT_TRUE(boxes.empty());

  SetHtmlHelpInstalled(false);
  EXPECT_FALSE(ShowHelp(2, "Tarnwell", "", ""));
  SetHtmlHelpInstalled(true);
  EXPECT_EQ(HtmlHelpRequests().size(), 2u);
}

TEST_F(HelpLinkTest, KeywordAndTopicLookups) {
  ASSERT_TRUE(LoadDefaultUiTable(HInstance));
  AddHelp("ENU");
  EXPECT_TRUE(ShowHelp(1, "Tarnwell", "", "  Objects "));
  EXPECT_TRUE(ShowHelp(1, "Tarnwell", " intro.htm ", ""));
  std::vector<HtmlHelpRequest> requests = HtmlHelpRequests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].command, HH_KEYWORD_LOOKUP);
  EXPECT_EQ(requests[0].keywords, "Objects");
  EXPECT_EQ(requests[1].command, HH_ALINK_LOOKUP);
  EXPECT_EQ(requests[1].keywords, "a_intro");
  EXPECT_TRUE(boxes.empty());

  SetHtmlHelpLookupFinds(false);
  EXPECT_TRUE(ShowHelp(1, "Tarnwell", "", "Nothing"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], GetUiText(7128));
  EXPECT_EQ(boxes[0], "Topic not found");
  FreeUiTable();
}
