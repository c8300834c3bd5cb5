#pragma once
// The designer's variable look-up answered by the simulated host's IEC
// variables manager, as the plug-in frame answers it. Header only; a suite
// that uses it links host_sim.

#include <cstdint>
#include <string>

#include "grid/VariableInfo.h"
#include "host/sim/HalvexHost.h"
#include "platform/com/TaskMem.h"

namespace testsupport {

// The host the look-up asks; set by the test while it binds the look-up.
inline HalvexHost* gLookupHost = nullptr;

// For gGridVariableLookup: the type name and code of a variable, -1 when the
// host does not know it.
inline void SimVariableLookup(const std::string& name, TPinVariable& record) {
  record = TPinVariable{};
  record.name = name;
  char* typeName = nullptr;
  char* further = nullptr;
  HostLong code = -1;
  if (gLookupHost != nullptr &&
      gLookupHost->IecVariables().GetVariableInfo(name.c_str(), "", &typeName, &further, &code) == S_OK) {
    record.typeName = typeName != nullptr ? typeName : "";
    record.typeCode = static_cast<std::int32_t>(code);
  }
  CoTaskMemFree(typeName);
  CoTaskMemFree(further);
}

}  // namespace testsupport
