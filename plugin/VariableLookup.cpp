#include "plugin/VariableLookup.h"

#include "platform/com/TaskMem.h"
#include "plugin/PluginState.h"
#include "plugin/VarPosCheck.h"

namespace {

std::string SubstitutedTypeName(const std::string& name) {
  if (name == "DATE_AND_TIME") return "DT";
  if (name == "STRUCT") return "UDINT";
  if (name == "TIME_OF_DAY") return "TOD";
  return name;
}

}  // namespace

void GetVariableInfo(const std::string& name, TPinVariable& record) {
  char* typeName = nullptr;
  char* furtherText = nullptr;
  HostLong typeCode = -1;
  HRESULT hr = E_FAIL;
  if (gHost.ifIECManVariables)
    hr = gHost.ifIECManVariables->GetVariableInfo(name.c_str(), "", &typeName, &furtherText, &typeCode);
  record.name = name;
  if (hr == S_OK) {
    record.typeCode = typeCode;
    record.typeName = typeName != nullptr ? SubstitutedTypeName(typeName) : std::string();
    record.furtherText = furtherText != nullptr ? std::string(furtherText) : std::string();
  } else {
    record.typeCode = -1;
    record.typeName.clear();
    record.furtherText.clear();
  }
  // Texts the host handed out are freed whatever the answer was.
  CoTaskMemFree(typeName);
  CoTaskMemFree(furtherText);
  IecTypeName(record);
}
