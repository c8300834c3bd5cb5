#include "core/BuildFileName.h"

#include <exception>

#include "core/ProjectPaths.h"
#include "host/api/IQendProjectManager.h"
#include "platform/win/Folders.h"

TclBuildFileName::TclBuildFileName(IQendProjectManager* manager, const std::string& name, bool direct) {
  if (!direct) {
    InitFromHost(manager, name);
    return;
  }
  FProjectManager = manager;
  FName = name;
  if (FProjectManager == nullptr) return;
  std::string dir = GetDirFromHost();
  FValid = !dir.empty();
  FProjectFolder = dir + FName + "\\";
  FBase = dir + FName + "\\Global";
}

void TclBuildFileName::InitFromHost(IQendProjectManager* manager, const std::string& name) {
  FProjectManager = manager;
  InitFromHost(name);
}

void TclBuildFileName::InitFromHost(const std::string& name) {
  FName = name;
  FValid = false;
  FProjectFolder.clear();
  FBase.clear();
  if (FProjectManager == nullptr) return;
  try {
    std::string projectName = QueryHostText(FProjectManager, &IQendProjectManager::GetProjectName);
    std::string dir = BuildDir(false);
    FValid = !dir.empty();
    if (!FValid) return;
    FProjectFolder = dir + FName + "\\";
    FBase = FProjectFolder + projectName;
  } catch (const std::exception&) {
    FValid = false;
    FProjectFolder.clear();
    FBase.clear();
  }
}

std::string TclBuildFileName::BuildDir(bool returnBuilt) {
  std::string dir = GetDirFromHost();
  if (dir.empty()) return dir;
  FBuiltPath = dir + FName + "\\";
  ForceDirectories(dir + FName);
  return returnBuilt ? FBuiltPath : dir;
}

std::string TclBuildFileName::GetDirFromHost() {
  if (FProjectManager == nullptr) return std::string();
  try {
    return QueryHostText(FProjectManager, &IQendProjectManager::GetProjectFolder);
  } catch (const std::exception&) {
    return std::string();
  }
}
