// The password model: loading the project's access elements, the row counts
// per central unit, writing the elements back, the password file byte for
// byte (plain and scrambled), the text filters, and the compile's password
// step with its registration.

#include "generator/PasswordFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

#include "core/FileHelpers.h"
#include "core/PasswordScramble.h"
#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "generator/CompileState.h"
#include "generator/GeneratedFiles.h"
#include "platform/win/Resources.h"
#include "platform/win/SystemError.h"
#include "tests/support/FakeCompileHost.h"
#include "tests/support/TempFolder.h"

namespace {

using testsupport::TempFolder;

constexpr const char* kEmptyMacLine = "00:00:00:00:00:00,0\r\n";

// The user lines of rows from..to-1 with their defaults.
std::string DefaultUserLines(int from, int to) {
  std::string text;
  for (int i = from; i < to; ++i) text += std::to_string(i) + "," + std::to_string(i) + ",-1\r\n";
  return text;
}
std::string Repeat(const std::string& line, int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += line;
  return text;
}

// Turns a scrambled body back, independently of the writer: each pair of
// digits is the running byte after adding the complement of the next plain
// byte.
std::string Unscramble(const std::string& hex) {
  std::string plain;
  unsigned previous = 0;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    const unsigned running = static_cast<unsigned>(std::stoul(hex.substr(i, 2), nullptr, 16));
    plain += static_cast<char>(255 - ((running - previous) & 0xFF));
    previous = running;
  }
  return plain;
}

// A project document: `web` with the given children, and two pages.
class Project {
 public:
  explicit Project(const std::string& webChildren) {
    const std::string text =
        "<web><group caption=\"Main\"><page name=\"START.XML\"/><page name=\"PLANT.XML\"/></group>" + webChildren +
        "</web>";
    parser_.LoadFromString(text.c_str());
    root_.reset(parser_.Parse());
  }
  TmyXmlNode* Root() const { return root_.get(); }
  TmyXmlNode* Web() const { return root_->FindDeep("web"); }
  TmyXmlNode* Find(const char* name) const { return root_->FindDeep(name); }
  // The text of `web`'s children as the writer writes them.
  std::string WebXml() { return parser_.WriteNode(Web(), 0); }

 private:
  TmyXMLParser parser_;
  std::unique_ptr<TmyXmlNode> root_;
};

// Loads the model the way the compile does.
TPasswordModel Load(Project& project, TPasswordCounts counts) {
  TPasswordModel model(counts);
  model.LoadUsers(project.Find("security"));
  model.LoadAutologin(project.Find("autologin"));
  model.LoadApiUsers(project.Find("vornapi"));
  model.NormalizeMacs();
  return model;
}

// A `user` element of row `name` with the password scrambled as the project keeps it.
std::string UserElement(int level, const std::string& name, const std::string& password, const std::string& page = "") {
  return "<user level=\"" + std::to_string(level) + "\" name=\"" + name + "\" pass=\"" + EncodeUserPassword(password) +
         "\"" + (page.empty() ? "" : " page=\"" + page + "\"") + "/>";
}

TEST(PasswordFile, ADefaultProjectWithCryptOffWritesTenUserAndTenMacLines) {
  Project project("<security crypt=\"0\"/>");
  const TPasswordModel model = Load(project, TPasswordCounts::kChosen);
  EXPECT_EQ(model.FileVersion(), 1);
  EXPECT_EQ(model.FileText(), "v,1,1\r\n" + DefaultUserLines(0, 10) + Repeat(kEmptyMacLine, 10));
}

TEST(PasswordFile, AProjectWithoutSecurityIsScrambledBehindAPlainHeader) {
  Project project("");
  const TPasswordModel model = Load(project, TPasswordCounts::kFixed);
  const std::string text = model.FileText();
  ASSERT_EQ(text.substr(0, 7), "c,1,1\r\n");
  const std::string plain = DefaultUserLines(0, 10) + Repeat(kEmptyMacLine, 10);
  const std::string hex = text.substr(7);
  // Two digits for the leading sum and for each byte, no line end after them.
  EXPECT_EQ(hex.size(), 2 * (plain.size() + 1));
  // Worked by hand: the bytes sum to 0x6E; 0 + (255 - 0x6E) = 0x91; then
  // '0' (0x30): 0x91 + 0xCF = 0x60; ',' (0x2C): 0x60 + 0xD3 = 0x33;
  // '0': 0x33 + 0xCF = 0x02.
  EXPECT_EQ(hex.substr(0, 8), "91603302");
  const std::string back = Unscramble(hex);
  EXPECT_EQ(static_cast<unsigned char>(back[0]), 0x6E);
  EXPECT_EQ(back.substr(1), plain);
}

TEST(PasswordFile, AUserInRow25WithCount30GivesVersion4AndThirtyUserLines) {
  std::string users;
  for (int i = 0; i < 25; ++i) users += UserElement(-1, std::to_string(i), std::to_string(i));
  users += UserElement(3, "anna", "secret%1");
  Project project("<security crypt=\"0\" count=\"30\">" + users + "</security>");
  TPasswordModel model = Load(project, TPasswordCounts::kChosen);
  EXPECT_EQ(model.UserCount(), 30);
  EXPECT_EQ(model.FileVersion(), 4);
  const std::string expected = "v,1,4\r\n30,10,10\r\n" + DefaultUserLines(0, 25) + "anna,secret%1,3\r\n" +
                               DefaultUserLines(26, 30) + Repeat(kEmptyMacLine, 10) + Repeat("\r\n", 40) +
                               Repeat(",,-\r\n", 10);
  EXPECT_EQ(model.FileText(), expected);
  model.WriteXml(project.Web());
  TmyXmlNode* security = project.Find("security");
  EXPECT_EQ(security->GetAttr("count"), "30");
  EXPECT_EQ(security->ChildCount(), 26);
  EXPECT_EQ(security->lastChild->GetAttr("name"), "anna");
}

TEST(PasswordFile, CountsLoadInTensFromTenToNinety) {
  const std::vector<std::pair<const char*, int>> cases = {{"57", 50},  {"5", 10},  {"0", 10}, {"250", 90},
                                                          {"-30", 10}, {"90", 90}, {"x", 10}};
  for (const auto& [count, rows] : cases) {
    Project project(std::string("<security count=\"") + count + "\"/><autologin count=\"" + count +
                    "\"/><vornapi count=\"" + count + "\"/>");
    const TPasswordModel model = Load(project, TPasswordCounts::kChosen);
    EXPECT_EQ(model.UserCount(), rows) << count;
    EXPECT_EQ(model.MacCount(), rows) << count;
    EXPECT_EQ(model.ApiCount(), rows) << count;
    EXPECT_GE(model.UserRows(), rows) << count;
  }
}

TEST(PasswordFile, AnOlderUnitWritesTenRowsAndCount10ButKeepsRowsInUse) {
  std::string users;
  for (int i = 0; i < 12; ++i) users += UserElement(-1, std::to_string(i), std::to_string(i));
  users += UserElement(0, "late", "pw");
  Project project("<security crypt=\"0\" count=\"50\">" + users + "</security>");
  TPasswordModel model = Load(project, TPasswordCounts::kFixed);
  EXPECT_EQ(model.UserCount(), 10);
  EXPECT_EQ(model.FileText(), "v,1,1\r\n" + DefaultUserLines(0, 10) + Repeat(kEmptyMacLine, 10));
  model.WriteXml(project.Web());
  EXPECT_EQ(project.Find("security")->GetAttr("count"), "10");
  EXPECT_EQ(project.Find("security")->ChildCount(), 13);
}

// While the host has not reported its central unit, the counts stored in the
// project stay: users in rows 10 and up can still log in.
TEST(PasswordFile, AnUnknownUnitKeepsTheCountsOfTheProject) {
  EXPECT_EQ(PasswordCountsForCpm(-1), TPasswordCounts::kFromProject);
  EXPECT_EQ(PasswordCountsForCpm(10), TPasswordCounts::kFixed);
  EXPECT_EQ(PasswordCountsForCpm(11), TPasswordCounts::kChosen);
  std::string users;
  for (int i = 0; i < 12; ++i) users += UserElement(-1, std::to_string(i), std::to_string(i));
  users += UserElement(0, "late", "pw");
  Project project("<security crypt=\"0\" count=\"20\">" + users + "</security>");
  TPasswordModel model = Load(project, PasswordCountsForCpm(-1));
  EXPECT_EQ(model.UserCount(), 20);
  const std::string text = model.FileText();
  EXPECT_EQ(text.substr(0, 17), "v,1,4\r\n20,10,10\r\n");
  EXPECT_NE(text.find("\r\nlate,pw,0\r\n"), std::string::npos) << text;
  model.WriteXml(project.Web());
  EXPECT_EQ(project.Find("security")->GetAttr("count"), "20");
}

TEST(PasswordFile, AnApiUserInRow3GivesVersion3WithEmptyStartPageLines) {
  std::string apis;
  for (int i = 0; i < 3; ++i) apis += "<api level=\"-1\" name=\"\" pass=\"\"/>";
  apis += "<api level=\"0\" name=\"robot\" pass=\"" + EncodeUserPassword("k3y") + "\"/>";
  Project project("<security crypt=\"0\"/><vornapi count=\"10\">" + apis + "</vornapi>");
  const TPasswordModel model = Load(project, TPasswordCounts::kChosen);
  EXPECT_EQ(model.FileVersion(), 3);
  const std::string expected = "v,1,3\r\n" + DefaultUserLines(0, 10) + Repeat(kEmptyMacLine, 10) + Repeat("\r\n", 20) +
                               Repeat(",,-\r\n", 3) + "robot,k3y,0\r\n" + Repeat(",,-\r\n", 6);
  EXPECT_EQ(model.FileText(), expected);
}

TEST(PasswordFile, AStartPageOnMacRow12WithCounts20WritesOnlyThatStartPage) {
  std::string macs;
  for (int i = 0; i < 12; ++i) macs += "<mac level=\"0\" mac=\"00:00:00:00:00:00\" note=\"\"/>";
  macs += "<mac level=\"2\" mac=\"0A:1B:2C:3D:4E:5F\" page=\"plant.xml\" note=\"panel\"/>";
  Project project("<security crypt=\"0\" count=\"20\"/><autologin count=\"20\">" + macs + "</autologin>");
  TPasswordModel model(TPasswordCounts::kChosen);
  model.SetPageLookup([](const std::string& name) { return name == "plant.xml" ? "PLANT.XML" : std::string(); });
  model.LoadUsers(project.Find("security"));
  model.LoadAutologin(project.Find("autologin"));
  model.LoadApiUsers(nullptr);
  EXPECT_EQ(model.FileVersion(), 4);
  const std::string expected = "v,1,4\r\n20,20,10\r\n" + DefaultUserLines(0, 20) + Repeat(kEmptyMacLine, 12) +
                               "0A:1B:2C:3D:4E:5F,2\r\n" + Repeat(kEmptyMacLine, 7) + Repeat("\r\n", 32) +
                               "/PLANT.XML\r\n" + Repeat("\r\n", 7) + Repeat(",,-\r\n", 10);
  EXPECT_EQ(model.FileText(), expected);
}

TEST(PasswordFile, UserRowsOutsideTheLevelsAreIgnoredWholeAndStillTakeTheirRow) {
  Project project("<security crypt=\"0\">" + UserElement(12, "bad", "x") + UserElement(1, "good", "pw") +
                  "<note/></security>");
  TPasswordModel model = Load(project, TPasswordCounts::kChosen);
  EXPECT_EQ(model.User(0).name, "0");
  EXPECT_EQ(model.User(0).levelIndex, 0);
  EXPECT_EQ(model.User(1).name, "good");
  EXPECT_EQ(model.User(1).password, "pw");
  EXPECT_EQ(model.User(1).levelIndex, 2);
}

TEST(PasswordFile, WriteXmlOfAProjectWithoutElementsGivesTheDefaultRows) {
  Project project("");
  TPasswordModel model = Load(project, TPasswordCounts::kFixed);
  model.WriteXml(project.Web());
  std::string users;
  for (int i = 0; i < 10; ++i)
    users += "\t<user level=\"-1\" name=\"" + std::to_string(i) + "\" pass=\"" + EncodeUserPassword(std::to_string(i)) +
             "\" />\r\n";
  const std::string expected = "<security crypt=\"1\" count=\"10\">\r\n" + users +
                               "</security>\r\n<autologin count=\"10\">\r\n" +
                               Repeat("\t<mac level=\"0\" mac=\"00:00:00:00:00:00\" note=\"\" />\r\n", 10) +
                               "</autologin>\r\n<vornapi count=\"10\">\r\n" +
                               Repeat("\t<api level=\"-1\" name=\"\" pass=\"\" />\r\n", 10) + "</vornapi>\r\n";
  const std::string xml = project.WebXml();
  ASSERT_GE(xml.size(), expected.size());
  EXPECT_EQ(xml.substr(xml.size() - expected.size()), expected);
  // The three are appended to `web` in this order, after what it held.
  EXPECT_EQ(project.Web()->lastChild->name, "vornapi");
}

TEST(PasswordFile, EveryMacRowWrittenIsNormalisedRowsFromTenOnToo) {
  std::string macs;
  for (int i = 0; i < 12; ++i) macs += "<mac level=\"0\" mac=\"00:00:00:00:00:00\" note=\"\"/>";
  macs += "<mac level=\"1\" mac=\"1:2:3:4:5:6\" note=\"\"/>";
  Project project("<security crypt=\"0\" count=\"20\"/><autologin count=\"20\">" + macs + "</autologin>");
  TPasswordModel model = Load(project, TPasswordCounts::kChosen);
  EXPECT_NE(model.FileText().find("\r\n12:34:56:00:00:00,1\r\n"), std::string::npos);
  model.WriteXml(project.Web());
  EXPECT_EQ(project.Find("autologin")->lastChild->GetAttr("mac"), "12:34:56:00:00:00");
}

TEST(PasswordTexts, MacTextsAreFormattedAsTheEditDoesAndNormalisedInFull) {
  const std::vector<std::pair<std::string, std::string>> formatted = {
      {"ab-cd", "AB:CD"},
      {"aa bb cc dd ee ff 11", "AA:BB:CC:DD:EE:FF"},
      {"  0a1b2c3d4e5f  ", "0A:1B:2C:3D:4E:5F"},
      {"A:B", "AB"},
      {"AABB", "AA:BB"},
      {"AA:", "AA:"},
  };
  for (const auto& [in, out] : formatted) EXPECT_EQ(FormatMacText(in), out) << in;
  const std::vector<std::pair<std::string, std::string>> normalised = {
      {"A:B", "0A:0B:00:00:00:00"},      {"", "00:00:00:00:00:00"},      {"aa:bb:cc:dd:ee:ff", "AA:BB:CC:DD:EE:FF"},
      {"12:34:56", "12:34:56:00:00:00"}, {"AB-CD", "AB:00:00:00:00:00"},
  };
  for (const auto& [in, out] : normalised) EXPECT_EQ(NormalizeMac(in), out) << in;
}

TEST(PasswordTexts, NamesAndPasswordsKeepTheirOwnCharactersAndTenBytes) {
  struct Case {
    std::string in;
    std::string name;
    std::string password;
  };
  const std::vector<Case> cases = {
      {"Jan Novak", "Jan_Novak", "Jan_Novak"},
      {"50%", "50_", "50%"},
      {"\x8Elu\x9D", "Zlut", "Zlut"},  // "Žluť" in code page 1250
      {"a\"b&c'd,e", "a_b_c_d_e", "a_b_c_d_e"},
      {"<x>", "_x_", "_x_"},
      {"ABCDEFGHIJK", "ABCDEFGHIJ", "ABCDEFGHIJ"},
      {"a*b-c.d_e", "a*b-c.d_e", "a*b-c.d_e"},
      {"\xF7", "_", "_"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SanitizeUserName(c.in), c.name) << c.in;
    EXPECT_EQ(SanitizePassword(c.in), c.password) << c.in;
  }
}

TEST(PasswordTexts, PageNameOfARowIsTheNameAfterTheCaption) {
  EXPECT_EQ(PageNameOfRow("Main > Start - START.XML"), "START.XML");
  EXPECT_EQ(PageNameOfRow("Main > Pump - left - PUMP.XML"), "PUMP.XML");
  EXPECT_EQ(PageNameOfRow("START.XML"), "START.XML");
  EXPECT_EQ(PageNameOfRow(""), "");
}

class PasswordStep : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadDefaultUiTable(HInstance));
    state.outputRoot = folder.System("SendRoot\\WWW\\");
    folder.Write("SendRoot/WWW/.keep", "");
    compile.root = project.Root();
    compile.web = project.Web();
    host.cpmCode = 11;
  }
  void TearDown() override { FreeUiTable(); }

  TempFolder folder{"password"};
  Project project{"<security crypt=\"0\">" + UserElement(1, "op", "pw", "start.xml") + "</security>"};
  TCompileProject compile;
  TCompileState state;
  FakeCompileHost host;
  TGeneratedFiles files{state, host};
};

TEST_F(PasswordStep, WritesThePasswordFileIntoSendRootAndRegistersIt) {
  host.AcquireCompilerMessages();
  EXPECT_TRUE(WriteCompilePasswordFile(compile, 8001, folder.System("SendRoot\\"), state, host, files));
  const std::string text = folder.Read("SendRoot/PSW.TXT");
  EXPECT_EQ(text.substr(0, 7), "v,1,2\r\n");
  EXPECT_EQ(text.substr(7, 11), "op,pw,1\r\n1,");
  // The start page takes the page's own name.
  EXPECT_NE(text.find("\r\n/START.XML\r\n"), std::string::npos);
  const GeneratedFileRecord* record = files.Find("..\\PSW.TXT");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->size, text.size());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(state.compileErrors, 0u);
  EXPECT_EQ(project.Find("security")->firstChild->GetAttr("page"), "START.XML");
}

TEST_F(PasswordStep, AFileThatCannotBeWrittenIsReportedAndNotRegistered) {
  host.AcquireCompilerMessages();
  const std::string sendRoot = folder.System("Missing\\");
  EXPECT_FALSE(WriteCompilePasswordFile(compile, 8001, sendRoot, state, host, files));
  EXPECT_EQ(files.Table().Count(), 0);
  EXPECT_EQ(files.Find("..\\PSW.TXT"), nullptr);
  ASSERT_EQ(host.messages.size(), 1u);
  SetLastErrorFromErrno(ENOENT);  // why: the folder is missing
  EXPECT_EQ(host.messages[0].first, GetUiText(7074) + "(" + LastErrorReason() + ")");
  EXPECT_EQ(host.messages[0].second, sendRoot + "PSW.TXT");
  EXPECT_EQ(state.compileErrors, static_cast<std::uint32_t>(kCompileErrorFile));
  // The project's elements are written back all the same.
  EXPECT_NE(project.Find("autologin"), nullptr);
}

TEST_F(PasswordStep, AnotherFormatWritesNoFileButTheElements) {
  EXPECT_FALSE(WriteCompilePasswordFile(compile, 0, folder.System("SendRoot\\"), state, host, files));
  EXPECT_FALSE(folder.Exists("SendRoot/PSW.TXT"));
  EXPECT_EQ(files.Table().Count(), 0);
  EXPECT_EQ(state.compileErrors, 0u);
  EXPECT_NE(project.Find("vornapi"), nullptr);
  EXPECT_EQ(project.Find("security")->ChildCount(), 10);
}

TEST_F(PasswordStep, TheFileOfThePreviousCompileStaysUntilTheNewOneReplacesIt) {
  folder.Write("SendRoot/PSW.TXT", "old");
  folder.Write("Tarnwell/Demo.txt", "..\\PSW.TXT,1,1,1,1,1,3\r\n");
  files.LoadGeneratedFileTable(folder.System("Tarnwell\\Demo.txt"));
  EXPECT_EQ(folder.Read("SendRoot/PSW.TXT"), "old");
  EXPECT_TRUE(WriteCompilePasswordFile(compile, 8001, folder.System("SendRoot\\"), state, host, files));
  EXPECT_EQ(folder.Read("SendRoot/PSW.TXT").substr(0, 5), "v,1,2");
  files.MergeStamps(folder.System("Tarnwell\\Demo.txt"));
  EXPECT_EQ(folder.Read("Tarnwell/Demo.txt").substr(0, 11), "..\\PSW.TXT,");
}

}  // namespace
