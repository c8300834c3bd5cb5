// The login data of the project description: user passwords and automatic
// logins digested with SHA-1 (compared with sha1sum of the digested text),
// the limits of entries, and the MAC list of the project folder.

#include <gtest/gtest.h>

#include <memory>

#include "core/IecTypes.h"
#include "core/PasswordScramble.h"
#include "generator/ProjectDescription.h"
#include "platform/vcl/SysUtilsException.h"
#include "tests/generator/panels/PanelsSupport.h"

namespace {

using panelstest::PanelsCompile;
using panelstest::Quoted;
using panelstest::RunTool;
using panelstest::Sha1sumOf;

std::unique_ptr<TmyXmlNode> CompileAndRead(PanelsCompile& compile) {
  compile.RunResolving();
  const panelstest::ToolRun run = RunTool("zcat " + Quoted(compile.OutputPath(kProjectDescriptionXmz)));
  EXPECT_EQ(run.exitCode, 0);
  const std::string document = run.output.substr(0, run.output.rfind("<!--Crc="));
  TmyXMLParser reader;
  reader.LoadFromString(document.c_str());
  std::unique_ptr<TmyXmlNode> root(reader.Parse());
  EXPECT_EQ(reader.errorWord, 0u) << document;
  if (root == nullptr) root = std::make_unique<TmyXmlNode>("Wrapper");
  return root;
}

std::string User(const std::string& name, const std::string& level, const char* password) {
  std::string user = "<user name=\"" + name + "\" level=\"" + level + "\"";
  if (password != nullptr) user += " pass=\"" + std::string(ScrambleHex(password)) + "\"";
  return user + "/>";
}

std::string WithSecurity(const std::string& security) {
  return "<web><group name=\"G\"><page name=\"P1.XML\"/></group>" + security + "</web>";
}

// The `name` and `pass` of every user, in order.
std::vector<std::pair<std::string, std::string>> Users(TmyXmlNode* root) {
  std::vector<std::pair<std::string, std::string>> users;
  TmyXmlNode* security = root->FindChild("security", {}, true);
  if (security == nullptr) return users;
  for (TmyXmlNode* user = security->firstChild; user != nullptr; user = user->next)
    users.emplace_back(user->GetAttr("name"), user->GetAttr("pass"));
  return users;
}

TEST(ProjectDescriptionLogins, LongNameAndPasswordAreDigestedWhole) {
  const std::string name = "Operator of the northern pumping station, shift B, maintenance crew two";
  const std::string password = "correct-horse-battery-staple-and-a-long-tail-of-words-to-pass-64-bytes";
  ASSERT_GT(name.size(), 64u);
  ASSERT_GT(password.size(), 64u);
  PanelsCompile compile(WithSecurity("<security>" + User(name, "3", password.c_str()) + "</security>"));
  compile.settings.operatorPanels = true;
  const auto root = CompileAndRead(compile);

  const auto users = Users(root.get());
  ASSERT_EQ(users.size(), 1u);
  const std::string expected = Sha1sumOf(name + "3" + password);
  ASSERT_EQ(expected.size(), 40u);
  EXPECT_EQ(users[0].second, expected);
  EXPECT_EQ(Sha1Hex(name + "3" + password), expected);
}

TEST(ProjectDescriptionLogins, UsersBeyondTheLimitAreRemovedAndEachKeepsItsPlace) {
  std::string twelve;
  for (int i = 1; i <= 12; ++i) twelve += User("u" + std::to_string(i), "1", "pw");
  struct Case {
    const char* name;
    std::string security;
    std::vector<std::pair<std::string, std::string>> expected;
  } cases[] = {
      {"no count: ten", "<security>" + twelve + "</security>", {}},
      {"count 0", "<security count=\"0\">" + twelve + "</security>", {}},
      {"a user without password uses a place",
       "<security count=\"2\">" + User("a", "5", "x") + User("b", "6", nullptr) + User("c", "7", "y") + "</security>",
       {{"a", Sha1sumOf("a5x")}, {"b", ""}}},
  };
  for (int i = 1; i <= 10; ++i)
    cases[0].expected.emplace_back("u" + std::to_string(i), Sha1sumOf("u" + std::to_string(i) + "1pw"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PanelsCompile compile(WithSecurity(c.security));
    compile.settings.operatorPanels = true;
    const auto root = CompileAndRead(compile);
    EXPECT_EQ(Users(root.get()), c.expected);
  }
}

TEST(ProjectDescriptionLogins, CountThatIsNoNumberEndsTheCompileAndTheShownPageKeepsItsPlaceholders) {
  PanelsCompile compile(
      "<web><group name=\"G\"><placeholders><alias name=\"g\">first</alias></placeholders>"
      "<page name=\"P1.XML\"><placeholders><alias name=\"p\">shown</alias></placeholders></page></group>"
      "<group name=\"H\"><placeholders><alias name=\"g\">second</alias></placeholders>"
      "<page name=\"P2.XML\"><placeholders><alias name=\"p\">other</alias></placeholders></page></group>"
      "<security count=\"ten\">" +
      User("a", "1", "x") + "</security></web>");
  compile.settings.operatorPanels = true;
  compile.project.shownPage = compile.project.web->FindChild("page", "name", true, "P1.XML");
  EXPECT_THROW(compile.RunResolving(), EConvertError);
  EXPECT_EQ(compile.webData.PagePlaceHolders.Lookup("p"), "shown");
  EXPECT_EQ(compile.webData.GroupPlaceHolders.Lookup("g"), "first");
}

constexpr const char* kAutoLogin =
    "<autologin><mac id=\"1\" count=\"4\" mac=\"AA\" level=\"1\" note=\"desk\"/>"
    "<mac id=\"2\" level=\"2\" note=\"none\"/>"
    "<mac id=\"3\" mac=\"BB\" level=\"3\"/>"
    "<mac id=\"4\" mac=\"CC\" level=\"4\" note=\"hall\"/>"
    "<mac id=\"5\" mac=\"DD\" level=\"5\"/></autologin>";

// `id` : `mac` of every entry, and whether any still has a `note`.
std::vector<std::string> Entries(TmyXmlNode* root, bool& anyNote) {
  std::vector<std::string> entries;
  anyNote = false;
  TmyXmlNode* autologin = root->FindChild("autologin", {}, true);
  if (autologin == nullptr) return entries;
  for (TmyXmlNode* entry = autologin->firstChild; entry != nullptr; entry = entry->next) {
    entries.push_back(entry->GetAttr("id") + ":" + entry->GetAttr("mac"));
    anyNote = anyNote || entry->FindAttr("note") != nullptr;
  }
  return entries;
}

TEST(ProjectDescriptionLogins, AutomaticLoginsDigestTheirAddressAndLevelOrTheMacList) {
  struct Case {
    const char* name;
    const char* macFile;  // null: no file
    std::vector<std::string> expected;
  } cases[] = {
      {"own entries", nullptr, {"1:" + Sha1sumOf("AA1"), "2:", "3:" + Sha1sumOf("BB3"), "4:" + Sha1sumOf("CC4")}},
      {"mac list first, a line without comma gives its first character",
       "00-11-22-33-44-55,3,office\r\nXYZ\r\n",
       {"1:" + Sha1sumOf("00-11-22-33-44-553"), "2:", "3:" + Sha1sumOf("X"), "4:" + Sha1sumOf("CC4")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PanelsCompile compile(WithSecurity(kAutoLogin));
    compile.settings.operatorPanels = true;
    compile.project.projectDir = compile.Folder().System("");
    if (c.macFile != nullptr) compile.Folder().Write("Tarnwell/mac.txt", c.macFile);
    const auto root = CompileAndRead(compile);
    bool anyNote = true;
    EXPECT_EQ(Entries(root.get(), anyNote), c.expected);
    EXPECT_FALSE(anyNote);
  }
}

}  // namespace
