// The ST constants file: one IEC constant per web page, written into the web
// project folder and added to (or taken out of) the host's PLC project.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <set>

#include <sys/stat.h>
#include <unistd.h>

#include "EventsFixture.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "platform/win/FileTime.h"
#include "platform/win/MessageBox.h"
#include "plugin/DesignerLink.h"
#include "plugin/PanelList.h"
#include "plugin/PluginState.h"
#include "plugin/StConstants.h"
#include "plugin/WebMainForm.h"

namespace {

using eventstest::ReadFile;
using eventstest::WriteFile;

// An IEC 61131-3 identifier: a letter, or '_' and a letter or digit, then
// letters and digits with single '_' between them.
bool IsIecIdentifier(const std::string& name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name.front())) != 0) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c >= 0x80 || (std::isalnum(c) == 0 && c != '_')) return false;
    if (c == '_' && (i + 1 == name.size() || name[i + 1] == '_')) return false;
  }
  return true;
}

// The constants' names of a written file: the lines between the start and
// the end, each a tab, the name padded to 30, the UINT value and a comment.
std::vector<std::string> ConstantNames(const std::string& text) {
  std::vector<std::string> names;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = text.substr(start, end - start);
    const std::size_t value = line.find(" : UINT := 16#");
    if (line.empty() || line.front() != '\t' || value == std::string::npos) continue;
    EXPECT_GE(value, 31u) << line;
    EXPECT_NE(line.find(";\t\t//", value), std::string::npos) << line;
    names.push_back(line.substr(1, line.find(' ') - 1));
  }
  return names;
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

class StConstants : public eventstest::EventsFixture {
 protected:
  // A project document of the groups and pages given as XML text.
  TmyXmlNode* Project(const std::string& groups) {
    const std::string text = "<web>" + groups + "<images/></web>";
    EXPECT_TRUE(parser.LoadFromString(text.c_str()));
    root.reset(parser.Parse());
    return root.get();
  }
  std::string Folder() const { return (WebFolder() / "").string(); }
  std::string StFile() const { return ReadFile(WebFolder() / kStConstantsFileName); }
  // The project of one page, "PUMPS.XML", and one operator panel (rack 1,
  // position 2); the designer open on it.
  void OpenWithAPanel() {
    WriteFile(WebFile(".xml"),
              "<web><group caption=\"Plant\"><page caption=\"Pumps\" name=\"PUMPS.XML\"/></group><images/></web>");
    TGPanel panel;
    panel.rack = 1;
    panel.position = 2;
    std::snprintf(panel.type, sizeof panel.type, "OPD101");
    WebMainForm1->PanelList().Append(panel);
    OpenDesigner(true);
    ASSERT_NE(FormDesign1, nullptr);
  }
  // The user's save of a changed project.
  static void Save() {
    FormDesign1->SetModified();
    FormDesign1->btnSave2Click(nullptr);
  }

  TmyXMLParser parser;
  std::unique_ptr<TmyXmlNode> root;
};

TEST_F(StConstants, EveryWriteHasTheHeaderAndNumbersPagesByGroupAndPage) {
  TmyXmlNode* project = Project(
      "<group caption=\"Machine\"><page name=\"P1.XML\" caption=\"One\"/><page name=\"PAGE2.XML\" caption=\"Two\"/>"
      "<page name=\"P3\" caption=\"Three\"/></group>"
      "<group caption=\"Service\"><page name=\"MAIN.PAGE.XML\" caption=\"Main\"/>"
      "<page name=\"DIAG.XML\" caption=\"Diag\"/></group>");
  EXPECT_EQ(WriteStConstants(Folder(), nullptr, project), "");
  const std::string first = StFile();
  EXPECT_EQ(first,
            "(* Tarnwell Constants *)\r\n\r\n"
            "VAR_GLOBAL CONSTANT\r\n"
            "\tTWL_P1                         : UINT := 16#0001;\t\t//Machine > One\r\n"
            "\tTWL_PAGE2                      : UINT := 16#0002;\t\t//Machine > Two\r\n"
            "\tTWL_P3                         : UINT := 16#0003;\t\t//Machine > Three\r\n"
            "\tTWL_MAIN_PAGE                  : UINT := 16#0101;\t\t//Service > Main\r\n"
            "\tTWL_DIAG                       : UINT := 16#0102;\t\t//Service > Diag\r\n"
            "END_VAR\r\n\r\n");
  // Written again, the file is the same.
  EXPECT_EQ(WriteStConstants(Folder(), nullptr, project), "");
  EXPECT_EQ(StFile(), first);
}

TEST_F(StConstants, EveryConstantIsAnIecIdentifierAndUniqueWhateverThePageNames) {
  TmyXmlNode* project = Project(
      "<group caption=\"A\"><page name=\"Main page.XML\"/><page name=\"pump-1.XML\"/><page name=\"a..b.XML\"/>"
      "<page name=\"trail_.XML\"/><page name=\"\"/><page name=\"\xE8"
      "erpadlo.XML\"/>"
      "<page name=\"OVERVIEW.XML\"/></group>"
      "<group caption=\"B\"><page name=\"overview.XML\"/><page name=\"OVERVIEW.HTM\"/>"
      "<page name=\"Main_page.XML\"/></group>");
  WriteStConstants(Folder(), nullptr, project);
  const std::vector<std::string> names = ConstantNames(StFile());
  ASSERT_EQ(names.size(), 10u);
  std::set<std::string> seen;
  for (const std::string& name : names) {
    EXPECT_TRUE(IsIecIdentifier(name)) << name;
    EXPECT_TRUE(seen.insert(Upper(name)).second) << "twice: " << name;
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"TWL_Main_page", "TWL_pump_1", "TWL_a_b", "TWL_trail", "TWL", "TWL_erpadlo",
                                      "TWL_OVERVIEW", "TWL_overview_2", "TWL_OVERVIEW_3", "TWL_Main_page_2"}));
}

TEST_F(StConstants, AddedToTheHostProjectBeforeTheMainProgramOnceAndTakenOutAgain) {
  TmyXmlNode* project = Project("<group caption=\"G\"><page name=\"P.XML\" caption=\"P\"/></group>");
  AddStConstantsFile(project);
  EXPECT_EQ(HostFiles(), (std::vector<std::string>{"io.st", "Tarnwell\\TarnwellConst.ST", "Plant.st"}));
  AddStConstantsFile(project);
  EXPECT_EQ(HostFiles(), (std::vector<std::string>{"io.st", "Tarnwell\\TarnwellConst.ST", "Plant.st"}));
  EXPECT_NE(StFile().find("TWL_P "), std::string::npos);

  RemoveStConstantsFile();
  EXPECT_EQ(HostFiles(), (std::vector<std::string>{"io.st", "Plant.st"}));
  EXPECT_EQ(StFile(), "(* Tarnwell Constants *)\r\n\r\n");
}

// A host project may list the file with '/' and in other letters: it is the
// same file, neither added twice nor left in with its old constants.
TEST_F(StConstants, TheFileListedInAnotherSpellingIsTheSameFile) {
  for (const char* entry : {"Tarnwell/TarnwellConst.ST", "tarnwell\\tarnwellconst.st"}) {
    host.Files().Reset({"io.st", entry, "Plant.st"});
    AddStConstantsFile(Project("<group><page name=\"P\"/></group>"));
    EXPECT_EQ(HostFiles(), (std::vector<std::string>{"io.st", entry, "Plant.st"}));
    RemoveStConstantsFile();
    EXPECT_EQ(HostFiles(), (std::vector<std::string>{"io.st", "Plant.st"}));
    EXPECT_EQ(StFile(), "(* Tarnwell Constants *)\r\n\r\n");
  }
}

TEST_F(StConstants, WithoutTheMainProgramInTheListTheFileGoesFirst) {
  host.Files().Reset({"io.st", "other.st"});
  AddStConstantsFile(Project("<group><page name=\"P\"/></group>"));
  EXPECT_EQ(HostFiles(), (std::vector<std::string>{"Tarnwell\\TarnwellConst.ST", "io.st", "other.st"}));
}

TEST_F(StConstants, UnchangedContentKeepsTheFileTimesChangedContentDoesNot) {
  TmyXmlNode* project = Project("<group><page name=\"P\"/></group>");
  const std::string file = Folder() + kStConstantsFileName;
  AddStConstantsFile(project);
  AddStConstantsFile(project);
  FILETIME old;
  old.dwLowDateTime = 0x12345678u;
  old.dwHighDateTime = 0x01D00000u;
  ASSERT_TRUE(SetPathFileTime(file, &old, nullptr, &old));

  AddStConstantsFile(project);
  FILETIME now;
  ASSERT_TRUE(GetPathFileTime(file, nullptr, nullptr, &now));
  EXPECT_EQ(now.dwHighDateTime, old.dwHighDateTime);
  EXPECT_EQ(now.dwLowDateTime, old.dwLowDateTime);

  AddStConstantsFile(Project("<group><page name=\"Q\"/></group>"));
  ASSERT_TRUE(GetPathFileTime(file, nullptr, nullptr, &now));
  EXPECT_NE(now.dwHighDateTime, old.dwHighDateTime);
}

TEST_F(StConstants, TheDesignersSaveAddsTheFileWithPanelsAndTakesItOutWithout) {
  OpenWithAPanel();
  Save();
  EXPECT_EQ(HostFiles(), (std::vector<std::string>{"io.st", "Tarnwell\\TarnwellConst.ST", "Plant.st"}));
  EXPECT_NE(StFile().find("\tTWL_PUMPS "), std::string::npos);
  EXPECT_NE(StFile().find("//Plant > Pumps\r\n"), std::string::npos);

  WebMainForm1->PanelList().DeletePanel(1, 2);
  Save();
  EXPECT_EQ(HostFiles(), (std::vector<std::string>{"io.st", "Plant.st"}));
  EXPECT_EQ(StFile(), "(* Tarnwell Constants *)\r\n\r\n");
}

// A new file takes the project file's mode and group, whatever the umask of
// the run that saves; an existing one keeps its own when it is rewritten.
TEST_F(StConstants, ANewFileTakesTheProjectFilesModeAndGroupAnExistingOneKeepsItsOwn) {
  const std::filesystem::path project = WebFile(".xml"), file = WebFolder() / kStConstantsFileName;
  OpenWithAPanel();
  // Another group than the run's own where the user may give one (root).
  const gid_t group = ::chown(project.c_str(), static_cast<uid_t>(-1), 65534) == 0 ? 65534 : ::getegid();
  ::chmod(project.c_str(), 0664);
  const auto save = [] {
    const mode_t mask = ::umask(077);
    Save();
    ::umask(mask);
  };
  const auto modeAndGroup = [&file] {
    struct stat st {};
    EXPECT_EQ(::stat(file.c_str(), &st), 0);
    return std::pair{st.st_mode & 07777, st.st_gid};
  };
  save();
  EXPECT_NE(StFile().find("\tTWL_PUMPS "), std::string::npos);
  EXPECT_EQ(modeAndGroup(), (std::pair<mode_t, gid_t>{0664, group}));
  ::chmod(file.c_str(), 0640);
  ::chown(file.c_str(), static_cast<uid_t>(-1), ::getegid());
  FormDesign1->Document().Root()->FindDeep("page")->SetAttr("name", "VALVES.XML");
  save();
  EXPECT_NE(StFile().find("\tTWL_VALVES "), std::string::npos);
  EXPECT_EQ(modeAndGroup(), (std::pair<mode_t, gid_t>{0640, ::getegid()}));
}

// A save that takes the file out of the host project but cannot cut it back
// runs outside any command that holds a notice: the box comes at once.
TEST_F(StConstants, AFileTheSaveCannotCutBackIsToldAtOnce) {
  const std::filesystem::path file = WebFolder() / kStConstantsFileName;
  OpenWithAPanel();
  Save();
  const std::string constants = StFile();
  ::chmod(file.c_str(), 0444);
  WebMainForm1->PanelList().DeletePanel(1, 2);
  ClearMessageBoxLog();
  Save();
  EXPECT_EQ(HostFiles(), (std::vector<std::string>{"io.st", "Plant.st"}));
  EXPECT_EQ(StFile(), constants);
  const std::vector<MessageBoxRecord> boxes = MessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "\"" + file.string() + "\" could not be written (it is read-only); it is kept as it was.");
}

}  // namespace
