#pragma once
// The plug-ins the host finds in the registry: every class marked as
// implementing the host's plug-in component category, with its ProgID, its
// library (InprocServer32) and the values "Load", "Version" and
// "Description" under its ProgID.

#include <string>
#include <vector>

struct RegisteredPlugin {
  std::string clsid;  // "{...}"
  std::string progId;
  std::string library;  // InprocServer32
  std::string load;
  std::string version;
  std::string description;
};

std::vector<RegisteredPlugin> RegisteredPlugins();
