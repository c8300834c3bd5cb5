#include "plugin/VersionInfo.h"

#include <dlfcn.h>
#include <strings.h>
#include <cstdio>

namespace {

struct TVersionString {
  const char* name;
  const char* value;
};

// The version block: one translation (US English, code page 1252) with its
// strings.
constexpr unsigned kLanguage = 0x0409;
constexpr unsigned kCodePage = 1252;
constexpr TVersionString kStrings[] = {
    {"CompanyName", "Vorn"},
    {"FileDescription", "Tarnwell for Halvex (support for web server)"},
    {"FileVersion", "24.1.0.1"},
    {"InternalName", "Tarnwell"},
    {"LegalCopyright", "Copyright (c) Vorn"},
    {"OriginalFilename", "Tarnwell.dll"},
    {"ProductName", "Tarnwell"},
    {"ProductVersion", "24.1"},
};

std::string BaseName(const std::string& path) {
  std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The value at a query path of the block ("\StringFileInfo\040904E4\FileVersion").
std::string QueryValue(const std::string& query) {
  for (const TVersionString& entry : kStrings) {
    char path[128];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\%02X%02X%02X%02X\\%s", (kLanguage >> 8) & 0xFF,
                  kLanguage & 0xFF, (kCodePage >> 8) & 0xFF, kCodePage & 0xFF, entry.name);
    if (strcasecmp(path, query.c_str()) == 0) return entry.value;
  }
  return {};
}

}  // namespace

std::string ModuleFilePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModuleFilePath), &info) == 0 || info.dli_fname == nullptr) return {};
  return info.dli_fname;
}

std::string GetModuleFileVersion(const std::string& fileName, const std::string& valueName) {
  std::string base = BaseName(fileName);
  if (strcasecmp(base.c_str(), "Tarnwell.dll") != 0 &&
      strcasecmp(base.c_str(), BaseName(ModuleFilePath()).c_str()) != 0)
    return {};
  // The first translation: language word, then code-page word, each high
  // byte first.
  char query[160];
  std::snprintf(query, sizeof query, "\\StringFileInfo\\%02X%02X%02X%02X\\%s", (kLanguage >> 8) & 0xFF,
                kLanguage & 0xFF, (kCodePage >> 8) & 0xFF, kCodePage & 0xFF, valueName.c_str());
  return QueryValue(query);
}
