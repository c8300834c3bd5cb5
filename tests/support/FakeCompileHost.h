#pragma once
// A compile host for tests: the variables a test declares with their IEC
// types and positions, an optional web variable map, the compiler messages
// and status texts it was sent, a fixed clock. Header only, so that every
// generator suite can use it.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "generator/CompileHost.h"

class FakeCompileHost : public TCompileHost {
 public:
  struct Variable {
    std::string typeName;  // as the IEC manager answers it ("UINT", "STRING", "ENUM", ...)
    std::int32_t typeCode = -1;
    TVariablePosition position;
    WebTdiVarInfo tdi;
    int size = 0;
    bool knownToIecManager = true;
  };

  // Declares a variable: IEC type, area (0 X .. 4 T), size code, offset.
  Variable& Declare(const std::string& name, const std::string& typeName, std::int32_t typeCode, std::uint8_t area,
                    std::uint16_t sizeCode, std::int32_t offset) {
    Variable& v = variables[name];
    v.typeName = typeName;
    v.typeCode = typeCode;
    v.position.area = area;
    v.position.sizeCode = sizeCode;
    v.position.offset = offset;
    v.tdi.areaCode = area;
    v.tdi.sizeCode = sizeCode;
    v.tdi.offset = static_cast<std::uint32_t>(offset);
    v.size = sizeCode < 8 ? 1 : sizeCode == 8 ? 1 : sizeCode == 9 ? 2 : sizeCode == 10 || sizeCode == 11 ? 4 : 8;
    return v;
  }

  // --- TCompileHost ---------------------------------------------------------------
  void PrepareMessages() override { ++prepareCalls; }
  bool AcquireCompilerMessages() override {
    holdsCompilerMessages = hasCompilerMessages;
    return holdsCompilerMessages;
  }
  void ReleaseCompilerMessages() override { holdsCompilerMessages = false; }
  void AddCompilerMessage(const std::string& text, const std::string& source) override {
    if (holdsCompilerMessages) messages.emplace_back(text, source);
  }
  void GetVariableInfo(const std::string& name, TPinVariable& record) override {
    record = TPinVariable{};
    record.name = name;
    auto it = variables.find(name);
    if (it == variables.end() || !it->second.knownToIecManager) return;
    record.typeName = it->second.typeName;
    record.typeCode = it->second.typeCode;
  }
  bool HasVariablesInterface() override { return hasVariablesInterface; }
  bool GetVariablePosition(const std::string& name, TVariablePosition& position) override {
    auto it = variables.find(name);
    if (it == variables.end()) return false;
    position = it->second.position;
    return true;
  }
  bool OpenTdiPass() override {
    if (!hasTdiMap) return false;
    passOpen = true;
    ++passesOpened;
    return true;
  }
  bool AddTdiVariable(const std::string& name, WebTdiVarInfo& info) override {
    auto it = variables.find(name);
    if (!passOpen || it == variables.end()) return false;
    info = it->second.tdi;
    tdiAdded.push_back(name);
    return true;
  }
  void CloseTdiPass() override {
    passOpen = false;
    ++passesClosed;
  }
  bool GetVariableSize(const std::string& name, int& size) override {
    auto it = variables.find(name);
    if (!hasIecManager || it == variables.end()) return false;
    size = it->second.size;
    return true;
  }
  bool GetMembers(const std::string& name, std::vector<std::string>& out) override {
    auto it = members.find(name);
    if (!hasIecManager || it == members.end()) return false;
    out = it->second;
    return true;
  }
  int CpmCode() override { return cpmCode; }
  void SendStatusText(HWND, const std::string& text) override { statusTexts.push_back(text); }
  void KeepResponsive(HWND) override { ++keepAlives; }
  bool ReportCompileTime() override { return compileTimeSwitch; }
  bool TdiMapDisabled() override { return tdiDisabled; }
  std::string ScriptsFolder() override { return scriptsFolder; }
  std::int64_t Now() override { return now; }
  std::uint64_t TickCount() override { return ticks; }

  // --- what the test sets -----------------------------------------------------------
  std::map<std::string, Variable> variables;
  std::map<std::string, std::vector<std::string>> members;
  bool hasCompilerMessages = true;
  bool hasVariablesInterface = true;
  bool hasTdiMap = false;
  bool hasIecManager = true;
  bool compileTimeSwitch = false;
  bool tdiDisabled = false;
  int cpmCode = 11;
  std::string scriptsFolder;
  std::int64_t now = 1700000000;  // 2023-11-14 22:13:20 UTC
  std::uint64_t ticks = 0;

  // --- what the test reads ----------------------------------------------------------
  bool holdsCompilerMessages = false;
  std::vector<std::pair<std::string, std::string>> messages;  // (text, source)
  std::vector<std::string> statusTexts;
  std::vector<std::string> tdiAdded;
  int prepareCalls = 0;
  int keepAlives = 0;
  bool passOpen = false;
  int passesOpened = 0;
  int passesClosed = 0;
};
