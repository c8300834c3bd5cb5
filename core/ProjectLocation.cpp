#include "core/ProjectLocation.h"

#include "core/ProjectPaths.h"
#include "platform/win/Paths.h"

namespace {

constexpr const char* kProjectExtension = ".xml";
constexpr const char* kSettingsExtension = ".webx";
constexpr const char* kGlobalStem = "\\Global";
constexpr const char* kMainFileName = "web.xml";
constexpr const char* kPageFolderName = "pages\\";

std::string ProjectFolder(const TProjectLocation& location) { return location.hostProjectDir + kProductWord + "\\"; }

TProjectFileNames NamesFrom(const TProjectLocation& location, bool usable) {
  TProjectFileNames names;
  if (location.hostAnswered && !location.hostProjectDir.empty())
    names.settingsFile = ProjectFolder(location) + location.hostProjectName + kSettingsExtension;
  names.usable = usable;
  if (!usable) return names;
  if (location.globalMode)
    names.baseFile = location.projectPath + location.globalDir + kGlobalStem + kProjectExtension;
  else
    names.baseFile = ProjectFolder(location) + location.hostProjectName + kProjectExtension;
  const std::size_t cut = names.baseFile.find_last_of("\\/");
  names.folder = cut == std::string::npos ? std::string() : names.baseFile.substr(0, cut + 1);
  names.mainFile = names.folder + kMainFileName;
  names.pageFolder = names.folder + kPageFolderName;
  return names;
}

bool GlobalDirUsable(const TProjectLocation& location) {
  return !location.globalMode || IsSafeFileName(location.globalDir);
}

}  // namespace

TProjectFileNames LoadFileNames(const TProjectLocation& location) {
  const std::string& host = location.globalMode ? location.projectPath : location.hostProjectDir;
  return NamesFrom(location, location.hostAnswered && !host.empty() && GlobalDirUsable(location));
}

TProjectFileNames SaveFileNames(const TProjectLocation& location) {
  const bool usable = location.hostAnswered && !location.hostProjectDir.empty() && GlobalDirUsable(location) &&
                      (!location.globalMode || !location.projectPath.empty());
  return NamesFrom(location, usable);
}
