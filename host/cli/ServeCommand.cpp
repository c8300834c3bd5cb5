// halvex serve: the simulated PLC of a project with its web server, serving
// the web tree the last build compiled, until SIGINT or SIGTERM.

#include <pthread.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <stdexcept>

#include "host/cli/HalvexCommands.h"
#include "host/cli/HostSession.h"
#include "host/sim/HalvexHost.h"
#include "host/sim/web/PlcWebServer.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/StopRequest.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDefaultPort = 8080;

// The variables document of the project's web project ("<project>_var.xml"
// in the folder "Tarnwell"), empty when there is none.
std::string VariablesDocument(const fs::path& folder) {
  std::vector<fs::path> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder / "Tarnwell", error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 8 && name.compare(name.size() - 8, 8, "_var.xml") == 0) found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found.empty() ? std::string() : found.front().string();
}

bool ReadServeArguments(const std::vector<std::string>& args, std::string& folder, int& port, std::ostream& err) {
  bool portGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--port") {
      if (portGiven) {
        err << "halvex serve: --port is given twice: the server listens on one port\n";
        return false;
      }
      portGiven = true;
      if (i + 1 == args.size()) {
        err << "halvex serve: --port needs a number (0 to 65535)\n";
        return false;
      }
      const std::string& text = args[++i];
      // An empty word (a variable that was not set) would vanish from the message.
      if (text.empty()) {
        err << "halvex serve: --port needs a number (0 to 65535) after it, not an empty word (\"\")\n";
        return false;
      }
      const bool digits = !text.empty() && text.size() <= 5 && std::all_of(text.begin(), text.end(), ::isdigit);
      port = digits ? std::stoi(text) : -1;
      if (port < 0 || port > 65535) {
        err << "halvex serve: --port " << text << " is not a port (0 to 65535)\n";
        return false;
      }
    } else if (args[i].rfind("--", 0) == 0) {
      err << "halvex serve: unknown option \"" << args[i] << "\"\n";
      return false;
    } else if (!folder.empty()) {
      err << "halvex serve: takes one PROJECT, not more (\"" << args[i] << "\" after \"" << folder << "\")\n";
      return false;
    } else {
      folder = args[i];
    }
  }
  if (folder.empty()) err << "halvex serve: missing PROJECT (a folder holding halvex.prj)\n";
  return !folder.empty();
}

}  // namespace

int RunServe(const HalvexContext&, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string folder;
  int port = kDefaultPort;
  if (!ReadServeArguments(args, folder, port, err)) return kExitUsage;
  std::error_code error;
  const fs::path absolute = fs::absolute(folder, error);
  // A folder that is not there is no misuse of the command line.
  if (error || !fs::is_directory(absolute, error)) {
    err << "halvex serve: no project folder " << folder
        << (fs::exists(absolute, error) ? " (it is a file; PROJECT is the folder holding halvex.prj)"
                                        : " (it does not exist)")
        << "\n";
    return kExitFailure;
  }
  // The server's threads inherit the mask: only this thread takes the signals.
  // A SIGINT that came ignored (a background job) stays ignored.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  if (!InterruptIgnored()) sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  HalvexHost host;
  try {
    host.OpenProject(absolute.string());
    PlcWebServer server(host.Plc(), host.Project(), host.Variables(),
                        {(absolute / "SendRoot").string(), VariablesDocument(absolute), false, ""});
    for (const std::string& skipped : server.Skipped())
      err << "halvex serve: " << skipped << " does not fit the PLC's file system and is not served\n";
    int bound = 0;
    try {
      bound = server.Start(port);
    } catch (const std::runtime_error& failure) {
      err << "halvex serve: " << failure.what() << "; choose another with --port\n";
      return kExitFailure;
    }
    out << "serving " << (absolute / "SendRoot" / "WWW").string() << " at http://127.0.0.1:" << bound
        << "/ (Ctrl+C stops)\n";
    int signal = 0;
    sigwait(&stopSignals, &signal);
    server.Stop();
    out << "stopped\n";
  } catch (const std::exception& failure) {
    err << "halvex serve: " << failure.what() << "\n";
    const std::string unread = RegistryReadProblem();
    if (!fs::is_directory(absolute / "SendRoot" / "WWW", error) && !unread.empty())
      err << "halvex serve: " << unread << ", so it is not known whether a plug-in is registered to build\n";
    else if (!fs::is_directory(absolute / "SendRoot" / "WWW", error) && RegisteredPlugins().empty())
      err << "halvex serve: no plug-in is registered (registry: " << RegistryStore::Path()
          << "), so a build compiles no web page: register one first (halvex register LIB)\n";
    return kExitFailure;
  }
  return kExitSuccess;
}
