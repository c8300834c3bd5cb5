#include "grid/VariableInfo.h"

TGridVariableLookup gGridVariableLookup = nullptr;

bool LookUpGridVariable(const std::string& name, TPinVariable& record) {
  if (gGridVariableLookup == nullptr) return false;
  gGridVariableLookup(name, record);
  return true;
}
