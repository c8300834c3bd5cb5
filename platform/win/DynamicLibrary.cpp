#include "platform/win/DynamicLibrary.h"

#include <dlfcn.h>

#include <cctype>
#include <map>
#include <memory>

#include "platform/win/Paths.h"
#include "platform/win/Resources.h"

namespace {

struct LoadedLibrary {
  void* handle = nullptr;
  std::unique_ptr<ModuleRecord> record;
  int references = 0;
};

// By module record; one entry per library that dlopen gave.
std::map<HMODULE, LoadedLibrary>& Libraries() {
  static std::map<HMODULE, LoadedLibrary> libraries;
  return libraries;
}

std::string& FolderSetting() {
  static std::string folder;
  return folder;
}

std::string::size_type LastSeparator(const std::string& path) { return path.find_last_of("\\/"); }

}  // namespace

std::string SharedLibraryFileName(const std::string& windowsName) {
  const std::string::size_type dot = windowsName.rfind('.');
  if (dot == std::string::npos || dot == 0) return windowsName;
  std::string ext = windowsName.substr(dot);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext != ".dll") return windowsName;
  std::string stem = windowsName.substr(0, dot);
  for (char& c : stem) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return "lib" + stem + ".so";
}

HMODULE LoadLibrary(LPCSTR fileName) {
  if (fileName == nullptr || *fileName == '\0') return nullptr;
  const std::string name(fileName);
  const std::string::size_type sep = LastSeparator(name);
  std::string path;
  if (sep == std::string::npos) {
    // A plain name: dlopen searches the system's library path.
    path = SharedLibraryFileName(name);
  } else {
    const std::string folder = sep == 0 ? std::string("/") : ToNativePath(name.substr(0, sep));
    path = folder + (folder.ends_with('/') ? "" : "/") + SharedLibraryFileName(name.substr(sep + 1));
  }
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  auto& libraries = Libraries();
  for (auto& [module, library] : libraries) {
    if (library.handle == handle) {
      // dlopen counted this load too; FreeLibrary closes once per load.
      ++library.references;
      return module;
    }
  }
  LoadedLibrary library;
  library.handle = handle;
  library.record = std::make_unique<ModuleRecord>();
  library.record->fileName = path;
  library.references = 1;
  HMODULE module = library.record.get();
  libraries.emplace(module, std::move(library));
  return module;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  if (module == nullptr || procName == nullptr) return nullptr;
  auto& libraries = Libraries();
  auto it = libraries.find(module);
  if (it == libraries.end()) return nullptr;
  void* symbol = dlsym(it->second.handle, procName);
  return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module) {
  auto& libraries = Libraries();
  auto it = libraries.find(module);
  if (it == libraries.end()) return FALSE;
  dlclose(it->second.handle);
  if (--it->second.references == 0) libraries.erase(it);
  return TRUE;
}

std::string PluginModuleFolder() {
  if (!FolderSetting().empty()) return FolderSetting();
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&PluginModuleFolder), &info) == 0 || info.dli_fname == nullptr) return {};
  std::string file(info.dli_fname);
  const std::string::size_type sep = file.rfind('/');
  if (sep == std::string::npos) return ".";
  return sep == 0 ? std::string("/") : file.substr(0, sep);
}

void SetPluginModuleFolder(const std::string& folder) { FolderSetting() = folder; }
