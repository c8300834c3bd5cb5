#include "platform/win/ShellOpen.h"

#include <mutex>

namespace {

constexpr std::intptr_t kDone = 42;
constexpr std::intptr_t kFileNotFound = 2;
constexpr std::intptr_t kNoAssociation = 31;

std::mutex gShellMutex;
TShellOpenHandler gShellHandler;
std::vector<TShellOpenRequest> gShellLog;

std::string Text(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

}  // namespace

std::intptr_t ShellExecute(HWND, const char* verb, const char* file, const char* parameters, const char* directory,
                           int showCommand) {
  const TShellOpenRequest request{Text(verb), Text(file), Text(parameters), Text(directory), showCommand};
  TShellOpenHandler handler;
  {
    const std::lock_guard<std::mutex> lock(gShellMutex);
    gShellLog.push_back(request);
    handler = gShellHandler;
  }
  if (request.file.empty()) return kFileNotFound;
  if (handler && !handler(request)) return kNoAssociation;
  return kDone;
}

void SetShellOpenHandler(TShellOpenHandler handler) {
  const std::lock_guard<std::mutex> lock(gShellMutex);
  gShellHandler = std::move(handler);
}

std::vector<TShellOpenRequest> ShellOpenLog() {
  const std::lock_guard<std::mutex> lock(gShellMutex);
  return gShellLog;
}

void ClearShellOpenLog() {
  const std::lock_guard<std::mutex> lock(gShellMutex);
  gShellLog.clear();
}
