#pragma once
// The compile host of the plug-in: what a compile of the web project asks of
// the host, answered through the host interfaces that the installation holds
// (plugin/PluginState.h), the CPM code of the last CPM event, the start-up
// switches and the "disable.tdi" flag of the open project.

#include <memory>

#include "generator/CompileHost.h"
#include "hostapi/HostMessages.h"
#include "platform/com/ComPtr.h"

class TPluginCompileHost : public TCompileHost {
 public:
  void PrepareMessages() override;
  bool AcquireCompilerMessages() override;
  void ReleaseCompilerMessages() override;
  void AddCompilerMessage(const std::string& text, const std::string& source) override;

  void GetVariableInfo(const std::string& name, TPinVariable& record) override;
  bool HasVariablesInterface() override;
  bool GetVariablePosition(const std::string& name, TVariablePosition& position) override;
  bool OpenTdiPass() override;
  bool AddTdiVariable(const std::string& name, WebTdiVarInfo& info) override;
  void CloseTdiPass() override;
  bool GetVariableSize(const std::string& name, int& size) override;
  bool GetMembers(const std::string& name, std::vector<std::string>& members) override;
  int CpmCode() override;

  void SendStatusText(HWND window, const std::string& text) override;
  void KeepResponsive(HWND window) override;

  bool ReportCompileTime() override;
  bool TdiMapDisabled() override;
  void SetTdiMapDisabled(bool disabled) override;
  std::string ScriptsFolder() override;
  std::int64_t Now() override;
  std::uint64_t TickCount() override;

 private:
  // The compiler-message interface of the current compile.
  ComPtr<IQendCompiler> compiler_;
};
