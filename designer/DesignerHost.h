#pragma once
// What the designer window asks of the plug-in frame and the host around it:
// where the web project lies (the host project's folder and name, and the
// shared-folder settings of the plug-in's main form), the refresh of the
// host project's ST constants file after a save, the host IDE that docks the
// window, and the live view's state that the window releases when it closes.
// The window gets one at construction; the plug-in frame passes its own,
// tests pass a stand-in.

#include <memory>
#include <string>
#include <vector>

#include "core/ProjectLocation.h"
#include "designer/OperatorPanel.h"
#include "generator/CompileHost.h"
#include "hostapi/CommLoop.h"
#include "hostapi/HostServices.h"
#include "hostapi/IHalvexIDE.h"
#include "hostapi/IIECManVariables.h"
#include "platform/com/ComPtr.h"

class TLiveViewLink;
class TmyXmlNode;

class TDesignerHost {
 public:
  virtual ~TDesignerHost() = default;
  // The project's location as the host gives it now; hostAnswered is false
  // when asking the host raised.
  virtual TProjectLocation ProjectLocation() = 0;
  // After the document is stored: the ST constants file is added to the host
  // project when the project has operator panels, refreshed otherwise.
  // Answers what failed, for the user; empty when the file is in.
  virtual std::string UpdateStConstants(TmyXmlNode* root) = 0;

  // --- docking and closing ------------------------------------------------------
  // The host IDE that docks the window (a reference of the caller's own);
  // empty when the host gave none.
  virtual ComPtr<IHalvexIDE> Ide() { return {}; }
  // True while a file upload to the PLC runs: the window may not close then.
  virtual bool UploadRunning() { return false; }
  // Switches the live view off and waits until the communication-loop
  // callback is idle.
  virtual void StopLiveView() {}
  // Frees the live view's variable entries (TCommItem) and their count.
  virtual void FreeCommItems() {}
  // The host's synchronised PLC read, which takes back the read items the
  // window handed it; empty when the host gave none.
  virtual ComPtr<IHalvexSyncedPlcRead> SyncedRead() { return {}; }
  // The live view's download folder (TRecvQueue::GetTempDir): a system path
  // ending in a backslash. Here the project's temporary folder; empty without
  // a project.
  virtual std::string DownloadFolder();
  // The live view's link with the PLC; none here (the live view then only
  // switches the window's looks).
  virtual TLiveViewLink* LiveView() { return nullptr; }

  // --- compiling ------------------------------------------------------------------
  // What the save-and-compile command asks of the host (messages, variables,
  // the web variable map, the status line, switches, the clock); it lives as
  // long as this object. Here a host without interfaces: messages dropped,
  // every variable unknown.
  virtual TCompileHost& CompileHost();
  // The variable structures of the host's operator panels, for each panel in
  // list order its "in" name, then its "out" name; here none.
  virtual std::vector<std::string> PanelStructures() { return {}; }
  // The host's operator panels in list order (written into the project at
  // every save); here none.
  virtual std::vector<TGPanel> OperatorPanels() { return {}; }

  // --- texts for translation ---------------------------------------------------------
  // The host's text editor, which shows the import report; empty when the
  // host gave none.
  virtual ComPtr<IQendTextEditor> TextEditor() { return {}; }

  // --- the placeholders dialog ------------------------------------------------------
  // The host's IEC variables manager, whose typed variable browser and
  // further type names the placeholders dialog offers; empty when the host
  // gave none.
  virtual ComPtr<IIECManVariables> IecVariables() { return {}; }

  // --- the about box ------------------------------------------------------------------
  // A value of the version block of a file (a system path), in its first
  // language; empty when the file has none. Here no file has one.
  virtual std::string ModuleFileVersion(const std::string&, const std::string&) { return {}; }

 private:
  std::unique_ptr<TCompileHost> detachedCompileHost_;
};

// The host through the core services: the project manager that the plug-in
// registered (core/HostEnvironment.h) gives the folders and the project's
// name. The shared-folder settings come from GlobalMode and GlobalDir, which
// the plug-in frame's host overrides with its main form's; here a project is
// never shared and the ST constants file is left alone.
class TCoreDesignerHost : public TDesignerHost {
 public:
  TProjectLocation ProjectLocation() override;
  std::string UpdateStConstants(TmyXmlNode* root) override;

 protected:
  virtual bool GlobalMode() const { return false; }
  virtual std::string GlobalDir() const { return std::string(); }
};
