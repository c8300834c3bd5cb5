#include "core/ProjectPaths.h"

#include "core/HostEnvironment.h"
#include "platform/com/ComCheck.h"
#include "platform/com/TaskMem.h"
#include "platform/win/Folders.h"
#include "platform/win/Paths.h"

namespace {

// The compiled output below the host project folder, and its web files.
constexpr const char* kSendRoot = "SendRoot\\";
constexpr const char* kSendRootWww = "SendRoot\\WWW\\";

// The output paths' buffer: the text and a second NUL (the string's own NUL
// follows the one stored).
std::string gOutputPath;

const char* Publish(const std::string& text) {
  gOutputPath.assign(text);
  gOutputPath.push_back('\0');
  return gOutputPath.c_str();
}

// The text without trailing separators.
std::string WithoutTrailingSeparators(std::string text) {
  while (!text.empty() && (text.back() == '\\' || text.back() == '/')) text.pop_back();
  return text;
}

std::string QueryOrEmpty(HRESULT (IQendProjectManager::*query)(char**)) {
  IQendProjectManager* manager = HostProjectManager();
  if (manager == nullptr) return std::string();
  try {
    return QueryHostText(manager, query);
  } catch (const std::exception&) {
    return std::string();
  }
}

}  // namespace

std::string QueryHostText(IQendProjectManager* manager, HRESULT (IQendProjectManager::*query)(char**)) {
  if (manager == nullptr) OleCheck(E_POINTER);
  char* text = nullptr;
  HRESULT result = (manager->*query)(&text);
  std::string value = text != nullptr ? std::string(text) : std::string();
  CoTaskMemFree(text);
  OleCheck(result);
  return value;
}

std::string GetHostProjectPath() { return QueryOrEmpty(&IQendProjectManager::GetGlobalFolder); }

std::string GetHostProjectDir() { return QueryOrEmpty(&IQendProjectManager::GetProjectFolder); }

std::string GetProjectPath() {
  std::string dir = GetHostProjectPath();
  if (!dir.empty()) ForceDirectories(dir + kProductWord);
  return dir;
}

std::string GetProjectDir() {
  std::string dir = GetHostProjectDir();
  if (!dir.empty()) ForceDirectories(dir + kProductWord);
  return dir;
}

const char* GetSendRootDir() {
  const std::string base = GetProjectDir();
  return base.empty() ? nullptr : Publish(base + kSendRoot);
}

const char* GetSendRootWwwDir() {
  const std::string base = GetProjectDir();
  return base.empty() ? nullptr : Publish(base + kSendRootWww);
}

const char* GetSendRootWwwPath(const std::string& fileName, const char* subFolder) {
  const std::string sub = subFolder != nullptr ? subFolder : "";
  const std::string subPlain = WithoutTrailingSeparators(sub);
  if (!subPlain.empty() && !IsSafeRelativePath(subPlain)) return nullptr;
  if (!fileName.empty() && !IsSafeRelativePath(fileName)) return nullptr;
  const std::string base = GetProjectDir();
  if (base.empty()) return nullptr;
  const std::string folder = base + kSendRootWww + sub;
  ForceDirectories(folder);
  return Publish(folder + fileName);
}

const char* GetImagePath(const std::string& name, bool globalMode, const std::string& globalDir) {
  if (name.empty() || !IsSafeFileName(name)) return nullptr;
  std::string path;
  if (globalMode) {
    if (!IsSafeFileName(globalDir)) return nullptr;
    std::string base = GetProjectPath();
    if (base.empty()) return nullptr;
    path = base + globalDir + "\\Images\\" + name;
  } else {
    std::string base = GetProjectDir();
    if (base.empty()) return nullptr;
    path = base + kProductWord + "\\Images\\" + name;
  }
  return Publish(path);
}
