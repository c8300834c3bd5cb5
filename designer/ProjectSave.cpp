// TProjectDocument: saving the project. The save time goes into the settings
// file; the document is written in the layout the load found, a single file or
// "web.xml" with page stubs and one file per page, each project file first
// written whole beside its target and then put in place after its backup step.

#include <memory>

#include "core/FileHelpers.h"
#include "core/XmlNode.h"
#include "designer/ProjectBackups.h"
#include "designer/ProjectDocument.h"
#include "designer/ProjectFiles.h"
#include "platform/vcl/IniFiles.h"
#include "platform/win/Folders.h"
#include "platform/win/Paths.h"

namespace {

constexpr const char* kTimeStampsSection = "TimeStamps";
constexpr const char* kSaveTimeKey = "SaveTD";
constexpr const char* kMessageCaption = "Tarnwell";

}  // namespace

TProjectSaveResult TProjectDocument::Save(const TProjectLocation& location, const TProjectSaveHooks& hooks) {
  ui_.Trace("btnSave2Click");
  if (!modified_) {
    ui_.Trace("btnSave2Click - not modified - end");
    return TProjectSaveResult::NotModified;
  }
  if (const std::string refusal = OverwriteRefusal(); !refusal.empty()) {
    ui_.Trace("btnSave2Click - " + refusal);
    ui_.ShowMessage(refusal, kMessageCaption, TProjectDocumentUi::TIcon::Error);
    return TProjectSaveResult::Unreadable;
  }
  const TProjectFileNames names = SaveFileNames(location);
  StampSaveTime(names.settingsFile);
  modified_ = false;
  if (hooks.SavePage) hooks.SavePage();
  ui_.Trace("BuildFileName");
  ui_.Trace(names.usable ? "BuildFileName - ok" : "BuildFileName - err");
  if (!names.usable || formatCode_ != kFormatCodeCurrent) {
    ui_.Trace("btnSave2Click - end");
    if (!names.usable) return TProjectSaveResult::NoFileName;
    return root_ != nullptr ? TProjectSaveResult::ReadOnly : TProjectSaveResult::NoDocument;
  }
  if (root_ == nullptr) {
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
  if (hooks.UpdateStConstants) hooks.UpdateStConstants(root_.get());
  writeFault_.clear();
  const bool written = splitLayout_ ? SaveSplit(names) : SaveSingle(names);
  ui_.Trace("btnSave2Click - end");
  if (written) return TProjectSaveResult::Saved;
  modified_ = true;
  ui_.ShowMessage("The project could not be saved: " + writeFault_ +
                      ". The project files on disk are as they were; the changes are kept in the designer.",
                  kMessageCaption, TProjectDocumentUi::TIcon::Error);
  return TProjectSaveResult::WriteFailed;
}

// "SaveTD" in "TimeStamps": the time of the save in seconds since 1970.
void TProjectDocument::StampSaveTime(const std::string& settingsFile) {
  ui_.Trace(settingsFile);
  if (settingsFile.empty()) return;
  const std::size_t cut = settingsFile.find_last_of('\\');
  if (cut != std::string::npos) ForceDirectories(settingsFile.substr(0, cut));
  try {
    TIniFile ini(settingsFile);
    ini.WriteInteger(kTimeStampsSection, kSaveTimeKey, GetUcidTime(clock_));
  } catch (const EIniFileException& e) {
    ui_.Trace("SaveTD - " + e.Message());
    ui_.ShowMessage(e.Message() + ": the time of this save is not recorded.", kMessageCaption,
                    TProjectDocumentUi::TIcon::Warning);
  }
}

bool TProjectDocument::SaveFault(const std::string& what) {
  ui_.Trace("SaveToFile - " + what);
  writeFault_ = what;
  return false;
}

std::string TProjectDocument::DocumentText(TmyXmlNode* root) { return parser_.WriteNode(root, 0); }

bool TProjectDocument::SaveSingle(const TProjectFileNames& names) {
  TStagedFile file(names.baseFile);
  if (!file.Stage(DocumentText(root_.get()))) return SaveFault("cannot write " + names.baseFile);
  // In this layout there is normally no "web.xml": only a leftover backup of
  // it goes to its ".big" copy and away.
  if (!MakeBackup(names.mainFile)) return SaveFault("cannot write " + names.mainFile + ".bak.big");
  ui_.Trace("MakeBackup");
  if (!MakeBackup(names.baseFile)) return SaveFault("cannot write " + names.baseFile + ".bak.big");
  ui_.Trace("SaveToFile");
  if (!file.Commit()) return SaveFault("cannot replace " + names.baseFile);
  ui_.Trace("SaveToFile - End");
  return true;
}

// A copy of the document gives each page to its own file and keeps only a
// stub with the page's `name` in "web.xml"; the document itself stays whole.
// A page whose name cannot be a file name stays whole in "web.xml".
bool TProjectDocument::SaveSplit(const TProjectFileNames& names) {
  auto copy = std::make_unique<TmyXmlNode>("Wrapper");
  copy->CopyFrom(root_.get());
  copy->CopyChildren(root_.get());
  TStagedPages pages(names.folder);
  if (!pages.Open()) return SaveFault("cannot create the page folder in " + names.folder);
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
    if (!pages.Add(name, DocumentText(&pageRoot))) return SaveFault("cannot write " + names.pageFolder + name);
  }
  TStagedFile main(names.mainFile);
  if (!main.Stage(DocumentText(copy.get()))) return SaveFault("cannot write " + names.mainFile);
  // The backup's copy is the last write: once the pages are in place only
  // renames follow.
  if (PathExists(names.mainFile + ".bak") && !KeepBiggestBackup(names.mainFile + ".bak"))
    return SaveFault("cannot write " + names.mainFile + ".bak.big");
  if (!pages.Commit()) return SaveFault("cannot replace " + names.pageFolder);
  MakeBackup(names.mainFile);
  if (!main.Commit()) return SaveFault("cannot replace " + names.mainFile);
  ui_.Trace("SaveToFile - End");
  return true;
}
