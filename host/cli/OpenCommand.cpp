// halvex open PROJECT [switches]: installs every registered plug-in into the
// simulated host, opens the project, raises the events of opening, lets the
// communication loop run, prints what the host saw, closes the project,
// uninstalls the plug-ins and unloads them.

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <memory>

#include "host/api/IQendPlugin.h"
#include "host/cli/HalvexCommands.h"
#include "host/sim/HalvexHost.h"
#include "host/sim/PluginLibrary.h"
#include "platform/com/ClassFactory.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/Guid.h"
#include "platform/com/TaskMem.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/CodePage.h"
#include "platform/win/Paths.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/VirtualClock.h"

namespace {

struct LoadedPlugin {
  RegisteredPlugin registration;
  std::unique_ptr<PluginLibrary> library;
  IClassFactory* factory = nullptr;
  IQendPlugin* plugin = nullptr;
  bool installed = false;
};

std::string Narrow(BSTR text) { return WideToMultiByte(CP_ACP, BstrToWide(text)); }

// The description of the error information a failing call left, if any.
std::string TakeErrorDescription() {
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return std::string();
  BSTR description = nullptr, source = nullptr;
  info->GetDescription(&description);
  info->GetSource(&source);
  std::string text = Narrow(description);
  std::string from = Narrow(source);
  SysFreeString(description);
  SysFreeString(source);
  info->Release();
  return from.empty() ? text : text + " (source " + from + ")";
}

// The reference log as one line: "+IQendMenu" taken, "-IQendMenu" given back.
void PrintReferenceLog(HalvexHost& host, const char* title, std::ostream& out) {
  std::vector<std::string> log = host.ReferenceLog();
  host.ClearReferenceLog();
  out << "  " << title << ":";
  if (log.empty()) out << " none";
  for (const std::string& entry : log) out << " " << entry;
  out << "\n";
}

void LoadAndInstall(LoadedPlugin& p, HalvexHost& host, HostMainWindow* window, const HalvexContext& context,
                    const std::vector<const char*>& argv, std::ostream& out) {
  out << "plug-in " << p.registration.clsid << " " << p.registration.progId << "\n";
  out << "  library: " << p.registration.library << "\n";
  p.library = std::make_unique<PluginLibrary>();
  if (!p.library->Load(p.registration.library)) {
    out << "  not loaded: " << p.library->Error() << "\n";
    return;
  }
  // The library's start-up must not take the host's application state away.
  Application->SetExeName(context.exePath);
  Application->SetMainForm(window);
  if (p.library->setHostCommandLine) p.library->setHostCommandLine(static_cast<int>(argv.size()), argv.data());
  if (p.library->getClassObject == nullptr) {
    out << "  not a COM server: no DllGetClassObject\n";
    return;
  }
  CLSID clsid;
  if (!StringToGuid(p.registration.clsid, clsid)) {
    out << "  malformed class id in the registry\n";
    return;
  }
  HRESULT hr = p.library->getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&p.factory));
  if (FAILED(hr) || p.factory == nullptr) {
    out << "  DllGetClassObject: " << ResultText(hr) << "\n";
    p.factory = nullptr;
    return;
  }
  hr = p.factory->CreateInstance(nullptr, IID_IQendPlugin, reinterpret_cast<void**>(&p.plugin));
  if (FAILED(hr) || p.plugin == nullptr) {
    out << "  CreateInstance(IQendPlugin): " << ResultText(hr) << "\n";
    p.plugin = nullptr;
    return;
  }
  char* name = nullptr;
  HostLong value = 0, version = 0;
  if (SUCCEEDED(p.plugin->GetPluginName(&name, &value)) && name != nullptr) out << "  name: " << name << "\n";
  CoTaskMemFree(name);
  if (SUCCEEDED(p.plugin->GetPluginVersion(&version))) {
    char text[64];
    std::snprintf(text, sizeof text, "  version: %u.%u (0x%08X)\n", (static_cast<unsigned>(version) >> 24) & 0xFF,
                  (static_cast<unsigned>(version) >> 16) & 0xFF, static_cast<unsigned>(version));
    out << text;
  }
  // The plug-in releases the host reference it gets once on success.
  host.Object()->AddRef();
  host.ClearReferenceLog();
  hr = p.plugin->InstallPlugin(host.Object(), window);
  out << "  InstallPlugin: " << ResultText(hr) << "\n";
  PrintReferenceLog(host, "host interfaces taken (+) and given back (-)", out);
  if (FAILED(hr)) {
    std::string why = TakeErrorDescription();
    if (!why.empty()) out << "  error: " << why << "\n";
    return;
  }
  p.installed = true;
}

void PrintState(HalvexHost& host, HostMainWindow* window, std::ostream& out) {
  out << "communication loop:";
  std::vector<CommLoop::Registration> regs = host.Loop().Registrations();
  if (regs.empty()) out << " no callbacks";
  for (const CommLoop::Registration& r : regs) out << " \"" << r.name << "\" (" << r.value << ")";
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

  out << "menu entries:\n";
  std::vector<HostMenuCommand> commands = host.Menu().Commands();
  if (commands.empty()) out << "  (none)\n";
  for (const HostMenuCommand& c : commands) {
    out << "  command " << c.id << " \"" << c.name << "\" caption \"" << c.caption << "\" image " << c.imageIndex;
    if (c.inMenu) out << ", in menu " << c.menu << " at " << c.menuPosition;
    if (c.onToolbar) out << ", on toolbar " << c.toolbar;
    out << "\n";
  }
  for (const HostHelpEntry& h : host.Menu().HelpEntries())
    out << "  help entry in menu " << h.menuNumber << ": \"" << h.name << "\""
        << (h.madeByHost ? " (item made by the host)" : "") << "\n";
  out << "  bitmaps added: " << host.Menu().BitmapCount();
  for (const HostMenuBitmap& b : host.Menu().Bitmaps())
    out << ", " << b.width << "x" << b.height << " as image " << b.imageIndex;
  out << "\n";
  for (const std::string& line : host.Menu().MenuLines()) out << "  " << line << "\n";
  out << "tool bar buttons:\n";
  std::vector<std::string> toolbars = host.Menu().ToolbarLines();
  if (toolbars.empty()) out << "  (none)\n";
  for (const std::string& line : toolbars) out << "  " << line << "\n";
  out << "help entries:\n";
  std::vector<std::string> help = host.Menu().HelpMenuLines();
  if (help.empty()) out << "  (none)\n";
  for (const std::string& line : help) out << "  " << line << "\n";

  out << "main window: " << window->StatusTexts().size() << " status text(s), " << window->KeepAliveCount()
      << " keep-alive message(s)\n";
  for (const std::string& s : window->StatusTexts()) out << "  status: \"" << s << "\"\n";

  out << "messages:\n";
  if (host.Messages().All().empty()) out << "  (none)\n";
  for (const HostMessageLine& m : host.Messages().All())
    out << "  " << (m.origin == HostMessageLine::Origin::Compiler ? "compiler: " : "")
        << (m.source.empty() ? "" : "[" + m.source + "] ") << m.text << "\n";

  std::vector<std::string> ide = host.Ide().Calls();
  if (!ide.empty()) {
    out << "IDE calls:\n";
    for (const std::string& c : ide) out << "  " << c << "\n";
  }
  out << "project files:";
  for (const HostProjectFile& f : host.Files().Files()) out << " " << f.name;
  out << "\n";
}

}  // namespace

int RunOpen(const HalvexContext& context, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << "halvex open: missing PROJECT (a folder holding halvex.prj)\n";
    return 2;
  }
  std::vector<std::string> switches;
  std::vector<std::string> without;
  bool offline = false;
  int rounds = 3;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--offline") {
      offline = true;
    } else if (a == "--without" && i + 1 < args.size()) {
      without.push_back(args[++i]);
    } else if (a == "--rounds" && i + 1 < args.size()) {
      rounds = std::max(0, std::min(1000, std::atoi(args[++i].c_str())));
    } else if (!a.empty() && a[0] == '/') {
      switches.push_back(a);
    } else {
      err << "halvex open: unknown option \"" << a << "\" (host switches start with '/')\n";
      return 2;
    }
  }

  SetClockMode(ClockMode::Real);
  HalvexHost host;
  for (const std::string& name : without)
    if (!host.SetInterfaceHidden(name, true)) {
      err << "halvex open: the host has no interface \"" << name << "\"\n";
      return 2;
    }
  std::error_code ec;
  std::string folder = std::filesystem::absolute(args[0], ec).lexically_normal().string();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  try {
    host.OpenProject(folder);
  } catch (const HostProjectError& e) {
    err << "halvex: " << e.what() << "\n";
    return 1;
  }

  HostMainWindow* window = new HostMainWindow(Application);
  window->SetName("HalvexMainForm");
  Application->SetExeName(context.exePath);
  Application->SetMainForm(window);
  host.SetMainWindow(window);
  host.Plc().SetOnline(!offline);

  const HostProject& project = host.Project();
  out << "project \"" << project.name << "\" in " << project.folder << "\n";
  out << "  global folder " << host.GlobalFolder() << ", CPM " << project.cpm << ", language " << project.language
      << ", " << project.variables.size() << " variable(s), " << project.panels.size() << " operator panel(s)\n";
  out << "registry: " << RegistryStore::Path() << "\n";
  for (const std::string& name : without) out << "host without " << name << "\n";
  bool logOn = std::any_of(switches.begin(), switches.end(), [](const std::string& s) {
    std::string t = UpperCase(s);
    t.erase(0, t.find_first_not_of(" \t"));
    t.erase(t.find_last_not_of(" \t") + 1);
    return t == "/USELOGFILE";
  });
  if (logOn) out << "trace log: " << std::filesystem::path(context.exePath).parent_path().string() << "/plugins.log\n";

  std::vector<const char*> argv{context.exePath.c_str()};
  for (const std::string& s : switches) argv.push_back(s.c_str());

  host.Loop().Start(std::chrono::milliseconds(10));
  std::vector<LoadedPlugin> plugins;
  for (const RegisteredPlugin& r : RegisteredPlugins()) plugins.push_back({r, nullptr, nullptr, nullptr, false});
  if (plugins.empty()) out << "no plug-ins registered\n";
  for (LoadedPlugin& p : plugins) LoadAndInstall(p, host, window, context, argv, out);

  // The desktop the host saved for this project last time.
  std::string desktopFile =
      context.home + "/desktop-" + (IsSafeFileName(project.name) ? project.name : "project") + ".txt";
  if (host.Desktop().Load(desktopFile))
    out << "desktop: " << host.Desktop().values.size() << " entr" << (host.Desktop().values.size() == 1 ? "y" : "ies")
        << " from " << desktopFile << "\n";

  out << "events of opening:\n";
  std::size_t logStart = host.Events().Log().size();
  host.RaiseOpeningEvents();
  Application->ProcessMessages();
  host.Loop().WaitForRounds(host.Loop().Rounds() + static_cast<std::uint64_t>(rounds), std::chrono::seconds(10));
  Application->ProcessMessages();
  host.ProcessHostEvents();
  std::vector<std::string> log = host.Events().Log();
  for (std::size_t i = logStart; i < log.size(); ++i) out << "  " << log[i] << "\n";

  PrintState(host, window, out);

  out << "closing:\n";
  logStart = host.Events().Log().size();
  bool mayClose = true;
  host.RaiseClosingEvents(&mayClose);
  Application->ProcessMessages();
  log = host.Events().Log();
  for (std::size_t i = logStart; i < log.size(); ++i) out << "  " << log[i] << "\n";
  if (!mayClose) out << "  a plug-in asked to keep the project open; the host closes it at the end of the run\n";
  if (host.Desktop().Save(desktopFile))
    out << "desktop saved: " << host.Desktop().values.size() << " entr"
        << (host.Desktop().values.size() == 1 ? "y" : "ies") << "\n";
  else
    out << "desktop not saved: cannot write " << desktopFile << "\n";

  int status = 0;
  for (LoadedPlugin& p : plugins) {
    if (p.plugin == nullptr) {
      status = 1;
      continue;
    }
    // A failed installation keeps what it took before the failure; the
    // removal gives that back.
    host.ClearReferenceLog();
    out << "UninstallPlugin: " << ResultText(p.plugin->UninstallPlugin()) << "\n";
    PrintReferenceLog(host, "host interfaces taken (+) and given back (-)", out);
    if (!p.installed) status = 1;
  }
  out << "menus after removal:\n";
  for (const std::string& line : host.Menu().MenuLines()) out << "  " << line << "\n";
  for (const std::string& line : host.Menu().ToolbarLines()) out << "  " << line << "\n";
  host.Loop().Stop();
  host.CloseProject();

  std::vector<std::string> held;
  for (const HalvexHost::ReferenceCount& r : host.References())
    if (r.count != 0) held.push_back(r.name + " " + std::to_string(r.count));
  out << "host references still held: ";
  if (held.empty()) out << "none\n";
  for (std::size_t i = 0; i < held.size(); ++i) out << held[i] << (i + 1 < held.size() ? ", " : "\n");
  if (host.OverReleases() != 0) out << "references released too often: " << host.OverReleases() << "\n";
  if (!held.empty() || host.OverReleases() != 0) status = 1;
  // What a plug-in left behind is let go while its code is still loaded.
  std::size_t leftCommands = host.Menu().Commands().size();
  host.Menu().ReleaseAll();
  int leftItems = host.Menu().RemoveForeignItems();
  std::size_t leftSubscriptions = host.Events().EndAllSubscriptions();
  if (leftCommands || leftItems || leftSubscriptions) {
    out << "left by the plug-ins: " << leftCommands << " command(s), " << leftItems << " menu item(s), "
        << leftSubscriptions << " subscription(s)\n";
    status = 1;
  }

  for (LoadedPlugin& p : plugins) {
    if (p.plugin) p.plugin->Release();
    if (p.factory) p.factory->Release();
    p.plugin = nullptr;
    p.factory = nullptr;
    if (p.library && p.library->Loaded()) {
      HRESULT hr = p.library->controledDestruction ? p.library->controledDestruction(0)
                                                   : (p.library->canUnloadNow ? p.library->canUnloadNow() : S_FALSE);
      out << "ControledDestruction: " << ResultText(hr);
      if (hr == S_OK) {
        p.library->Unload();
        out << ", library unloaded\n";
      } else {
        out << ", library stays loaded\n";
      }
    }
  }

  host.SetMainWindow(nullptr);
  Application->SetMainForm(nullptr);
  delete window;
  return status;
}
