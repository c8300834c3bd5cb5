#include "platform/help/HtmlHelp.h"

#include <mutex>

namespace {

std::mutex gLock;
std::vector<HtmlHelpRequest> gRequests;
bool gInstalled = true;
bool gLookupFinds = true;

// The viewer's window as the stand-in hands it out.
int gViewerWindow;

}  // namespace

HtmlHelpAProc LoadHtmlHelpLibrary() {
  std::lock_guard<std::mutex> guard(gLock);
  return gInstalled ? &HtmlHelpA : nullptr;
}

void* HtmlHelpA(void* /*caller*/, LPCSTR file, UINT command, std::uintptr_t data) {
  HtmlHelpRequest request;
  request.file = file != nullptr ? file : "";
  request.command = command;
  bool lookup = command == HH_KEYWORD_LOOKUP || command == HH_ALINK_LOOKUP;
  if (lookup && data != 0) {
    const auto* link = reinterpret_cast<const HH_AKLINK*>(data);
    if (link->pszKeywords != nullptr) request.keywords = link->pszKeywords;
  }
  std::lock_guard<std::mutex> guard(gLock);
  gRequests.push_back(request);
  if (lookup && (data == 0 || !gLookupFinds)) return nullptr;
  return &gViewerWindow;
}

std::vector<HtmlHelpRequest> HtmlHelpRequests() {
  std::lock_guard<std::mutex> guard(gLock);
  return gRequests;
}

void ClearHtmlHelpRequests() {
  std::lock_guard<std::mutex> guard(gLock);
  gRequests.clear();
}

void SetHtmlHelpInstalled(bool installed) {
  std::lock_guard<std::mutex> guard(gLock);
  gInstalled = installed;
}

void SetHtmlHelpLookupFinds(bool finds) {
  std::lock_guard<std::mutex> guard(gLock);
  gLookupFinds = finds;
}
