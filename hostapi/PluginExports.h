#pragma once
// The functions the plug-in library exports with C linkage, as the host finds
// them with dlsym, and their names.
//
// The host loads the library, calls TarnwellSetHostCommandLine with its own
// argument list (argument 0 is the host program's path; this stands for the
// process command line the library reads when it is loaded), then reaches
// the plug-in through DllGetClassObject. Before it unloads the library it
// calls ControledDestruction and unloads only on S_OK.

#include <cstdint>

#include "platform/com/Unknown.h"

using DllGetClassObjectFunction = HRESULT (*)(REFCLSID clsid, REFIID iid, void** object);
using DllCanUnloadNowFunction = HRESULT (*)();
using DllRegisterServerFunction = HRESULT (*)();
using DllUnregisterServerFunction = HRESULT (*)();
// One value, not used; answers as DllCanUnloadNow after deleting the plug-in's
// hidden main form.
using ControledDestructionFunction = HRESULT (*)(std::uint32_t value);
// The host's build: (not used, not used, host object, not used, out 0, out 0).
using ClLinkExtendedProgMapFunction = HRESULT (*)(std::uint32_t value1, std::uint32_t value2, IUnknown* host,
                                                  std::uint32_t value4, std::uint32_t* out5, std::uint32_t* out6);
using TarnwellSetHostCommandLineFunction = void (*)(int argc, const char* const* argv);
// The error of the designer's last save-and-compile when it failed, taken
// (empty until another fails): the host cannot tell a failed compile of a
// click on the designer's button otherwise. The text lives until the next
// call.
using TarnwellTakeCompileFailureFunction = const char* (*)();
// Why the designer holds no project (its opening was refused or gave up),
// empty while it holds one or without a designer: the host tells it and runs
// no action in the empty designer. The text lives until the next call.
using TarnwellDesignerOpenFailureFunction = const char* (*)();

inline constexpr const char* EXPORT_DllGetClassObject = "DllGetClassObject";
inline constexpr const char* EXPORT_DllCanUnloadNow = "DllCanUnloadNow";
inline constexpr const char* EXPORT_DllRegisterServer = "DllRegisterServer";
inline constexpr const char* EXPORT_DllUnregisterServer = "DllUnregisterServer";
inline constexpr const char* EXPORT_ControledDestruction = "ControledDestruction";
inline constexpr const char* EXPORT_ClLinkExtendedProgMap = "ClLinkExtendedProgMap";
inline constexpr const char* EXPORT_TarnwellSetHostCommandLine = "TarnwellSetHostCommandLine";
inline constexpr const char* EXPORT_TarnwellTakeCompileFailure = "TarnwellTakeCompileFailure";
inline constexpr const char* EXPORT_TarnwellDesignerOpenFailure = "TarnwellDesignerOpenFailure";
