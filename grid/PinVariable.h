#pragma once
// What the host tells about a PLC variable: its IEC type by name and code.
// The page objects, the generator, the dialogs and the plug-in frame all read
// it; the plug-in frame fills it (plugin/VariableLookup.h).

#include <cstdint>
#include <string>

struct TPinVariable {
  std::string name;
  std::string typeName;        // e.g. "UINT", "DT", "UDINT"; empty when unknown
  std::int32_t typeCode = -1;  // IEC type code; -1 when unknown
  std::string furtherText;
};
