#pragma once
// A compile host without a host IDE: no message window (messages are
// dropped), no variables (every variable is unknown), no web variable map,
// no status line, no switches; the machine's clock. The designer uses it
// where no plug-in frame gives the real host.

#include "generator/CompileHost.h"

class TDetachedCompileHost : public TCompileHost {
 public:
  void PrepareMessages() override {}
  bool AcquireCompilerMessages() override { return false; }
  void ReleaseCompilerMessages() override {}
  void AddCompilerMessage(const std::string&, const std::string&) override {}
  void GetVariableInfo(const std::string& name, TPinVariable& record) override;
  bool HasVariablesInterface() override { return false; }
  bool GetVariablePosition(const std::string&, TVariablePosition&) override { return false; }
  bool OpenTdiPass() override { return false; }
  bool AddTdiVariable(const std::string&, WebTdiVarInfo&) override { return false; }
  void CloseTdiPass() override {}
  bool GetVariableSize(const std::string&, int&) override { return false; }
  bool GetMembers(const std::string&, std::vector<std::string>& members) override;
  int CpmCode() override { return -1; }
  void SendStatusText(HWND, const std::string&) override {}
  void KeepResponsive(HWND) override {}
  bool ReportCompileTime() override { return false; }
  bool TdiMapDisabled() override { return tdiMapDisabled_; }
  void SetTdiMapDisabled(bool disabled) override { tdiMapDisabled_ = disabled; }
  std::string ScriptsFolder() override { return std::string(); }
  std::int64_t Now() override;
  std::uint64_t TickCount() override;

 private:
  bool tdiMapDisabled_ = false;
};
