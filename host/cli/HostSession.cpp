// One run of the simulated host with a project open (HostSession.h): the
// plug-ins installed, the project opened, the user's actions and the verb's
// step, what the host saw printed, the project closed and the plug-ins
// unloaded.

#include "host/cli/HostSession.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>

#include "host/cli/GuiSession.h"
#include "host/cli/OpenActions.h"
#include "host/sim/HalvexHost.h"
#include "host/sim/HostAnswers.h"
#include "host/sim/ShownText.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/Guid.h"
#include "platform/com/TaskMem.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Driver.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/CodePage.h"
#include "platform/win/FileLock.h"
#include "platform/win/Paths.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/StopRequest.h"
#include "platform/win/VirtualClock.h"

namespace {

constexpr auto kLoopPeriod = std::chrono::milliseconds(10);
constexpr auto kLoopWait = std::chrono::seconds(10);
// How often a wait looks whether a stop was asked for.
constexpr auto kStopCheckSlice = std::chrono::milliseconds(20);

// The host switches the plug-ins read, whole, and those followed by a value.
constexpr std::array<const char*, 4> kHostSwitches = {"/USELOGFILE", "/LINVAR", "/WEBCOMPTIME", "/WEBOLDCOMM"};
constexpr std::array<const char*, 1> kHostValueSwitches = {"/OEMDIR="};
constexpr const char* kSwitchList = "/USELOGFILE, /LINVAR, /WEBCOMPTIME, /WEBOLDCOMM, /OEMDIR=folder";

// The reference log as one line: "+IQendMenu" taken, "-IQendMenu" given back.
void PrintReferenceLog(HalvexHost& host, const char* title, std::ostream& out) {
  std::vector<std::string> log = host.ReferenceLog();
  host.ClearReferenceLog();
  out << "  " << title << ":";
  if (log.empty()) out << " none";
  for (const std::string& entry : log) out << " " << entry;
  out << "\n";
}

// --- the command line ----------------------------------------------------------

// A switch as the plug-ins compare it: trimmed and upper-cased.
std::string SwitchText(const std::string& text) {
  std::string t = UpperCase(text);
  t.erase(0, t.find_first_not_of(" \t"));
  t.erase(t.find_last_not_of(" \t") + 1);
  return t;
}

bool IsLogSwitch(const std::string& text) { return SwitchText(text) == "/USELOGFILE"; }

bool ReadRounds(HostRunOptions& options, const std::string& text, std::ostream& err) {
  int rounds = -1;
  const char* end = text.data() + text.size();
  const auto [stop, fault] = std::from_chars(text.data(), end, rounds);
  if (fault == std::errc() && stop == end && rounds >= 0 && rounds <= kMostRounds) {
    options.rounds = rounds;
    return true;
  }
  err << "halvex " << options.verb << ": --rounds takes a number from 0 to " << kMostRounds << ", not \"" << text
      << "\"\n";
  return false;
}

// The options that take a value, each with what it does with it; false (with
// the message written) for a value it refuses.
struct ValueOption {
  const char* name;
  const char* value;  // what the value is, for the message when it is missing
  bool buildOnly;
  bool once;  // one value for the run: a second would silently replace the first
  bool (*take)(HostRunOptions& options, const std::string& value, std::ostream& err);
};

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  return std::filesystem::absolute(path, ec).lexically_normal().string();
}

const std::array<ValueOption, 6> kValueOptions = {{
    {"--without", "an interface name", false, false,
     [](HostRunOptions& o, const std::string& v, std::ostream&) {
       o.without.push_back(v);
       return true;
     }},
    {"--rounds", "a number of rounds", false, true,
     [](HostRunOptions& o, const std::string& v, std::ostream& err) { return ReadRounds(o, v, err); }},
    {"--command", "a command name", false, true,
     [](HostRunOptions& o, const std::string& v, std::ostream&) {
       o.command = v;
       return true;
     }},
    {"--click", "a control or menu item name", false, false,
     [](HostRunOptions& o, const std::string& v, std::ostream&) {
       o.clicks.push_back(v);
       return true;
     }},
    {"--snapshot", "a PNG file name", false, true,
     [](HostRunOptions& o, const std::string& v, std::ostream& err) {
       // The picture is always a PNG: a name that says otherwise would hide it.
       if (v.size() < 4 || UpperCase(v.substr(v.size() - 4)) != ".PNG") {
         err << "halvex " << o.verb << ": --snapshot writes a PNG picture: its file name ends in .png, not \"" << v
             << "\"\n";
         return false;
       }
       o.snapshot = AbsolutePath(v);
       return true;
     }},
    {"--answer", "WHAT=REPLY", true, false,
     [](HostRunOptions& o, const std::string& v, std::ostream& err) {
       std::ostringstream fault;
       if (!ParseHostAnswers({v}, o.answers, fault)) {
         err << "halvex " << o.verb << ": " << fault.str();
         return false;
       }
       // One answer to WHAT answers every such question: of two, one would
       // answer none.
       const HostAnswer& added = o.answers.back();
       for (std::size_t i = 0; i + 1 < o.answers.size(); ++i) {
         if (o.answers[i].what != added.what) continue;
         err << "halvex " << o.verb << ": --answer \"" << v << "\" is a second answer to \"" << added.what
             << "\": one answers every such question; give one\n";
         return false;
       }
       return true;
     }},
}};

// Whether `a` names the project folder: a word that is no option, or a path
// ("/home/me/P", a folder that exists) rather than a host switch.
bool IsProjectWord(const std::string& a) {
  std::error_code ec;
  return !a.empty() && a[0] != '-' && !IsKnownHostSwitch(a) &&
         (a[0] != '/' || a.find('/', 1) != std::string::npos || std::filesystem::exists(a, ec));
}

// A host switch at `a` (it starts with '/'); false with the message written.
// A word that is no switch the host knows goes to `unknown`.
bool ReadHostSwitch(const std::string& a, HostRunOptions& options, std::vector<std::string>& unknown,
                    std::ostream& err) {
  if (IsKnownHostSwitch(a)) {
    options.switches.push_back(a);
    return true;
  }
  for (const char* prefix : kHostValueSwitches) {
    const std::string name(prefix, std::char_traits<char>::length(prefix) - 1);
    const std::string given = SwitchText(a);
    if (given != name && given != prefix) continue;
    err << "halvex " << options.verb << ": the host switch " << name << " needs a folder: " << prefix
        << "FOLDER, not \"" << a << "\"\n";
    return false;
  }
  // A word like "/P" is a switch or a project folder at the root: which, the
  // other words tell (ReadHostRunOptions).
  unknown.push_back(a);
  return true;
}

// The option at `i` that takes a value (moving past the value); false with
// the message written. `given` holds the values of the options taken once.
bool ReadValueOption(const ValueOption& option, const std::vector<std::string>& args, std::size_t& i,
                     std::map<std::string, std::string>& given, HostRunOptions& options, std::ostream& err) {
  if (i + 1 >= args.size()) {
    err << "halvex " << options.verb << ": " << option.name << " needs " << option.value << " after it\n";
    return false;
  }
  const std::string& value = args[++i];
  // An empty word (a variable that was not set) would pass for no option.
  if (value.empty()) {
    err << "halvex " << options.verb << ": " << option.name << " needs " << option.value
        << " after it, not an empty word (\"\")\n";
    return false;
  }
  if (option.once && !given.emplace(option.name, value).second) {
    err << "halvex " << options.verb << ": " << option.name << " is given twice (\"" << given[option.name]
        << "\", then \"" << value << "\"): the run takes one\n";
    return false;
  }
  return option.take(options, value, err);
}

// Reads one argument at `i`, an option (moving past its value), a host switch
// or the project folder, in any order; false with the message written.
bool ReadArgument(const std::vector<std::string>& args, std::size_t& i, bool acceptAnswers,
                  std::map<std::string, std::string>& given, std::vector<std::string>& unknown, HostRunOptions& options,
                  std::ostream& err) {
  const std::string& a = args[i];
  const std::array<std::pair<const char*, bool HostRunOptions::*>, 3> flags = {
      {{"--offline", &HostRunOptions::offline}, {"--live", &HostRunOptions::live}, {"--gui", &HostRunOptions::gui}}};
  for (const auto& [name, flag] : flags) {
    if (a != name) continue;
    options.*flag = true;
    return true;
  }
  for (const ValueOption& option : kValueOptions)
    if (a == option.name && (!option.buildOnly || acceptAnswers))
      return ReadValueOption(option, args, i, given, options, err);
  if (a.empty()) {
    err << "halvex " << options.verb
        << ": PROJECT is an empty word (\"\"): give the folder holding halvex.prj (\".\" for this one)\n";
    return false;
  }
  if (IsProjectWord(a)) {
    if (options.folder.empty()) {
      options.folder = a;
      return true;
    }
    err << "halvex " << options.verb << ": takes one PROJECT, not more (\"" << a << "\" after \"" << options.folder
        << "\")\n";
    return false;
  }
  if (!a.empty() && a[0] == '/') return ReadHostSwitch(a, options, unknown, err);
  err << "halvex " << options.verb << ": unknown option \"" << a << "\" (see halvex --help)\n";
  return false;
}

// Options that each make sense alone but not together; false with the
// message written.
bool OptionsAgree(const HostRunOptions& options, std::ostream& err) {
  if (!(options.live && options.offline)) return true;
  err << "halvex " << options.verb
      << ": --live and --offline contradict each other: --live logs the IDE in to the PLC, which --offline "
         "starts offline; give one of them\n";
  return false;
}

// Written when a first signal arrives: the run may be in the middle of a long
// piece of work (a compile) and end only after it.
constexpr const char* kStopNotice =
    "halvex: stopping after the work in hand; a second signal (Ctrl+C) ends it at once\n";

// Hides the interfaces the host is to lack and opens the project; answers
// the exit code of a failure (with the message written), or success.
int PrepareHost(HalvexHost& host, const HostRunOptions& options, std::ostream& err) {
  for (const std::string& name : options.without) {
    if (host.SetInterfaceHidden(name, true)) continue;
    err << "halvex " << options.verb << ": the host has no interface \"" << name << "\"\n";
    return kExitUsage;
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(options.folder, ec)) {
    err << "halvex " << options.verb << ": no project folder " << options.folder
        << (std::filesystem::exists(options.folder, ec) ? " (it is a file; PROJECT is the folder holding halvex.prj)"
                                                        : " (it does not exist)");
    if (options.folderLikeSwitch) err << ", nor is " << options.folder << " a host switch (" << kSwitchList << ")";
    err << "\n";
    return kExitFailure;
  }
  try {
    host.OpenProject(options.folder);
  } catch (const HostProjectError& e) {
    err << "halvex: " << e.what() << "\n";
    return kExitFailure;
  }
  return kExitSuccess;
}

void PrintProject(const HalvexHost& host, const HostRunOptions& options, const HalvexContext& context,
                  std::ostream& out) {
  const HostProject& project = host.Project();
  out << "project \"" << project.name << "\" in " << project.folder << "\n";
  out << "  global folder " << host.GlobalFolder() << ", CPM " << project.cpm << ", language " << project.language
      << ", " << project.variables.size() << " variable(s), " << project.panels.size() << " operator panel(s)\n";
  out << "registry: " << RegistryStore::Path() << "\n";
  for (const std::string& name : options.without) out << "host without " << name << "\n";
  if (std::any_of(options.switches.begin(), options.switches.end(), IsLogSwitch))
    out << "trace log: " << std::filesystem::path(context.exePath).parent_path().string() << "/plugins.log\n";
}

// --- loading and installing --------------------------------------------------------

// Loads the library and hands it the host's command line; false when it
// cannot be loaded.
bool LoadLibrary(LoadedPlugin& p, HostMainWindow* window, const HalvexContext& context,
                 const std::vector<const char*>& argv, std::ostream& out) {
  out << "plug-in " << p.registration.clsid << " " << p.registration.progId << "\n";
  out << "  library: " << p.registration.library << "\n";
  p.library = std::make_unique<PluginLibrary>();
  if (!p.library->Load(p.registration.library)) {
    out << "  not loaded: " << p.library->Error() << "\n";
    return false;
  }
  // The library's start-up must not take the host's application state away.
  Application->SetExeName(context.exePath);
  Application->SetMainForm(window);
  if (p.library->setHostCommandLine) p.library->setHostCommandLine(static_cast<int>(argv.size()), argv.data());
  return true;
}

// The plug-in object through the library's class factory; false when the
// library does not make one.
bool CreatePluginObject(LoadedPlugin& p, std::ostream& out) {
  if (p.library->getClassObject == nullptr) {
    out << "  not a COM server: no DllGetClassObject\n";
    return false;
  }
  CLSID clsid;
  if (!StringToGuid(p.registration.clsid, clsid)) {
    out << "  malformed class id in the registry\n";
    return false;
  }
  HRESULT hr = p.library->getClassObject(clsid, IID_IClassFactory, p.factory.PutVoid());
  if (FAILED(hr) || !p.factory) {
    out << "  DllGetClassObject: " << ResultText(hr) << "\n";
    p.factory.Reset();
    return false;
  }
  hr = p.factory->CreateInstance(nullptr, IID_IQendPlugin, p.plugin.PutVoid());
  if (FAILED(hr) || !p.plugin) {
    out << "  CreateInstance(IQendPlugin): " << ResultText(hr) << "\n";
    p.plugin.Reset();
    return false;
  }
  return true;
}

void PrintNameAndVersion(IQendPlugin& plugin, std::ostream& out) {
  char* name = nullptr;
  HostLong value = 0, version = 0;
  if (SUCCEEDED(plugin.GetPluginName(&name, &value)) && name != nullptr) out << "  name: " << ShownText(name) << "\n";
  CoTaskMemFree(name);
  if (SUCCEEDED(plugin.GetPluginVersion(&version))) {
    char text[64];
    std::snprintf(text, sizeof text, "  version: %u.%u (0x%08X)\n", (static_cast<unsigned>(version) >> 24) & 0xFF,
                  (static_cast<unsigned>(version) >> 16) & 0xFF, static_cast<unsigned>(version));
    out << text;
  }
}

void Install(LoadedPlugin& p, HalvexHost& host, HostMainWindow* window, std::ostream& out) {
  // The plug-in takes over a reference to the host object of its own.
  IUnknown* handed = ComPtr<IUnknown>(host.Object()).Detach();
  host.ClearReferenceLog();
  HRESULT hr = p.plugin->InstallPlugin(handed, window);
  out << "  InstallPlugin: " << ResultText(hr) << "\n";
  PrintReferenceLog(host, "host interfaces taken (+) and given back (-)", out);
  if (FAILED(hr)) {
    std::string why = TakeErrorDescription();
    if (!why.empty()) out << "  error: " << ShownText(why) << "\n";
    return;
  }
  p.installed = true;
}

void LoadAndInstall(LoadedPlugin& p, HalvexHost& host, HostMainWindow* window, const HalvexContext& context,
                    const std::vector<const char*>& argv, std::ostream& out) {
  if (!LoadLibrary(p, window, context, argv, out) || !CreatePluginObject(p, out)) return;
  PrintNameAndVersion(*p.plugin, out);
  Install(p, host, window, out);
}

// --- what the host saw -----------------------------------------------------------

void PrintLoopAndPlc(HalvexHost& host, std::ostream& out) {
  out << "communication loop:";
  std::vector<CommLoop::Registration> regs = host.Loop().Registrations();
  if (regs.empty()) out << " no callbacks";
  for (const CommLoop::Registration& r : regs) out << " \"" << ShownText(r.name) << "\" (" << r.value << ")";
  out << "; " << host.Loop().Rounds() << " round(s), PLC " << (host.Plc().Online() ? "online" : "offline") << "\n";
  out << "PLC requests: files " << host.Plc().RequestCount(PLC_SERVICE_FILE) << ", reads "
      << host.Plc().RequestCount(PLC_SERVICE_READ) << ", byte writes "
      << host.Plc().RequestCount(PLC_SERVICE_WRITE_BYTES) << ", bit writes "
      << host.Plc().RequestCount(PLC_SERVICE_WRITE_BITS) << "\n";
  out << "PLC file system:";
  for (const std::string& path : host.Plc().Files().List()) out << " " << path;
  out << "\n";
  out << "subscriptions: project " << host.Events().SinkCount(IID_IQendProjectEvents) << ", desktop "
      << host.Events().SinkCount(IID_IQendDesktopEvents) << ", CPM " << host.Events().SinkCount(IID_IQendCpmEvents)
      << ", communication state " << host.Events().SinkCount(IID_IHalvexCommStateEvent) << ", compiler "
      << host.Events().SinkCount(IID_IQendCompilerEvents) << ", online backup "
      << host.Events().SinkCount(IID_IHalvexOnlinePlcBackupEvent) << "\n";
}

// Each line (texts of the plug-ins, as ShownText shows them) under its
// heading, or "(none)".
void PrintSection(const char* heading, const std::vector<std::string>& lines, std::ostream& out) {
  out << heading << ":\n";
  if (lines.empty()) out << "  (none)\n";
  for (const std::string& line : lines) out << "  " << ShownText(line) << "\n";
}

void PrintMenus(HostMenu& menu, std::ostream& out) {
  out << "menu entries:\n";
  std::vector<HostMenuCommand> commands = menu.Commands();
  if (commands.empty()) out << "  (none)\n";
  for (const HostMenuCommand& c : commands) {
    out << "  command " << c.id << " \"" << ShownText(c.name) << "\" caption \"" << ShownText(c.caption) << "\" image "
        << c.imageIndex;
    if (c.inMenu) out << ", in menu " << c.menu << " at " << c.menuPosition;
    if (c.onToolbar) out << ", on toolbar " << c.toolbar;
    out << "\n";
  }
  for (const HostHelpEntry& h : menu.HelpEntries())
    out << "  help entry in menu " << h.menuNumber << ": \"" << ShownText(h.name) << "\""
        << (h.madeByHost ? " (item made by the host)" : "") << "\n";
  out << "  bitmaps added: " << menu.BitmapCount();
  for (const HostMenuBitmap& b : menu.Bitmaps())
    out << ", " << b.width << "x" << b.height << " as image " << b.imageIndex;
  out << "\n";
  for (const std::string& line : menu.MenuLines()) out << "  " << ShownText(line) << "\n";
  PrintSection("tool bar buttons", menu.ToolbarLines(), out);
  PrintSection("help entries", menu.HelpMenuLines(), out);
}

void PrintWindowAndMessages(HalvexHost& host, HostMainWindow* window, std::ostream& out) {
  out << "main window: " << window->StatusTexts().size() << " status text(s), " << window->KeepAliveCount()
      << " keep-alive message(s)\n";
  for (const std::string& s : window->StatusTexts()) out << "  status: \"" << ShownText(s) << "\"\n";
  std::vector<std::string> messages;
  for (const HostMessageLine& m : host.Messages().All())
    messages.push_back((m.origin == HostMessageLine::Origin::Compiler ? "compiler: " : "") +
                       (m.source.empty() ? "" : "[" + ShownPath(m.source) + "] ") + m.text);
  PrintSection("messages", messages, out);
  std::vector<std::string> ide = host.Ide().Calls();
  if (!ide.empty()) PrintSection("IDE calls", ide, out);
  out << "project files:";
  for (const HostProjectFile& f : host.Files().Files()) out << " " << ShownText(f.name);
  out << "\n";
}

void PrintState(HalvexHost& host, HostMainWindow* window, std::ostream& out) {
  PrintLoopAndPlc(host, out);
  PrintMenus(host.Menu(), out);
  PrintWindowAndMessages(host, window, out);
}

// --- the project's life --------------------------------------------------------------

// Prints the events raised since `logStart`.
void PrintEventsSince(HalvexHost& host, std::size_t logStart, std::ostream& out) {
  std::vector<std::string> log = host.Events().Log();
  for (std::size_t i = logStart; i < log.size(); ++i) out << "  " << log[i] << "\n";
}

// Waits until the communication loop has run `rounds` rounds in all, for at
// most `limit`; a stop asked for (Ctrl+C) ends the wait within a slice.
// True when the rounds came.
bool WaitForRoundsUnlessStopped(HalvexHost& host, std::uint64_t rounds, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (host.Loop().WaitForRounds(rounds, std::clamp(left, std::chrono::milliseconds(0), kStopCheckSlice))) return true;
    if (StopRequestSignal() != 0 || left <= kStopCheckSlice) return false;
  }
}

// The events of opening, then `rounds` rounds of the communication loop and
// the host work they posted. A round takes at least the loop's period, and
// longer on a busy machine: the wait allows ten periods a round and more,
// and says so when the rounds did not come (a plug-in's callback that does
// not return). False then.
bool RunOpening(HalvexHost& host, const HostRunOptions& options, std::ostream& out, std::ostream& err) {
  out << "events of opening:\n";
  std::size_t logStart = host.Events().Log().size();
  host.RaiseOpeningEvents();
  Application->ProcessMessages();
  const std::uint64_t first = host.Loop().Rounds();
  const auto limit = kLoopWait + 10 * options.rounds * kLoopPeriod;
  const bool came = WaitForRoundsUnlessStopped(host, first + static_cast<std::uint64_t>(options.rounds), limit);
  Application->ProcessMessages();
  host.ProcessHostEvents();
  PrintEventsSince(host, logStart, out);
  // A stop asked for ends the wait: the rounds are no longer wanted.
  if (!came && StopRequestSignal() != 0) return true;
  if (!came)
    err << "halvex " << options.verb << ": the communication loop ran " << host.Loop().Rounds() - first << " of the "
        << options.rounds << " round(s) asked for in "
        << std::chrono::duration_cast<std::chrono::seconds>(limit).count() << " s\n";
  return came;
}

// The first text that the export `what` of a loaded plug-in gives (each is
// asked); empty when none gives one.
std::string PluginText(std::vector<LoadedPlugin>& plugins, TarnwellTakeCompileFailureFunction PluginLibrary::*what) {
  std::string first;
  for (const LoadedPlugin& p : plugins) {
    const char* text =
        p.library && p.library->Loaded() && p.library.get()->*what != nullptr ? (p.library.get()->*what)() : nullptr;
    if (text != nullptr && *text != '\0' && first.empty()) first = text;
  }
  return first;
}

// The error of a save-and-compile of a plug-in's designer that failed since
// the last call, taken; empty when none failed.
std::string TakeCompileFailure(std::vector<LoadedPlugin>& plugins) {
  return PluginText(plugins, &PluginLibrary::takeCompileFailure);
}

// The signal that stopped the run's work so far; 0 while none did. The
// screen takes its stop so that the project closes as always, and keeps it.
int StopSignalOfRun(const GuiSession* gui) {
  return gui != nullptr && gui->StoppedBy() != 0 ? gui->StoppedBy() : StopRequestSignal();
}

// What the user does while the project is open: the command chosen, the
// window it shows painted. Answers the exit code; a stop asked for ends the
// actions before the next one. A click whose compile failed fails the run, as
// a failed compile fails a build. A question that an --answer could not
// answer ends the actions as a refused click does (the answers tell it at the
// end). A designer whose opening was refused or gave up holds no project: the
// run says why and fails, and no action is done in the empty designer.
int RunUserActions(HalvexHost& host, const HostRunOptions& options, const HostAnswerScope& answers, GuiSession* gui,
                   std::vector<LoadedPlugin>& plugins, std::ostream& out, std::ostream& err) {
  const auto stopped = [gui] { return StopSignalOfRun(gui) != 0; };
  if (!options.command.empty() && (stopped() || !ChooseHostCommand(host, options.command, out, err)))
    return kExitFailure;
  if (const std::string failure = PluginText(plugins, &PluginLibrary::designerOpenFailure); !failure.empty()) {
    err << "halvex " << options.verb
        << ": the designer did not open the project, so nothing is done in it: " << ShownText(failure) << "\n";
    return kExitFailure;
  }
  if (answers.Failed()) return kExitFailure;
  if (options.live && !stopped()) WaitForLiveValues(host, out);
  if (gui != nullptr && !stopped()) gui->Run(out);
  // A compile before the clicks is not theirs.
  TakeCompileFailure(plugins);
  for (const std::string& name : options.clicks) {
    if (stopped() || !ClickInShownWindow(host, name, out, err) || answers.Failed()) return kExitFailure;
    const std::string failure = TakeCompileFailure(plugins);
    if (failure.empty()) continue;
    // A compile ended by a stop is told as the stop.
    if (!stopped())
      err << "halvex " << options.verb << ": --click " << name << ": the compile failed: " << ShownText(failure)
          << "\n";
    return kExitFailure;
  }
  if (!options.snapshot.empty() && (stopped() || !SnapshotShownWindow(host, options.snapshot, out, err)))
    return kExitFailure;
  return kExitSuccess;
}

// The events of closing and the desktop saved for the next run, unless it
// could not be read (`unread`: why), which leaves it as it is; answers why
// the desktop was not saved ("cannot be written (REASON)"), empty when it was.
std::string RunClosing(HalvexHost& host, const std::string& desktopFile, const std::string& unread, std::ostream& out) {
  out << "closing:\n";
  std::size_t logStart = host.Events().Log().size();
  bool mayClose = true;
  host.RaiseClosingEvents(&mayClose);
  Application->ProcessMessages();
  PrintEventsSince(host, logStart, out);
  if (!mayClose) out << "  a plug-in asked to keep the project open; the host closes it at the end of the run\n";
  std::size_t entries = host.Desktop().values.size();
  if (!unread.empty()) return "could not be read (" + unread + "), so it is left as it is";
  if (!host.Desktop().Save(desktopFile)) return "cannot be written (" + std::string(std::strerror(errno)) + ")";
  out << "desktop saved: " << entries << " entr" << (entries == 1 ? "y" : "ies") << "\n";
  return std::string();
}

// The desktop the host saved for this project last time; answers why one
// that is there could not be read (the run goes on without it), empty when
// it was read or is not there.
std::string LoadDesktop(HalvexHost& host, const std::string& desktopFile, std::ostream& out) {
  std::string why;
  if (!host.Desktop().Load(desktopFile, &why)) return why;
  std::size_t entries = host.Desktop().values.size();
  out << "desktop: " << entries << " entr" << (entries == 1 ? "y" : "ies") << " from " << desktopFile << "\n";
  return std::string();
}

// Uninstalls every plug-in that was made (a failed installation keeps what
// it took before the failure; the removal gives that back); fails when one
// was not installed.
int UninstallAll(std::vector<LoadedPlugin>& plugins, HalvexHost& host, std::ostream& out) {
  int status = kExitSuccess;
  for (LoadedPlugin& p : plugins) {
    if (!p.plugin) {
      status = kExitFailure;
      continue;
    }
    host.ClearReferenceLog();
    out << "UninstallPlugin: " << ResultText(p.plugin->UninstallPlugin()) << "\n";
    PrintReferenceLog(host, "host interfaces taken (+) and given back (-)", out);
    if (!p.installed) status = kExitFailure;
  }
  out << "menus after removal:\n";
  for (const std::string& line : host.Menu().MenuLines()) out << "  " << ShownText(line) << "\n";
  for (const std::string& line : host.Menu().ToolbarLines()) out << "  " << ShownText(line) << "\n";
  return status;
}

// Fails when a plug-in kept a host reference or gave one back too often.
int CheckReferencesGivenBack(HalvexHost& host, std::ostream& out) {
  std::vector<std::string> held;
  for (const HalvexHost::ReferenceCount& r : host.References())
    if (r.count != 0) held.push_back(r.name + " " + std::to_string(r.count));
  out << "host references still held: ";
  if (held.empty()) out << "none\n";
  for (std::size_t i = 0; i < held.size(); ++i) out << held[i] << (i + 1 < held.size() ? ", " : "\n");
  if (host.OverReleases() != 0) out << "references released too often: " << host.OverReleases() << "\n";
  return held.empty() && host.OverReleases() == 0 ? kExitSuccess : kExitFailure;
}

// What a plug-in left behind is let go while its code is still loaded; fails
// when there was any.
int ReleaseLeftovers(HalvexHost& host, std::ostream& out) {
  std::size_t leftCommands = host.Menu().Commands().size();
  host.Menu().ReleaseAll();
  int leftItems = host.Menu().RemoveForeignItems();
  std::size_t leftSubscriptions = host.Events().EndAllSubscriptions();
  if (leftCommands == 0 && leftItems == 0 && leftSubscriptions == 0) return kExitSuccess;
  out << "left by the plug-ins: " << leftCommands << " command(s), " << leftItems << " menu item(s), "
      << leftSubscriptions << " subscription(s)\n";
  return kExitFailure;
}

// Gives back the plug-in objects and factories, then asks each library
// whether it may go and unloads it when it answers S_OK.
void UnloadAll(std::vector<LoadedPlugin>& plugins, std::ostream& out) {
  for (LoadedPlugin& p : plugins) {
    p.plugin.Reset();
    p.factory.Reset();
    if (!p.library || !p.library->Loaded()) continue;
    HRESULT hr = p.library->controledDestruction ? p.library->controledDestruction(0)
                                                 : (p.library->canUnloadNow ? p.library->canUnloadNow() : S_FALSE);
    out << "ControledDestruction: " << ResultText(hr);
    if (hr != S_OK) {
      out << ", library stays loaded\n";
      continue;
    }
    p.library->Unload();
    out << ", library unloaded\n";
  }
}

// The host's main window for the run: the application's main form and the
// target of the host's posted work while it lives.
class MainWindowScope {
 public:
  MainWindowScope(HalvexHost& host, const HalvexContext& context) : host_(host) {
    window_->SetName("HalvexMainForm");
    Application->SetExeName(context.exePath);
    Application->SetMainForm(window_.get());
    host_.SetMainWindow(window_.get());
  }
  ~MainWindowScope() {
    host_.SetMainWindow(nullptr);
    Application->SetMainForm(nullptr);
  }
  MainWindowScope(const MainWindowScope&) = delete;
  MainWindowScope& operator=(const MainWindowScope&) = delete;

  HostMainWindow* Window() const { return window_.get(); }

 private:
  HalvexHost& host_;
  std::unique_ptr<HostMainWindow> window_ = std::make_unique<HostMainWindow>(nullptr);
};

}  // namespace

const char* SignalName(int signal) { return signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : "a signal"; }

bool IsKnownHostSwitch(const std::string& text) {
  const std::string t = SwitchText(text);
  for (const char* name : kHostSwitches)
    if (t == name) return true;
  for (const char* prefix : kHostValueSwitches)
    if (t.size() > std::char_traits<char>::length(prefix) && t.rfind(prefix, 0) == 0) return true;
  return false;
}

bool ReadHostRunOptions(const std::string& verb, const std::vector<std::string>& args, bool acceptAnswers,
                        HostRunOptions& options, std::ostream& err) {
  options.verb = verb;
  std::map<std::string, std::string> given;
  std::vector<std::string> unknown;  // words like "/P": switches the host does not know, or a folder
  for (std::size_t i = 0; i < args.size(); ++i)
    if (!ReadArgument(args, i, acceptAnswers, given, unknown, options, err)) return false;
  // Without another project folder the first such word is the folder (a
  // missing folder at the root is no misuse of the command line); the rest
  // are switches the host does not know.
  if (options.folder.empty() && !unknown.empty()) {
    options.folder = unknown.front();
    options.folderLikeSwitch = true;
    unknown.erase(unknown.begin());
  }
  if (!unknown.empty()) {
    err << "halvex " << verb << ": unknown host switch \"" << unknown.front()
        << "\" (the host's switches: " << kSwitchList << ")\n";
    return false;
  }
  if (options.folder.empty()) {
    err << "halvex " << verb << ": missing PROJECT (a folder holding halvex.prj)\n";
    return false;
  }
  if (!OptionsAgree(options, err)) return false;
  options.folder = AbsolutePath(options.folder);
  while (options.folder.size() > 1 && options.folder.back() == '/') options.folder.pop_back();
  return true;
}

int RunHostSession(const HalvexContext& context, const HostRunOptions& options, const HostSessionStep& step,
                   std::ostream& out, std::ostream& err) {
  SetClockMode(ClockMode::Real);
  StopSignalScope stopSignals(kStopNotice);
  const HostAnswerScope answers(options.answers);
  HalvexHost host;
  if (int failed = PrepareHost(host, options, err); failed != kExitSuccess) return failed;
  // Which plug-ins to load is not known while the registry cannot be read: a
  // run without them would tell of none registered.
  if (const std::string unread = RegistryReadProblem(); !unread.empty()) {
    err << "halvex " << options.verb << ": " << unread << ", so the host cannot tell which plug-ins to load\n";
    return kExitFailure;
  }
  // What a plug-in says while it waits for another program's lock on a
  // project folder (its wait notice) is shown at once: the report that
  // lists the message window comes only after the wait, minutes later.
  host.Messages().SetOnLine([&err, &options](const HostMessageLine& line) {
    if (FolderLockWaiting()) err << "halvex " << options.verb << ": " << HostMessageLog::Shown(line) << std::endl;
  });
  // The plug-ins are let go after the main window, which owns their forms.
  std::vector<LoadedPlugin> plugins;
  MainWindowScope mainWindow(host, context);
  // On the screen from here on; gone before the main window.
  std::unique_ptr<GuiSession> gui;
  if (options.gui || GuiRequestedByEnvironment()) {
    gui = GuiSession::Start(host, mainWindow.Window(), err);
    if (!gui) return kExitFailure;
  }
  host.Plc().SetOnline(!options.offline);
  host.SetLoggedIn(options.live);
  PrintProject(host, options, context, out);
  const std::size_t boxesBefore = Driver::MessageBoxes().size(), modalsBefore = Driver::ModalLog().size();

  std::vector<const char*> argv{context.exePath.c_str()};
  for (const std::string& s : options.switches) argv.push_back(s.c_str());
  host.Loop().Start(kLoopPeriod);
  for (const RegisteredPlugin& r : RegisteredPlugins()) plugins.push_back({r, nullptr, nullptr, nullptr, false});
  if (plugins.empty()) out << "no plug-ins registered\n";
  for (LoadedPlugin& p : plugins) LoadAndInstall(p, host, mainWindow.Window(), context, argv, out);

  const std::string& name = host.Project().name;
  const std::string desktopFile = context.home + "/desktop-" + (IsSafeFileName(name) ? name : "project") + ".txt";
  const std::string desktopUnread = LoadDesktop(host, desktopFile, out);
  const bool opened = RunOpening(host, options, out, err);
  int status = RunUserActions(host, options, answers, gui.get(), plugins, out, err);
  if (!opened) status = std::max(status, kExitFailure);
  // What the plug-ins told or asked the user so far (the build step lists its own).
  PrintSection("questions", QuestionsAskedSince(boxesBefore, modalsBefore), out);
  // A step asked to stop before it began is not begun.
  if (status == kExitSuccess && step)
    status = StopSignalOfRun(gui.get()) != 0 ? kExitFailure : step(host, mainWindow.Window(), plugins, out, err);
  // A stop asked for until here stopped the run's work, unless the step ran
  // to a good end (the signal came after the compile's last file); one asked
  // for from here on finds nothing left to stop: the project closes as it
  // would have.
  const int stoppedWork = step && status == kExitSuccess ? 0 : StopSignalOfRun(gui.get());
  PrintState(host, mainWindow.Window(), out);
  const std::size_t boxesBeforeClose = Driver::MessageBoxes().size(), modalsBeforeClose = Driver::ModalLog().size();
  // What the plug-ins saved into the desktop (their windows' places) not
  // kept fails the run, as a save at the close that failed does.
  if (const std::string why = RunClosing(host, desktopFile, desktopUnread, out); !why.empty()) {
    err << "halvex " << options.verb << ": the desktop " << desktopFile << " " << why
        << ": what the plug-ins saved into it is not kept for the next run\n";
    status = std::max(status, kExitFailure);
  }
  status = std::max(status, UninstallAll(plugins, host, out));
  // What the plug-ins told or asked while the project closed: a save that
  // failed there fails the run as a failed click does.
  PrintSection("questions at the close", QuestionsAskedSince(boxesBeforeClose, modalsBeforeClose), out);
  if (const std::string error = ErrorShownSince(boxesBeforeClose); !error.empty()) {
    err << "halvex " << options.verb << ": closing the project failed: " << ShownText(error) << "\n";
    status = std::max(status, kExitFailure);
  }

  host.Loop().Stop();
  host.CloseProject();
  status = std::max(status, CheckReferencesGivenBack(host, out));
  status = std::max(status, ReleaseLeftovers(host, out));
  UnloadAll(plugins, out);
  for (const std::string& fault : answers.Faults()) {
    err << "halvex " << options.verb << ": " << fault << "\n";
    status = std::max(status, kExitFailure);
  }
  if (stoppedWork != 0) {
    err << "halvex " << options.verb << ": stopped by " << SignalName(stoppedWork) << "\n";
    return kExitSignalBase + stoppedWork;
  }
  // From here on, until the program ends, a signal is told at once and
  // keeps the exit code; one that came before is told here.
  const auto lateLine = [&options](int signal) {
    return "halvex " + options.verb + ": " + SignalName(signal) +
           " came after the run's work had ended: it stopped nothing, and the project closed as always\n";
  };
  if (!stopSignals.WorkEnded(lateLine(SIGINT), lateLine(SIGTERM)) && StopRequestSignal() != 0)
    err << lateLine(StopRequestSignal());
  return status;
}

int RunOpen(const HalvexContext& context, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  HostRunOptions options;
  if (!ReadHostRunOptions("open", args, true, options, err)) return kExitUsage;
  return RunHostSession(context, options, nullptr, out, err);
}
