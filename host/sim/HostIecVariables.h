#pragma once
// The host's IEC variables manager (IIECManVariables): type names, codes,
// sizes and structure members from the project's variable table, and the
// variable browsers, whose choices a test or the command line scripts.
//
// A browser call takes the next scripted answer: a name (S_OK, the name in
// task memory) or a cancel (S_FALSE, no name). With no answer scripted the
// host on a screen shows its browser window (HostVariableBrowser.h) for a
// person to choose in; without a screen the browser is cancelled, as a
// dialog nobody answers. Every call is kept.

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "host/sim/HostInterface.h"
#include "hostapi/IIECManVariables.h"

struct HostBrowserCall {
  std::string current;
  std::string typeName;  // empty for the plain browser
  HostLong flags = 0;
  std::optional<std::string> answer;
};

class HostIecVariables final : public HostInterface<IIECManVariables> {
 public:
  using HostInterface::HostInterface;

  HRESULT BrowseVariable(const char* current, char** chosen, HostLong flags) override;
  HRESULT BrowseTypedVariable(const char* current, const char* typeName, char** chosen, HostLong* value) override;
  HRESULT GetVariableInfo(const char* name, const char* scope, char** typeName, char** furtherText,
                          HostLong* typeCode) override;
  HRESULT GetTypeList(char** types, HostLong flags) override;
  HRESULT GetMembers(const char* name, const char* scope, char** members) override;
  HRESULT GetVariableSize(const char* name, HostLong* size) override;
  HRESULT Reserved9() override { return E_NOTIMPL; }
  HRESULT Reserved10() override { return E_NOTIMPL; }
  HRESULT Reserved11() override { return E_NOTIMPL; }

  // The browsers' next answers: a name, or none for a cancel.
  void ScriptBrowser(std::optional<std::string> answer);
  std::vector<HostBrowserCall> BrowserCalls() const;

 private:
  HRESULT Browse(const char* current, const char* typeName, HostLong flags, char** chosen);

  mutable std::mutex mutex_;
  std::deque<std::optional<std::string>> script_;
  std::vector<HostBrowserCall> calls_;
};
