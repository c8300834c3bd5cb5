// TFormDesign1: saving the project. The document writes the files in their
// layout with their backups; the window hands it its own steps: the shown
// page, the operator panels, the layers and the host's ST constants file.

#include "core/TraceLog.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/ComCtrls.h"

void TFormDesign1::btnSave2Click(TObject*) {
  TProjectSaveHooks hooks;
  hooks.SavePage = [this] {
    if (FCurrentPage != nullptr) SavePage(FCurrentPage);
  };
  hooks.SavePanels = [this] { SavePanels(); };
  hooks.SaveLayers = [this] { SaveLayers(); };
  hooks.UpdateStConstants = [this](TmyXmlNode* root) { host_->UpdateStConstants(root); };
  const TProjectSaveResult result = document_->Save(host_->ProjectLocation(), hooks);
  if (result == TProjectSaveResult::WriteFailed) WriteTraceLog("btnSave2Click - the project stays modified");
  FSaveRefusalShown = result == TProjectSaveResult::Unreadable || result == TProjectSaveResult::ReadOnlyFile;
  btnSave2->SetEnabled(document_->Modified());
}
