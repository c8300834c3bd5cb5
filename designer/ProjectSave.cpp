// TProjectDocument: saving the project. The save time goes into the settings
// file; the document is written in the layout the load found, a single file or
// "web.xml" with page stubs and one file per page, each project file first
// written whole beside its target and then put in place after its backup step.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "core/FileHelpers.h"
#include "core/ProjectFileCommit.h"
#include "core/UiText.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "designer/ProjectDocument.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileIo.h"
#include "platform/win/Folders.h"
#include "platform/win/Paths.h"
#include "platform/win/Win32File.h"

namespace {

constexpr const char* kTimeStampsSection = "TimeStamps";
constexpr const char* kSaveTimeKey = "SaveTD";
constexpr const char* kMessageCaption = "Tarnwell";
constexpr int kProjectFileTextId = 7328;          // The project file "%s"
constexpr int kPageFileTextId = 7330;             // The page file "%s"
constexpr int kReadOnlyTextId = 7383;             // is read-only, so it is not overwritten. ...
constexpr int kNotSavedTextId = 7384;             // The project could not be saved: %s. ...
constexpr int kSaveTimeNotRecordedTextId = 7682;  // The settings file "%s" could not be written (%s): the time ...
constexpr int kUnknownErrorTextId = 7400;         // unknown error
constexpr int kNotSavedAtCloseTextId = 7502;      // The project could not be saved: %s. The project files ...
constexpr int kCloseRefusedTextId = 7503;         // The designer stays open with the changes, ...
constexpr int kLostWithFileTextId = 7504;         // The project closes now, so the changes are lost; "%s" holds ...
constexpr int kLostWithoutFileTextId = 7505;
constexpr int kLostUnreadableTextId = 7622;  // ...; "%s" holds the project as it was last saved, though this user ...
constexpr int kLostUnknownTextId = 7710;  // ...; beside "%s" lie the files of a save that did not finish, without ...
constexpr int kStConstantsNotWrittenTextId = 7594;  // The project is saved, but %s, so the PLC program ...
constexpr int kNotRestoredTextId = 7560;  // The project could not be saved: %s, and its files could not all be put back
                                          // ...      // The project closes now, so the changes are lost; no file ...
constexpr int kReplaceQuestionTextId = 7598;  // The project is not saved yet: %s. Replace ...? Yes replaces ...
constexpr int kNotWrittenTextId = 7411;       // could not be written; it is kept as it was.
constexpr int kCopyNotWrittenTextId = 7599;   // is not written over: another program changed it since ...

// Another program changed %s since this run read or last saved the project, so this compile writes nothing ...
constexpr int kCompileChangedElsewhereTextId = 7650;
constexpr int kCompileUnfinishedSaveTextId = 7711;  // This compile writes nothing: %s. The pages for the PLC, ...
// Another program saved the project after this run's compile had stored the changes in it, ...; "%s" holds ...
constexpr int kStoredCopyKeptTextId = 7680;
constexpr int kStoredCopyGoneTextId = 7681;  // ...; no file holds the project as this run's compile stored it any more.
// The project closes now, but the changes are not lost: "%s" holds the project as this designer holds it, ...
constexpr int kChangesHeldTextId = 7715;

// A file the save would replace that the system keeps from being written.
bool IsReadOnlyFile(const std::string& fileName) {
  const DWORD attributes = GetFileAttributesA(fileName.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// The file reads whole, with a `web` element last, as the load wants it.
bool ReadsAsProject(const std::string& fileName) {
  if (!FileExists(fileName)) return false;
  TmyXMLParser parser;
  std::unique_ptr<TmyXmlNode> root(parser.LoadFromFile(fileName) ? parser.Parse() : nullptr);
  if (root == nullptr || parser.errorWord != 0) return false;
  const TmyXmlNode* last = root->lastChild;
  return last != nullptr && !last->comment && !last->instruction && last->name == "web";
}

// The system's error when the file is there, or may be, and cannot be
// opened for reading; 0 when it opens or is missing (or cannot be there).
int OpenFault(const std::string& fileName) {
  const int fd = ::open(ToNativePath(fileName).c_str(), O_RDONLY | O_CLOEXEC);
  const int error = fd < 0 ? errno : 0;
  if (fd >= 0) ::close(fd);
  return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG ? 0 : error;
}

// The words of a close that loses the changes, naming the file that holds
// the project as it was last saved (`saved`, empty: none), and saying so
// when this user cannot read it.
std::string LostWithFileText(const std::string& saved) {
  if (saved.empty()) return GetUiText(kLostWithoutFileTextId);
  if (const int error = OpenFault(saved); error != 0)
    return Format(GetUiText(kLostUnreadableTextId), ShownPath(saved), std::generic_category().message(error));
  return Format(GetUiText(kLostWithFileTextId), ShownPath(saved));
}

// The file holds exactly `text`.
bool HoldsText(const std::string& fileName, const std::string& text) {
  std::string held;
  return FileExists(fileName) && ReadWholeFile(fileName, held) && held == text;
}

}  // namespace

TProjectSaveResult TProjectDocument::Save(const TProjectLocation& location, const TProjectSaveHooks& hooks,
                                          const TSaveOccasion& occasion) {
  const TUnsavedChanges unsaved = occasion.unsaved;
  ui_.Trace("btnSave2Click");
  if (!modified_) {
    ui_.Trace("btnSave2Click - not modified - end");
    return TProjectSaveResult::NotModified;
  }
  if (const std::string refusal = OverwriteRefusal(); !refusal.empty()) {
    ui_.Trace("btnSave2Click - " + refusal);
    ui_.ShowMessage(UnsavedMessage(refusal, unsaved, location), kMessageCaption, TProjectDocumentUi::TIcon::Error);
    return TProjectSaveResult::Unreadable;
  }
  const TProjectFileNames names = SaveFileNames(location);
  if (const std::string refusal = ReadOnlyRefusal(names); !refusal.empty()) {
    ui_.Trace("btnSave2Click - " + refusal);
    ui_.ShowMessage(UnsavedMessage(refusal, unsaved, location), kMessageCaption, TProjectDocumentUi::TIcon::Error);
    return TProjectSaveResult::ReadOnlyFile;
  }
  // The settings file's folder is the project files' folder: it is made
  // first. The time of the save goes in once the save is done, so that a
  // failed save leaves the settings file as it was too.
  ui_.Trace(names.settingsFile);
  if (const std::size_t cut = names.settingsFile.find_last_of('\\'); cut != std::string::npos)
    ForceDirectories(names.settingsFile.substr(0, cut));
  modified_ = false;
  if (hooks.SavePage) hooks.SavePage();
  ui_.Trace("BuildFileName");
  ui_.Trace(names.usable ? "BuildFileName - ok" : "BuildFileName - err");
  if (!names.usable || formatCode_ != kFormatCodeCurrent) {
    StampSaveTime(names.settingsFile);
    ui_.Trace("btnSave2Click - end");
    if (!names.usable) return TProjectSaveResult::NoFileName;
    return root_ != nullptr ? TProjectSaveResult::ReadOnly : TProjectSaveResult::NoDocument;
  }
  if (root_ == nullptr) {
    StampSaveTime(names.settingsFile);
    ui_.Trace("Neco se nepovedlo nebyl Wrapper");
    return TProjectSaveResult::NoDocument;
  }
  StoreForSave(hooks);
  changedElsewhere_ = false;
  writeFault_.clear();
  diskState_.clear();
  finishedAtOpen_ = false;
  bool written = splitLayout_ ? SaveSplit(names) : SaveSingle(names);
  // Another program's save over the copy in which this run's compile stored
  // the document as it is now leaves this run nothing to save: it is kept.
  if (!written && changedElsewhere_ && StoredByCompile(names)) return KeepLaterSave(names);
  // Each finding is asked about once: a save after a Yes that finds the
  // files as they were when asked fails as a write does, never asking again.
  std::optional<TProjectFilePrint> agreed;
  while (!written && changedElsewhere_ && foundElsewhere_ != agreed && AgreedToReplace()) {
    agreed = foundElsewhere_;
    written = splitLayout_ ? SaveSplit(names) : SaveSingle(names);
  }
  if (!written && changedElsewhere_ && foundElsewhere_ == agreed) changedElsewhere_ = false;
  if (!written && changedElsewhere_) {
    ui_.Trace("btnSave2Click - the files changed elsewhere are kept, nothing is written");
    modified_ = true;
    if (unsaved == TUnsavedChanges::LostWithClose) TellChangesLost(location);
    return TProjectSaveResult::ChangedElsewhere;
  }
  if (written) StampSaveTime(names.settingsFile);
  // The host project's ST constants follow the project file that was
  // written: a save that failed leaves them as they were too. Constants not
  // written leave the project saved, but the PLC program without this save's
  // page numbers: the user is told so, as an error.
  const std::string constantsFault =
      written && hooks.UpdateStConstants ? hooks.UpdateStConstants(root_.get()) : std::string();
  ui_.Trace("btnSave2Click - end");
  if (written) {
    compileCopyUnsaved_ = false;
    if (constantsFault.empty()) return TProjectSaveResult::Saved;
    ui_.Trace("btnSave2Click - " + constantsFault);
    ui_.ShowMessage(Format(GetUiText(kStConstantsNotWrittenTextId), constantsFault), kMessageCaption,
                    TProjectDocumentUi::TIcon::Error);
    return TProjectSaveResult::SavedWithoutStConstants;
  }
  modified_ = true;
  // A save whose files could not all be put back says what each holds.
  std::string text;
  // When the next opening finishes the save, the changes are not lost with
  // the close: the message says that alone.
  if (!diskState_.empty() && finishedAtOpen_)
    text = Format(GetUiText(kNotRestoredTextId), writeFault_, diskState_);
  else if (!diskState_.empty())
    text = UnsavedMessage(Format(GetUiText(kNotRestoredTextId), writeFault_, diskState_), unsaved, location);
  else if (unsaved == TUnsavedChanges::KeptInDesigner)
    text = Format(GetUiText(kNotSavedTextId), writeFault_);
  else
    text = UnsavedMessage(Format(GetUiText(kNotSavedAtCloseTextId), writeFault_), unsaved, location);
  ui_.ShowMessage(text, kMessageCaption, TProjectDocumentUi::TIcon::Error);
  return TProjectSaveResult::WriteFailed;
}

void TProjectDocument::StoreForSave(const TProjectSaveHooks& hooks) {
  if (hooks.SavePanels) hooks.SavePanels();
  if (hooks.SaveLayers) hooks.SaveLayers();
  TmyXmlNode* web = Web();
  ui_.Trace("SweepFormat");
  SweepFormat(web);
  ui_.Trace("SweepFormatDone");
  if (web != nullptr)
    web->SetAttrIntStr("MaxUid", uidCounter_);
  else
    ui_.Trace("Nepovedlo se zmenit MaxUid");
}

// Asked with no lock held, so that no other run waits for the answer; the
// next write replaces the files only while they hold what was found, and
// asks again otherwise. What they hold goes to their backups.
bool TProjectDocument::AgreedToReplace() {
  if (!ui_.Ask(Format(GetUiText(kReplaceQuestionTextId), writeFault_), kMessageCaption)) return false;
  ui_.Trace("btnSave2Click - the files changed elsewhere are replaced");
  (splitLayout_ ? seenSplit_ : seenSingle_) = foundElsewhere_;
  compileCopyUnsaved_ = false;
  writeFault_.clear();
  return true;
}

bool TProjectDocument::StoredByCompile(const TProjectFileNames& names) {
  return !splitLayout_ && compileCopyUnsaved_ &&
         ProjectFilePrintOf(names.baseFile, DocumentText(root_.get())) == seenSingle_;
}

// Nothing is lost and nothing written: the user learns where the copy the
// compile stored is now (a later save moved it to a backup, or one save
// after another pushed it out of them).
TProjectSaveResult TProjectDocument::KeepLaterSave(const TProjectFileNames& names) {
  ui_.Trace("btnSave2Click - another program saved over the compile's copy, which holds the project: nothing written");
  modified_ = false;
  changedElsewhere_ = false;
  writeFault_.clear();
  // The project file holds that save now, and the next save backs it up.
  compileCopyUnsaved_ = false;
  const auto stored = seenSingle_.files.find(names.baseFile);
  std::string holder;
  for (const std::string& candidate : {names.baseFile + ".bak", names.baseFile + ".bak.big", names.baseFile}) {
    const TProjectFilePrint now = ReadProjectFilePrint(candidate);
    const auto held = now.files.find(candidate);
    if (stored != seenSingle_.files.end() && held != now.files.end() && held->second == stored->second) {
      holder = candidate;
      break;
    }
  }
  ui_.ShowMessage(
      holder.empty() ? GetUiText(kStoredCopyGoneTextId) : Format(GetUiText(kStoredCopyKeptTextId), ShownPath(holder)),
      kMessageCaption, TProjectDocumentUi::TIcon::Warning);
  return TProjectSaveResult::KeptLaterSave;
}

// A close that cannot wait ends the designer's changes: the user learns that
// they are gone and where the project as it was saved is, instead of being
// told that the designer keeps them.
std::string TProjectDocument::UnsavedMessage(const std::string& why, TUnsavedChanges unsaved,
                                             const TProjectLocation& location) {
  switch (unsaved) {
    case TUnsavedChanges::KeptInDesigner: return why;
    case TUnsavedChanges::CloseRefused: return why + " " + GetUiText(kCloseRefusedTextId);
    case TUnsavedChanges::LostWithClose: break;
  }
  return why + " " + LostWithCloseText(location);
}

// A project file that holds the document as it is now (a compile stored the
// changes there) keeps them through a close whose save failed: the words name
// it instead of saying that the changes are lost.
std::string TProjectDocument::LostWithCloseText(const TProjectLocation& location) {
  const TProjectFileNames names = SaveFileNames(location);
  if (names.usable && !splitLayout_ && root_ != nullptr &&
      ReadProjectFilePrint(names.baseFile).files == ProjectFilePrintOf(names.baseFile, DocumentText(root_.get())).files)
    return Format(GetUiText(kChangesHeldTextId), ShownPath(names.baseFile));
  return LostChangesText(location);
}

// Changes lost are a failure of the close, told as a save at the close that
// failed is (an error), so that nobody takes the close for a good one. When
// another program's save kept them from being written (the user did not
// agree to replace it), the message says that first.
void TProjectDocument::TellChangesLost(const TProjectLocation& location) {
  std::string text = LostWithCloseText(location);
  if (changedElsewhere_ && !writeFault_.empty())
    text = Format(GetUiText(kNotSavedAtCloseTextId), writeFault_) + " " + text;
  ui_.Trace("FormCloseQuery - the changes are lost");
  ui_.ShowMessage(text, kMessageCaption, TProjectDocumentUi::TIcon::Error);
}

// The words of a close that loses the changes. Beside the staged or
// moved-aside files of a save without its journal, which may hold the last
// save, no file is named as holding it.
std::string TProjectDocument::LostChangesText(const TProjectLocation& location) const {
  const TProjectFileNames names = SaveFileNames(location);
  const std::string file = splitLayout_ ? names.mainFile : names.baseFile;
  if (names.usable && UnjournaledSaveLeft(names.folder, file))
    return Format(GetUiText(kLostUnknownTextId), ShownPath(file));
  return LostWithFileText(LastSavedFile(location));
}

std::string TProjectDocument::LastSavedFile(const TProjectLocation& location) const {
  const TProjectFileNames names = SaveFileNames(location);
  if (!names.usable) return std::string();
  std::string file = splitLayout_ ? names.mainFile : names.baseFile;
  // The compile's copy is no saved state; once another program saved over
  // it, the project file holds the last save again.
  if (!splitLayout_ && compileCopyUnsaved_ && ReadProjectFilePrint(file).files == seenSingle_.files) file += ".bak";
  // A file that reads but holds no project (an empty one, say) is no saved
  // state; its backup may be, as the load found. One that this user cannot
  // open still holds what was saved there.
  for (const std::string& candidate : {file, file + ".bak"})
    if (ReadsAsProject(candidate) || OpenFault(candidate) != 0) return candidate;
  return std::string();
}

// On the system's own platform a read-only file is not replaced: a save that
// would replace one refuses before it writes anything. The files are those of
// the layout: the single file, or "web.xml" and the files of its pages.
std::string TProjectDocument::ReadOnlyRefusal(const TProjectFileNames& names) const {
  if (!names.usable || root_ == nullptr || formatCode_ != kFormatCodeCurrent) return std::string();
  const auto refusal = [](int whoTextId, const std::string& fileName) {
    return Format(GetUiText(whoTextId), ShownPath(fileName)) + " " + GetUiText(kReadOnlyTextId);
  };
  if (!splitLayout_)
    return IsReadOnlyFile(names.baseFile) ? refusal(kProjectFileTextId, names.baseFile) : std::string();
  if (IsReadOnlyFile(names.mainFile)) return refusal(kProjectFileTextId, names.mainFile);
  TmyXmlNode* web = Web();
  for (TmyXmlNode* page = web != nullptr ? web->FindDeep("page") : nullptr; page != nullptr;
       page = page->FindDeep("page")) {
    const std::string name = page->GetAttr("name");
    if (IsSafeFileName(name) && IsReadOnlyFile(names.pageFolder + name))
      return refusal(kPageFileTextId, names.pageFolder + name);
  }
  return std::string();
}

std::string TProjectDocument::WriteCompileCopy(const TProjectLocation& location, const std::string& copy,
                                               const std::string& text) {
  const TProjectFileNames names = SaveFileNames(location);
  const bool named = names.usable && names.baseFile == copy;
  if (splitLayout_ || !named) {
    if (!WriteFileReplacing(copy, text.data(), text.size())) return GetUiText(kNotWrittenTextId);
    if (named) seenSingle_ = ProjectFilePrintOf(copy, text);
    return std::string();
  }
  // Only the first copy of changes not saved keeps a backup: the file before
  // them. A copy of the saved project, or of the same changes again, is no
  // state to keep.
  const bool firstOfChanges = modified_ && !compileCopyUnsaved_;
  TProjectFileCommit commit(names.folder, copy);
  commit.SetText(text);
  commit.SetBackup(firstOfChanges);
  commit.SetExpected(seenSingle_);
  if (!commit.Run()) {
    ui_.Trace("MakeBackup - before the compile's copy - " + commit.Fault());
    if (commit.ChangedElsewhere()) return GetUiText(kCopyNotWrittenTextId);
    // The compile's word would be that the file is kept as it was: where the
    // files could not all be put back, it says what each holds instead.
    if (!commit.Restored())
      throw std::runtime_error(Format(GetUiText(kNotRestoredTextId), commit.Fault(), commit.DiskState()));
    return GetUiText(kNotWrittenTextId);
  }
  seenSingle_ = commit.Print();
  if (commit.Changed() && firstOfChanges) {
    ui_.Trace("MakeBackup - before the compile's copy");
    compileCopyUnsaved_ = true;
  }
  return std::string();
}

std::string TProjectDocument::ChangedSinceRead(const TProjectLocation& location) const {
  const TProjectFileNames names = SaveFileNames(location);
  if (!names.usable || root_ == nullptr) return std::string();
  const TProjectFilePrint now =
      splitLayout_ ? ReadProjectFilePrint(names.mainFile, names.pageFolder) : ReadProjectFilePrint(names.baseFile);
  std::string changed;
  for (const std::string& path : FilesChangedSince(splitLayout_ ? seenSplit_ : seenSingle_, now, {})) {
    // A file of the user's among the pages (notes, drafts) is no change.
    if (splitLayout_ && path != names.mainFile && !HoldsPage(path.substr(names.pageFolder.size()))) continue;
    changed += (changed.empty() ? "\"" : ", \"") + ShownPath(path) + "\"";
  }
  if (changed.empty()) return std::string();
  ui_.Trace("btnSave1Click - changed elsewhere: " + changed);
  return Format(GetUiText(kCompileChangedElsewhereTextId), changed);
}

std::string TProjectDocument::UnfinishedSaveRefusal(const TProjectLocation& location) {
  const TProjectFileNames names = SaveFileNames(location);
  std::string fault;
  if (splitLayout_ || !names.usable || RecoverProjectSave(names.folder, {names.baseFile}, &fault)) return std::string();
  ui_.Trace("btnSave1Click - a stopped save is not finished: " + fault);
  return Format(GetUiText(kCompileUnfinishedSaveTextId), fault);
}

std::string TProjectDocument::SaveRefusal(const TProjectLocation& location) const {
  std::string refusal = OverwriteRefusal();
  return refusal.empty() ? ReadOnlyRefusal(SaveFileNames(location)) : refusal;
}

// "SaveTD" in "TimeStamps": the time of the save in seconds since 1970.
void TProjectDocument::StampSaveTime(const std::string& settingsFile) {
  if (settingsFile.empty()) return;
  try {
    TIniFile ini(settingsFile);
    ini.WriteInteger(kTimeStampsSection, kSaveTimeKey, GetUcidTime(clock_));
  } catch (const EIniFileException& e) {
    ui_.Trace("SaveTD - " + e.Message());
    const std::string why = e.Reason().empty() ? GetUiText(kUnknownErrorTextId) : e.Reason();
    ui_.ShowMessage(Format(GetUiText(kSaveTimeNotRecordedTextId), ShownPath(e.FileName()), why), kMessageCaption,
                    TProjectDocumentUi::TIcon::Warning);
  }
}

bool TProjectDocument::SaveFault(const TProjectFileCommit& commit) {
  ui_.Trace("SaveToFile - " + commit.Fault());
  writeFault_ = commit.Fault();
  if (!commit.Restored()) diskState_ = commit.DiskState();
  finishedAtOpen_ = !commit.Restored() && commit.FinishedAtOpen();
  changedElsewhere_ = commit.ChangedElsewhere();
  foundElsewhere_ = commit.Found();
  return false;
}

std::string TProjectDocument::DocumentText(TmyXmlNode* root) { return parser_.WriteNode(root, 0); }

// The single file through one commit with its backups. A leftover backup of
// "web.xml" from the split layout goes to its ".big" copy as a backup does;
// it is deleted only once that copy holds it, since "web.xml" may be lost and
// the backup its one copy.
bool TProjectDocument::SaveSingle(const TProjectFileNames& names) {
  ui_.Trace("MakeBackup");
  TProjectFileCommit commit(names.folder, names.baseFile);
  commit.SetText(DocumentText(root_.get()));
  // A compile's copy of unsaved changes is no state to keep: the backup holds
  // the file from before them.
  commit.SetBackup(!compileCopyUnsaved_);
  commit.SetExpected(seenSingle_);
  ui_.Trace("SaveToFile");
  if (!commit.Run()) return SaveFault(commit);
  seenSingle_ = commit.Print();
  if (!commit.Changed()) ui_.Trace("SaveToFile - the file holds the project already");
  RetireLeftoverBackup(names.mainFile);
  ui_.Trace("SaveToFile - End");
  return true;
}

void TProjectDocument::RetireLeftoverBackup(const std::string& fileName) {
  const std::string backup = fileName + ".bak";
  const std::string big = backup + ".big";
  if (PathExists(fileName) || !FileExists(backup) || DirectoryExists(big)) return;
  if ((!FileExists(big) || GetFileSizeByName(backup) > GetFileSizeByName(big)) && !CopyFileKeepTime(backup, big))
    return;
  std::string kept;
  if (ReadWholeFile(backup, kept) && HoldsText(big, kept) && DeleteFile(backup.c_str()))
    ui_.Trace("MakeBackup - " + backup + " is kept in its .big copy");
}

// A copy of the document gives each page to its own file and keeps only a
// stub with the page's `name` in "web.xml"; the document itself stays whole.
// A page whose name cannot be a file name stays whole in "web.xml". The page
// set and "web.xml" go in place in one commit.
bool TProjectDocument::SaveSplit(const TProjectFileNames& names) {
  auto copy = std::make_unique<TmyXmlNode>("Wrapper");
  copy->CopyFrom(root_.get());
  copy->CopyChildren(root_.get());
  std::vector<std::pair<std::string, std::string>> pages;
  for (TmyXmlNode* page = copy->FindDeep("page"); page != nullptr; page = page->FindDeep("page")) {
    const std::string name = page->GetAttr("name");
    if (!IsSafeFileName(name)) {
      ui_.Trace("SaveToFile - page name \"" + name + "\" is not a file name: the page stays in web.xml");
      continue;
    }
    TmyXmlNode pageRoot("wrapper");
    TmyXmlNode* full = pageRoot.AddChild("page");
    full->CopyFrom(page);
    page->MoveChildrenTo(full);
    page->closed = true;
    page->DeleteAllAttrs();
    page->SetAttr("name", name);
    pages.emplace_back(name, DocumentText(&pageRoot));
  }
  TProjectFileCommit commit(names.folder, names.mainFile);
  commit.SetPages(std::move(pages));
  commit.SetText(DocumentText(copy.get()));
  commit.SetExpected(seenSplit_);
  if (!commit.Run()) return SaveFault(commit);
  seenSplit_ = commit.Print();
  if (!commit.Changed()) ui_.Trace("SaveToFile - the files hold the project already");
  ui_.Trace("SaveToFile - End");
  return true;
}
