#pragma once
// The plug-in's COM server: its object map, its self-registration and
// unregistration.

#include "platform/com/Unknown.h"

// Sets up the module with the coclass TarnwellCoClass (at load).
void InitTarnwellModule();

// The registration: class keys, type library, the two component
// categories and the values "Load", "Version" and "Description" under the
// ProgID. A failure of the categories manager raises EOleSysError; values
// that cannot be written answer SELFREG_E_CLASS.
HRESULT RegisterTarnwellServer();
// The unregistration: the two category marks (also when the class keys are
// already gone), the class and ProgID keys, the type library. A registry
// that cannot be written fails it (the marks' failure raises EOleSysError).
HRESULT UnregisterTarnwellServer();
