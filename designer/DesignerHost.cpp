#include "designer/DesignerHost.h"

#include <exception>

#include "core/HostEnvironment.h"
#include "core/ProjectPaths.h"
#include "designer/DownloadFolder.h"
#include "generator/DetachedCompileHost.h"

TProjectLocation TCoreDesignerHost::ProjectLocation() {
  TProjectLocation location;
  location.globalMode = GlobalMode();
  location.globalDir = GlobalDir();
  location.hostProjectDir = GetProjectDir();
  location.projectPath = location.globalMode ? GetProjectPath() : GetHostProjectPath();
  if (location.hostProjectDir.empty()) return location;
  try {
    location.hostProjectName = QueryHostText(HostProjectManager(), &IQendProjectManager::GetProjectName);
  } catch (const std::exception&) {
    // The host raised: the name cannot be built and nothing is loaded or saved.
    location.hostAnswered = false;
  }
  return location;
}

std::string TCoreDesignerHost::UpdateStConstants(TmyXmlNode*) { return std::string(); }

TCompileHost& TDesignerHost::CompileHost() {
  if (!detachedCompileHost_) detachedCompileHost_ = std::make_unique<TDetachedCompileHost>();
  return *detachedCompileHost_;
}

// The live view keeps its downloads in the project's temporary folder.
std::string TDesignerHost::DownloadFolder() { return ProjectTempFolder(ProjectLocation()); }
