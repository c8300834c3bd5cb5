#include "PluginTestSupport.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/com/ClassFactory.h"
#include "platform/vcl/Application.h"
#include "platform/win/RegistryStore.h"

namespace plugintest {

namespace {

template <class F>
F Symbol(void* handle, const char* name) {
  void* address = dlsym(handle, name);
  if (address == nullptr) {
    std::fprintf(stderr, "missing export %s\n", name);
    std::abort();
  }
  return reinterpret_cast<F>(address);
}

}  // namespace

const PluginLibrary& Plugin() {
  static PluginLibrary library = [] {
    PluginLibrary lib;
    lib.handle = dlopen(TARNWELL_PLUGIN_PATH, RTLD_NOW);
    if (lib.handle == nullptr) {
      std::fprintf(stderr, "cannot load %s: %s\n", TARNWELL_PLUGIN_PATH, dlerror());
      std::abort();
    }
    lib.getClassObject = Symbol<DllGetClassObjectFunction>(lib.handle, EXPORT_DllGetClassObject);
    lib.canUnloadNow = Symbol<DllCanUnloadNowFunction>(lib.handle, EXPORT_DllCanUnloadNow);
    lib.registerServer = Symbol<DllRegisterServerFunction>(lib.handle, EXPORT_DllRegisterServer);
    lib.unregisterServer = Symbol<DllUnregisterServerFunction>(lib.handle, EXPORT_DllUnregisterServer);
    lib.controledDestruction = Symbol<ControledDestructionFunction>(lib.handle, EXPORT_ControledDestruction);
    lib.linkExtendedProgMap = Symbol<ClLinkExtendedProgMapFunction>(lib.handle, EXPORT_ClLinkExtendedProgMap);
    lib.setHostCommandLine = Symbol<TarnwellSetHostCommandLineFunction>(lib.handle, EXPORT_TarnwellSetHostCommandLine);
    return lib;
  }();
  return library;
}

HostFolder::HostFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "twhostXXXXXX").string();
  if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
  RegistryStore::SetPath((folder_ / "registry").string());
  Application->SetExeName(ExePath());
  StartHost({"/USELOGFILE"});
}

HostFolder::~HostFolder() {
  RegistryStore::SetPath("");
  Application->SetExeName("");
  Plugin().setHostCommandLine(0, nullptr);
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

void HostFolder::StartHost(const std::vector<std::string>& switches) const {
  std::vector<const char*> argv;
  std::string exe = ExePath();
  argv.push_back(exe.c_str());
  for (const std::string& s : switches) argv.push_back(s.c_str());
  Plugin().setHostCommandLine(static_cast<int>(argv.size()), argv.data());
}

std::vector<std::string> HostFolder::TraceLines() const {
  std::vector<std::string> lines;
  std::ifstream in(folder_ / "plugins.log");
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

void HostFolder::ClearTrace() const {
  std::error_code ec;
  std::filesystem::remove(folder_ / "plugins.log", ec);
}

bool HostFolder::Traced(const std::string& part) const {
  for (const std::string& line : TraceLines())
    if (line.find(part) != std::string::npos) return true;
  return false;
}

ComPtr<IQendPlugin> CreatePlugin() {
  ComPtr<IClassFactory> factory;
  ComPtr<IQendPlugin> plugin;
  if (SUCCEEDED(Plugin().getClassObject(CLSID_TarnwellCoClass, IID_IClassFactory, factory.PutVoid())))
    factory->CreateInstance(nullptr, IID_IQendPlugin, plugin.PutVoid());
  return plugin;
}

}  // namespace plugintest
