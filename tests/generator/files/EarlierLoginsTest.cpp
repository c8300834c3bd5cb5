// The signs of an earlier project's logins in a web output: the password
// files the passwords' model writes, with and without a row that lets
// someone in, and data pages with and without a level. And the pages with a
// level that a compile does not own: what neither the stamp list, nor the
// project's compiled pages, nor the import folder account for; and those the
// stamp list names that the project no longer compiles.

#include "generator/EarlierLogins.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "generator/PasswordFile.h"
#include "tests/support/TempFolder.h"

namespace {

using testsupport::TempFolder;

std::string PasswordFile(const std::function<void(TPasswordModel&)>& change) {
  TPasswordModel model(TPasswordCounts::kFixed);
  change(model);
  return model.FileText();
}

std::string DataPage(const char* level) {
  return std::string(
             "<?xml version=\"1.0\" encoding=\"windows-1250\" ?>\r\n<PAGE TITLE=\"\">\r\n\t<ACCESS PAGE_LEVEL=\"") +
         level + "\" USER_LEVEL=\"0\" UCID=\"0\" />\r\n</PAGE>\r\n";
}

TEST(EarlierLogins, APasswordFileThatLetsSomeoneInOrAPageWithALevelIsASign) {
  const struct {
    const char* what;
    const char* file;  // relative to the output folder; none: nothing written
    std::string content;
    bool sign;
  } cases[] = {
      {"no output", nullptr, "", false},
      {"rows in their defaults", "PSW.TXT", PasswordFile([](TPasswordModel&) {}), false},
      {"a user", "PSW.TXT", PasswordFile([](TPasswordModel& m) { m.User(3).levelIndex = 2; }), true},
      {"a plain file's user", "PSW.TXT", PasswordFile([](TPasswordModel& m) {
         m.crypt = false;
         m.User(0).levelIndex = 1;
       }),
       true},
      {"a device", "PSW.TXT", PasswordFile([](TPasswordModel& m) { m.Mac(1).mac = "00:0A:14:00:00:01"; }), true},
      {"an API user", "PSW.TXT", PasswordFile([](TPasswordModel& m) { m.Api(0).levelIndex = 1; }), true},
      {"an empty password file", "PSW.TXT", "", true},
      {"a page open to all", "WWW/INDEX.XML", DataPage("0"), false},
      {"a page with a level", "WWW/DIAG.XML", DataPage("5"), true},
      {"a notification page with a level", "WWW/NOTIFY/ALARM.XML", DataPage("2"), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder output("earlier-logins-");
    if (c.file != nullptr) output.Write(c.file, c.content);
    std::string file = c.file != nullptr ? c.file : "";
    for (char& ch : file)
      if (ch == '/') ch = '\\';
    const std::string expected = c.sign ? output.System(file) : std::string();
    EXPECT_EQ(FindEarlierLoginSign(output.System("")), expected);
  }
}

TEST(EarlierLogins, APageWithALevelIsOwnedWhenListedCompiledOrImported) {
  const char* kPages =
      "<web><group><page name=\"diag.xml\"/></group><group notforwww=\"true\"><page name=\"HIDDEN.XML\"/>"
      "</group></web>";
  const struct {
    const char* what;
    const char* page;  // below the output root, with its level
    const char* level;
    const char* listed;  // the stamp list's text; none: no stamp list
    const char* project;
    const char* imported;  // a file of the import folder
    std::vector<std::string> unowned;
    std::vector<std::string> stale = {};  // named by the stamp list, no longer compiled
  } cases[] = {
      {"left by an earlier project", "DIAG.XML", "5", nullptr, "<web/>", nullptr, {"DIAG.XML"}},
      {"open to all", "DIAG.XML", "0", nullptr, "<web/>", nullptr, {}},
      {"listed, no longer compiled", "DIAG.XML", "5", "diag.xml,1,2,3,4,5,6\r\n", "<web/>", nullptr, {}, {"DIAG.XML"}},
      {"named by the stamp list and compiled", "DIAG.XML", "5", "DIAG.XML,1,2,3,4,5,6\r\n", kPages, nullptr, {}},
      {"compiled by the project", "DIAG.XML", "5", nullptr, kPages, nullptr, {}},
      {"of a group kept from the web", "HIDDEN.XML", "5", nullptr, kPages, nullptr, {"HIDDEN.XML"}},
      {"the start page's copy", "INDEX.XML", "2", nullptr, kPages, nullptr, {}},
      {"the start page's copy without pages", "INDEX.XML", "2", nullptr, "<web><group/></web>", nullptr, {"INDEX.XML"}},
      {"copied from the import folder", "DIAG.XML", "5", nullptr, "<web/>", "DIAG.XML", {}},
      {"a notification page", "NOTIFY/ALARM.XML", "2", nullptr, "<web/>", nullptr, {"NOTIFY\\ALARM.XML"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder("unowned-levels-");
    folder.Write(std::string("SendRoot/WWW/") + c.page, DataPage(c.level));
    if (c.listed != nullptr) folder.Write("Tarnwell/Demo.txt", c.listed);
    if (c.imported != nullptr) folder.Write(std::string("Tarnwell/Import/") + c.imported, DataPage("0"));
    TmyXMLParser parser;
    ASSERT_TRUE(parser.LoadFromString(c.project));
    const std::unique_ptr<TmyXmlNode> root(parser.Parse());
    TLoginOutput output;
    output.sendRoot = folder.System("SendRoot\\");
    output.stampList = folder.System("Tarnwell\\Demo.txt");
    output.importFolder = folder.System("Tarnwell\\Import\\");
    output.web = root->FindChild("web");
    EXPECT_EQ(FindUnownedLevelPages(output), c.unowned);
    EXPECT_EQ(UnownedLevelPagesRefusal(output).empty(), c.unowned.empty());
    EXPECT_EQ(FindStaleLevelPages(output), c.stale);
  }
}

}  // namespace
