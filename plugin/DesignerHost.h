#pragma once
// The designer's host as the plug-in frame gives it (designer/DesignerHost.h):
// the host project's folders and name through the core services, the shared
// web project settings of the hidden main form (WebMainForm1), the ST
// constants file of the host project after a save, the host IDE and the
// synchronised read that the installation holds, and the live view's state
// in the communication record. OpenDesigner hands one to every designer it
// makes.

#include <memory>

#include "designer/DesignerHost.h"
#include "plugin/PluginCompileHost.h"

class TPluginDesignerHost : public TCoreDesignerHost {
 public:
  std::string UpdateStConstants(TmyXmlNode* root) override;
  ComPtr<IHalvexIDE> Ide() override;
  // The plug-in's own version block (plugin/VersionInfo.h).
  std::string ModuleFileVersion(const std::string& file, const std::string& key) override;
  bool UploadRunning() override;
  void StopLiveView() override;
  void FreeCommItems() override;
  TLiveViewLink* LiveView() override;
  ComPtr<IHalvexSyncedPlcRead> SyncedRead() override;
  ComPtr<IQendTextEditor> TextEditor() override;
  ComPtr<IIECManVariables> IecVariables() override;
  // The host's interfaces that the installation holds.
  TCompileHost& CompileHost() override { return compileHost_; }
  // From the hidden main form's panel list.
  std::vector<std::string> PanelStructures() override;
  std::vector<TGPanel> OperatorPanels() override;

 protected:
  bool GlobalMode() const override;
  std::string GlobalDir() const override;

 private:
  TPluginCompileHost compileHost_;
};

std::unique_ptr<TDesignerHost> MakePluginDesignerHost();

// The ST constants file after a project save: added to the host project when
// the project has operator panels, taken out of the host project otherwise.
// Answers what failed, for the user (AddStConstantsFile); empty when it is in.
// A new file takes the mode and group of `projectFile`, the project file.
std::string UpdateStConstantsFile(TmyXmlNode* root, const std::string& projectFile);
