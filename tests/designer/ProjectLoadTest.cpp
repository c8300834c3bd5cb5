// Loading a project: the layouts, the fallbacks with their one message, the
// format-version gate, the settings taken from `web` and the repairs.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <memory>

#include "base/ScopeExit.h"
#include "core/TraceLog.h"
#include "platform/win/FileLock.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Paths.h"
#include "tests/designer/ProjectTestSupport.h"

namespace {

using namespace doctest;

// The first group's caption in small.xml, in the project's code page.
const char* const kCerpadla =
    "\xC8"
    "erpadla";

struct ProjectLoad : TUiTexts {
  THostProject host;
  TRecordingUi ui;
  TProjectDocument document{ui, [] { return kSaveTime; }, [] { return 500; }};

  TProjectLoadResult Load() { return document.LoadProject(host.Location(), kRasterX, kRasterY); }
};

TEST_F(ProjectLoad, ReadsTheSingleFileAndItsSettings) {
  host.PutData("small.xml", "Proj.xml");
  const TProjectLoadResult result = Load();
  EXPECT_EQ(result.source, TProjectSource::BaseFile);
  EXPECT_FALSE(result.readOnly);
  EXPECT_EQ(result.formatCode, 8001);
  EXPECT_FALSE(document.SplitLayout());
  EXPECT_FALSE(document.Modified());
  EXPECT_TRUE(ui.messages.empty());

  const TProjectSettings& s = document.Settings();
  EXPECT_EQ(s.bgColor, 12632256);
  EXPECT_EQ(s.displayMode, 2);
  EXPECT_EQ(s.pageWidth, 800);
  EXPECT_EQ(s.pageHeight, 480);
  EXPECT_EQ(s.leftMargin, 4);
  EXPECT_EQ(s.topMargin, 6);
  EXPECT_TRUE(s.propFont);
  EXPECT_TRUE(s.borderOff);
  EXPECT_TRUE(s.menuOff);
  EXPECT_FALSE(s.titleOff);
  EXPECT_TRUE(s.fullScreen);
  EXPECT_TRUE(s.operatorPanels);
  EXPECT_EQ(s.iniScale, 90);
  EXPECT_EQ(s.maxScale, 200);
  EXPECT_TRUE(s.useIniScale);
  EXPECT_FALSE(s.useMaxScale);
  EXPECT_FALSE(s.userScale);
  EXPECT_TRUE(s.webApp);
  EXPECT_TRUE(s.background);
  EXPECT_EQ(s.encoding, "windows-1250");
  EXPECT_EQ(s.codePage, 1250);

  EXPECT_TRUE(document.NewDimension());
  EXPECT_EQ(document.PageNameFormat(), 2);
  EXPECT_TRUE(document.VarNames());
  EXPECT_FALSE(document.OnlyXml());
  EXPECT_FALSE(document.DebugXmz());
  EXPECT_EQ(document.UidCounter(), 40);
  ASSERT_NE(document.Grid(), nullptr);
  EXPECT_FALSE(document.GridEnabled());
  ASSERT_NE(document.Images(), nullptr);
  EXPECT_EQ(document.Images()->firstChild->GetAttr("name"), "pump");
  ASSERT_NE(document.LanguagesElement(), nullptr);
  EXPECT_EQ(document.LanguagesElement()->firstChild->GetAttr("Code"), "9");
  ASSERT_NE(document.LayersElement(), nullptr);
  ASSERT_NE(document.PlaceholdersElement(), nullptr);
  EXPECT_EQ(document.PlaceholdersElement()->firstChild->value, "Pump1");
  // Nothing to repair: the document is the file as it stands.
  EXPECT_EQ(DocumentText(document), Data("small.xml"));
}

TEST_F(ProjectLoad, AbsentAttributesKeepTheNewDesignersValues) {
  host.Put("Proj.xml", "<web version=\"8.1\" MaxUid=\"1\"><group caption=\"G\"></group><images></images></web>");
  Load();
  const TProjectSettings defaults;
  const TProjectSettings& s = document.Settings();
  EXPECT_EQ(s.bgColor, defaults.bgColor);
  EXPECT_EQ(s.displayMode, 0);
  EXPECT_EQ(s.pageHeight, 560);
  EXPECT_EQ(s.pageWidth, 980);
  EXPECT_TRUE(s.userScale);
  EXPECT_TRUE(s.background);
  EXPECT_EQ(s.encoding, "windows-1250");
  EXPECT_EQ(s.codePage, 1250);
  EXPECT_EQ(document.PageNameFormat(), 0);
  EXPECT_FALSE(document.NewDimension());
  EXPECT_FALSE(document.VarNames());
}

TEST_F(ProjectLoad, PresenceElementsSetTheirFlags) {
  host.Put("Proj.xml", "<web version=\"8.1\" MaxUid=\"1\"><OnlyXml /><DebugXmz /></web>");
  Load();
  EXPECT_FALSE(document.VarNames());
  EXPECT_TRUE(document.OnlyXml());
  EXPECT_TRUE(document.DebugXmz());
}

TEST_F(ProjectLoad, TheSplitLayoutWinsOverTheSingleFile) {
  host.PutData("split", "");
  const TProjectLoadResult result = Load();
  EXPECT_EQ(result.source, TProjectSource::BaseFile);
  EXPECT_TRUE(document.SplitLayout());
  TmyXmlNode* group = document.Web()->FindChild("group");
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->GetAttr("caption"), "Split");
  TmyXmlNode* overview = group->FindChild("page");
  ASSERT_NE(overview, nullptr);
  EXPECT_FALSE(overview->closed);
  EXPECT_EQ(overview->GetAttr("caption"), "Overview");
  EXPECT_EQ(overview->GetAttr("default"), "true");
  ASSERT_NE(overview->FindChild("object"), nullptr);
  EXPECT_EQ(overview->FindChild("object")->firstChild->GetAttr("variable"), "Flow");
  EXPECT_EQ(overview->next->GetAttr("caption"), "Settings");
  EXPECT_TRUE(ui.messages.empty());
}

// The stub stands for a page it lost: the user is told, and the empty page
// is not written in its place until the page leaves the project.
TEST_F(ProjectLoad, AMissingPageFileLeavesItsStubTellsItAndIsNotWrittenOver) {
  host.PutData("split", "");
  std::filesystem::remove(host.Web("pages/SETTINGS.XML"));
  Load();
  TmyXmlNode* settings = document.Web()->FindChild("group")->FindChild("page")->next;
  EXPECT_EQ(settings->GetAttr("name"), "SETTINGS.XML");
  EXPECT_EQ(settings->firstChild, nullptr);
  // The repair gives the stub its empty caption.
  EXPECT_EQ(settings->GetAttr("caption"), "");
  EXPECT_NE(settings->FindAttr("caption"), nullptr);
  const std::string file = ShownPath(host.WebSystemPath("pages\\SETTINGS.XML"));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "The page file \"" + file + "\" does not exist. The page was loaded empty.");
  EXPECT_EQ(
      document.OverwriteRefusal().rfind("The page file \"" + file + "\" was missing when the project was opened", 0),
      0u);
  settings->Unlink();
  const std::unique_ptr<TmyXmlNode> removed(settings);
  EXPECT_EQ(document.OverwriteRefusal(), "");
}

TEST_F(ProjectLoad, ACutOffPageFileLoadsItsReadPartAndTellsTheUser) {
  host.PutData("split", "");
  const std::string whole = host.Get("pages/SETTINGS.XML");
  // A second object, cut off in its kind element.
  host.Put("pages/SETTINGS.XML", whole.substr(0, whole.find("</page>")) +
                                     "\t<object caption=\"\" X=\"2\" Y=\"8\" Uid=\"22\">\r\n\t\t<edit variab");
  Load();
  TmyXmlNode* settings = document.Web()->FindChild("group")->FindChild("page")->next;
  EXPECT_EQ(settings->ChildCount(), 2);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, "Warning");
  EXPECT_EQ(ui.messages[0].icon, TProjectDocumentUi::TIcon::Warning);
  EXPECT_EQ(ui.messages[0].text.rfind("The page file \"" + host.Web("pages/SETTINGS.XML").string() +
                                          "\" could not be read: it is not well-formed XML (error 0x",
                                      0),
            0u)
      << ui.messages[0].text;
  EXPECT_NE(ui.messages[0].text.find("). Only the part before the damage was loaded."), std::string::npos);
  EXPECT_EQ(ui.traces, std::vector<std::string>{"LoadProject - " + ui.messages[0].text});
}

TEST_F(ProjectLoad, APageNameThatLeavesThePageFolderIsNotRead) {
  host.PutData("split", "");
  host.Put("web.xml",
           "<web version=\"8.1\" MaxUid=\"40\"><group caption=\"G\" Uid=\"1\"><page name=\"..\\Proj.xml\" />"
           "</group></web>");
  Load();
  TmyXmlNode* page = document.Web()->FindChild("group")->FindChild("page");
  EXPECT_EQ(page->firstChild, nullptr);
  EXPECT_EQ(page->GetAttr("caption"), "");
}

// The base file cannot be used: its backup, then the built-in new project;
// the user hears once which file failed and what came instead. A file that is
// there but cannot be opened never gives the new project: the load gives up.
struct TFallbackCase {
  const char* name;
  const char* base;    // fixture, "" for no file, "-" for an empty file, "/" for a folder
  const char* backup;  // the same, but for an empty file
  TProjectSource source;
  const char* loadedCaption;  // caption of the first group
  std::vector<std::string> messageParts;
};

std::string FixtureText(const std::string& name) { return name == "-" ? std::string() : Data(name); }

TEST_F(ProjectLoad, FallsBackToTheBackupAndThenToTheNewProjectWithOneMessage) {
  const std::string base = host.Web("Proj.xml").string();  // as the message shows it
  const std::string bak = base + ".bak";
  const std::filesystem::path baseFile = host.Web("Proj.xml");
  const std::filesystem::path bakFile = host.Web("Proj.xml.bak");
  const std::string bakFolder = "Its backup \"" + bak + "\" could not be read: it cannot be opened (Is a directory).";
  const TFallbackCase kCases[] = {
      {"truncated, good backup",
       "truncated.xml",
       "small.xml",
       TProjectSource::Backup,
       kCerpadla,
       {"\"" + base + "\" could not be read: it is not well-formed XML (error 0x80 at line 16).",
        "The backup \"" + bak + "\" was loaded instead."}},
      {"truncated, no backup",
       "truncated.xml",
       "",
       TProjectSource::Template,
       "",
       {"\"" + base + "\" could not be read: it is not well-formed", "An empty new project was loaded instead."}},
      {"truncated, truncated backup",
       "truncated.xml",
       "truncated.xml",
       TProjectSource::Template,
       "",
       {"\"" + base + "\" could not be read", "Its backup \"" + bak + "\" could not be read",
        "An empty new project was loaded instead."}},
      {"cut between two elements",
       "cut-between-elements.xml",
       "small.xml",
       TProjectSource::Backup,
       kCerpadla,
       {"\"" + base + "\" could not be read: it is not well-formed XML (error 0x400", "The backup"}},
      {"no web element",
       "noweb.xml",
       "small.xml",
       TProjectSource::Backup,
       kCerpadla,
       {"\"" + base + "\" could not be read: it holds no web element.", "The backup"}},
      {"empty file", "-", "small.xml", TProjectSource::Backup, kCerpadla, {"it holds no web element."}},
      {"missing file, good backup",
       "",
       "small.xml",
       TProjectSource::Backup,
       kCerpadla,
       {"\"" + base + "\" does not exist.", "The backup \"" + bak + "\" was loaded instead."}},
      {"missing file and backup", "", "", TProjectSource::Template, "", {}},
      {"folder, backup", "/", "small.xml", TProjectSource::Backup, kCerpadla, {"(Is a directory). The backup \""}},
      {"folder", "/", "", TProjectSource::None, nullptr, {base + "\" could not be read: it cannot be opened (Is a"}},
      {"cut, folder backup", "truncated.xml", "/", TProjectSource::None, nullptr, {"well-formed", bakFolder}},
      {"missing, folder backup", "", "/", TProjectSource::None, nullptr, {"\" does not exist. " + bakFolder}},
  };
  for (const TFallbackCase& c : kCases) {
    SCOPED_TRACE(c.name);
    for (const auto& [file, fixture] : {std::pair(baseFile, c.base), std::pair(bakFile, c.backup)}) {
      std::filesystem::remove_all(file);
      if (std::string(fixture) == "/") std::filesystem::create_directory(file);
      if (*fixture != '\0' && *fixture != '/') host.Put(file.filename().string(), FixtureText(fixture));
    }
    TRecordingUi caseUi;
    TProjectDocument caseDocument(caseUi);
    const TProjectLoadResult result = caseDocument.LoadProject(host.Location(), kRasterX, kRasterY);

    EXPECT_EQ(result.source, c.source);
    EXPECT_EQ(result.failure, c.loadedCaption == nullptr ? caseUi.messages.at(0).text : "");
    ASSERT_EQ(caseDocument.Web() == nullptr, c.loadedCaption == nullptr);
    if (c.loadedCaption != nullptr) {
      EXPECT_EQ(caseDocument.Web()->FindChild("group")->GetAttr("caption"), c.loadedCaption);
    }
    if (c.messageParts.empty()) {
      EXPECT_TRUE(caseUi.messages.empty());
      EXPECT_TRUE(caseUi.traces.empty());
      continue;
    }
    ASSERT_EQ(caseUi.messages.size(), 1u);
    EXPECT_EQ(caseUi.messages[0].caption, "Warning");
    EXPECT_EQ(caseUi.messages[0].icon, TProjectDocumentUi::TIcon::Warning);
    for (const std::string& part : c.messageParts)
      EXPECT_NE(caseUi.messages[0].text.find(part), std::string::npos) << caseUi.messages[0].text << "\n" << part;
    ASSERT_EQ(caseUi.traces.size(), 1u);
    EXPECT_EQ(caseUi.traces[0], "LoadProject - " + caseUi.messages[0].text);
  }
}

TEST_F(ProjectLoad, TheFallbackMessageSpeaksTheUisLanguage) {
  const std::string base = host.Web("Proj.xml").string();  // as the message shows it
  host.Put("Proj.xml", Data("truncated.xml"));
  host.Put("Proj.xml.bak", Data("small.xml"));
  ASSERT_TRUE(SelectUiLanguage(UI_LANG_GERMAN));
  Load();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Die Projektdatei \"" + base +
                                     "\" konnte nicht gelesen werden: Sie ist kein wohlgeformtes XML (Fehler 0x80 in "
                                     "Zeile 16). Stattdessen wurde die Sicherungskopie \"" +
                                     base + ".bak\" geladen.");
}

TEST_F(ProjectLoad, TheNewProjectIsTheBuiltInTemplate) {
  const TProjectLoadResult result = Load();
  EXPECT_EQ(result.source, TProjectSource::Template);
  EXPECT_FALSE(result.readOnly);
  EXPECT_FALSE(document.Modified());
  TmyXmlNode* web = document.Web();
  ASSERT_NE(web, nullptr);
  EXPECT_EQ(web->GetAttr("version"), "8.1");
  EXPECT_EQ(web->GetAttr("propfont"), "true");
  EXPECT_EQ(web->GetAttr("dwMode"), "1");
  EXPECT_EQ(web->GetAttr("MaxUid"), "500");
  EXPECT_TRUE(document.Settings().propFont);
  EXPECT_EQ(document.Settings().displayMode, 1);
  EXPECT_TRUE(document.GridEnabled());
  EXPECT_TRUE(document.NewDimension());
  TmyXmlNode* group = web->FindChild("group");
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->next, document.Images());
  TmyXmlNode* page = group->FindChild("page");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->GetAttr("name"), "PAGE1.XML");
  EXPECT_EQ(page->GetAttr("caption"), "Index");
  EXPECT_EQ(page->GetAttr("default"), "true");
  EXPECT_EQ(page->next, nullptr);
  EXPECT_EQ(group->GetAttr("Uid"), "500");
  EXPECT_EQ(page->GetAttr("Uid"), "501");
}

TEST_F(ProjectLoad, NoHostProjectLoadsNothing) {
  host.PutData("small.xml", "Proj.xml");
  TProjectLocation location = host.Location();
  location.hostAnswered = false;
  const TProjectLoadResult result = document.LoadProject(location, kRasterX, kRasterY);
  EXPECT_EQ(result.source, TProjectSource::None);
  EXPECT_EQ(result.failure, "The project is not opened: the host names no folder of the web project.");
  EXPECT_EQ(document.Root(), nullptr);
  EXPECT_EQ(document.Web(), nullptr);
  EXPECT_TRUE(ui.messages.empty());
}

// Another program holds the project folder's lock for the whole wait (a
// save of its own, with nothing of it left to recover): the load gives up
// after that one wait, tells why, reads nothing and changes no file.
TEST_F(ProjectLoad, ALoadBesideATakenLockGivesUpAfterOneWait) {
  host.PutData("small.xml", "Proj.xml");
  const int held = ::open(host.Web(".~tarnwell~lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  const auto before = Snapshot(host.Web());
  // A wait of two seconds on a clock that moves half a second a look.
  auto now = std::chrono::steady_clock::now();
  int waits = 0;
  SetFolderLockClockForTests([&now] { return now += std::chrono::milliseconds(500); });
  SetFolderLockWaitForTests(2000);
  SetFolderLockWaitNotice([&waits](const std::string&, int, int) { ++waits; });
  const ScopeExit restore([held] {
    SetFolderLockWaitNotice(nullptr);
    SetFolderLockWaitForTests(-1);
    SetFolderLockClockForTests(nullptr);
    ::close(held);
  });
  const TProjectLoadResult result = Load();
  EXPECT_EQ(waits, 1);
  EXPECT_EQ(result.source, TProjectSource::None);
  EXPECT_EQ(result.failure.find("The project is not opened: another program is saving or opening the project"), 0u)
      << result.failure;
  EXPECT_EQ(document.Root(), nullptr);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, result.failure);
  EXPECT_EQ(Snapshot(host.Web()), before);
}

TEST_F(ProjectLoad, ALoadReplacesTheDocumentHeldBefore) {
  host.PutData("small.xml", "Proj.xml");
  Load();
  host.Put("Proj.xml", "<web version=\"8.1\" MaxUid=\"3\"><group caption=\"Second\" Uid=\"1\"></group></web>");
  Load();
  EXPECT_EQ(document.Web()->FindChild("group")->GetAttr("caption"), "Second");
  EXPECT_EQ(document.Settings().pageWidth, 980);
  EXPECT_FALSE(document.VarNames());
  EXPECT_EQ(document.UidCounter(), 3);
}

// The format version: up to 8.1 (or unreadable) edits and writes back 8.1,
// newer opens read-only with message 7205 and keeps its number.
TEST_F(ProjectLoad, TheVersionGateDecidesEditingAndWritesTheVersionBack) {
  const struct {
    const char* versionAttr;  // the whole attribute, "" for none
    bool readOnly;
    int formatCode;
    const char* written;
  } kCases[] = {
      {"version=\"8.1\"", false, 8001, "8.1"},
      {"version=\"2.0\"", false, 8001, "8.1"},
      {"", false, 8001, "8.1"},
      {"version=\"new\"", false, 8001, "8.1"},
      {"version=\"8.0\"", false, 8001, "8.1"},
      {"version=\"8.2\"", true, 8002, "8.2"},
      {"version=\"8.102\"", true, 8002, "8.2"},
      {"version=\"9.0\"", true, 9000, "9.0"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.versionAttr);
    host.Put("Proj.xml",
             std::string("<web ") + c.versionAttr + " MaxUid=\"5\"><group caption=\"G\" Uid=\"1\"></group></web>");
    TRecordingUi caseUi;
    TProjectDocument caseDocument(caseUi);
    const TProjectLoadResult result = caseDocument.LoadProject(host.Location(), kRasterX, kRasterY);
    EXPECT_EQ(result.readOnly, c.readOnly);
    EXPECT_EQ(caseDocument.ReadOnly(), c.readOnly);
    EXPECT_EQ(result.formatCode, c.formatCode);
    EXPECT_EQ(caseDocument.FormatCode(), c.formatCode);
    EXPECT_EQ(caseDocument.Web()->GetAttr("version"), c.written);
    if (!c.readOnly) {
      EXPECT_TRUE(caseUi.messages.empty());
      continue;
    }
    ASSERT_EQ(caseUi.messages.size(), 1u);
    EXPECT_EQ(caseUi.messages[0].text,
              "Tarnwell's project was created with newer version of tool. The project can't be edited nor correctly "
              "viewed in this version.");
    EXPECT_EQ(caseUi.messages[0].caption, "Warning");
    EXPECT_EQ(caseUi.messages[0].icon, TProjectDocumentUi::TIcon::Error);
  }
}

TEST_F(ProjectLoad, AnAbsentVersionIsAddedLast) {
  host.Put("Proj.xml", "<web dwMode=\"1\" MaxUid=\"5\"></web>");
  Load();
  EXPECT_EQ(document.Web()->lastAttr->name, "version");
  EXPECT_EQ(document.Web()->lastAttr->value, "8.1");
}

TEST_F(ProjectLoad, RepairsWhatOlderFilesLack) {
  host.PutData("repairs.xml", "Proj.xml");
  const TProjectLoadResult result = document.LoadProject(host.Location(), 7, 9);
  EXPECT_EQ(result.source, TProjectSource::BaseFile);
  TmyXmlNode* web = document.Web();

  // Grid: first child, empty, enabled, with the designer's raster.
  TmyXmlNode* grid = web->firstChild;
  ASSERT_EQ(grid, document.Grid());
  EXPECT_EQ(grid->name, "Grid");
  EXPECT_TRUE(grid->closed);
  EXPECT_EQ(grid->GetAttr("Enable"), "1");
  EXPECT_EQ(grid->GetAttr("X"), "7");
  EXPECT_EQ(grid->GetAttr("Y"), "9");
  EXPECT_TRUE(document.GridEnabled());

  // Unique ids from the random start, depth first; MaxUid added with the start.
  EXPECT_EQ(web->GetAttr("MaxUid"), "500");
  TmyXmlNode* group = web->FindChild("group");
  TmyXmlNode* p1 = group->FindChild("page");
  TmyXmlNode* object1 = p1->FindChild("object");
  EXPECT_EQ(group->GetAttr("Uid"), "500");
  EXPECT_EQ(p1->GetAttr("Uid"), "501");
  EXPECT_EQ(object1->GetAttr("Uid"), "502");
  EXPECT_EQ(object1->next->GetAttr("Uid"), "7");
  EXPECT_EQ(p1->next->GetAttr("Uid"), "9");
  EXPECT_EQ(document.UidCounter(), 503);

  // Blanks leave variable references, nothing else.
  EXPECT_EQ(object1->GetAttr("visvar"), "Motor.On");
  EXPECT_EQ(object1->GetAttr("clickxvar"), "A[1]");
  EXPECT_EQ(object1->GetAttr("clickyvar"), "B2");
  EXPECT_EQ(object1->GetAttr("clickcol"), "C");
  EXPECT_EQ(object1->firstChild->GetAttr("variable"), "Tank.Level");
  EXPECT_EQ(object1->firstChild->GetAttr("datavariable"), "Buf");
  EXPECT_EQ(object1->firstChild->GetAttr("caption"), "a b");
  EXPECT_EQ(object1->next->firstChild->GetAttr("variable"), "Lamp2");
  EXPECT_EQ(group->GetAttr("visvar"), "keep me");

  // Empty captions for the group and the page without one; the other page keeps its own.
  EXPECT_NE(group->FindAttr("caption"), nullptr);
  EXPECT_EQ(group->GetAttr("caption"), "");
  EXPECT_NE(p1->FindAttr("caption"), nullptr);
  EXPECT_EQ(p1->next->GetAttr("caption"), "Second");

  // An empty images element at the end.
  ASSERT_NE(document.Images(), nullptr);
  EXPECT_EQ(document.Images(), web->lastChild);
  EXPECT_EQ(document.Images()->firstChild, nullptr);
  EXPECT_FALSE(document.Modified());
}

TEST_F(ProjectLoad, AnUnreadableMaxUidStartsFromARandomNumber) {
  host.Put("Proj.xml", "<web version=\"8.1\" MaxUid=\"many\"><group caption=\"G\"></group></web>");
  Load();
  EXPECT_EQ(document.Web()->GetAttr("MaxUid"), "many");
  EXPECT_EQ(document.Web()->FindChild("group")->GetAttr("Uid"), "500");
  EXPECT_EQ(document.UidCounter(), 501);
  EXPECT_EQ(document.TakeUid(), 501);
  EXPECT_EQ(document.UidCounter(), 502);
}

TEST_F(ProjectLoad, WithoutARandomSourceTheStartLiesBelow32768) {
  host.Put("Proj.xml", "<web version=\"8.1\"></web>");
  TProjectDocument randomDocument(ui);
  randomDocument.LoadProject(host.Location(), kRasterX, kRasterY);
  const int start = randomDocument.Web()->GetAttrInt("MaxUid", -1);
  EXPECT_GE(start, 0);
  EXPECT_LT(start, 32768);
}

TEST_F(ProjectLoad, StripVariableSpacesCoversFollowingSiblingsButNotTheirParent) {
  TmyXMLParser parser;
  ASSERT_TRUE(parser.LoadFromString(
      "<r><object visvar=\"a a\"><object visvar=\"in ner\"/></object><x><object clickcol=\"b b\"/></x></r>"));
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  TmyXmlNode* first = root->firstChild->firstChild;
  StripVariableSpaces(first);
  EXPECT_EQ(first->GetAttr("visvar"), "aa");
  EXPECT_EQ(first->firstChild->GetAttr("visvar"), "in ner");
  EXPECT_EQ(first->next->firstChild->GetAttr("clickcol"), "bb");
}

TEST_F(ProjectLoad, LoadingStripsTheOutermostObjectsAndNumbersEveryObject) {
  host.Put("Proj.xml",
           "<web version=\"8.1\" MaxUid=\"1\"><group Uid=\"9\"><page Uid=\"8\"><object visvar=\"a a\">"
           "<object visvar=\"in ner\"/></object></page></group></web>");
  Load();
  TmyXmlNode* outer = document.Web()->FindChild("group")->FindChild("page")->FindChild("object");
  EXPECT_EQ(outer->GetAttr("visvar"), "aa");
  EXPECT_EQ(outer->GetAttr("Uid"), "1");
  EXPECT_EQ(outer->firstChild->GetAttr("visvar"), "in ner");
  EXPECT_EQ(outer->firstChild->GetAttr("Uid"), "2");
}

TEST_F(ProjectLoad, LoadingStripsTheKindElementAfterTheTextsOfTheLanguages) {
  host.Put("Proj.xml",
           "<web version=\"8.1\" MaxUid=\"1\"><group><page><object><lang><caption code=\"1033\">a b</caption></lang>"
           "<edit variable=\"High Level\" datavariable=\"B uf\"/></object></page></group></web>");
  Load();
  TmyXmlNode* object = document.Web()->FindChild("group")->FindChild("page")->FindChild("object");
  EXPECT_EQ(object->FindChild("edit")->GetAttr("variable"), "HighLevel");
  EXPECT_EQ(object->FindChild("edit")->GetAttr("datavariable"), "Buf");
  EXPECT_EQ(object->FindChild("lang")->firstChild->value, "a b");
}

TEST_F(ProjectLoad, PageTreeTextFollowsTheDisplayFormat) {
  const struct {
    int format;
    const char* caption;
    const char* name;
    bool force;
    const char* text;
  } kCases[] = {
      {0, "Home", "HOME.XML", false, "Home"},
      {1, "Home", "HOME.XML", false, "HOME.XML"},
      {2, "Home", "HOME.XML", false, "Home (HOME.XML)"},
      {0, "Home", "HOME.XML", true, "Home (HOME.XML)"},
      {1, "Home", "HOME.XML", true, "HOME.XML"},
      {1, "Home", "", false, "Home"},
      {2, "Home", "", false, "Home"},
      {0, "", "HOME.XML", false, "Unnamed"},
      {2, "", "HOME.XML", false, "Unnamed (HOME.XML)"},
      {7, "Home", "HOME.XML", false, "Home"},
  };
  for (const auto& c : kCases) {
    host.Put("Proj.xml",
             "<web version=\"8.1\" MaxUid=\"1\"><globalset pvstyle=\"" + std::to_string(c.format) + "\" /></web>");
    TRecordingUi caseUi;
    TProjectDocument caseDocument(caseUi);
    caseDocument.LoadProject(host.Location(), kRasterX, kRasterY);
    EXPECT_EQ(caseDocument.PageTreeText(c.caption, c.name, c.force), c.text)
        << c.format << " " << c.caption << " " << c.name;
  }
}

TEST_F(ProjectLoad, TheDesignersUiShowsATopmostBoxAndTracesTheLog) {
  ClearMessageBoxLog();
  const std::string logPath = host.Folder().System("plugins.log");
  const std::string oldPath = TraceLogPath();
  const bool oldEnabled = TraceLogEnabled();
  SetTraceLogPath(logPath);
  SetTraceLogEnabled(true);
  ScopeExit restore([&] {
    SetTraceLogEnabled(oldEnabled);
    SetTraceLogPath(oldPath);
    ClearMessageBoxLog();
  });

  TDesignerProjectUi designerUi;
  designerUi.ShowMessage("text", "caption", TProjectDocumentUi::TIcon::Error);
  designerUi.ShowMessage("other", "caption", TProjectDocumentUi::TIcon::Warning);
  designerUi.Trace("LoadProject - traced");
  const std::vector<MessageBoxRecord> log = MessageBoxLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].owner, nullptr);
  EXPECT_EQ(log[0].text, "text");
  EXPECT_EQ(log[0].caption, "caption");
  EXPECT_EQ(log[0].flags, MB_OK | MB_ICONERROR | MB_TOPMOST);
  EXPECT_EQ(log[1].flags, MB_OK | MB_ICONWARNING | MB_TOPMOST);
  EXPECT_NE(ReadBytes(host.Folder().Native("plugins.log")).find("\t\tLoadProject - traced ("), std::string::npos);
}

}  // namespace
