#pragma once
// Self-registration of an in-process server in the registry store: the keys
// of a class and its ProgID, and the entries of a type library.
//
// A class registered here has, under HKEY_CLASSES_ROOT:
//   CLSID\{clsid}                    (default) description
//   CLSID\{clsid}\InprocServer32     (default) the library's full path,
//                                    ThreadingModel (when given)
//   CLSID\{clsid}\ProgID             (default) the ProgID
//   CLSID\{clsid}\Typelib            (default) the LIBID (when given)
//   CLSID\{clsid}\Version            (default) "major.minor" of the type library
//   <ProgID>                         (default) description
//   <ProgID>\CLSID                   (default) {clsid}
// and a type library:
//   TypeLib\{libid}\<major.minor>              (default) help text
//   TypeLib\{libid}\<major.minor>\<lcid>\win32 (default) the library's path
//   TypeLib\{libid}\<major.minor>\FLAGS        (default) "0"
//   TypeLib\{libid}\<major.minor>\HELPDIR      (default) the library's folder
//   Interface\{iid}                            (default) interface name, with
//                                              ProxyStubClsid32 and TypeLib
//                                              (default LIBID, Version)
// for each interface the library itself defines.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/com/Bstr.h"
#include "platform/com/Unknown.h"

struct ServerClassInfo {
  CLSID clsid;
  std::string progId;
  std::string description;
  std::string threadingModel;   // empty: no value
  std::string modulePath;       // the library's full path
  const GUID* libid = nullptr;  // the class's type library, or none
  std::uint16_t libMajor = 1;
  std::uint16_t libMinor = 0;
};

struct TypeLibInterface {
  IID iid;
  std::string name;
};

struct TypeLibInfo {
  GUID libid;
  std::string name;      // the library's name (for reference)
  std::string helpText;  // default value of the version key
  std::uint16_t major = 1;
  std::uint16_t minor = 0;
  std::uint32_t lcid = 0;
  std::string modulePath;
  std::vector<TypeLibInterface> interfaces;
};

// Writes the class keys; SELFREG_E_CLASS when the store cannot be written.
HRESULT RegisterServerClass(const ServerClassInfo& info);
// Removes the class key tree and the ProgID key tree; keys already gone are
// no failure. SELFREG_E_CLASS when the store cannot be written.
HRESULT UnregisterServerClass(const ServerClassInfo& info);

// Writes the type library's entries; TYPE_E_REGISTRYACCESS on a write failure.
HRESULT RegisterTypeLibEntries(const TypeLibInfo& info);

// SYSKIND of UnRegisterTypeLib.
inline constexpr int SYS_WIN16 = 0;
inline constexpr int SYS_WIN32 = 1;
// Removes the version key of the type library (and the LIBID key when no
// other version is left) and the Interface keys that name this library.
// TYPE_E_REGISTRYACCESS when the library is not registered, or the store
// cannot be written.
HRESULT UnRegisterTypeLib(REFGUID libid, std::uint16_t major, std::uint16_t minor, std::uint32_t lcid, int syskind);

// The ProgID registered for a class, as a UTF-16 text from CoTaskMemAlloc;
// REGDB_E_CLASSNOTREG when the class has none.
HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* progId);
// The class registered for a ProgID; CO_E_CLASSSTRING when unknown.
inline constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3u);
HRESULT CLSIDFromProgID(const std::string& progId, CLSID* clsid);
