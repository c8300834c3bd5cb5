#pragma once
// The variable lookup of the plug-in frame, reached through a hook so that the
// page element model does not link the frame: the frame (or a test) binds
// gGridVariableLookup to GetVariableInfo. Unbound, a lookup changes nothing.

#include <string>

#include "grid/PinVariable.h"

using TGridVariableLookup = void (*)(const std::string& name, TPinVariable& record);
extern TGridVariableLookup gGridVariableLookup;

// Fills the record for the name through the hook; false (record untouched)
// while no lookup is bound.
bool LookUpGridVariable(const std::string& name, TPinVariable& record);
