#pragma once
// The verbs of the halvex command line.

#include <ostream>
#include <string>
#include <vector>

#include "host/sim/PluginRegistry.h"

struct HalvexContext {
  std::string exePath;  // the halvex program's full path
  std::string home;     // $HALVEX_HOME (or ~/.local/share/halvex), created
};

// Each answers the program's exit code: 0 success, 1 failure.
int RunRegister(const HalvexContext& context, const std::string& library, bool unregister, std::ostream& out,
                std::ostream& err);
int RunPlugins(const HalvexContext& context, std::ostream& out, std::ostream& err);
// `args`: the project folder, host switches ("/USELOGFILE", ...) and the
// host's own options, in any order.
int RunOpen(const HalvexContext& context, const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// As RunOpen, then the host's build of the project; `--answer WHAT=REPLY`
// answers the plug-ins' questions.
int RunBuild(const HalvexContext& context, const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// serve PROJECT [--port N]: the project's simulated PLC with its web server on
// 127.0.0.1, serving PROJECT/SendRoot/WWW until SIGINT or SIGTERM.
int RunServe(const HalvexContext& context, const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
