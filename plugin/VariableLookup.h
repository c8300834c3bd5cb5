#pragma once
// The lookup of a PLC variable's IEC type through the host: the IEC variables
// manager first, the host's variables interface as the fallback for the type
// code.

#include <string>

#include "grid/PinVariable.h"

// Fills `record` for `name`: from the IEC variables manager (only S_OK
// counts; the type names "DATE_AND_TIME", "STRUCT" and "TIME_OF_DAY" become
// "DT", "UDINT" and "TOD"), then IecTypeName for what is still unknown.
void GetVariableInfo(const std::string& name, TPinVariable& record);
