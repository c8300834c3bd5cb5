#pragma once
// The host's variables interface (IQendVariables: where a variable lies) and
// its web variable map (IHalvexWebTdiMap: the TDI numbers of the variables a
// web compilation uses), both answered from the project's variable table.
//
// The map hands out the TDI number of each name (VariableTable.h): the one
// the project gives a variable, and numbers of their own to variables
// without one and to every member and element, which also carry their byte
// offset from their variable's start as the extra value. The last completed
// pass is kept.

#include <mutex>
#include <string>
#include <vector>

#include "host/sim/HostInterface.h"
#include "hostapi/HostVariables.h"

class HostVariables final : public HostInterface<IQendVariables> {
 public:
  using HostInterface::HostInterface;
  HRESULT GetVariablePosition(const char* name, std::uint8_t* area, std::uint16_t* kind, std::uint32_t* address,
                              std::uint8_t* size) override;
};

struct HostTdiEntry {
  std::string name;
  WebTdiVarInfo info;
};

class HostWebTdiMap final : public HostInterface<IHalvexWebTdiMap> {
 public:
  using HostInterface::HostInterface;

  HRESULT WebTdi_OpenPass() override;
  HRESULT WebTdi_AddVariable(const char* name, WebTdiVarInfo* info) override;
  HRESULT WebTdi_ClosePass() override;
  HRESULT WebTdi_GetVarInfo(const char* name, WebTdiVarInfo* info) override;

  // The entries of the last completed pass, in the order they were added.
  std::vector<HostTdiEntry> LastPass() const;
  bool PassOpen() const;
  int PassCount() const;

 private:
  HRESULT Lookup(const char* name, WebTdiVarInfo* info);

  mutable std::mutex mutex_;
  bool open_ = false;
  int passes_ = 0;
  std::vector<HostTdiEntry> current_;
  std::vector<HostTdiEntry> last_;
};
