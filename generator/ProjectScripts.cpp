// The fixed pieces of every page script: the script library at its start,
// the back command, and the closing of the answer handler with the request of
// the next data page and the watchdog.

#include <algorithm>
#include <cctype>

#include "core/TextEncoding.h"
#include "core/XmlNode.h"
#include "generator/EmbeddedScript.h"
#include "generator/ProjectCompiler.h"
#include "generator/ProjectSettings.h"

namespace {

constexpr const char* kScriptLibraryResource = "SCRIPT_LIBRARY_JS";

constexpr int kWatchdogRefreshPeriods = 20;
constexpr int kWatchdogMinimum = 5000;  // ms

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

int WatchdogPeriod(int refreshPeriod) {
  const long long period = static_cast<long long>(refreshPeriod) * kWatchdogRefreshPeriods;
  return period < kWatchdogMinimum ? kWatchdogMinimum : static_cast<int>(std::min<long long>(period, INT32_MAX));
}

const std::string& ScriptLibrary() {
  static const std::string library = EmbeddedScript(kScriptLibraryResource);
  return library;
}

std::string BackToReferrerScript(const std::vector<TAlarmVariable>& alarms) {
  std::string script =
      "function BackToReferrer(){\r\nif(typeof(Storage)!=='undefined'){var r = "
      "sessionStorage.getItem('__prpg').toLowerCase();if(r=='null'||r==document.location.href.toLowerCase()";
  for (const TAlarmVariable& alarm : alarms)
    script += "||r.search('" + EscapeJsString(Lower(alarm.alarm->GetAttr("page"))) + "')!=-1";
  script +=
      "||r.search('login.xml')!=-1||r.search('logout.xml')!=-1) {\r\ndocument.location.href='INDEX.XML';\r\n}else{"
      "document.location.href=sessionStorage.getItem('__prpg');}}else{document.location.href='INDEX.XML';\r\n}}\r\n";
  return script;
}

std::string PageScriptClosing(const std::string& pageFileName, int refreshPeriod) {
  std::string script =
      "} else {document.location.reload(true); return;}\r\n} catch(err) {console.log(err.message)}\r\n"
      "if(pd!=''){setTimeout(\"GetXML('";
  script += pageFileName + "','\"+pd+\"')\",1);}else{setTimeout(\"GetXML('" + pageFileName + "')\",";
  script += std::to_string(refreshPeriod) + ");}}\r\n";
  script +=
      "function FunWatchDog() {\r\nif(gWatchDog > 0 || g_postInProgress) {\r\ngWatchDog = 0;\r\n} else {\r\n"
      "document.location.reload(true);\r\n}\r\nsetTimeout(\"FunWatchDog()\", ";
  script += std::to_string(WatchdogPeriod(refreshPeriod)) + ");\r\n}\r\n\r\n";
  return script;
}

bool ProjectTextIsUtf8(std::string_view text, int codePage) {
  return codePage == kCodePageUtf8 || AnsiIsUtf8(text, codePage);
}

std::string ProjectTextToUtf8(std::string text, int codePage) {
  if (ProjectTextIsUtf8(text, codePage)) return text;
  return AnsiToUtf8(text, codePage);
}
