#include "core/HostEnvironment.h"

#include "platform/vcl/MessageDialog.h"

namespace {

std::string gExeName;
std::string gOemDir;
IQendProjectManager* gProjectManager = nullptr;
HostMessageHook gHostMessageHook;

}  // namespace

void SetHostExeName(const std::string& path) { gExeName = path; }
const std::string& HostExeName() { return gExeName; }

void SetOemDir(const std::string& dir) { gOemDir = dir; }
const std::string& OemDir() { return gOemDir; }

std::string HelpBaseFolder() {
  if (!gOemDir.empty()) return gOemDir;
  std::size_t cut = gExeName.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : gExeName.substr(0, cut);
}

void SetHostProjectManager(IQendProjectManager* manager) { gProjectManager = manager; }
IQendProjectManager* HostProjectManager() { return gProjectManager; }

void SetHostMessageHook(HostMessageHook hook) { gHostMessageHook = std::move(hook); }

void ReportHostMessage(const std::string& text, const std::string& source) {
  if (gHostMessageHook) gHostMessageHook(text, source);
}

void ShowPlainMessage(const std::string& text) { ShowMessage(text); }
