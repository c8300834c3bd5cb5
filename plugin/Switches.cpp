#include "plugin/Switches.h"

#include "core/HostEnvironment.h"
#include "core/TraceLog.h"
#include "platform/vcl/SysUtils.h"

TStartupValues gStartup;

namespace {

// ANSI upper case: the letters of the ANSI code page's Latin range as the
// class library's AnsiUpperCase maps them in code page 1252. Not SysUtils'
// AnsiUpperCase, which follows the code page in force (GetACP): the
// switches read the same whatever code page the host has set.
std::string AnsiUpper(const std::string& text) {
  std::string result = text;
  for (char& c : result) {
    auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z')
      c = static_cast<char>(b - 32);
    else if ((b >= 0xE0 && b <= 0xFE && b != 0xF7))
      c = static_cast<char>(b - 32);
    else if (b == 0x9A || b == 0x9C || b == 0x9E)
      c = static_cast<char>(b - 16);
    else if (b == 0xFF)
      c = static_cast<char>(0x9F);
  }
  return result;
}

std::string FolderOf(const std::string& path) {
  std::size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

}  // namespace

void ReadHostSwitches(const std::string& exePath, const std::vector<std::string>& arguments) {
  std::string folder = FolderOf(exePath);
  gStartup = TStartupValues();
  gStartup.baseFolder = folder.empty() ? std::string() : folder.substr(0, folder.size() - 1);
  gStartup.traceLogPath = folder + "plugins.log";
  std::string oemDir;
  for (const std::string& argument : arguments) {
    std::string text = Trim(AnsiUpper(argument));
    if (text == "/WEBOLDCOMM") gStartup.oldLiveComm = true;
    if (text == "/USELOGFILE") gStartup.useLogFile = true;
    if (text == "/LINVAR") gStartup.flattenVariables = true;
    if (text == "/WEBCOMPTIME") gStartup.reportCompileTime = true;
    if (text.compare(0, 8, "/OEMDIR=") == 0) {
      gStartup.baseFolder = text.substr(8);
      oemDir = gStartup.baseFolder;
    }
  }
  SetHostExeName(exePath);
  SetOemDir(oemDir);
  SetTraceLogPath(gStartup.traceLogPath);
  SetTraceLogEnabled(gStartup.useLogFile);
}
