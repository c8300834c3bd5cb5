#include "FrameTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "core/HostEnvironment.h"
#include "core/TraceLog.h"
#include "platform/com/TaskMem.h"

namespace frametest {

namespace {

char* TaskText(const std::string& text) {
  auto* copy = static_cast<char*>(CoTaskMemAlloc(text.size() + 1));
  std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

}  // namespace

HRESULT HostTables::GetVariablePosition(const char* name, std::uint8_t* area, std::uint16_t* kind,
                                        std::uint32_t* address, std::uint8_t* size) {
  calls.push_back(std::string("position ") + name);
  auto it = variables.find(name);
  if (it == variables.end()) return E_FAIL;
  *area = it->second.area;
  *kind = it->second.kind;
  *address = it->second.address;
  *size = it->second.size;
  return S_OK;
}

HRESULT HostTables::GetVariableInfo(const char* name, const char* scope, char** typeName, char** furtherText,
                                    HostLong* typeCode) {
  calls.push_back(std::string("info ") + name + "|" + scope);
  auto it = iec.find(name);
  if (it == iec.end()) return E_FAIL;
  *typeName = it->second.typeName.empty() ? nullptr : TaskText(it->second.typeName);
  *furtherText = it->second.furtherText.empty() ? nullptr : TaskText(it->second.furtherText);
  *typeCode = it->second.code;
  return it->second.answer;
}

HRESULT HostTables::WebTdi_OpenPass() {
  calls.push_back("open pass");
  return openPassAnswer;
}

HRESULT HostTables::WebTdi_AddVariable(const char* name, WebTdiVarInfo* info) {
  calls.push_back(std::string("add ") + name);
  auto it = map.find(name);
  if (it == map.end()) return E_FAIL;
  *info = it->second;
  return S_OK;
}

HRESULT HostTables::WebTdi_ClosePass() {
  calls.push_back("close pass");
  return S_OK;
}

HRESULT HostTables::WebTdi_GetVarInfo(const char* name, WebTdiVarInfo* info) {
  auto it = map.find(name);
  if (it == map.end()) return E_FAIL;
  *info = it->second;
  return S_OK;
}

TraceFile::TraceFile() {
  std::string pattern = (std::filesystem::temp_directory_path() / "twtraceXXXXXX").string();
  if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
  SetTraceLogPath((folder_ / "plugins.log").string());
  SetTraceLogEnabled(true);
}

TraceFile::~TraceFile() {
  SetTraceLogEnabled(false);
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
}

std::vector<std::string> TraceFile::Lines() const {
  std::vector<std::string> lines;
  std::ifstream in(folder_ / "plugins.log");
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

bool TraceFile::Has(const std::string& part) const {
  for (const std::string& line : Lines())
    if (line.find(part) != std::string::npos) return true;
  return false;
}

void BindCoreProjectManager(IQendProjectManager* manager) { SetHostProjectManager(manager); }

}  // namespace frametest
