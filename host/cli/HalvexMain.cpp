// halvex: the command line of the simulated Halvex host.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "core/FileHelpers.h"
#include "host/cli/HalvexCommands.h"
#include "host/cli/HostSession.h"
#include "platform/win/RegistryStore.h"

// The plug-in library carries its own copies of the platform layers, which
// bind to this program's copies (the program exports them); the address
// sanitizer would report the two copies as one definition twice.
extern "C" const char* tarnwell_asan_options() { return "detect_odr_violation=0"; }

namespace {

const char* kUsage =
    "usage: halvex COMMAND ...\n"
    "\n"
    "The simulated Halvex host: loads plug-ins through the registry and drives\n"
    "them as the Halvex IDE does.\n"
    "\n"
    "commands:\n"
    "  register LIB      runs the library's DllRegisterServer (self-registration)\n"
    "  unregister LIB    runs the library's DllUnregisterServer (refused for a\n"
    "                    library no registered plug-in has)\n"
    "  plugins           lists the plug-ins registered in the host's component category\n"
    "  open PROJECT [SWITCHES] [--offline] [--live] [--rounds N] [--without INTERFACE]...\n"
    "       [--command NAME] [--click NAME]... [--snapshot FILE.png] [--gui]\n"
    "       [--answer WHAT=REPLY[+CHECKBOX]...]...\n"
    "                    installs every registered plug-in, opens the host project\n"
    "                    (a folder holding halvex.prj; before, between or after the\n"
    "                    options), raises the events of opening,\n"
    "                    prints the menu entries, tool bar buttons, help entries,\n"
    "                    messages and state the plug-ins left, closes the project,\n"
    "                    uninstalls the plug-ins (printing the menus after that) and\n"
    "                    unloads them.\n"
    "                    SWITCHES are the host's own (/USELOGFILE, /LINVAR,\n"
    "                    /WEBCOMPTIME, /WEBOLDCOMM, /OEMDIR=folder; any other is\n"
    "                    refused) and are passed to the plug-ins as the host's\n"
    "                    command line; --offline starts with the PLC offline (not\n"
    "                    with --live);\n"
    "                    --live logs the IDE in to the PLC (the designer then shows\n"
    "                    the live view; the values come in for about a second\n"
    "                    after the command, before the clicks and the snapshot);\n"
    "                    --rounds N (0 to 1000) waits for N rounds of the\n"
    "                    communication loop after opening (default 3); --without\n"
    "                    makes a host that lacks that interface (IHalvexWebTdiMap, ...);\n"
    "                    --command NAME chooses the plug-in command NAME in the host's\n"
    "                    menu after opening, as a user's click does (Tarnwell: the\n"
    "                    designer opens on the project); --click NAME then clicks\n"
    "                    the control NAME of the docked window shown (Tarnwell:\n"
    "                    btnSave1 saves and compiles the web project into\n"
    "                    SendRoot/WWW), or chooses its menu item NAME from its\n"
    "                    menu (Tarnwell: Copy3 and Paste2 of the page tree's\n"
    "                    pop-up menu copy and paste a page or group);\n"
    "                    --snapshot FILE.png then\n"
    "                    paints the window the IDE shows docked into FILE.png. The\n"
    "                    run fails when no plug-in has the command, it is disabled,\n"
    "                    no docked window is shown, a click's command or the\n"
    "                    project's close fails (the plug-in shows an error box),\n"
    "                    a click's compile fails (btnSave1), or the designer did\n"
    "                    not open the project (another program held it, or its\n"
    "                    file cannot be opened): then no click runs.\n"
    "                    --answer answers every message box of the run whose text\n"
    "                    holds WHAT, or modal form of class WHAT\n"
    "                    (TFormSimpleMessage), with REPLY: yes, no, ok or cancel\n"
    "                    (a form's button captioned so), ticking the form's check\n"
    "                    boxes named after '+' first. Unanswered questions get the\n"
    "                    box's default button, or Cancel for a form; an --answer\n"
    "                    that answered no question fails the run. A box or form\n"
    "                    that lacks the reply's button or a check box named is\n"
    "                    declined (nothing of it applied) and the run stops there.\n"
    "                    Ctrl+C (SIGINT) or SIGTERM stops the run: a compile ends at\n"
    "                    its next file, no temporary file left, no later click runs,\n"
    "                    the project closes, and the exit code is 130 (143); a\n"
    "                    second signal ends the program at once.\n"
    "                    --gui (or HALVEX_GUI=1) shows the windows on the X display\n"
    "                    ($DISPLAY): the host's main window with its menus, tool\n"
    "                    bars, messages and status line, and every window, dialog,\n"
    "                    menu and message box of the plug-ins, for a person to use;\n"
    "                    the run goes on (closing the project) when the Halvex\n"
    "                    window is closed or the program gets SIGINT or SIGTERM\n"
    "                    (a stopped run, ending with 130 or 143)\n"
    "  build PROJECT [the options of open]\n"
    "                    as open, then builds the PLC project as the IDE does: the\n"
    "                    compiler event OnStartCompiling, the link event\n"
    "                    OnLinkingExtendedProgMap with the host's status window (the\n"
    "                    main window), the export ClLinkExtendedProgMap of every\n"
    "                    plug-in library that has it, and OnEndCompiling. Prints each\n"
    "                    step's result, the questions the plug-ins asked and their\n"
    "                    answers, the files they added to or removed from the host\n"
    "                    project and the web files written under PROJECT/SendRoot.\n"
    "                    Exit code 0 only when every step answered S_OK and the\n"
    "                    plug-ins installed, uninstalled and gave back every\n"
    "                    reference\n"
    "  serve PROJECT [--port N]\n"
    "                    opens the project's simulated PLC and serves the web tree\n"
    "                    the last build compiled (PROJECT/SendRoot/WWW) with the\n"
    "                    PLC's web server on http://127.0.0.1:N/ (default 8080; 0\n"
    "                    a free port):\n"
    "                    data pages filled with the PLC's values, posted values\n"
    "                    written, logins checked against SendRoot/PSW.TXT. Prints\n"
    "                    the address; Ctrl+C (SIGINT) or SIGTERM stops it\n"
    "  --help            this text\n"
    "  COMMAND --help    the part of this text on COMMAND\n"
    "\n"
    "The registry lives in $HALVEX_HOME (default ~/.local/share/halvex).\n";

// The part of the usage that describes `verb`: from its line ("  open
// PROJECT ...") to the next command's line.
std::string CommandUsage(const std::string& verb) {
  const std::string usage = kUsage;
  std::size_t start = usage.find("\n  " + verb + " ");
  if (start == std::string::npos) start = usage.find("\n  " + verb + "\n");
  if (start == std::string::npos) return std::string();
  start += 3;
  std::size_t end = start;
  do {
    end = usage.find('\n', end) + 1;
  } while (end < usage.size() && usage.compare(end, 3, "   ") == 0);
  return usage.substr(start, end - start);
}

// halvex COMMAND --help: that command's part of the usage (build's takes the
// options of open).
int PrintCommandHelp(const std::string& verb, std::ostream& out) {
  out << "usage: halvex " << CommandUsage(verb);
  if (verb == "build") out << "\nthe options of open:\n  " << CommandUsage("open");
  out << "\nThe registry lives in $HALVEX_HOME (default ~/.local/share/halvex).\n";
  return kExitSuccess;
}

bool AsksForHelp(const std::vector<std::string>& args) {
  return std::any_of(args.begin() + 1, args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

std::string Home() {
  const char* home = std::getenv("HALVEX_HOME");
  if (home && *home) return home;
  const char* user = std::getenv("HOME");
  return std::string(user && *user ? user : ".") + "/.local/share/halvex";
}

std::string ExePath(const char* argv0) {
  std::error_code ec;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) return self.string();
  return std::filesystem::absolute(argv0, ec).string();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // Every line goes out at once, so that nothing is lost when a plug-in crashes.
  std::cout << std::unitbuf;
  if (args.empty()) {
    std::cerr << "halvex: missing COMMAND\n\n" << kUsage;
    return kExitUsage;
  }
  const std::string& verb = args[0];
  if (verb == "--help" || verb == "-h" || verb == "help") {
    std::cout << kUsage;
    return kExitSuccess;
  }

  const bool known = verb == "register" || verb == "unregister" || verb == "plugins" || verb == "open" ||
                     verb == "build" || verb == "serve";
  if (known && AsksForHelp(args)) return PrintCommandHelp(verb, std::cout);

  HalvexContext context;
  context.exePath = ExePath(argv[0]);
  context.home = Home();
  std::error_code ec;
  // serve only reads the registry: it makes no host home.
  if (verb != "serve") std::filesystem::create_directories(context.home, ec);
  if (ec) {
    std::cerr << "halvex: cannot create " << context.home << ": " << ec.message() << "\n";
    return kExitFailure;
  }
  RegistryStore::SetPath(context.home + "/registry");
  // The registry and the desktop files are written through temporary files
  // beside them; a run killed while it wrote one left that file in the home,
  // where nothing else would ever remove it.
  if (verb != "serve") RemoveOwnTemporaryFiles(context.home, false);

  if (verb == "register" || verb == "unregister") {
    if (args.size() != 2) {
      std::cerr << "halvex " << verb << ": "
                << (args.size() < 2 ? "missing LIB (the plug-in library's file)" : "takes one LIB, not more") << "\n";
      return kExitUsage;
    }
    // An empty word (a variable that was not set) would name no library.
    if (args[1].empty()) {
      std::cerr << "halvex " << verb << ": LIB is an empty word (\"\"): give the plug-in library's file\n";
      return kExitUsage;
    }
    return RunRegister(context, args[1], verb == "unregister", std::cout, std::cerr);
  }
  if (verb == "plugins") {
    if (args.size() == 1) return RunPlugins(context, std::cout, std::cerr);
    std::cerr << "halvex plugins: takes no arguments (\"" << args[1] << "\" given)\n";
    return kExitUsage;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (verb == "open") return RunOpen(context, rest, std::cout, std::cerr);
  if (verb == "build") return RunBuild(context, rest, std::cout, std::cerr);
  if (verb == "serve") return RunServe(context, rest, std::cout, std::cerr);
  std::cerr << "halvex: unknown command \"" << verb
            << "\" (commands: register, unregister, plugins, open, build, serve, --help)\n";
  return kExitUsage;
}
