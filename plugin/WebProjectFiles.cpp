#include "plugin/WebProjectFiles.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "core/ProjectPaths.h"
#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "designer/FormDesign1.h"
#include "generator/SaveAndCompile.h"
#include "platform/win/Paths.h"
#include "plugin/PluginState.h"
#include "plugin/WebMainForm.h"

namespace {

constexpr const char* kWebFolder = "Tarnwell\\";

bool IsFile(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(ToNativePath(path), ec);
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(ToNativePath(path), ec);
}

// The `name` of every child of the `images` element.
std::vector<std::string> ImageNamesOf(const TmyXmlNode* images) {
  std::vector<std::string> names;
  if (images == nullptr) return names;
  for (const TmyXmlNode* image = images->firstChild; image != nullptr; image = image->next)
    if (!image->comment && !image->instruction) names.push_back(image->GetAttr("name"));
  return names;
}

std::vector<std::string> ImageNamesFromFile(const std::string& file) {
  TmyXMLParser parser;
  if (!IsFile(file) || !parser.LoadFromFile(file)) return {};
  const std::unique_ptr<TmyXmlNode> root(parser.Parse());
  if (root == nullptr) return {};
  return ImageNamesOf(root->FindInTree("images"));
}

}  // namespace

std::string GetImportFolder() {
  // The compile's own rule, so that the backup lists the folder the compile copies.
  TCompileProject project;
  project.globalMode = WebMainForm1 != nullptr && WebMainForm1->Global;
  if (project.globalMode) {
    const std::string global = GetHostProjectPath();
    if (global.empty()) return std::string();
    project.globalDir = WebMainForm1->GlobalDir;
    return ImportFolderOf(project, global);
  }
  project.projectDir = GetHostProjectDir();
  return ImportFolderOf(project, std::string());
}

void ListFolderFiles(const std::string& base, const std::string& relative, const TAddWebFile& add) {
  std::error_code ec;
  std::filesystem::directory_iterator it(ToNativePath(base + relative), ec);
  if (ec) return;
  std::vector<std::string> names;
  for (const std::filesystem::directory_entry& entry : it) {
    const std::string entryName = entry.path().filename().string();
    if (!entryName.empty() && entryName.front() != '.') names.push_back(entryName);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& entryName : names) {
    if (IsFolder(base + relative + entryName))
      ListFolderFiles(base, relative + entryName + "\\", add);
    else
      add(base + relative + entryName);
  }
}

void ListWebProjectFiles(const std::string& folder, const std::string& name, const TAddWebFile& add) {
  const std::string web = folder + kWebFolder;
  add(web + name + ".webx");
  if (IsFile(web + "web.xml")) {
    add(web + "web.xml");
    if (IsFolder(web + "pages\\")) ListFolderFiles(web, "pages\\", add);
  } else {
    add(web + name + ".xml");
  }
  if (IsFile(web + "disable.tdi")) add(web + "disable.tdi");
  add(IsFile(web + name + ".auto") ? web + name + ".auto" : web + name + "_var.xml");
  add(web + name + ".txt");
  const std::string import = GetImportFolder();
  if (!import.empty() && IsFolder(import)) ListFolderFiles(import, "", add);
}

std::vector<std::string> ProjectImageNames(const std::string& folder, const std::string& name) {
  if (FormDesign1 != nullptr && FormDesign1->Document().Root() != nullptr)
    return ImageNamesOf(FormDesign1->Document().Images());
  const std::string web = folder + kWebFolder;
  return ImageNamesFromFile(IsFile(web + "web.xml") ? web + "web.xml" : web + name + ".xml");
}

void AddFolderToOnlinePlcBackup(const std::string& base, const std::string& relative, IHalvexOnlinePlcBackup* backup) {
  if (backup == nullptr) return;
  ListFolderFiles(base, relative, [backup](const std::string& path) { backup->AddFile(path.c_str(), 0); });
}
