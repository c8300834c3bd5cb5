#include "core/HelpLink.h"

#include "core/FileHelpers.h"
#include "core/HostEnvironment.h"
#include "core/UiText.h"
#include "platform/help/HtmlHelp.h"
#include "platform/vcl/SysUtils.h"

namespace {

const char* LanguageCode(int index) {
  switch (index) {
    case 0: return "CSY";
    case 2: return "RUS";
    case 4: return "DEU";
    case 5: return "PLK";
    default: return "ENU";
  }
}

// The text without the extension of its last component.
std::string WithoutExtension(const std::string& name) {
  std::size_t dot = name.find_last_of('.');
  std::size_t slash = name.find_last_of("\\/");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name;
  return name.substr(0, dot);
}

}  // namespace

std::string GetHelpFilePath(int languageIndex, const std::string& baseName, bool fallBack) {
  if (languageIndex == kHelpFullPath) return baseName;
  std::string path =
      HelpBaseFolder() + "\\..\\HELP\\" + LanguageCode(languageIndex) + "_" + WithoutExtension(baseName) + ".chm";
  if (fallBack) {
    for (int next : {1, 4, 0, languageIndex})
      if (!PathExists(path)) path = GetHelpFilePath(next, baseName, false);
  }
  return path;
}

bool ShowHelp(int languageIndex, const std::string& baseName, const std::string& topic, const std::string& keyword) {
  std::string path = GetHelpFilePath(languageIndex, baseName, true);
  if (!PathExists(path)) return false;
  HtmlHelpAProc htmlHelp = LoadHtmlHelpLibrary();
  if (htmlHelp == nullptr) return false;
  std::string key = Trim(keyword);
  std::string link = Trim(WithoutExtension(topic));
  if (key.empty() && link.empty()) {
    htmlHelp(nullptr, path.c_str(), HH_DISPLAY_TOPIC, 0);
    return true;
  }
  std::string keywords = link.empty() ? key : "a_" + link;
  HH_AKLINK record;
  record.cbStruct = static_cast<int>(sizeof(HH_AKLINK));
  record.pszKeywords = keywords.c_str();
  auto data = reinterpret_cast<std::uintptr_t>(&record);
  void* shown = nullptr;
  if (!key.empty()) shown = htmlHelp(nullptr, path.c_str(), HH_KEYWORD_LOOKUP, data);
  if (!link.empty()) shown = htmlHelp(nullptr, path.c_str(), HH_ALINK_LOOKUP, data);
  if (shown == nullptr) ShowPlainMessage(GetUiText(7128));
  return true;
}
