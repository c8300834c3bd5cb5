#pragma once
// Component categories: marks under a class's registry key that say which
// kinds of component the class is. The host finds its plug-ins by the
// category they implement.
//
// A class that implements a category has the key
//   HKEY_CLASSES_ROOT\CLSID\{clsid}\Implemented Categories\{catid}
// in the registry store. The system's categories manager
// (CLSID_StdComponentCategoriesMgr, answering ICatRegister) writes and
// removes these keys; it is always available to CoCreateInstance.

#include <cstdint>
#include <vector>

#include "platform/com/Unknown.h"

using CATID = GUID;
using REFCATID = const GUID&;

// {0002E005-0000-0000-C000-000000000046}
inline constexpr CLSID CLSID_StdComponentCategoriesMgr = {
    0x0002E005, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {0002E012-0000-0000-C000-000000000046}
inline constexpr IID IID_ICatRegister = {0x0002E012, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct CATEGORYINFO;

class ICatRegister : public IUnknown {
 public:
  // Positions 3 and 4: the categories' own descriptions (not kept here:
  // E_NOTIMPL).
  virtual HRESULT RegisterCategories(std::uint32_t count, CATEGORYINFO* infos) = 0;
  virtual HRESULT UnRegisterCategories(std::uint32_t count, CATID* ids) = 0;
  // Positions 5 and 6: marks `clsid` as implementing the categories, or
  // removes the marks (also when the class's other keys are gone; empty keys
  // left behind are removed with them). REGDB_E_WRITEREGDB when the registry
  // cannot be written.
  virtual HRESULT RegisterClassImplCategories(REFCLSID clsid, std::uint32_t count, CATID* ids) = 0;
  virtual HRESULT UnRegisterClassImplCategories(REFCLSID clsid, std::uint32_t count, CATID* ids) = 0;
  // Positions 7 and 8: categories the class requires of its container.
  virtual HRESULT RegisterClassReqCategories(REFCLSID clsid, std::uint32_t count, CATID* ids) = 0;
  virtual HRESULT UnRegisterClassReqCategories(REFCLSID clsid, std::uint32_t count, CATID* ids) = 0;

 protected:
  ~ICatRegister() = default;
};

// The factory of the system's categories manager (process-wide, never freed).
IUnknown* StdComponentCategoriesFactory();

// The classes whose registry key marks `catid` as implemented, in the order
// of the registry's key names.
std::vector<CLSID> ClassesImplementingCategory(REFCATID catid);
