#pragma once
// TProjectDocument: the designer's web project in memory. It reads the
// project's files (a single file, or "web.xml" with one file per page in
// "pages\"), falls back to the backup and to a built-in new project when a
// file cannot be used (never to the new project while a file that is there
// cannot be opened), gates newer format versions to read-only viewing,
// repairs what older files lack, takes the project-wide settings from the
// `web` element, and writes the project back with its backups.
//
// It needs no window: the designer fills a TProjectLocation from the host,
// passes its message box and trace log as a TProjectDocumentUi and its own
// steps of a save as TProjectSaveHooks. What the window shows (the page tree,
// toolbars, the grid command, languages, layers, placeholders, pictures) it
// takes from the results and accessors below.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/ProjectFilePrint.h"
#include "core/ProjectLocation.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "designer/ProjectDocumentUi.h"
#include "generator/ProjectSettings.h"
#include "generator/XmlUtilities.h"

// Where the loaded document came from.
enum class TProjectSource {
  None,      // nothing loaded: the load gave up (TProjectLoadResult::failure says why)
  BaseFile,  // the project file ("web.xml" in the split layout)
  Backup,    // its ".bak" copy
  Template,  // the built-in new project
};

struct TProjectLoadResult {
  TProjectSource source = TProjectSource::None;
  // A newer format: the project is shown, not edited (message 7205 was shown).
  bool readOnly = false;
  int formatCode = 0;
  // Why the load gave up (source None): another run held the project's lock,
  // the project file or its backup is there but cannot be opened (with the
  // system's reason) and neither could be read, or the host names no folder
  // of the web project. Empty when a document was loaded.
  std::string failure{};
};

enum class TProjectSaveResult {
  NotModified,  // nothing to save: nothing written
  NoFileName,   // the host gave no project: only the save time may have been stamped
  ReadOnly,     // a newer format: only the save time was stamped
  NoDocument,   // nothing loaded
  Saved,
  // The project files are in, the document is saved; the host project's ST
  // constants file could not be written (the user was told with an error).
  SavedWithoutStConstants,
  WriteFailed,   // a project file could not be written: the old files are whole, the document stays modified
  Unreadable,    // the project file could not be read at the load: it is kept as it is, nothing written
  ReadOnlyFile,  // a project file the save would replace is read-only: nothing written
  // Another program changed the project files since this run read or saved
  // them, and the user did not agree to replace them: nothing written, the
  // document stays modified.
  ChangedElsewhere,
  // The project file held a copy of the document as it is, stored by this
  // run's compile, and another program saved the project over it since:
  // this run has nothing left to save, writes nothing over that save and
  // tells which file holds its compile's copy; the document is saved.
  KeptLaterSave,
};

// What becomes of the changes when a save cannot write them, as its message
// tells the user.
enum class TUnsavedChanges {
  KeptInDesigner,  // the designer stays as it is (a save the user asked for)
  CloseRefused,    // the designer refuses to close so that they are not lost
  LostWithClose,   // the project closes now and cannot wait: they are lost
};

// Why a save runs, and what becomes of the changes when it cannot write them.
struct TSaveOccasion {
  TUnsavedChanges unsaved = TUnsavedChanges::KeptInDesigner;
};

// The window's own steps of a save; an empty one is skipped.
struct TProjectSaveHooks {
  std::function<void()> SavePage;    // store the shown page into its element
  std::function<void()> SavePanels;  // the operator panels into the document
  std::function<void()> SaveLayers;  // the layers into the document
  // The ST constants file of the host project: added when the project has
  // operator panels, refreshed otherwise (the plug-in frame decides). Answers
  // what failed, for the user; empty when the file is in.
  std::function<std::string(TmyXmlNode* root)> UpdateStConstants;
};

class TProjectFileCommit;

class TProjectDocument {
 public:
  // `clock` gives the save time (seconds since 1970; empty: the system's),
  // `randomUid` the start of the unique-id counter of a project without
  // `MaxUid` (0 to 32767; empty: a random device).
  explicit TProjectDocument(TProjectDocumentUi& ui, TSecondsClock clock = {}, std::function<int()> randomUid = {});
  ~TProjectDocument();
  TProjectDocument(const TProjectDocument&) = delete;
  TProjectDocument& operator=(const TProjectDocument&) = delete;

  // --- loading (ProjectLoad.cpp) ------------------------------------------------
  // The whole load: any held document is freed first. A missing `Grid` is
  // made with the raster (rasterX, rasterY). A load that gives up holds no
  // document; the result says why.
  TProjectLoadResult LoadProject(const TProjectLocation& location, int rasterX, int rasterY);
  // Frees the document; the designer is empty again.
  void Clear();
  // Gives every `group`, `page` and `object` at or below the node that has no
  // `Uid` the next unique id (depth first).
  void AssignMissingUids(TmyXmlNode* node);
  // The tree text of a page by the page-name display format: the name (format
  // 1), "caption (name)" (format 2 or forced), else the caption; a name is used
  // only when not empty; an empty caption reads as UI text 7141 ("Unnamed").
  std::string PageTreeText(const std::string& caption, const std::string& name, bool forceBoth) const;

  // --- saving (ProjectSave.cpp) -------------------------------------------------
  // The project-save command: stores what the window holds (hooks), removes
  // `format` attributes, stores the unique-id counter, writes the project
  // files in their layout with their backups and then stamps "SaveTD" (a
  // save that failed stamps nothing). The message of a save that cannot
  // write says what becomes of the changes (see TSaveOccasion). Files that
  // another program changed since this run read or saved them are replaced
  // only when the user agrees (asked with no lock held; No is the default).
  TProjectSaveResult Save(const TProjectLocation& location, const TProjectSaveHooks& hooks,
                          const TSaveOccasion& occasion = {});
  // The save's steps on the document before its text is written: the
  // window's panels and layers (hooks), no `format` attributes, the
  // unique-id counter in `MaxUid`.
  void StoreForSave(const TProjectSaveHooks& hooks);
  // The file that holds the project as it was last saved (or loaded): the
  // project file, or its ".bak" while the project file holds a compile's
  // copy of changes not saved; empty when there is none. A file that this
  // user cannot open counts: it still holds what was saved there.
  std::string LastSavedFile(const TProjectLocation& location) const;
  // The words of a close that loses the changes: which file holds the
  // project as it was last saved, where that is known.
  std::string LostChangesText(const TProjectLocation& location) const;
  // Tells the user, with an error, that the changes are lost with a close
  // that cannot wait (first why, when another program's save that the user
  // did not agree to replace kept them from being written), and which file
  // holds the project as it was last saved; or, when the project file holds
  // the document as it is now, that they are kept there.
  void TellChangesLost(const TProjectLocation& location);

  // --- the document -------------------------------------------------------------
  TmyXMLParser& Parser() { return parser_; }
  // The parse result "Wrapper"; null when nothing is loaded.
  TmyXmlNode* Root() const { return root_.get(); }
  // The root's last child `web`; null when nothing is loaded.
  TmyXmlNode* Web() const;
  TmyXmlNode* Images() const { return images_; }
  TmyXmlNode* Grid() const { return grid_; }
  // The first `Languages`, `Layers` and `placeholders` children of `web`.
  TmyXmlNode* LanguagesElement() const;
  TmyXmlNode* LayersElement() const;
  TmyXmlNode* PlaceholdersElement() const;

  // --- state --------------------------------------------------------------------
  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }
  bool ReadOnly() const { return readOnly_; }
  // Why the project files may not be written: the project file that the load
  // could not read (a backup or the new project was loaded instead), or a page
  // file it could not read whole, is still there, and writing the document
  // would replace it. Empty when they may.
  std::string OverwriteRefusal() const;
  // OverwriteRefusal, or else why a save may not replace a project file of
  // the layout because it is read-only. Empty when the files may be written.
  std::string SaveRefusal(const TProjectLocation& location) const;
  // Why the project may not be compiled: the project file was lost (it is
  // gone while the web folder holds the records of its compiles, or while the
  // web output holds the pages of an earlier project that asked for logins,
  // and the new project was loaded instead), and a compile would put the
  // empty project over the last compile's pages. Empty when it may: once a
  // save wrote the project file again, or, for the earlier pages, once the
  // web output no longer holds them.
  std::string LostFileRefusal() const;
  // The project file was found lost at the load and is still missing: a save
  // writes the document as the project's file anew, and the project's next
  // build then replaces the last compile's pages and logins with its own.
  // The question that asks the user whether a save they did not start may do
  // that (UI text 7500, naming the file); empty when a save starts nothing
  // anew.
  std::string StartAnewQuestion() const;
  // Writes the compile's copy of the document (`text`) to `copy`. When that is
  // the project file a save writes (single layout), it is written under the
  // folder's lock and only while the file holds what this run read or last
  // wrote; when the document holds changes not saved yet, it is written as a
  // save writes it, the file as the last save or the load left it becoming
  // its ".bak" when the text differs, and the next save keeps that backup
  // instead of backing up the compile's copy. Answers why it was not
  // written, the words after the file's name ("could not be written; ..."),
  // the file being as it was; empty when it was.
  std::string WriteCompileCopy(const TProjectLocation& location, const std::string& copy, const std::string& text);
  // Why a compile may not begin: the project files of the layout (the single
  // file, or "web.xml" and the page files) hold what another program wrote
  // since this run read or last wrote them; UI text 7650 with those files.
  // Empty when they hold what it knows (a document it holds but did not save
  // yet is no change of theirs).
  std::string ChangedSinceRead(const TProjectLocation& location) const;
  // Why a compile of the single layout may not begin: a stopped save of the
  // project file that the compile's copy replaces cannot be finished (its
  // files are left as they are, and the copy could not be written after the
  // pages for the PLC were); UI text 7711 with what the recovery found.
  // Empty when there is none, or it was finished.
  std::string UnfinishedSaveRefusal(const TProjectLocation& location);
  int FormatCode() const { return formatCode_; }
  bool SplitLayout() const { return splitLayout_; }
  // The next unique id; TakeUid hands it out and advances.
  int UidCounter() const { return uidCounter_; }
  int TakeUid() { return uidCounter_++; }
  void SetUidCounter(int next) { uidCounter_ = next; }
  // `Enable` of the `Grid` element is a non-zero integer.
  bool GridEnabled() const;

  // --- settings -----------------------------------------------------------------
  const TProjectSettings& Settings() const { return settings_; }
  bool NewDimension() const { return newDimension_; }     // `globalset` `newdim`
  int PageNameFormat() const { return pageNameFormat_; }  // `globalset` `pvstyle`
  // The format PageTreeText follows from now on (the display-format command;
  // storing it in `globalset` is the command's own step).
  void SetPageNameFormat(int format) { pageNameFormat_ = format; }
  bool VarNames() const { return varNames_; }
  bool OnlyXml() const { return onlyXml_; }
  bool DebugXmz() const { return debugXmz_; }

  // --- changed by the global settings dialog (designer/GlobalSettingsBridge.cpp)
  TProjectSettings& MutableSettings() { return settings_; }
  void SetVarNames(bool on) { varNames_ = on; }
  void SetOnlyXml(bool on) { onlyXml_ = on; }
  void SetDebugXmz(bool on) { debugXmz_ = on; }
  void SetSplitLayout(bool on) { splitLayout_ = on; }
  void SetNewDimension(bool on) { newDimension_ = on; }

 private:
  struct TReadAttempt;

  // ProjectLoad.cpp
  void ResetForLoad();
  std::unique_ptr<TmyXmlNode> ReadParsedFile(const std::string& fileName, TReadAttempt& attempt);
  std::unique_ptr<TmyXmlNode> ReadProjectFile(const std::string& fileName, TReadAttempt& attempt);
  // The file, its backup or the new project; none (source None, `failure`
  // set and told) when neither file could be read while one of them is there
  // but cannot be opened: the new project would take the place of a project
  // that is merely out of reach.
  std::unique_ptr<TmyXmlNode> ReadWithFallbacks(const std::string& fileName, TProjectSource& source,
                                                std::string& failure);
  std::unique_ptr<TmyXmlNode> ReadTemplate();
  std::string ReportFallback(const TReadAttempt& file, const TReadAttempt& backup, TProjectSource source);
  void CheckForLostFile(const TProjectLocation& location, const std::string& fileName);
  void CheckForLostMainFile(const TProjectFileNames& names);
  // A `page` of the document has that file name.
  bool HoldsPage(const std::string& name) const;
  void ReadGlobalElements(TmyXmlNode* web);
  void ReadWebAttributes(TmyXmlNode* web);
  void InsertGridWhenMissing(TmyXmlNode* web, int rasterX, int rasterY);
  void MergePageFiles(TmyXmlNode* web, const std::string& pageFolder);
  // The Uid counter from the web element's MaxUid (or a random start), then
  // AssignUids with the variables stripped.
  void SetupUidsAndStripVariables(TmyXmlNode* web);
  // AssignMissingUids; with `stripVariables` the same walk also strips the
  // blanks from the objects' variable references (as StripVariableSpaces does
  // from `top`): both read every object's attributes, and in a large project a
  // second walk would fetch them all from memory again.
  void AssignUids(TmyXmlNode* top, bool stripVariables);
  void RepairGroupsAndImages(TmyXmlNode* web);

  // ProjectSave.cpp
  std::string ReadOnlyRefusal(const TProjectFileNames& names) const;
  void StampSaveTime(const std::string& settingsFile);
  std::string DocumentText(TmyXmlNode* root);
  // Files that hold the document already stay as they are, backups too.
  bool SaveSingle(const TProjectFileNames& names);
  bool SaveSplit(const TProjectFileNames& names);
  // A backup of a file that is not there goes to its ".big" copy and away.
  void RetireLeftoverBackup(const std::string& fileName);
  // The user's message of a save that failed: why, and what becomes of the
  // changes.
  std::string UnsavedMessage(const std::string& why, TUnsavedChanges unsaved, const TProjectLocation& location);
  // The words of a close that cannot wait for the changes: lost, with the
  // file that holds the project as it was last saved, or kept in the project
  // file when it holds the document as it is now.
  std::string LostWithCloseText(const TProjectLocation& location);
  // Traces why a save failed and keeps it, and what the files hold when they
  // could not all be put back, for the user's message; false.
  bool SaveFault(const TProjectFileCommit& commit);
  // The files changed elsewhere (changedElsewhere_): asks whether to replace
  // them; on Yes the next write expects them as found.
  bool AgreedToReplace();
  // Single layout: the project file held, as this run's compile last wrote
  // it, the document as it is now.
  bool StoredByCompile(const TProjectFileNames& names);
  // The save of StoredByCompile that another program's save replaced.
  TProjectSaveResult KeepLaterSave(const TProjectFileNames& names);

  TProjectDocumentUi& ui_;
  TSecondsClock clock_;
  std::function<int()> randomUid_;

  TmyXMLParser parser_;
  std::unique_ptr<TmyXmlNode> root_;
  // The project file the load found but could not read; empty when it read it.
  std::string unreadableFile_;
  // The page files (split layout) the load found but could not read whole.
  std::vector<std::string> unreadablePages_;
  // The project file the load found lost; empty when it was not.
  std::string lostFile_;
  // The web output whose earlier pages asked for logins when the file was
  // found lost; empty when the records of its compiles told it.
  std::string lostSendRoot_;
  // The page files (split layout) the load did not find, with the pages'
  // names: the empty stubs stand for them.
  std::vector<std::pair<std::string, std::string>> missingPages_;
  // What the last save could not write, and what the files hold when its
  // undo did not go through (empty: as they were).
  std::string writeFault_;
  std::string diskState_;
  bool finishedAtOpen_ = false;
  // What the project files held when this run read or last wrote them: the
  // single file, and "web.xml" with the page files. The last save that found
  // them changed elsewhere, and what it found.
  TProjectFilePrint seenSingle_;
  TProjectFilePrint seenSplit_;
  bool changedElsewhere_ = false;
  TProjectFilePrint foundElsewhere_;
  TmyXmlNode* images_ = nullptr;
  TmyXmlNode* grid_ = nullptr;
  bool modified_ = false;
  // The project file holds a compile's copy of changes not saved yet; its
  // ".bak" holds the file from before them.
  bool compileCopyUnsaved_ = false;
  bool readOnly_ = false;
  int formatCode_ = 0;
  bool splitLayout_ = false;
  int uidCounter_ = 0;

  TProjectSettings settings_;
  bool newDimension_ = false;
  int pageNameFormat_ = 0;
  bool varNames_ = false;
  bool onlyXml_ = false;
  bool debugXmz_ = false;
};

// Removes every blank from the variable references of the `object` elements
// at or after the node (its following siblings and all their descendants, not
// looking below an `object`): `visvar`, `clickxvar`, `clickyvar`, `clickcol`
// of the object, `variable` and `datavariable` of its kind element (the first
// child that is not `lang`).
void StripVariableSpaces(TmyXmlNode* first);
