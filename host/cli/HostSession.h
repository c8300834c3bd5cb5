#pragma once
// One run of the simulated host with a project open: the verbs `open` and
// `build` share it. The run installs every registered plug-in, opens the
// project, raises the events of opening, lets the communication loop run,
// does what the user asked for (a plug-in's command, clicks, a snapshot),
// then the verb's own step, prints what the host saw, closes the project,
// uninstalls the plug-ins and unloads them.

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "host/cli/HalvexCommands.h"
#include "host/sim/HostAnswers.h"
#include "host/sim/PluginLibrary.h"
#include "host/sim/PluginRegistry.h"
#include "hostapi/IQendPlugin.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ComPtr.h"

class HalvexHost;
class HostMainWindow;

// Exit codes of the commands.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
// A run ended by a signal exits with 128 + its number, as a shell reports it.
inline constexpr int kExitSignalBase = 128;

// Rounds of the communication loop after opening: the default and the most.
inline constexpr int kDefaultRounds = 3;
inline constexpr int kMostRounds = 1000;

// A registered plug-in as the host loads it. The library goes last: the
// plug-in object and its factory are given back while its code is loaded.
struct LoadedPlugin {
  RegisteredPlugin registration;
  std::unique_ptr<PluginLibrary> library;
  ComPtr<IClassFactory> factory;
  ComPtr<IQendPlugin> plugin;
  bool installed = false;
};

struct HostRunOptions {
  std::string verb;                   // "open", "build": the prefix of messages
  std::string folder;                 // the project folder, absolute
  bool folderLikeSwitch = false;      // the folder was given as a word like a host switch ("/P")
  std::vector<std::string> switches;  // the host's own ("/USELOGFILE", ...)
  std::vector<std::string> without;   // interfaces the host lacks
  bool offline = false;
  bool live = false;  // the IDE logs in to the PLC: the designer shows the live view
  int rounds = kDefaultRounds;
  std::string command;              // the plug-in command to choose after opening
  std::string snapshot;             // the PNG file of the docked window shown then, absolute
  std::vector<std::string> clicks;  // controls of that window clicked then, in order
  std::vector<HostAnswer> answers;  // answers to the plug-ins' questions, for the whole run
  bool gui = false;                 // the windows on the X display, for a person to use
};

// The host switches the plug-ins know, as the host passes them on.
bool IsKnownHostSwitch(const std::string& text);

// Reads the arguments of `verb` (the project folder, host switches and
// options, in any order); `--answer` only when `acceptAnswers`. False, with
// the message written to `err`, for a missing project or option value, a
// value out of range, an unknown option or host switch, a second project, an
// option of one value given twice, and options that contradict each other
// (--live with --offline, two answers to one question).
bool ReadHostRunOptions(const std::string& verb, const std::vector<std::string>& args, bool acceptAnswers,
                        HostRunOptions& options, std::ostream& err);

// The verb's own step, run after the user's actions while the project is
// open; answers an exit code.
using HostSessionStep = std::function<int(HalvexHost& host, HostMainWindow* window, std::vector<LoadedPlugin>& plugins,
                                          std::ostream& out, std::ostream& err)>;

// "SIGINT", "SIGTERM" or "a signal".
const char* SignalName(int signal);

// The whole run; answers the exit code (the worst of every stage's).
// SIGINT and SIGTERM ask it to stop (StopRequest.h): a wait (the loop's
// rounds, the live values) ends, a compile ends at its next file, no later
// action or step runs, the project closes as after any run, and the code is
// 128 + the signal's number, also for a session on the screen; a signal that
// came when the work had ended stops nothing and is only told. A second
// signal ends the program at once. The answers answer every
// question of the run; one that answered none fails it.
int RunHostSession(const HalvexContext& context, const HostRunOptions& options, const HostSessionStep& step,
                   std::ostream& out, std::ostream& err);
