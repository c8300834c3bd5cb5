#include "plugin/DesignerHost.h"

#include "core/FileHelpers.h"
#include "core/ProjectLocation.h"

#include "plugin/CommRecord.h"
#include "plugin/LiveView.h"
#include "plugin/PluginState.h"
#include "plugin/StConstants.h"
#include "plugin/VersionInfo.h"
#include "plugin/WebMainForm.h"

// The model of a new ST constants file: the project file the save wrote, in
// the layout the load found ("web.xml" of the split layout where it exists,
// else the single file).
std::string TPluginDesignerHost::UpdateStConstants(TmyXmlNode* root) {
  const TProjectFileNames names = SaveFileNames(ProjectLocation());
  if (!names.usable) return UpdateStConstantsFile(root, std::string());
  return UpdateStConstantsFile(root, PathExists(names.mainFile) ? names.mainFile : names.baseFile);
}

ComPtr<IHalvexIDE> TPluginDesignerHost::Ide() { return gHost.ifHalvexIDE; }

bool TPluginDesignerHost::UploadRunning() { return gCommRecord.upload.state.load(std::memory_order_acquire) != 0; }

void TPluginDesignerHost::StopLiveView() {
  gCommRecord.readRequested.store(0, std::memory_order_release);
  PluginLiveView().Stop();
}

void TPluginDesignerHost::FreeCommItems() { PluginLiveView().FreeEntries(); }

TLiveViewLink* TPluginDesignerHost::LiveView() { return &PluginLiveView(); }

ComPtr<IHalvexSyncedPlcRead> TPluginDesignerHost::SyncedRead() { return gHost.ifHalvexSyncedPlcRead; }
ComPtr<IQendTextEditor> TPluginDesignerHost::TextEditor() { return gHost.ifQendTextEditor; }
ComPtr<IIECManVariables> TPluginDesignerHost::IecVariables() { return gHost.ifIECManVariables; }

std::string TPluginDesignerHost::ModuleFileVersion(const std::string& file, const std::string& key) {
  return GetModuleFileVersion(file, key);
}

bool TPluginDesignerHost::GlobalMode() const { return WebMainForm1 != nullptr && WebMainForm1->Global; }

std::string TPluginDesignerHost::GlobalDir() const {
  return WebMainForm1 != nullptr ? WebMainForm1->GlobalDir : std::string();
}

std::unique_ptr<TDesignerHost> MakePluginDesignerHost() { return std::make_unique<TPluginDesignerHost>(); }

std::string UpdateStConstantsFile(TmyXmlNode* root, const std::string& projectFile) {
  if (WebMainForm1 != nullptr && WebMainForm1->PanelList().Count() > 0) return AddStConstantsFile(root, projectFile);
  RemoveStConstantsFile();
  return std::string();
}

std::vector<std::string> TPluginDesignerHost::PanelStructures() {
  return WebMainForm1 != nullptr ? PanelVariableStructures(WebMainForm1->PanelList()) : std::vector<std::string>{};
}

std::vector<TGPanel> TPluginDesignerHost::OperatorPanels() {
  std::vector<TGPanel> panels;
  if (WebMainForm1 == nullptr) return panels;
  const TGPanelList& list = WebMainForm1->PanelList();
  for (int i = 0; i < list.Count(); ++i) panels.push_back(*list.Items(i));
  return panels;
}
