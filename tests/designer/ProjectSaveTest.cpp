// Saving a project: the steps and trace lines in their order, the writer's
// bytes, the backups over several saves, the split layout, read-only
// projects, writes that fail, and the example project written back unchanged.

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <regex>

#include "base/ScopeExit.h"
#include "platform/vcl/IniFiles.h"
#include "platform/win/FileFault.h"
#include "platform/win/Paths.h"
#include "platform/win/RecycleBin.h"
#include "tests/designer/ProjectTestSupport.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace doctest;

struct ProjectSave : TUiTexts {
  THostProject host;
  TRecordingUi ui;
  TProjectDocument document{ui, [] { return kSaveTime; }, [] { return 500; }};

  void Load() {
    const TProjectLoadResult result = document.LoadProject(host.Location(), kRasterX, kRasterY);
    ASSERT_NE(result.source, TProjectSource::None);
  }
  TProjectSaveResult Save() { return document.Save(host.Location(), {}); }
  // A change of the document that a save must write.
  void Change(const std::string& value) {
    document.Web()->SetAttr("foot", value);
    document.SetModified(true);
  }
  int SaveTime() const {
    TIniFile ini(host.WebSystemPath("Proj.webx"));
    return ini.ReadInteger("TimeStamps", "SaveTD", -1);
  }
  void ExpectWellFormedFiles() const {
    for (const std::string& refusal : XmllintRefusals(host.Web())) ADD_FAILURE() << refusal;
  }
  // Every save hook and trace line in one list.
  TProjectSaveHooks RecordingHooks() {
    TProjectSaveHooks hooks;
    hooks.SavePage = [this] { ui.events.push_back("hook:SavePage"); };
    hooks.SavePanels = [this] { ui.events.push_back("hook:SavePanels"); };
    hooks.SaveLayers = [this] { ui.events.push_back("hook:SaveLayers"); };
    hooks.UpdateStConstants = [this](TmyXmlNode* root) {
      ui.events.push_back(root == document.Root() ? "hook:UpdateStConstants(root)" : "hook:UpdateStConstants(?)");
      return std::string();
    };
    return hooks;
  }
};

TEST_F(ProjectSave, AnUnmodifiedProjectWritesNothing) {
  host.PutData("small.xml", "Proj.xml");
  Load();
  EXPECT_EQ(Save(), TProjectSaveResult::NotModified);
  EXPECT_EQ(ui.traces, (std::vector<std::string>{"btnSave2Click", "btnSave2Click - not modified - end"}));
  EXPECT_FALSE(host.Has("Proj.webx"));
  EXPECT_FALSE(host.Has("Proj.xml.bak"));
}

TEST_F(ProjectSave, TheSingleLayoutRunsEveryStepInOrder) {
  host.PutData("small.xml", "Proj.xml");
  Load();
  Change("changed");
  ui.events.clear();
  EXPECT_EQ(document.Save(host.Location(), RecordingHooks()), TProjectSaveResult::Saved);
  EXPECT_EQ(ui.events,
            (std::vector<std::string>{"btnSave2Click", host.WebSystemPath("Proj.webx"), "hook:SavePage",
                                      "BuildFileName", "BuildFileName - ok", "hook:SavePanels", "hook:SaveLayers",
                                      "SweepFormat", "SweepFormatDone", "MakeBackup", "SaveToFile", "SaveToFile - End",
                                      "hook:UpdateStConstants(root)", "btnSave2Click - end"}));
  EXPECT_FALSE(document.Modified());
  EXPECT_EQ(SaveTime(), kSaveTime);
}

TEST_F(ProjectSave, WritesTheRepairedDocumentInTheWritersLayout) {
  host.PutData("repairs.xml", "Proj.xml");
  Load();
  document.SetModified(true);
  EXPECT_EQ(Save(), TProjectSaveResult::Saved);
  EXPECT_EQ(host.Get("Proj.xml"), Data("repairs-saved.xml"));
  EXPECT_EQ(host.Get("Proj.xml.bak"), Data("repairs.xml"));
  EXPECT_EQ(document.Web()->GetAttr("MaxUid"), "503");
  EXPECT_FALSE(host.Has("Proj.xml.~tarnwell~save-new"));
  EXPECT_FALSE(host.Has("Proj.xml.~tarnwell~save-journal"));
  ExpectWellFormedFiles();
}

TEST_F(ProjectSave, RemovesFormatAttributesAndStoresTheUidCounter) {
  host.Put("Proj.xml",
           "<web version=\"8.1\" MaxUid=\"10\" format=\"a\"><group caption=\"G\" Uid=\"1\" format=\"b\">"
           "<page caption=\"P\" name=\"P.XML\" Uid=\"2\"><object Uid=\"3\"><label format=\"c\" /></object></page>"
           "</group><images></images></web>");
  Load();
  document.TakeUid();
  document.TakeUid();
  document.SetModified(true);
  Save();
  const std::string saved = host.Get("Proj.xml");
  EXPECT_EQ(saved.find("format"), std::string::npos) << saved;
  EXPECT_EQ(DocumentText(document).find("format"), std::string::npos);
  EXPECT_NE(saved.find("MaxUid=\"12\""), std::string::npos) << saved;
}

TEST_F(ProjectSave, ThreeSavesLeaveTheFileItsBackupAndTheBiggestBackup) {
  Load();  // a new project: the template, no file yet
  Change("first");
  Save();
  const std::string first = host.Get("Proj.xml");
  EXPECT_FALSE(host.Has("Proj.xml.bak"));
  EXPECT_FALSE(host.Has("Proj.xml.bak.big"));

  Change("second");
  Save();
  const std::string second = host.Get("Proj.xml");
  EXPECT_EQ(host.Get("Proj.xml.bak"), first);
  EXPECT_FALSE(host.Has("Proj.xml.bak.big"));

  Change("third");
  Save();
  EXPECT_NE(host.Get("Proj.xml").find("foot=\"third\""), std::string::npos);
  EXPECT_EQ(host.Get("Proj.xml.bak"), second);
  EXPECT_EQ(host.Get("Proj.xml.bak.big"), first);
  ExpectWellFormedFiles();
}

// ".big" is replaced only by a larger ".bak": a save that lost content keeps
// the larger earlier file.
TEST_F(ProjectSave, TheBiggestBackupOnlyGrows) {
  const struct {
    const char* name;
    std::vector<std::string> foots;  // one save each
    std::size_t bigFrom;             // the save whose file the ".big" holds at the end
  } kCases[] = {
      {"shrinking", {std::string(400, 'x'), "s", "t", "u"}, 0},
      {"growing", {"a", std::string(400, 'y'), "b", "c"}, 1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    THostProject caseHost;
    TRecordingUi caseUi;
    TProjectDocument caseDocument(
        caseUi, [] { return kSaveTime; }, [] { return 500; });
    caseDocument.LoadProject(caseHost.Location(), kRasterX, kRasterY);
    std::vector<std::string> files;
    for (const std::string& foot : c.foots) {
      caseDocument.Web()->SetAttr("foot", foot);
      caseDocument.SetModified(true);
      ASSERT_EQ(caseDocument.Save(caseHost.Location(), {}), TProjectSaveResult::Saved);
      files.push_back(caseHost.Get("Proj.xml"));
    }
    EXPECT_EQ(caseHost.Get("Proj.xml.bak"), files[files.size() - 2]);
    EXPECT_EQ(caseHost.Get("Proj.xml.bak.big"), files[c.bigFrom]);
  }
}

TEST_F(ProjectSave, ALeftoverBackupOfWebXmlGoesToItsBigCopy) {
  host.PutData("small.xml", "Proj.xml");
  host.Put("web.xml.bak", "<web />\r\n");
  Load();
  document.SetModified(true);
  Save();
  EXPECT_FALSE(host.Has("web.xml.bak"));
  EXPECT_EQ(host.Get("web.xml.bak.big"), "<web />\r\n");
  EXPECT_FALSE(host.Has("web.xml"));
}

TEST_F(ProjectSave, AReadOnlyProjectOnlyStampsTheSaveTime) {
  const std::string newer = "<web version=\"8.2\" MaxUid=\"5\"><group caption=\"G\" Uid=\"1\"></group></web>";
  host.Put("Proj.xml", newer);
  Load();
  ASSERT_TRUE(document.ReadOnly());
  document.SetModified(true);
  ui.traces.clear();
  EXPECT_EQ(Save(), TProjectSaveResult::ReadOnly);
  EXPECT_EQ(host.Get("Proj.xml"), newer);
  EXPECT_FALSE(host.Has("Proj.xml.bak"));
  EXPECT_EQ(SaveTime(), kSaveTime);
  EXPECT_FALSE(document.Modified());
  EXPECT_EQ(ui.traces, (std::vector<std::string>{"btnSave2Click", host.WebSystemPath("Proj.webx"), "BuildFileName",
                                                 "BuildFileName - ok", "btnSave2Click - end"}));
}

TEST_F(ProjectSave, WithoutAHostProjectNothingIsWritten) {
  host.PutData("small.xml", "Proj.xml");
  Load();
  document.SetModified(true);
  ui.events.clear();
  TProjectLocation failed = host.Location();
  failed.hostAnswered = false;
  EXPECT_EQ(document.Save(failed, RecordingHooks()), TProjectSaveResult::NoFileName);
  EXPECT_EQ(ui.events, (std::vector<std::string>{"btnSave2Click", "", "hook:SavePage", "BuildFileName",
                                                 "BuildFileName - err", "btnSave2Click - end"}));
  EXPECT_FALSE(host.Has("Proj.webx"));
  EXPECT_FALSE(host.Has("Proj.xml.bak"));
}

TEST_F(ProjectSave, WithoutADocumentNothingIsWritten) {
  // A designer that never loaded (format code 0) stops with the read-only check.
  document.SetModified(true);
  EXPECT_EQ(Save(), TProjectSaveResult::NoDocument);
  EXPECT_EQ(ui.traces.back(), "btnSave2Click - end");
  // A load that found no host project leaves format 8001 and no document.
  TProjectLocation none;
  document.LoadProject(none, kRasterX, kRasterY);
  document.SetModified(true);
  EXPECT_EQ(Save(), TProjectSaveResult::NoDocument);
  EXPECT_EQ(ui.traces.back(), "Neco se nepovedlo nebyl Wrapper");
  EXPECT_FALSE(host.Has("Proj.xml"));
}

TEST_F(ProjectSave, TheSplitLayoutWritesStubsPageFilesAndKeepsThePreviousPages) {
  host.PutData("split", "");
  host.Put("pages/drafts/notes.txt", "<notes />");  // the user's, named by no page
  host.Put("pages/notes.txt", "<mine />");          // one beside the pages: no change of another run's at the next save
  SetRecycleBinPath((host.Folder().Path() / "bin").string());
  ScopeExit restoreBin([] { SetRecycleBinPath(""); });
  Load();
  ASSERT_TRUE(document.SplitLayout());
  TmyXmlNode* settingsPage = document.Web()->FindChild("group")->FindChild("page")->next;
  settingsPage->SetAttr("caption", "Setup");
  document.SetModified(true);
  const std::string before = DocumentText(document);
  ui.events.clear();
  EXPECT_EQ(document.Save(host.Location(), RecordingHooks()), TProjectSaveResult::Saved);
  EXPECT_EQ(ui.events, (std::vector<std::string>{
                           "btnSave2Click", host.WebSystemPath("Proj.webx"), "hook:SavePage", "BuildFileName",
                           "BuildFileName - ok", "hook:SavePanels", "hook:SaveLayers", "SweepFormat", "SweepFormatDone",
                           "SaveToFile - End", "hook:UpdateStConstants(root)", "btnSave2Click - end"}));

  // The document in memory keeps its full pages.
  EXPECT_EQ(DocumentText(document), before);
  // "web.xml": the stubs as they were, so neither written nor backed up.
  EXPECT_EQ(host.Get("web.xml"), Data("split/web.xml"));
  EXPECT_FALSE(host.Has("web.xml.bak"));
  // The page files: the unchanged one as it was, the changed one with its change.
  EXPECT_EQ(host.Get("pages/OVERVIEW.XML"), Data("split/pages/OVERVIEW.XML"));
  std::string expectedSettings = Data("split/pages/SETTINGS.XML");
  expectedSettings.replace(expectedSettings.find("Settings"), 8, "Setup");
  EXPECT_EQ(host.Get("pages/SETTINGS.XML"), expectedSettings);
  // The previous set in "pages.bak\", the single file untouched, nothing staged left.
  EXPECT_EQ(host.Get("pages.bak/SETTINGS.XML"), Data("split/pages/SETTINGS.XML"));
  EXPECT_EQ(host.Get("Proj.xml"), Data("split/Proj.xml"));
  EXPECT_FALSE(host.Has("web.xml.~tarnwell~save-pages"));
  EXPECT_FALSE(host.Has("web.xml.~tarnwell~save-new"));
  EXPECT_FALSE(host.Has("web.xml.~tarnwell~save-was-pages"));
  ExpectWellFormedFiles();

  // Loading the saved files gives the same document.
  TRecordingUi reloadUi;
  TProjectDocument reloaded(reloadUi);
  reloaded.LoadProject(host.Location(), kRasterX, kRasterY);
  EXPECT_EQ(DocumentText(reloaded), before);
  EXPECT_TRUE(reloadUi.messages.empty());

  // The next save of a change replaces "pages.bak\" for good, not through
  // the recycle bin.
  settingsPage->SetAttr("caption", "Setup 2");
  document.SetModified(true);
  EXPECT_EQ(Save(), TProjectSaveResult::Saved);
  EXPECT_EQ(host.Get("pages.bak/SETTINGS.XML"), expectedSettings);
  EXPECT_FALSE(std::filesystem::exists(host.Folder().Path() / "bin") &&
               !std::filesystem::is_empty(host.Folder().Path() / "bin"));

  // The user's file stays through every save, along with the pages' backup,
  // and a save of the project unchanged writes nothing.
  EXPECT_EQ(host.Get("pages/drafts/notes.txt") + host.Get("pages.bak/drafts/notes.txt"), "<notes /><notes />");
  const auto saved = Snapshot(host.Web());
  document.SetModified(true);
  EXPECT_EQ(Save(), TProjectSaveResult::Saved);
  EXPECT_EQ(Snapshot(host.Web()), saved);
}

TEST_F(ProjectSave, TheLaterOfTwoPagesWithOneNameOwnsTheFile) {
  host.PutData("split", "");
  Load();
  TmyXmlNode* overview = document.Web()->FindChild("group")->FindChild("page");
  overview->next->SetAttr("name", "OVERVIEW.XML");
  document.SetModified(true);
  Save();
  EXPECT_NE(host.Get("pages/OVERVIEW.XML").find("caption=\"Settings\""), std::string::npos);
  EXPECT_FALSE(host.Has("pages/SETTINGS.XML"));
}

TEST_F(ProjectSave, APageWhoseNameIsNoFileNameStaysWholeInWebXml) {
  host.PutData("split", "");
  Load();
  TmyXmlNode* overview = document.Web()->FindChild("group")->FindChild("page");
  overview->SetAttr("name", "..\\escape.xml");
  document.SetModified(true);
  const std::string before = DocumentText(document);
  EXPECT_EQ(Save(), TProjectSaveResult::Saved);
  EXPECT_FALSE(std::filesystem::exists(host.Folder().Path() / "escape.xml"));
  EXPECT_NE(host.Get("web.xml").find("<object caption=\"Flow\""), std::string::npos);
  TRecordingUi reloadUi;
  TProjectDocument reloaded(reloadUi);
  reloaded.LoadProject(host.Location(), kRasterX, kRasterY);
  EXPECT_EQ(DocumentText(reloaded), before);
}

// A write that fails (here: a file-size limit, which stops root too) changes
// no file: not the project file, not its backups, not the page folders.
TEST_F(ProjectSave, AFailedWriteLeavesEveryOldFileWhole) {
  const struct {
    const char* name;
    bool split;
  } kCases[] = {{"single", false}, {"split", true}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    THostProject caseHost;
    if (c.split) {
      caseHost.PutData("split", "");
      caseHost.PutData("split/pages", "pages.bak");
    } else {
      caseHost.PutData("small.xml", "Proj.xml");
    }
    caseHost.Put(c.split ? "web.xml.bak" : "Proj.xml.bak", "<web old=\"backup\" />\r\n");
    caseHost.Put(c.split ? "web.xml.bak.big" : "Proj.xml.bak.big", "<web old=\"big\" />\r\n");
    TRecordingUi caseUi;
    TProjectDocument caseDocument(caseUi, [] { return kSaveTime; });
    caseDocument.LoadProject(caseHost.Location(), kRasterX, kRasterY);
    caseDocument.Web()->SetAttr("foot", std::string(300, 'n'));
    caseDocument.SetModified(true);
    const auto before = Snapshot(caseHost.Web());

    TProjectSaveResult result;
    {
      TFileSizeLimit limit(16);
      ASSERT_TRUE(limit.Active());
      result = caseDocument.Save(caseHost.Location(), {});
    }
    EXPECT_EQ(result, TProjectSaveResult::WriteFailed);
    EXPECT_TRUE(caseDocument.Modified());
    EXPECT_EQ(Snapshot(caseHost.Web()), before);
    EXPECT_NE(std::find_if(caseUi.traces.begin(), caseUi.traces.end(),
                           [](const std::string& t) { return t.rfind("SaveToFile - cannot write ", 0) == 0; }),
              caseUi.traces.end());

    // Once writes work again the same document saves.
    EXPECT_EQ(caseDocument.Save(caseHost.Location(), {}), TProjectSaveResult::Saved);
    const std::string written = caseHost.Get(c.split ? "web.xml" : "Proj.xml");
    EXPECT_NE(written.find(std::string(300, 'n')), std::string::npos);
  }
}

// Under any umask each file a save puts in keeps the mode and group of the one
// it replaces, so that whoever shares the folder still reads the project; a
// new backup takes those of the file it copies, a new page file those of
// "web.xml". The page file of a renamed page leaves "pages\".
TEST_F(ProjectSave, EachFileKeepsTheModeAndGroupOfTheOneItReplaces) {
  const gid_t group = ::geteuid() == 0 ? 4242 : ::getegid();
  const struct {
    bool split, backups;
    mode_t umask, mode, folderMode;
  } kCases[] = {{false, true, 077, 0664, 0775},
                {false, false, 022, 0640, 0750},
                {true, false, 077, 0664, 0775},
                {true, true, 022, 0640, 0750}};
  for (const auto& c : kCases) {
    THostProject caseHost;
    caseHost.PutData(c.split ? "split" : "small.xml", c.split ? "" : "Proj.xml");
    if (c.backups) caseHost.Put(c.split ? "web.xml.bak" : "Proj.xml.bak", "<web old=\"backup\" />\r\n");
    caseHost.Put("Proj.webx", "");
    const auto modes = [&](bool set) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(caseHost.Web())) {
        const mode_t mode = entry.is_directory() ? c.folderMode : c.mode;
        ASSERT_TRUE(!set ||
                    (::chown(entry.path().c_str(), -1, group) == 0 && ::chmod(entry.path().c_str(), mode) == 0));
        struct stat st {};
        ASSERT_EQ(::stat(entry.path().c_str(), &st), 0);
        EXPECT_TRUE((st.st_mode & 07777) == mode && st.st_gid == group) << entry.path() << " " << c.split << c.umask;
      }
    };
    modes(true);
    TRecordingUi caseUi;
    TProjectDocument caseDocument(caseUi);
    caseDocument.LoadProject(caseHost.Location(), kRasterX, kRasterY);
    caseDocument.Web()->SetAttr("foot", "changed");
    if (c.split) caseDocument.Web()->FindChild("group")->FindChild("page")->next->SetAttr("name", "SETUP.XML");
    caseDocument.SetModified(true);
    const mode_t umaskBefore = ::umask(c.umask);
    EXPECT_EQ(caseDocument.Save(caseHost.Location(), {}), TProjectSaveResult::Saved);
    ::umask(umaskBefore);
    EXPECT_TRUE(caseHost.Has(c.split ? "pages/SETUP.XML" : "Proj.xml.bak") && !caseHost.Has("pages/SETTINGS.XML"));
    modes(false);
  }
}

// Another user (a child that gave root up) in a shared project whose entries
// are a+rwX but `denied`: a save of a change to a page or to the project file
// alone writes nothing it cannot read or delete and says why; the close's
// words name where the last save is ("WEB/": the web project folder).
struct TOtherUserRow {
  bool split;
  const char* denied;
  mode_t mode;
  bool pageChanged;
  TProjectSaveResult result;
  const char* told;
};
const TOtherUserRow kOtherUserRows[] = {
    {true, "pages", 0700, true, TProjectSaveResult::Unreadable,
     "WEB/pages/OVERVIEW.XML\" could not be read when the project was opened, so it is not overwritten."},
    {true, "pages/notes.txt", 0600, true, TProjectSaveResult::WriteFailed, "cannot read WEB/pages/notes.txt (Perm"},
    {true, "pages/notes.txt", 0600, false, TProjectSaveResult::Saved, ""},
    {true, "pages.bak", 0700, true, TProjectSaveResult::WriteFailed, "cannot read WEB/pages.bak (Permission denied)"},
    {true, "pages.bak", 0755, true, TProjectSaveResult::WriteFailed, "may not delete what WEB/pages.bak holds (Perm"},
    {true, "web.xml.bak", 0600, false, TProjectSaveResult::WriteFailed, "cannot read WEB/web.xml.bak (Permission"},
    {false, "Proj.xml", 0600, false, TProjectSaveResult::Unreadable,
     "\"WEB/Proj.xml\" holds the project as it was last saved, though this user cannot read it (Permission denied)."},
};

TEST_F(ProjectSave, AnotherUserSavesNothingItCannotReadOrDeleteAndSaysWhy) {
  for (const TOtherUserRow& row : kOtherUserRows) {
    SCOPED_TRACE(row.denied);
    if (::geteuid() != 0) continue;  // only root can act as another user
    THostProject caseHost;
    caseHost.PutData(row.split ? "split" : "small.xml", row.split ? "" : "Proj.xml");
    caseHost.PutData(row.split ? "split/pages" : "small.xml", row.split ? "pages.bak" : "Proj.xml.bak");
    caseHost.PutData(row.split ? "split/web.xml" : "small.xml", row.split ? "web.xml.bak" : "Proj.xml.bak.big");
    caseHost.Put("pages/notes.txt", "my notes");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(caseHost.Folder().Path()))
      ::chmod(entry.path().c_str(), entry.is_directory() ? 0777 : 0666);
    ::chmod(caseHost.Folder().Path().c_str(), 0777);
    testsupport::LetOtherUsersReach(caseHost.Folder().Path());
    ::chmod(caseHost.Web(row.denied).c_str(), row.mode);
    const auto before = Snapshot(caseHost.Web());
    if (const pid_t child = ::fork(); child == 0) {
      if (::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0 &&
          ::setresuid(65534, 65534, 65534) == 0) {
        TRecordingUi caseUi;
        TProjectDocument caseDocument(caseUi, [] { return kSaveTime; });
        caseDocument.LoadProject(caseHost.Location(), kRasterX, kRasterY);
        TmyXmlNode* web = caseDocument.Web();
        (row.pageChanged ? web->FindChild("group")->FindChild("page") : web)->SetAttr("foot", "changed");
        caseDocument.SetModified(true);
        const auto result = caseDocument.Save(caseHost.Location(), {}, {TUnsavedChanges::LostWithClose});
        const std::string told = caseUi.messages.empty() ? "" : caseUi.messages.back().text;
        caseHost.Folder().Write("said", std::to_string(static_cast<int>(result)) + " " + told);
      }
      ::_exit(0);
    } else {
      ::waitpid(child, nullptr, 0);
    }
    const std::string said = caseHost.Folder().Read("said");
    EXPECT_EQ(said.substr(0, said.find(' ')), std::to_string(static_cast<int>(row.result)));
    EXPECT_NE(said.find(std::regex_replace(row.told, std::regex("WEB/"), caseHost.Web().string())), std::string::npos)
        << said;
    EXPECT_TRUE(row.result == TProjectSaveResult::Saved ? caseHost.Get("pages/notes.txt") == "my notes"
                                                        : Snapshot(caseHost.Web()) == before);
  }
}

// A folder where the project folder's lock file belongs: an opening leaves
// what a stopped save staged as it is (another run may be saving), saying why
// it did not finish it, and a save is refused; both name the lock file.
TEST_F(ProjectSave, ALockFileThatCannotBeUsedIsNamedAndNothingIsRecoveredWithoutTheLock) {
  // A save halted once its journal went in place, learnt from a save of a copy.
  THostProject copy;
  std::vector<TFileOpRecord> ops;
  for (const THostProject* project : {&copy, &host}) {
    project->PutData("small.xml", "Proj.xml");
    TProjectDocument saving(ui, [] { return kSaveTime; });
    saving.LoadProject(project->Location(), kRasterX, kRasterY);
    saving.Web()->SetAttr("foot", "new");
    saving.SetModified(true);
    const auto journal = std::find_if(ops.begin(), ops.end(), [](auto& op) { return op.target.ends_with("journal"); });
    const FileOpFaultScope fault =
        project == &copy ? FileOpFaultScope(&ops) : FileOpFaultScope(TFileOpFault::kHalt, journal - ops.begin() + 2);
    saving.Save(project->Location(), {});
  }
  ASSERT_TRUE(host.Has("Proj.xml.~tarnwell~save-journal"));
  std::filesystem::remove(host.Web(".~tarnwell~lock"));  // the halted run's
  std::filesystem::create_directory(host.Web(".~tarnwell~lock"));
  const auto staged = Snapshot(host.Web());
  ui.messages.clear();
  Load();
  const std::string unusable = "the lock file " + ShownPath(host.WebSystemPath(".~tarnwell~lock")) +
                               " of the project folder cannot be used: it is a folder, not a file";
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find("could not be finished: " + unusable), std::string::npos) << ui.messages[0].text;
  Change("newer");
  EXPECT_EQ(Save(), TProjectSaveResult::WriteFailed);
  EXPECT_NE(std::find(ui.traces.begin(), ui.traces.end(), "SaveToFile - " + unusable), ui.traces.end());
  EXPECT_EQ(Snapshot(host.Web()), staged);
  // A folder that takes no lock file (an immutable one) is named as the cause,
  // with the system's words.
  std::filesystem::remove(host.Web(".~tarnwell~lock"));
  const FileOpFaultScope immutable(TFileOpFault::kFail, 1, EPERM);
  EXPECT_EQ(Save(), TProjectSaveResult::WriteFailed);
  const std::string refused = "the lock file " + ShownPath(host.WebSystemPath(".~tarnwell~lock")) +
                              " cannot be made: the folder " + ShownPath(host.WebSystemPath("")) +
                              " may not be written (Operation not permitted)";
  EXPECT_NE(std::find(ui.traces.begin(), ui.traces.end(), "SaveToFile - " + refused), ui.traces.end())
      << testing::PrintToString(ui.traces);
}

using ExampleProject = TUiTexts;

TEST_F(ExampleProject, LoadsAndSavesBackByteForByte) {
  THostProject host("Demo");
  host.PutData("../../../examples/demo/Tarnwell/Demo.xml", "Demo.xml");
  const std::string original = host.Get("Demo.xml");
  ASSERT_FALSE(original.empty());
  TRecordingUi ui;
  TProjectDocument document(ui, [] { return kSaveTime; });
  const TProjectLoadResult result = document.LoadProject(host.Location(), kRasterX, kRasterY);
  EXPECT_EQ(result.source, TProjectSource::BaseFile);
  EXPECT_FALSE(result.readOnly);
  EXPECT_TRUE(ui.messages.empty());
  // The demo lacks nothing the load repairs, so a save changes no byte.
  document.SetModified(true);
  EXPECT_EQ(document.Save(host.Location(), {}), TProjectSaveResult::Saved);
  EXPECT_EQ(host.Get("Demo.xml"), original);
  EXPECT_FALSE(host.Has("Demo.xml.bak"));
  for (const std::string& refusal : XmllintRefusals(host.Web())) ADD_FAILURE() << refusal;
}

}  // namespace
