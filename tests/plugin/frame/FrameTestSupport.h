#pragma once
// Host stand-ins for the frame's services: the host's variables, its IEC
// variables manager and its web variable map, answering from small tables.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "hostapi/HostVariables.h"
#include "hostapi/IIECManVariables.h"
#include "hostapi/IQendProjectManager.h"

namespace frametest {

struct HostVariable {
  std::uint8_t area = 0;
  std::uint16_t kind = 0;
  std::uint32_t address = 0;
  std::uint8_t size = 0;
};

struct IecVariable {
  std::string typeName;  // empty: none handed out
  std::string furtherText;
  HostLong code = -1;
  HRESULT answer = S_OK;
};

class HostTables final : public IQendVariables, public IIECManVariables, public IHalvexWebTdiMap {
 public:
  std::map<std::string, HostVariable> variables;
  std::map<std::string, IecVariable> iec;
  std::map<std::string, WebTdiVarInfo> map;
  HRESULT openPassAnswer = S_OK;
  std::vector<std::string> calls;

  HRESULT QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }

  HRESULT GetVariablePosition(const char* name, std::uint8_t* area, std::uint16_t* kind, std::uint32_t* address,
                              std::uint8_t* size) override;

  HRESULT BrowseVariable(const char*, char**, HostLong) override { return E_NOTIMPL; }
  HRESULT BrowseTypedVariable(const char*, const char*, char**, HostLong*) override { return E_NOTIMPL; }
  HRESULT GetVariableInfo(const char* name, const char* scope, char** typeName, char** furtherText,
                          HostLong* typeCode) override;
  HRESULT GetTypeList(char**, HostLong) override { return E_NOTIMPL; }
  HRESULT GetMembers(const char*, const char*, char**) override { return E_NOTIMPL; }
  HRESULT GetVariableSize(const char*, HostLong*) override { return E_NOTIMPL; }
  HRESULT Reserved9() override { return S_OK; }
  HRESULT Reserved10() override { return S_OK; }
  HRESULT Reserved11() override { return S_OK; }

  HRESULT WebTdi_OpenPass() override;
  HRESULT WebTdi_AddVariable(const char* name, WebTdiVarInfo* info) override;
  HRESULT WebTdi_ClosePass() override;
  HRESULT WebTdi_GetVarInfo(const char* name, WebTdiVarInfo* info) override;
};

// Hands the core services the host's project manager (null: none), as the
// installation does. Here, because core's HostProjectManager() and the
// simulated host's class of that name cannot meet in one source file.
void BindCoreProjectManager(IQendProjectManager* manager);

// A trace log of its own for one test.
class TraceFile {
 public:
  TraceFile();
  ~TraceFile();
  std::vector<std::string> Lines() const;
  bool Has(const std::string& part) const;

 private:
  std::filesystem::path folder_;
};

}  // namespace frametest
