#pragma once
// The lookup of a PLC variable's IEC type through the host: the IEC variables
// manager first, the host's variables interface as the fallback for the type
// code.

#include <cstdint>
#include <string>

struct TPinVariable {
  std::string name;
  std::string typeName;        // e.g. "UINT", "DT", "UDINT"; empty when unknown
  std::int32_t typeCode = -1;  // IEC type code; -1 when unknown
  std::string furtherText;
};

// Fills `record` for `name`: from the IEC variables manager (only S_OK
// counts; the type names "DATE_AND_TIME", "STRUCT" and "TIME_OF_DAY" become
// "DT", "UDINT" and "TOD"), then IecTypeName for what is still unknown.
void GetVariableInfo(const std::string& name, TPinVariable& record);
