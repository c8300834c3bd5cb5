// TFormDesign1: saving the project. The document writes the files in their
// layout with their backups; the window hands it its own steps: the shown
// page, the operator panels, the layers and the host's ST constants file.
// The saves the user did not ask for start a lost project anew only on the
// user's word.

#include "core/TraceLog.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/win/MessageBox.h"

namespace {

constexpr const char* kQuestionCaption = "Tarnwell";

}  // namespace

void TFormDesign1::btnSave2Click(TObject*) { SaveProject({}); }

// A lost project saved would replace the last compile's pages and logins at
// the next build: the empty project the load put in its place, with a change
// as small as a delete that was declined, is not saved unless the user says
// so. With nobody to answer, the default No holds.
bool TFormDesign1::SaveUnasked(TUnsavedChanges unsaved) {
  if (!document_->Modified()) return true;
  if (const std::string question = document_->StartAnewQuestion(); !question.empty()) {
    const UINT flags = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TOPMOST;
    if (MessageBox(Handle(), question.c_str(), kQuestionCaption, flags) != IDYES) {
      WriteTraceLog("btnSave2Click - the lost project is not started anew");
      return true;
    }
  }
  SaveProject({.unsaved = unsaved});
  return !document_->Modified();
}

TProjectSaveResult TFormDesign1::SaveProject(const TSaveOccasion& occasion) {
  // A project that was not opened has nothing to save: neither its files nor
  // its settings file (the save time) are written.
  if (!FOpenFailure.empty() && document_->Root() == nullptr) {
    WriteTraceLog("btnSave2Click - no project: " + FOpenFailure);
    document_->SetModified(false);
    btnSave2->SetEnabled(false);
    return TProjectSaveResult::NoDocument;
  }
  TProjectSaveHooks hooks;
  hooks.SavePage = [this] {
    if (FCurrentPage != nullptr) SavePage(FCurrentPage);
  };
  hooks.SavePanels = [this] { SavePanels(); };
  hooks.SaveLayers = [this] { SaveLayers(); };
  hooks.UpdateStConstants = [this](TmyXmlNode* root) { return host_->UpdateStConstants(root); };
  const TProjectSaveResult result = document_->Save(host_->ProjectLocation(), hooks, occasion);
  if (result == TProjectSaveResult::WriteFailed) WriteTraceLog("btnSave2Click - the project stays modified");
  FSaveRefusalShown = result == TProjectSaveResult::Unreadable || result == TProjectSaveResult::ReadOnlyFile;
  btnSave2->SetEnabled(document_->Modified());
  return result;
}
