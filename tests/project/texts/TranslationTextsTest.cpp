// Texts for translation: the exported files byte for byte (CR LF, the
// document's 8-bit bytes unchanged), their names per language, the import
// with its report, and the header keys.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "host/sim/HalvexHost.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Driver.h"
#include "platform/win/FileFault.h"
#include "platform/win/MessageBox.h"
#include "project/TranslationTexts.h"
#include "tests/designer/window/WindowTestSupport.h"
#include "tests/support/FileTree.h"
#include "tests/support/ReadOnlyEntries.h"

using namespace windowtest;

namespace {

// Code page 1250 bytes: "Hlavní", "Teplota čidla", "Přehled".
const std::string kMain = "Hlavn\xED";
const std::string kSensor = "Teplota \xE8idla";
const std::string kOverview =
    "P\xF8"
    "ehled";

const char* const kSingle =
    "<web version=\"8.1\" MaxUid=\"100\">\r\n"
    "<group caption=\"Main\" Uid=\"1\">\r\n"
    "<page caption=\"Overview\" name=\"OVERVIEW.XML\" Uid=\"2\">\r\n"
    "<object caption=\"Temperature\" hint=\"\" X=\"2\" Y=\"2\" Uid=\"5\"><label /></object>\r\n"
    "</page>\r\n</group>\r\n</web>\r\n";

std::string Project(const std::string& languages, const std::string& objects, const std::string& groupLang = "") {
  return "<web version=\"8.1\" MaxUid=\"100\">\r\n" + languages + "<group caption=\"" + kMain + "\" Uid=\"1\">" +
         groupLang + "\r\n<page caption=\"" + kOverview + "\" name=\"OVERVIEW.XML\" Uid=\"2\">\r\n" + objects +
         "</page>\r\n</group>\r\n</web>\r\n";
}

const char* const kCzechGerman =
    "<Languages enabled=\"1\"><Language Code=\"5\" Editor=\"1\" /><Language Code=\"7\" Editor=\"0\" /></Languages>\r\n";

class TranslationTexts : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Driver::Reset();
  }
  void TearDown() override {
    Driver::Reset();
    WindowTest::TearDown();
  }
  std::string Language(const std::string& name) const { return folder.Native("Tarnwell/Language/" + name); }
  std::string SystemName(const std::string& name) const { return folder.System("Tarnwell\\Language\\" + name); }
  // The file as a message box shows it: with '/' only.
  std::string ShownName(const std::string& name) const { return (folder.Path() / "Tarnwell/Language" / name).string(); }
  void PutTexts(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories(folder.Path() / "Tarnwell" / "Language");
    std::ofstream(Language(name), std::ios::binary) << bytes;
  }
  std::vector<std::string> Report() const {
    const std::string bytes = ReadBytes(Language("report.txt"));
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t end = bytes.find("\r\n", at);
      lines.push_back(bytes.substr(at, end - at));
      at = end + 2;
    }
    return lines;
  }
  TmyXmlNode* ByUid(const char* uid) const { return designer->Document().Root()->FindDeepAttr("object", "Uid", uid); }
};

TEST_F(TranslationTexts, ExportWritesTheFiveLineExampleByteForByte) {
  PutProject(kSingle);
  OpenDesigner();
  Driver::AnswerMessageBox("Following files", IDOK);
  designer->ExportTexts1Click(nullptr);
  EXPECT_EQ(ReadBytes(Language("Texts.txt")),
            "{Group 000 : 00000001}Main\r\n"
            "  {Page 000 : 00000002}Overview\r\n"
            "    {Object 000 : 00000005}\r\n"
            "      {Hint}\r\n"
            "      {Caption0}Temperature\r\n");
  const auto boxes = Driver::MessageBoxes();
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ(boxes.back().text, "Following files were generated:\r\n\r\n" + ShownName("Texts.txt"));
}

TEST_F(TranslationTexts, DeclinedOverwriteKeepsTheFileAndDoesNotListIt) {
  PutProject(kSingle);
  OpenDesigner();
  PutTexts("Texts.txt", "old");
  Driver::AnswerMessageBox("already exists", IDNO);
  designer->ExportTexts1Click(nullptr);
  EXPECT_EQ(ReadBytes(Language("Texts.txt")), "old");
  // Nothing was generated: no list of files.
  EXPECT_EQ(Driver::MessageBoxes().size(), 1u);
}

TEST_F(TranslationTexts, ExportNamesOneFilePerLanguageWithItsTexts) {
  PutProject(Project(kCzechGerman,
                     "<object caption=\"" + kSensor +
                         "\" hint=\"h\" X=\"2\" Y=\"2\" Uid=\"5\"><lang><caption code=\"5\">" + kSensor +
                         "</caption><hint code=\"5\">h</hint><caption code=\"7\">Sensor</caption></lang>"
                         "<label /></object>\r\n"
                         "<object caption=\"Off\" X=\"2\" Y=\"40\" Uid=\"0\"><label /></object>\r\n",
                     "<lang><caption code=\"5\">" + kMain + "</caption></lang>"));
  OpenDesigner();
  Driver::AnswerMessageBox("Following files", IDOK);
  designer->ExportTexts1Click(nullptr);
  EXPECT_EQ(ReadBytes(Language("Czech_Texts.txt")),
            "{Group 000 : 00000001}" + kMain + "\r\n  {Page 000 : 00000002}" + kOverview +
                "\r\n    {Object 000 : 00000005}\r\n      {Hint}h\r\n      {Caption0}" + kSensor + "\r\n");
  // German: the group has texts per language but none in German; the page
  // has none at all and shows its plain caption.
  EXPECT_EQ(ReadBytes(Language("German_Texts.txt")),
            "{Group 000 : 00000001}\r\n  {Page 000 : 00000002}" + kOverview +
                "\r\n    {Object 000 : 00000005}\r\n      {Hint}\r\n      {Caption0}Sensor\r\n");
  EXPECT_EQ(Driver::MessageBoxes().back().text, "Following files were generated:\r\n\r\n" +
                                                    ShownName("Czech_Texts.txt") + "\r\n" +
                                                    ShownName("German_Texts.txt"));
}

// A folder "Language" that cannot be made: one error box names it and why,
// and nothing of the web project changes.
TEST_F(TranslationTexts, ExportNamesTheLanguageFolderThatCannotBeMadeAndWhy) {
  const std::filesystem::path web = folder.Path() / "Tarnwell";
  const struct {
    const char* name;
    std::function<bool()> prepare;  // false: the system does not let the case be made
    int error;                      // the fault of the folder's creation; 0: none
    const char* reason;
  } cases[] = {
      {"immutable", [&web] { return testsupport::SetImmutable(web, true); }, 0, "Operation not permitted"},
      {"a file in the way",
       [this] {
         folder.Write("Tarnwell/Language", "notes");
         return true;
       },
       0, "File exists"},
      {"not writable", [] { return true; }, EACCES, "Permission denied"},
      {"full disk", [] { return true; }, ENOSPC, "No space left on device"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(web);
    PutProject(kSingle);
    OpenDesigner();
    if (!c.prepare()) continue;  // only root marks a folder immutable
    const auto before = testsupport::ReadFileTree(web);
    Driver::Reset();
    {
      const FileOpFaultScope fault(c.error != 0 ? TFileOpFault::kFail : TFileOpFault::kNone, 1, c.error);
      designer->ExportTexts1Click(nullptr);
    }
    testsupport::SetImmutable(web, false);
    const auto boxes = Driver::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "The texts files could not be written: the folder \"" + (web / "Language").string() +
                                 "\" could not be made (" + c.reason + ").");
    EXPECT_EQ(boxes[0].flags & MB_ICONMASK, MB_ICONERROR);
    EXPECT_TRUE(testsupport::ReadFileTree(web) == before);
  }
}

TEST_F(TranslationTexts, ImportSetsTextsReportsMissesAndMarksTheProjectModified) {
  PutProject(Project("",
                     "<object caption=\"Temp\" hint=\"old\" X=\"2\" Y=\"2\" Uid=\"5\"><label /></object>\r\n"
                     "<object caption=\"Off\" X=\"2\" Y=\"40\" Uid=\"0\"><label /></object>\r\n"
                     "<object caption=\"Ten\" X=\"2\" Y=\"80\" Uid=\"10\"><label /></object>\r\n"));
  OpenDesigner();
  PutTexts("Texts.txt",
           "{Group 000 : 00000001}Main\r\n"
           "  {Page 000 : 00000002}Overview\r\n"
           "    {Object 000 : 00000005}\r\n"
           "      {Hint}tip\r\n"
           "      {Caption0}" +
               kSensor +
               "\r\n"
               "    {Object 002 : 0000000a}\r\n"
               "      {Caption0}lower case\r\n");
  Driver::AnswerMessageBox("Texts has been imported", IDNO);
  designer->ImportTexts1Click(nullptr);
  EXPECT_EQ(ByUid("5")->GetAttr("caption"), kSensor);
  EXPECT_EQ(ByUid("5")->GetAttr("hint"), "tip");
  EXPECT_EQ(ByUid("10")->GetAttr("caption"), "Ten");
  EXPECT_EQ(designer->Document().Root()->FindDeep("group")->GetAttr("caption"), "Main");
  EXPECT_TRUE(designer->Document().Modified());
  EXPECT_TRUE(designer->btnSave2->Enabled());
  const std::vector<std::string> expected = {"File '" + ShownName("Texts.txt") + "' was loaded.;",
                                             "",
                                             "4 objects to import.",
                                             "Object 1 'Off' on page 'OVERVIEW.XML' (Overview) was not imported.",
                                             "Object 2 'Ten' on page 'OVERVIEW.XML' (Overview) was not imported.",
                                             "",
                                             "3 objects was imported.",
                                             ""};
  EXPECT_EQ(Report(), expected);
}

// Lines ended by CR alone are lines; control characters that a project
// cannot hold are removed and reported, and the saved project opens again
// with the imported texts.
TEST_F(TranslationTexts, ImportReadsEveryLineEndAndDropsWhatAProjectCannotHold) {
  const struct {
    const char* name;
    std::string lineEnd;
    std::string caption;  // as written in the file
    std::vector<std::string> reported;
  } cases[] = {
      {"CR only", "\r", "Sensor", {}},
      {"NUL and SOH",
       "\r\n",
       std::string("Sen\0so\x01r", 9),
       {"Line 5: characters that a project cannot hold (control characters) were removed."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PutProject(
        Project("", "<object caption=\"Temperature\" hint=\"old\" X=\"2\" Y=\"2\" Uid=\"5\"><label /></object>\r\n"));
    OpenDesigner();
    const std::string& end = c.lineEnd;
    PutTexts("Texts.txt", "{Group 000 : 00000001}Main" + end + "  {Page 000 : 00000002}Overview" + end +
                              "    {Object 000 : 00000005}" + end + "      {Hint}tip" + end + "      {Caption0}" +
                              c.caption + end);
    Driver::AnswerMessageBox("Texts has been imported", IDNO);
    designer->ImportTexts1Click(nullptr);
    designer->btnSave2Click(nullptr);
    OpenDesigner();
    ASSERT_NE(ByUid("5"), nullptr);
    EXPECT_EQ(ByUid("5")->GetAttr("caption"), "Sensor");
    EXPECT_EQ(ByUid("5")->GetAttr("hint"), "tip");
    const std::vector<std::string> report = Report();
    ASSERT_GE(report.size(), 2u + c.reported.size());
    EXPECT_EQ(std::vector<std::string>(report.begin() + 1, report.begin() + 1 + c.reported.size()), c.reported);
    EXPECT_EQ(report[1 + c.reported.size()], "");
    Driver::Reset();
  }
}

TEST_F(TranslationTexts, ImportOfTheEditorLanguageSetsBothTextsAndReportsAMissingFile) {
  PutProject(Project(kCzechGerman,
                     "<object caption=\"Temp\" hint=\"h\" X=\"2\" Y=\"2\" Uid=\"5\"><lang><caption code=\"5\">Temp"
                     "</caption><hint code=\"5\">h</hint></lang><label /></object>\r\n"));
  OpenDesigner();
  PutTexts("Czech_Texts.txt", "    {Object 000 : 00000005}\r\n      {Caption0}" + kSensor + "\r\n");
  Driver::AnswerMessageBox("Texts has been imported", IDNO);
  designer->ImportTexts1Click(nullptr);
  TmyXmlNode* object = ByUid("5");
  EXPECT_EQ(object->GetAttr("caption"), kSensor);
  std::string text;
  ASSERT_TRUE(designer->GetLangTextIfAny(object, "caption", text, 5));
  EXPECT_EQ(text, kSensor);
  const std::vector<std::string> report = Report();
  ASSERT_GE(report.size(), 6u);
  EXPECT_EQ(report[3], "Group '" + kMain + "' was not imported.");
  EXPECT_EQ(report[4], "Page 'OVERVIEW.XML' (" + kOverview + ") was not imported.");
  EXPECT_EQ(report[5], "Object 0 'h' on page 'OVERVIEW.XML' (" + kOverview + ") {Hint}was not found.");
  EXPECT_EQ(report.at(9), "File '" + ShownName("German_Texts.txt") + "' doesn't exist.");
  EXPECT_TRUE(designer->Document().Modified());
}

TEST_F(TranslationTexts, ReportOpensInTheHostsTextEditor) {
  PutProject(kSingle);
  OpenDesigner();
  PutTexts("Texts.txt", "{Group 000 : 00000001}Main\r\n");
  HalvexHost halvex;
  host->textEditor = &halvex.TextEditor();
  Driver::AnswerMessageBox("Texts has been imported", IDYES);
  designer->ImportTexts1Click(nullptr);
  const auto calls = halvex.TextEditor().Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].call, "close");
  EXPECT_EQ(calls[1].call, "open");
  EXPECT_EQ(calls[1].path, SystemName("report.txt"));
  EXPECT_TRUE(calls[1].existed);
  host->textEditor = nullptr;
  EXPECT_EQ(Report().front(), "File '" + ShownName("Texts.txt") + "' was loaded.;");
}

// No file to load: an error that names the files looked for, no save, no
// report. A file that holds nothing of the project: a warning.
TEST_F(TranslationTexts, ImportThatImportsNothingSaysSoAndLeavesTheProjectUnmarked) {
  const std::string none =
      "No texts were imported, as no texts file could be loaded: \"Export texts\" writes them, "
      "one for each language of the project, to be translated and imported.\r\n\r\nFile '" +
      ShownName("Texts.txt") + "' doesn't exist.";
  const struct {
    const char* file;  // put into the folder "Language"; null: no folder
    std::string box;
    UINT icon;
  } cases[] = {{nullptr, none, MB_ICONERROR},
               {"Other.txt", none, MB_ICONERROR},
               {"Texts.txt",
                "No text has been imported: no group, page or object of the project was found in the texts "
                "files. Do you want to open report?",
                MB_ICONWARNING}};
  for (const auto& c : cases) {
    PutProject(kSingle);
    OpenDesigner();
    if (c.file != nullptr) PutTexts(c.file, "{Group 000 : 0000FFFF}Main\r\n");
    Driver::Reset();
    designer->ImportTexts1Click(nullptr);
    const auto boxes = Driver::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.box);
    EXPECT_EQ(boxes[0].flags & MB_ICONMASK, c.icon);
    EXPECT_FALSE(designer->Document().Modified());
    EXPECT_EQ(std::filesystem::exists(Language("report.txt")), c.icon == MB_ICONWARNING);
  }
}

// A texts file is missing only where the system finds none: one in a folder
// this user may not search is there for all they know, and unreadable; the
// report says so with the reason. Root searches every folder, so the look
// is taken as another user (root alone can become one).
TEST_F(TranslationTexts, AFileThatCannotBeLookedForIsUnreadableNotMissing) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can act as another user";
  PutTexts("Texts.txt", "{Group 000 : 00000001}Main\r\n");
  ::chmod(folder.Path().c_str(), 0755);
  ::chmod((folder.Path() / "Tarnwell").c_str(), 0755);
  ::chmod((folder.Path() / "Tarnwell" / "Language").c_str(), 0700);
  int lines[2];
  ASSERT_EQ(::pipe(lines), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    std::vector<std::string> report;
    TTextsFile file;
    if (::setresgid(65534, 65534, 65534) == 0 && ::setresuid(65534, 65534, 65534) == 0 &&
        !ParseTextsFile(SystemName("Texts.txt"), file, report) && !report.empty()) [[maybe_unused]]
      const auto written = ::write(lines[1], report[0].data(), report[0].size());
    ::_exit(0);
  }
  ::close(lines[1]);
  std::string said(512, '\0');
  const ssize_t n = ::read(lines[0], said.data(), said.size());
  ::close(lines[0]);
  ::waitpid(child, nullptr, 0);
  said.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  EXPECT_EQ(said, "File '" + ShownName("Texts.txt") + "' could not be read (Permission denied).");
}

TEST(TextsHeaderKey, ReadsTheKeyAfterTheFixedWidthNumber) {
  struct Case {
    const char* line;
    const char* key;
  } const cases[] = {
      {"{Group 000 : 0000001F}Main", "0000001F"},
      {"  {Page 012 : 00000002}", "00000002"},
      {"    {Object 000 : 00000005}", "00000005"},
      {"    {Object 000 : 0000000a}", "0000000"},  // lower case ends the key
      {"{Group 000001 : 00000003}", "1"},          // a longer number shifts the key
      {"{Page", ""},                               // offset past the end
      {"{Object 00", ""},
      {"      {Hint}text", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(TextsHeaderKey(c.line), c.key) << c.line;
}

}  // namespace
