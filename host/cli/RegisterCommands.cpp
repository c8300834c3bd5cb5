// halvex register / unregister / plugins.

#include <fcntl.h>
#include <linux/fs.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "host/cli/HalvexCommands.h"
#include "host/cli/HostSession.h"
#include "host/sim/PluginLibrary.h"
#include "hostapi/IQendPlugin.h"
#include "platform/vcl/Application.h"
#include "platform/win/RegistryStore.h"

namespace {

bool IsRegisteredLibrary(const std::string& path) {
  for (const RegisteredPlugin& p : RegisteredPlugins())
    if (p.library == path) return true;
  return false;
}

// The system's reason for `error`, and the mark that refuses every change
// when the entry carries it (chattr +i, +a), which the reason does not name.
std::string Reason(int error, const std::string& entry) {
  std::string reason = std::strerror(error);
  const int fd = open(entry.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  int flags = 0;
  if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0)
    reason += (flags & FS_IMMUTABLE_FL) != 0 ? "; it is immutable" : "; it is append-only";
  if (fd >= 0) close(fd);
  return reason;
}

// What the user can do about `error` on the registry's file or folder: a
// full disk or a failing one is no question of permissions.
std::string Remedy(int error) {
  switch (error) {
    case ENOSPC: return "make room on its disk";
    case EDQUOT: return "make room within the disk quota";
    case EROFS: return "mount its file system writable";
    case EIO: return "check its disk";
    default: return "make it writable";
  }
}

// Why the registry's file cannot be written, as the file system tells it: a
// folder in its place, a folder that takes no new file (the store writes a
// new file and renames it over the old), or a file that cannot be replaced
// or read, with the remedy. Empty when none is found.
std::string RegistryWriteProblem(const std::string& file) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::is_directory(file, ec)) return file + " is a folder, not a file: move it away";
  const fs::path folder = fs::path(file).parent_path();
  std::string probe = (folder / ".halvex-probe-XXXXXX").string();
  const int fd = mkstemp(probe.data());
  if (fd < 0) {
    const int error = errno;
    return "its folder " + folder.string() + " takes no new file (" + Reason(error, folder.string()) +
           "): " + Remedy(error);
  }
  close(fd);
  unlink(probe.c_str());
  if (const int error = RegistryStore::RewriteError(); error != 0)
    return "the file cannot be rewritten (" + Reason(error, file) + "): " + Remedy(error);
  return std::string();
}

// A self-registration that failed on the registry: the file it could not
// change, and why. Nothing when the registry can be written (the failure is
// the library's own). A registration may go to another host home; an
// unregistration must change this registry.
void TellRegistryProblem(bool unregister, std::ostream& err) {
  const std::string file = RegistryStore::Path();
  std::error_code ec;
  // A store that cannot be read is not rewritten: what it holds would be lost.
  if (const std::string unread = RegistryReadProblem(); !unread.empty() && !std::filesystem::is_directory(file, ec)) {
    err << "halvex " << (unregister ? "unregister" : "register") << ": " << unread
        << ", so it is left as it is: make it readable\n";
    return;
  }
  const std::string problem = RegistryWriteProblem(file);
  if (problem.empty()) return;
  err << "halvex " << (unregister ? "unregister" : "register") << ": the registry " << file
      << " cannot be written: " << problem << (unregister ? "" : ", or set HALVEX_HOME to another folder") << "\n";
}

}  // namespace

int RunRegister(const HalvexContext& context, const std::string& library, bool unregister, std::ostream& out,
                std::ostream& err) {
  std::error_code ec;
  std::string path = std::filesystem::absolute(library, ec).lexically_normal().string();
  // Which libraries are registered is not known while the registry cannot
  // be read.
  if (const std::string unread = RegistryReadProblem(); unregister && !unread.empty()) {
    err << "halvex unregister: " << unread << ", so nothing is unregistered\n";
    return kExitFailure;
  }
  if (unregister && !IsRegisteredLibrary(path)) {
    err << "halvex unregister: " << path << " was never registered: no plug-in in the registry ("
        << RegistryStore::Path() << ") has this library\n";
    return kExitFailure;
  }
  if (ec || !std::filesystem::is_regular_file(path, ec)) {
    err << "halvex: no such library: " << library << "\n";
    return kExitFailure;
  }
  Application->SetExeName(context.exePath);
  PluginLibrary lib;
  if (!lib.Load(path)) {
    err << "halvex: cannot load " << path << ": " << lib.Error() << "\n";
    return kExitFailure;
  }
  auto entry = unregister ? lib.unregisterServer : lib.registerServer;
  if (entry == nullptr) {
    err << "halvex: " << path << " exports no " << (unregister ? "DllUnregisterServer" : "DllRegisterServer") << "\n";
    return kExitFailure;
  }
  HRESULT hr = entry();
  out << (unregister ? "DllUnregisterServer: " : "DllRegisterServer: ") << ResultText(hr) << "\n";
  if (FAILED(hr)) {
    TellRegistryProblem(unregister, err);
    return kExitFailure;
  }
  if (!unregister)
    for (const RegisteredPlugin& p : RegisteredPlugins())
      if (p.library == path) out << "registered " << p.clsid << " " << p.progId << "\n";
  out << "registry: " << RegistryStore::Path() << "\n";
  return kExitSuccess;
}

int RunPlugins(const HalvexContext&, std::ostream& out, std::ostream& err) {
  if (const std::string unread = RegistryReadProblem(); !unread.empty()) {
    err << "halvex plugins: " << unread << ", so no plug-in can be listed\n";
    return kExitFailure;
  }
  std::vector<RegisteredPlugin> list = RegisteredPlugins();
  if (list.empty()) out << "no plug-ins registered (registry: " << RegistryStore::Path() << ")\n";
  for (const RegisteredPlugin& p : list) {
    out << p.clsid << " " << (p.progId.empty() ? "(no ProgID)" : p.progId) << "\n";
    out << "  library: " << (p.library.empty() ? "(none)" : p.library) << "\n";
    if (!p.description.empty()) out << "  description: " << p.description << "\n";
    if (!p.version.empty() || !p.load.empty()) out << "  version: " << p.version << ", load: " << p.load << "\n";
  }
  return kExitSuccess;
}
