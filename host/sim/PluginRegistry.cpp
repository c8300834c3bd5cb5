#include "host/sim/PluginRegistry.h"

#include <cerrno>
#include <cstring>

#include "hostapi/IQendPlugin.h"
#include "platform/com/ComponentCategories.h"
#include "platform/com/Guid.h"
#include "platform/win/RegistryStore.h"

namespace {

std::string Text(const std::string& key, const std::string& name) {
  RegValue v;
  if (!RegistryStore::GetValue(HKEY_CLASSES_ROOT, key, name, v)) return std::string();
  return v.type == REG_SZ ? v.text : std::to_string(v.number);
}

}  // namespace

std::vector<RegisteredPlugin> RegisteredPlugins() {
  std::vector<RegisteredPlugin> list;
  for (const CLSID& clsid : ClassesImplementingCategory(CATID_HalvexPluginEx)) {
    RegisteredPlugin p;
    p.clsid = GuidToString(clsid);
    std::string key = "CLSID\\" + p.clsid;
    p.progId = Text(key + "\\ProgID", "");
    p.library = Text(key + "\\InprocServer32", "");
    if (!p.progId.empty()) {
      p.load = Text(p.progId, "Load");
      p.version = Text(p.progId, "Version");
      p.description = Text(p.progId, "Description");
    }
    list.push_back(p);
  }
  return list;
}

std::string RegistryReadProblem() {
  const int error = RegistryStore::ReadError();
  if (error == 0) return std::string();
  const std::string said = "the registry " + RegistryStore::Path() + " cannot be read";
  if (error == EISDIR) return said + " (it is a folder, not a file)";
  if (error == EINVAL) return said + " (it is not a file)";
  return said + " (" + std::strerror(error) + ")";
}
