#pragma once
// The compile host of the export that the host's build calls: the plug-in's
// compile host, except that the compiler messages come from the project
// manager and the web variable map is the one the export obtained from its
// own argument. The export works whether or not the plug-in is installed,
// so it uses none of the installation's interface pointers for these.

#include <string>

#include "hostapi/HostMessages.h"
#include "hostapi/HostVariables.h"
#include "hostapi/IQendProjectManager.h"
#include "platform/com/ComPtr.h"
#include "plugin/PluginCompileHost.h"

class TLinkCompileHost : public TPluginCompileHost {
 public:
  // Both may be null (no messages; no map: the compile uses direct
  // identifiers).
  TLinkCompileHost(IQendProjectManager* manager, IHalvexWebTdiMap* map);

  bool AcquireCompilerMessages() override;
  void ReleaseCompilerMessages() override;
  void AddCompilerMessage(const std::string& text, const std::string& source) override;

  bool OpenTdiPass() override;
  bool AddTdiVariable(const std::string& name, WebTdiVarInfo& info) override;
  void CloseTdiPass() override;

 private:
  IQendProjectManager* manager_;  // not owned: the export holds it for the call
  IHalvexWebTdiMap* map_;         // the same
  ComPtr<IQendCompiler> compiler_;
};

// The compile driver for the host's build, run quiet (the build shows no
// window and waits for nobody) with the export's interfaces. When the web
// pages' compile of this build failed it is not run: the password file
// written now would not be the one of the pages on disk. False when it failed
// or was not run, with the reason in `failure` when the run was ended (a file
// that could not be written is told in the host's message window only).
bool RunLinkCompileDriver(IQendProjectManager* manager, IHalvexWebTdiMap* map, std::string& failure);

// The note of the link event that the build compiled no web page
// (gBuildNotCompiled), told once in the host's message window with what the
// build wrote: the password file, the import copies, both or nothing.
void TellBuildNotCompiled(bool wrotePasswordFile, bool wroteImportedFiles);
