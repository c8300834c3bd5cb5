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

// Empty when the registry cannot be read (RegistryReadProblem tells).
std::vector<RegisteredPlugin> RegisteredPlugins();

// Why the registry's file cannot be read, in the words a command's message
// goes on with: "the registry FILE cannot be read (REASON)", the system's
// reason, or "(it is a folder, not a file)". Empty when it can be read, or is not there yet (no
// plug-in was ever registered).
std::string RegistryReadProblem();
