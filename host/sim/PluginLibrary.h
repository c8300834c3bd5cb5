#pragma once
// A plug-in library as the host loads it: dlopen of its file and the exports
// it offers, found with dlsym.

#include <string>

#include "hostapi/PluginExports.h"

class PluginLibrary {
 public:
  PluginLibrary() = default;
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the library (RTLD_NOW); false with Error() set when it fails.
  bool Load(const std::string& path);
  // Unloads it; the exports are gone afterwards.
  void Unload();
  bool Loaded() const { return handle_ != nullptr; }
  const std::string& Error() const { return error_; }
  const std::string& Path() const { return path_; }

  DllGetClassObjectFunction getClassObject = nullptr;
  DllCanUnloadNowFunction canUnloadNow = nullptr;
  DllRegisterServerFunction registerServer = nullptr;
  DllUnregisterServerFunction unregisterServer = nullptr;
  ControledDestructionFunction controledDestruction = nullptr;
  ClLinkExtendedProgMapFunction linkExtendedProgMap = nullptr;
  TarnwellSetHostCommandLineFunction setHostCommandLine = nullptr;
  TarnwellTakeCompileFailureFunction takeCompileFailure = nullptr;
  TarnwellDesignerOpenFailureFunction designerOpenFailure = nullptr;

 private:
  void* handle_ = nullptr;
  std::string path_;
  std::string error_;
};

// The text of a result code: "S_OK", "S_FALSE" or "0x80004005".
std::string ResultText(HRESULT code);

// The description of the error information a failing call left on this
// thread ("text (source NAME)"), which it takes away; empty when none.
std::string TakeErrorDescription();
