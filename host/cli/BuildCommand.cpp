// halvex build PROJECT: opens the project as `open` does, then builds the PLC
// project as the Halvex IDE does: the compiler events, the link event with
// the host's status window, the plain export ClLinkExtendedProgMap of each
// plug-in library that has it. The plug-ins' questions are answered from
// the --answer options, as in every run of the host. The run prints the
// build's steps with their results, the questions asked, the files the
// plug-ins added to or removed from the host project and the web files
// written under SendRoot; it succeeds only when every step did. SIGINT and SIGTERM stop it as every run of the host
// (HostSession.h): the compile ends at its next file (its temporary files
// removed) and the step says that the web files are incomplete.

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "host/cli/HalvexCommands.h"
#include "host/cli/HostSession.h"
#include "host/sim/HalvexHost.h"
#include "host/sim/HostAnswers.h"
#include "host/sim/HostBuild.h"
#include "host/sim/ShownText.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Driver.h"
#include "platform/win/RegistryStore.h"
#include "platform/win/StopRequest.h"

namespace {

namespace fs = std::filesystem;

// With HALVEX_SIGNAL_AFTER_BUILD=1 the host sends itself SIGTERM once the
// build has ended, as a signal that comes after the compile's last file; with
// =exit once the whole run has ended (the plug-ins unloaded, the exit code
// settled), as a signal in the program's last moments: the tests' way to
// those moments, which no signal from outside can be timed to.
bool SignalAfterBuildAsked(const std::string& moment) {
  const char* asked = std::getenv("HALVEX_SIGNAL_AFTER_BUILD");
  return asked != nullptr && asked == moment;
}

// The web output folder of a host project.
constexpr const char* kSendRoot = "SendRoot";

struct FileFacts {
  std::uintmax_t size = 0;
  fs::file_time_type written;
  bool operator==(const FileFacts&) const = default;
};

// Every file under `root` by its path relative to it ('/' between names).
std::map<std::string, FileFacts> TreeFacts(const fs::path& root) {
  std::map<std::string, FileFacts> tree;
  std::error_code ec;
  if (!fs::is_directory(root, ec)) return tree;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    tree[fs::relative(it->path(), root, ec).generic_string()] = {it->file_size(ec), it->last_write_time(ec)};
  }
  return tree;
}

std::vector<std::string> ProjectFileNames(HalvexHost& host) {
  std::vector<std::string> names;
  for (const HostProjectFile& f : host.Files().Files()) names.push_back(f.name);
  return names;
}

// The names of `from` that `other` lacks.
std::vector<std::string> Missing(const std::vector<std::string>& from, const std::vector<std::string>& other) {
  std::vector<std::string> missing;
  for (const std::string& name : from)
    if (std::find(other.begin(), other.end(), name) == other.end()) missing.push_back(name);
  return missing;
}

// Each line (texts of the plug-ins, as ShownText shows them) under its heading.
void PrintLines(const char* heading, const std::vector<std::string>& lines, std::ostream& out) {
  out << "  " << heading << ":";
  if (lines.empty()) out << " none";
  out << "\n";
  for (const std::string& line : lines) out << "    " << ShownText(line) << "\n";
}

void PrintSteps(const HostBuildResult& build, std::ostream& out) {
  for (const HostBuildStep& step : build.steps) {
    out << "  " << step.name << " -> ";
    if (step.kind == HostBuildStep::Kind::Export)
      out << ResultText(step.result) << ", outputs " << step.out5 << " " << step.out6 << ", host object reference "
          << (step.hostReferenceReleasedByPlugin ? "given back by the plug-in" : "given back by the host") << "\n";
    else
      out << step.sinks << " sink(s), " << ResultText(step.result) << "\n";
    if (!step.error.empty()) out << "    error: " << ShownText(step.error) << "\n";
  }
}

// The web files the build wrote, changed or removed under SendRoot.
void PrintWebFiles(const fs::path& root, const std::map<std::string, FileFacts>& before, std::ostream& out) {
  const std::map<std::string, FileFacts> after = TreeFacts(root);
  std::vector<std::string> lines;
  std::size_t kept = 0;
  for (const auto& [name, facts] : after) {
    auto old = before.find(name);
    if (old != before.end() && old->second == facts) {
      ++kept;
      continue;
    }
    lines.push_back(name + " (" + std::to_string(facts.size) + " bytes" + (old == before.end() ? ", new)" : ")"));
  }
  for (const auto& [name, facts] : before)
    if (after.count(name) == 0) lines.push_back(name + " (removed)");
  out << "  web files written under " << root.string() << ": " << (after.size() - kept) << " written, " << kept
      << " unchanged, " << after.size() << " in all\n";
  for (const std::string& line : lines) out << "    " << line << "\n";
}

// The build's step of the session.
int RunBuildStep(HalvexHost& host, HostMainWindow* window, std::vector<LoadedPlugin>& plugins, std::ostream& out) {
  std::vector<HostBuildExport> exports;
  for (const LoadedPlugin& p : plugins)
    if (p.library && p.library->Loaded())
      exports.push_back({fs::path(p.library->Path()).filename().string(), p.library->linkExtendedProgMap});
  const fs::path sendRoot = fs::path(host.Project().folder) / kSendRoot;
  const std::map<std::string, FileFacts> webBefore = TreeFacts(sendRoot);
  const std::vector<std::string> filesBefore = ProjectFileNames(host);
  const std::size_t boxes = Driver::MessageBoxes().size(), modals = Driver::ModalLog().size();

  out << "build:\n";
  const HostBuildResult build = RunHostBuild(host, window->Handle(), exports);
  if (SignalAfterBuildAsked("1")) std::raise(SIGTERM);
  Application->ProcessMessages();
  PrintSteps(build, out);
  if (std::none_of(exports.begin(), exports.end(), [](const HostBuildExport& e) { return e.function != nullptr; }))
    out << "  no plug-in library exports ClLinkExtendedProgMap\n";
  PrintLines("questions", QuestionsAskedSince(boxes, modals), out);
  const std::vector<std::string> filesAfter = ProjectFileNames(host);
  PrintLines("host project files added", Missing(filesAfter, filesBefore), out);
  PrintLines("host project files removed", Missing(filesBefore, filesAfter), out);
  PrintWebFiles(sendRoot, webBefore, out);
  // A signal that came after the compile's last file stopped nothing.
  if (const int signal = StopRequestSignal(); signal != 0 && !build.Succeeded()) {
    out << "build stopped by " << SignalName(signal)
        << ": the web files are incomplete until a build runs to its end\n";
    return kExitFailure;
  }
  if (plugins.empty()) {
    // The host's build alone compiles no web page: a build that wrote none is
    // no success.
    out << "build failed: no plug-in is registered (registry: " << RegistryStore::Path()
        << "), so no web page was compiled; halvex register LIB registers one\n";
    return kExitFailure;
  }
  out << "build " << (build.Succeeded() ? "succeeded" : "failed") << "\n";
  return build.Succeeded() ? kExitSuccess : kExitFailure;
}

}  // namespace

int RunBuild(const HalvexContext& context, const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  HostRunOptions options;
  if (!ReadHostRunOptions("build", args, true, options, err)) return kExitUsage;
  const int status = RunHostSession(
      context, options,
      [](HalvexHost& host, HostMainWindow* window, std::vector<LoadedPlugin>& plugins, std::ostream& o, std::ostream&) {
        return RunBuildStep(host, window, plugins, o);
      },
      out, err);
  if (SignalAfterBuildAsked("exit")) std::raise(SIGTERM);
  return status;
}
