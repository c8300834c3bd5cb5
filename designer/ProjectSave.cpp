// TProjectDocument: saving the project. The save time goes into the settings
// file; the document is written in the layout the load found, a single file or
// "web.xml" with page stubs and one file per page, each project file first
// written whole beside its target and then put in place after its backup step.

#include <memory>

#include "core/FileHelpers.h"
#include "core/UiText.h"
#include "core/XmlNode.h"
#include "designer/ProjectBackups.h"
#include "designer/ProjectDocument.h"
#include "designer/ProjectFiles.h"
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
constexpr int kCannotWriteTextId = 7385;          // cannot write %s
constexpr int kCannotReplaceTextId = 7386;        // cannot replace %s
constexpr int kCannotCreatePagesTextId = 7387;    // cannot create the page folder in %s
constexpr int kSaveTimeNotRecordedTextId = 7388;  // %s: the time of this save is not recorded.
constexpr int kFolderInPlaceTextId = 7460;        // %s is a folder, not a file
constexpr int kNotSavedAtCloseTextId = 7502;      // The project could not be saved: %s. The project files ...
constexpr int kCloseRefusedTextId = 7503;         // The designer stays open with the changes, ...
constexpr int kLostWithFileTextId = 7504;         // The project closes now, so the changes are lost; "%s" holds ...
constexpr int kLostWithoutFileTextId = 7505;      // The project closes now, so the changes are lost; no file ...

// A file the save would replace that the system keeps from being written.
bool IsReadOnlyFile(const std::string& fileName) {
  const DWORD attributes = GetFileAttributesA(fileName.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::string CannotWrite(const std::string& fileName) {
  return Format(GetUiText(kCannotWriteTextId), ShownPath(fileName));
}
std::string CannotReplace(const std::string& fileName) {
  return Format(GetUiText(kCannotReplaceTextId), ShownPath(fileName));
}

// What kept the backup of `fileName` from going to its ".big" copy: a folder
// in the place of the backup or of the copy, or else the copy that could not
// be written.
std::string BackupFault(const std::string& fileName) {
  const std::string backup = fileName + ".bak";
  for (const std::string& path : {backup, backup + ".big"})
    if (DirectoryExists(path)) return Format(GetUiText(kFolderInPlaceTextId), path);
  return CannotWrite(backup + ".big");
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
  writeFault_.clear();
  const bool written = splitLayout_ ? SaveSplit(names, occasion.unasked) : SaveSingle(names, occasion.unasked);
  if (written) StampSaveTime(names.settingsFile);
  // The host project's ST constants follow the project file that was
  // written: a save that failed leaves them as they were too.
  if (written && hooks.UpdateStConstants) hooks.UpdateStConstants(root_.get());
  ui_.Trace("btnSave2Click - end");
  if (written) {
    compileCopyUnsaved_ = false;
    return TProjectSaveResult::Saved;
  }
  modified_ = true;
  const std::string text =
      unsaved == TUnsavedChanges::KeptInDesigner
          ? Format(GetUiText(kNotSavedTextId), writeFault_)
          : UnsavedMessage(Format(GetUiText(kNotSavedAtCloseTextId), writeFault_), unsaved, location);
  ui_.ShowMessage(text, kMessageCaption, TProjectDocumentUi::TIcon::Error);
  return TProjectSaveResult::WriteFailed;
}

// A close that cannot wait ends the designer's changes: the user learns that
// they are gone and where the project as it was saved is, instead of being
// told that the designer keeps them.
std::string TProjectDocument::UnsavedMessage(const std::string& why, TUnsavedChanges unsaved,
                                             const TProjectLocation& location) const {
  switch (unsaved) {
    case TUnsavedChanges::KeptInDesigner: return why;
    case TUnsavedChanges::CloseRefused: return why + " " + GetUiText(kCloseRefusedTextId);
    case TUnsavedChanges::LostWithClose: break;
  }
  const std::string saved = LastSavedFile(location);
  if (saved.empty()) return why + " " + GetUiText(kLostWithoutFileTextId);
  return why + " " + Format(GetUiText(kLostWithFileTextId), ShownPath(saved));
}

std::string TProjectDocument::LastSavedFile(const TProjectLocation& location) const {
  const TProjectFileNames names = SaveFileNames(location);
  if (!names.usable) return std::string();
  std::string file = splitLayout_ ? names.mainFile : names.baseFile;
  if (!splitLayout_ && compileCopyUnsaved_) file += ".bak";
  return FileExists(file) ? file : std::string();
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

bool TProjectDocument::KeepFileBeforeCompileCopy(const TProjectLocation& location, const std::string& copy) {
  if (!modified_ || splitLayout_ || compileCopyUnsaved_) return true;
  const TProjectFileNames names = SaveFileNames(location);
  if (!names.usable || names.baseFile != copy || !FileExists(copy)) return true;
  const std::string backup = copy + ".bak";
  if (PathExists(backup) && !KeepBiggestBackup(backup)) return false;
  if (!CopyFileKeepTime(copy, backup)) return false;
  ui_.Trace("MakeBackup - before the compile's copy");
  compileCopyUnsaved_ = true;
  return true;
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
    ui_.ShowMessage(Format(GetUiText(kSaveTimeNotRecordedTextId), ShownPath(e.Message())), kMessageCaption,
                    TProjectDocumentUi::TIcon::Warning);
  }
}

bool TProjectDocument::SaveFault(const std::string& what) {
  ui_.Trace("SaveToFile - " + what);
  writeFault_ = what;
  return false;
}

std::string TProjectDocument::DocumentText(TmyXmlNode* root) { return parser_.WriteNode(root, 0); }

// With `keepSame`, a project file that holds the document already (a change
// undone, a delete declined) is left alone: backing it up again would put a
// second copy of it over the backup of the state before the last real change.
bool TProjectDocument::SaveSingle(const TProjectFileNames& names, bool keepSame) {
  const std::string text = DocumentText(root_.get());
  if (keepSame && HoldsText(names.baseFile, text)) {
    ui_.Trace("SaveToFile - the file holds the project already");
    return true;
  }
  TStagedFile file(names.baseFile);
  if (!file.Stage(text)) return SaveFault(CannotWrite(names.baseFile));
  // In this layout there is normally no "web.xml": only a leftover backup of
  // it goes to its ".big" copy and away.
  if (!MakeBackup(names.mainFile)) return SaveFault(BackupFault(names.mainFile));
  ui_.Trace("MakeBackup");
  // A compile's copy of unsaved changes is no state to keep: the backup holds
  // the file from before them.
  if (!compileCopyUnsaved_ && !MakeBackup(names.baseFile)) return SaveFault(BackupFault(names.baseFile));
  ui_.Trace("SaveToFile");
  if (!file.Commit()) return SaveFault(CannotReplace(names.baseFile));
  ui_.Trace("SaveToFile - End");
  return true;
}

// A copy of the document gives each page to its own file and keeps only a
// stub with the page's `name` in "web.xml"; the document itself stays whole.
// A page whose name cannot be a file name stays whole in "web.xml".
bool TProjectDocument::SaveSplit(const TProjectFileNames& names, bool keepSame) {
  auto copy = std::make_unique<TmyXmlNode>("Wrapper");
  copy->CopyFrom(root_.get());
  copy->CopyChildren(root_.get());
  TStagedPages pages(names.folder);
  if (!pages.Open()) return SaveFault(Format(GetUiText(kCannotCreatePagesTextId), ShownPath(names.folder)));
  bool unchanged = keepSame;
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
    std::string text = DocumentText(&pageRoot);
    unchanged = unchanged && HoldsText(names.pageFolder + name, text);
    if (!pages.Add(name, std::move(text))) return SaveFault(CannotWrite(names.pageFolder + name));
  }
  const std::string mainText = DocumentText(copy.get());
  // As in the single layout: files that hold the document already stay.
  if (unchanged && HoldsText(names.mainFile, mainText)) {
    ui_.Trace("SaveToFile - the files hold the project already");
    return true;
  }
  TStagedFile main(names.mainFile);
  if (!main.Stage(mainText)) return SaveFault(CannotWrite(names.mainFile));
  // The backup's copy is the last write: once the pages are in place only
  // renames follow.
  if (PathExists(names.mainFile + ".bak") && !KeepBiggestBackup(names.mainFile + ".bak"))
    return SaveFault(BackupFault(names.mainFile));
  if (!pages.Commit()) return SaveFault(CannotReplace(names.pageFolder));
  MakeBackup(names.mainFile);
  if (!main.Commit()) return SaveFault(CannotReplace(names.mainFile));
  ui_.Trace("SaveToFile - End");
  return true;
}
