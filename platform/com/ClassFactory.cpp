#include "platform/com/ClassFactory.h"

#include <mutex>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/com/ComponentCategories.h"
#include "platform/com/ResultCodes.h"

namespace {

struct ClassEntry {
  CLSID clsid;
  ComPtr<IUnknown> factory;  // the table's reference
  DWORD context;
  DWORD cookie;
};

struct ClassTable {
  std::mutex lock;
  std::vector<ClassEntry> entries;
  DWORD nextCookie = 1;
};

ClassTable& Table() {
  static ClassTable table;
  return table;
}

// The factory serving `clsid` in `context` (empty when none).
ComPtr<IUnknown> FindFactory(REFCLSID clsid, DWORD context) {
  ClassTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  for (auto it = table.entries.rbegin(); it != table.entries.rend(); ++it)
    if (it->clsid == clsid && (it->context & context) != 0) return it->factory;
  return nullptr;
}

}  // namespace

HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* factory, DWORD context, DWORD, DWORD* cookie) {
  if (factory == nullptr || cookie == nullptr) return E_INVALIDARG;
  ClassTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  *cookie = table.nextCookie++;
  table.entries.push_back({clsid, ComPtr<IUnknown>(factory), context == 0 ? CLSCTX_INPROC_SERVER : context, *cookie});
  return S_OK;
}

HRESULT CoRevokeClassObject(DWORD cookie) {
  // Released outside the lock: a factory may end with the release.
  ComPtr<IUnknown> factory;
  {
    ClassTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    for (auto it = table.entries.begin(); it != table.entries.end(); ++it) {
      if (it->cookie == cookie) {
        factory = std::move(it->factory);
        table.entries.erase(it);
        break;
      }
    }
  }
  return factory ? S_OK : E_INVALIDARG;
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID iid, void** object) {
  if (object == nullptr) return E_INVALIDARG;
  *object = nullptr;
  ComPtr<IUnknown> factory = FindFactory(clsid, context);
  if (!factory) {
    // The system's own classes are always there.
    if (clsid == CLSID_StdComponentCategoriesMgr && (context & CLSCTX_INPROC_SERVER) != 0)
      return StdComponentCategoriesFactory()->QueryInterface(iid, object);
    return REGDB_E_CLASSNOTREG;
  }
  return factory->QueryInterface(iid, object);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  ComPtr<IClassFactory> factory;
  HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, factory.PutVoid());
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(outer, iid, object);
}
