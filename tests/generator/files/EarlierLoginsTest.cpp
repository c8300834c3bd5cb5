// The signs of an earlier project's logins in a web output: the password
// files the passwords' model writes, with and without a row that lets
// someone in, and data pages with and without a level.

#include "generator/EarlierLogins.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

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

}  // namespace
