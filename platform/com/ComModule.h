#pragma once
// The in-process server's module: its count of living objects and server
// locks, its object map (the classes it serves) and their class factories.
//
// The library's exports answer from here: DllGetClassObject hands out the
// factory of a class in the map, DllCanUnloadNow answers S_OK only while the
// count is 0. Every object of the server counts itself in while it lives
// (ComModuleLock in its constructor, ComModuleUnlock in its destructor).

#include <atomic>
#include <string>
#include <vector>

#include "platform/com/ClassFactory.h"
#include "platform/win/WinTypes.h"

// The module's state belongs to the library it is linked into (the library
// platform_com_module, linked into each server): a host program that serves
// classes too keeps an object map of its own.
#define COM_MODULE_LOCAL __attribute__((visibility("hidden")))

// Creates one object of a class and asks it for `iid`.
using ComCreateFunction = HRESULT (*)(REFIID iid, void** object);

// One class of the server.
struct ComObjectMapEntry {
  CLSID clsid;
  ComCreateFunction create;
  std::string progId;          // "Library.Class"
  std::string description;     // default value of the class's keys
  std::string threadingModel;  // "Apartment", "Both", ... or empty
};

// The count of living objects and locks.
COM_MODULE_LOCAL void ComModuleLock();
COM_MODULE_LOCAL void ComModuleUnlock();
COM_MODULE_LOCAL long ComModuleLockCount();

// The classes of the server and its module handle, set once at load.
COM_MODULE_LOCAL void ComModuleInit(std::vector<ComObjectMapEntry> objectMap, HINSTANCE module);
// Forgets the map (at unload).
COM_MODULE_LOCAL void ComModuleTerm();
COM_MODULE_LOCAL const std::vector<ComObjectMapEntry>& ComModuleObjectMap();
COM_MODULE_LOCAL HINSTANCE ComModuleInstance();

// The factory of `clsid` from the object map asked as `iid`;
// CLASS_E_CLASSNOTAVAILABLE for a class not in the map.
COM_MODULE_LOCAL HRESULT ComModuleGetClassObject(REFCLSID clsid, REFIID iid, void** object);
// S_OK when the count is 0, else S_FALSE.
COM_MODULE_LOCAL HRESULT ComModuleCanUnloadNow();
// The ProgID of a class in the map, or empty.
COM_MODULE_LOCAL std::string ComModuleProgId(REFCLSID clsid);
