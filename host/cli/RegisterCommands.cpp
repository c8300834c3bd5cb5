// halvex register / unregister / plugins.

#include <filesystem>

#include "host/cli/HalvexCommands.h"
#include "host/cli/HostSession.h"
#include "host/sim/PluginLibrary.h"
#include "hostapi/IQendPlugin.h"
#include "platform/vcl/Application.h"
#include "platform/win/RegistryStore.h"

namespace {

bool IsRegisteredLibrary(const std::string& path) {
  for (const RegisteredPlugin& p : RegisteredPlugins())
    if (p.library == path) return true;
  return false;
}

}  // namespace

int RunRegister(const HalvexContext& context, const std::string& library, bool unregister, std::ostream& out,
                std::ostream& err) {
  std::error_code ec;
  std::string path = std::filesystem::absolute(library, ec).lexically_normal().string();
  if (unregister && !IsRegisteredLibrary(path)) {
    err << "halvex unregister: " << path << " was never registered: no plug-in in the registry ("
        << RegistryStore::Path() << ") has this library\n";
    return kExitFailure;
  }
  if (ec || !std::filesystem::is_regular_file(path, ec)) {
    err << "halvex: no such library: " << library << "\n";
    return kExitFailure;
  }
  Application->SetExeName(context.exePath);
  PluginLibrary lib;
  if (!lib.Load(path)) {
    err << "halvex: cannot load " << path << ": " << lib.Error() << "\n";
    return kExitFailure;
  }
  auto entry = unregister ? lib.unregisterServer : lib.registerServer;
  if (entry == nullptr) {
    err << "halvex: " << path << " exports no " << (unregister ? "DllUnregisterServer" : "DllRegisterServer") << "\n";
    return kExitFailure;
  }
  HRESULT hr = entry();
  out << (unregister ? "DllUnregisterServer: " : "DllRegisterServer: ") << ResultText(hr) << "\n";
  if (FAILED(hr)) return kExitFailure;
  if (!unregister)
    for (const RegisteredPlugin& p : RegisteredPlugins())
      if (p.library == path) out << "registered " << p.clsid << " " << p.progId << "\n";
  out << "registry: " << RegistryStore::Path() << "\n";
  return kExitSuccess;
}

int RunPlugins(const HalvexContext&, std::ostream& out) {
  std::vector<RegisteredPlugin> list = RegisteredPlugins();
  if (list.empty()) out << "no plug-ins registered (registry: " << RegistryStore::Path() << ")\n";
  for (const RegisteredPlugin& p : list) {
    out << p.clsid << " " << (p.progId.empty() ? "(no ProgID)" : p.progId) << "\n";
    out << "  library: " << (p.library.empty() ? "(none)" : p.library) << "\n";
    if (!p.description.empty()) out << "  description: " << p.description << "\n";
    if (!p.version.empty() || !p.load.empty()) out << "  version: " << p.version << ", load: " << p.load << "\n";
  }
  return kExitSuccess;
}
