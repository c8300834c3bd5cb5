#pragma once
// Class factories and the process's table of in-process classes.
//
// A class is reached by its CLSID through CoCreateInstance. The classes of
// the process (the host's own services, such as its PLC communication
// services, and the system's component categories manager) are entered in a
// table with CoRegisterClassObject; CoCreateInstance asks the class's factory
// for a new object.

#include <cstdint>

#include "platform/com/Unknown.h"
#include "platform/win/WinTypes.h"

// {00000001-0000-0000-C000-000000000046}
inline constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class IClassFactory : public IUnknown {
 public:
  // Position 3: a new object asked as `iid`; `outer` must be null (no
  // aggregation: CLASS_E_NOAGGREGATION).
  virtual HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
  // Position 4: keeps the server loaded while `lock` is true.
  virtual HRESULT LockServer(BOOL lock) = 0;

 protected:
  ~IClassFactory() = default;
};

// Class contexts.
inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
inline constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
inline constexpr DWORD CLSCTX_ALL =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

inline constexpr DWORD REGCLS_SINGLEUSE = 0;
inline constexpr DWORD REGCLS_MULTIPLEUSE = 1;

// Enters `factory` (an object answering IClassFactory; the table keeps a
// reference) for `clsid` and hands out a cookie for its removal. A later
// entry for the same CLSID hides an earlier one until that is revoked.
HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* factory, DWORD context, DWORD flags, DWORD* cookie);
// Removes the entry of `cookie` and releases its factory.
HRESULT CoRevokeClassObject(DWORD cookie);

// The factory of `clsid` asked as `iid`: REGDB_E_CLASSNOTREG when no entry
// serves the context.
HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved, REFIID iid, void** object);
// A new object of `clsid` asked as `iid`, through its factory.
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object);
