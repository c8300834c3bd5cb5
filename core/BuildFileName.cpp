#include "core/BuildFileName.h"

#include <exception>

#include "core/ProjectPaths.h"
#include "hostapi/IQendProjectManager.h"
#include "platform/win/Folders.h"

TclBuildFileName::TclBuildFileName(IQendProjectManager* manager, const std::string& name, bool direct) {
  if (!direct) {
    InitFromHost(manager, name);
    return;
  }
  projectManager_ = manager;
  name_ = name;
  if (projectManager_ == nullptr) return;
  std::string dir = GetDirFromHost();
  valid_ = !dir.empty();
  projectFolder_ = dir + name_ + "\\";
  base_ = dir + name_ + "\\Global";
}

void TclBuildFileName::InitFromHost(IQendProjectManager* manager, const std::string& name) {
  projectManager_ = manager;
  InitFromHost(name);
}

void TclBuildFileName::InitFromHost(const std::string& name) {
  name_ = name;
  valid_ = false;
  projectFolder_.clear();
  base_.clear();
  if (projectManager_ == nullptr) return;
  try {
    std::string projectName = QueryHostText(projectManager_, &IQendProjectManager::GetProjectName);
    std::string dir = BuildDir(false);
    valid_ = !dir.empty();
    if (!valid_) return;
    projectFolder_ = dir + name_ + "\\";
    base_ = projectFolder_ + projectName;
  } catch (const std::exception&) {
    valid_ = false;
    projectFolder_.clear();
    base_.clear();
  }
}

std::string TclBuildFileName::BuildDir(bool returnBuilt) {
  std::string dir = GetDirFromHost();
  if (dir.empty()) return dir;
  builtPath_ = dir + name_ + "\\";
  ForceDirectories(dir + name_);
  return returnBuilt ? builtPath_ : dir;
}

std::string TclBuildFileName::GetDirFromHost() {
  if (projectManager_ == nullptr) return std::string();
  try {
    return QueryHostText(projectManager_, &IQendProjectManager::GetProjectFolder);
  } catch (const std::exception&) {
    return std::string();
  }
}
