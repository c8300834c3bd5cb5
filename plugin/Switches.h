#pragma once
// The start-up values of the library: the host executable's folder, the
// trace log's place and the switches of the host's command line.

#include <string>
#include <vector>

struct TStartupValues {
  std::string baseFolder;          // help files: exe folder (no trailing separator) or "/OEMDIR=" value
  std::string traceLogPath;        // exe folder + "plugins.log"
  bool oldLiveComm = false;        // "/WEBOLDCOMM"
  bool useLogFile = false;         // "/USELOGFILE"
  bool flattenVariables = false;   // "/LINVAR"
  bool reportCompileTime = false;  // "/WEBCOMPTIME"
};
extern TStartupValues gStartup;

// Fills the values from the host executable's path and its arguments (argument
// 0 is the host program's path and counts like any other): each argument is
// upper-cased (ANSI), trimmed, and compared whole with the four switches;
// "/OEMDIR=" at its start takes the rest as the base folder (the last one
// wins). Switches are only ever set. The core services learn the results
// (trace log, help folder).
void ReadHostSwitches(const std::string& exePath, const std::vector<std::string>& arguments);
