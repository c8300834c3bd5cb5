#include "platform/com/ClassFactory.h"

#include <mutex>
#include <vector>

#include "platform/com/ComponentCategories.h"
#include "platform/com/ResultCodes.h"

namespace {

struct ClassEntry {
  CLSID clsid;
  IUnknown* factory;
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

// The factory serving `clsid` in `context`, with a reference for the caller.
IUnknown* FindFactory(REFCLSID clsid, DWORD context) {
  ClassTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  for (auto it = table.entries.rbegin(); it != table.entries.rend(); ++it) {
    if (it->clsid == clsid && (it->context & context) != 0) {
      it->factory->AddRef();
      return it->factory;
    }
  }
  return nullptr;
}

}  // namespace

HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* factory, DWORD context, DWORD, DWORD* cookie) {
  if (factory == nullptr || cookie == nullptr) return E_INVALIDARG;
  ClassTable& table = Table();
  std::lock_guard<std::mutex> guard(table.lock);
  factory->AddRef();
  *cookie = table.nextCookie++;
  table.entries.push_back({clsid, factory, context == 0 ? CLSCTX_INPROC_SERVER : context, *cookie});
  return S_OK;
}

HRESULT CoRevokeClassObject(DWORD cookie) {
  IUnknown* factory = nullptr;
  {
    ClassTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    for (auto it = table.entries.begin(); it != table.entries.end(); ++it) {
      if (it->cookie == cookie) {
        factory = it->factory;
        table.entries.erase(it);
        break;
      }
    }
  }
  if (factory == nullptr) return E_INVALIDARG;
  factory->Release();  // outside the lock: a factory may end with the release
  return S_OK;
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void*, REFIID iid, void** object) {
  if (object == nullptr) return E_INVALIDARG;
  *object = nullptr;
  IUnknown* factory = FindFactory(clsid, context);
  if (factory == nullptr) {
    // The system's own classes are always there.
    if (clsid == CLSID_StdComponentCategoriesMgr && (context & CLSCTX_INPROC_SERVER) != 0)
      return StdComponentCategoriesFactory()->QueryInterface(iid, object);
    return REGDB_E_CLASSNOTREG;
  }
  HRESULT hr = factory->QueryInterface(iid, object);
  factory->Release();
  return hr;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(outer, iid, object);
  factory->Release();
  return hr;
}
