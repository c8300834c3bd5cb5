#pragma once
// The plug-in library as the tests load it (once per process), a scratch
// folder that plays the host executable's folder (so that the trace log
// "plugins.log" lands there), and the plug-in object made through the
// class factory.

#include <filesystem>
#include <string>
#include <vector>

#include "hostapi/IQendPlugin.h"
#include "hostapi/PluginExports.h"
#include "platform/com/ComPtr.h"

namespace plugintest {

struct PluginLibrary {
  void* handle = nullptr;
  DllGetClassObjectFunction getClassObject = nullptr;
  DllCanUnloadNowFunction canUnloadNow = nullptr;
  DllRegisterServerFunction registerServer = nullptr;
  DllUnregisterServerFunction unregisterServer = nullptr;
  ControledDestructionFunction controledDestruction = nullptr;
  ClLinkExtendedProgMapFunction linkExtendedProgMap = nullptr;
  TarnwellSetHostCommandLineFunction setHostCommandLine = nullptr;
};

// Loads the library on first use (a failure ends the test program).
const PluginLibrary& Plugin();

// A scratch folder for one test: the host executable "halvex" lives in it,
// and the registry store is a file in it.
class HostFolder {
 public:
  HostFolder();
  ~HostFolder();
  HostFolder(const HostFolder&) = delete;
  HostFolder& operator=(const HostFolder&) = delete;

  const std::filesystem::path& Path() const { return folder_; }
  std::string ExePath() const { return (folder_ / "halvex").string(); }
  // Hands the host's arguments (after argument 0, the executable) to the
  // library.
  void StartHost(const std::vector<std::string>& switches) const;
  // The trace log's lines, and emptying it.
  std::vector<std::string> TraceLines() const;
  void ClearTrace() const;
  // True when some trace line holds `part`.
  bool Traced(const std::string& part) const;

 private:
  std::filesystem::path folder_;
};

// A new plug-in object through DllGetClassObject and its class factory.
ComPtr<IQendPlugin> CreatePlugin();

// A reference to `object` of the caller's own, for a call that takes it over
// (InstallPlugin, ClLinkExtendedProgMap).
inline IUnknown* HandedReference(IUnknown* object) { return ComPtr<IUnknown>(object).Detach(); }

// The reference count of `object` as its AddRef and Release answer it.
inline ULONG RefsOf(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

}  // namespace plugintest
