#include "platform/com/ComponentCategories.h"

#include <atomic>
#include <string>

#include "platform/com/ClassFactory.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Guid.h"
#include "platform/com/ResultCodes.h"
#include "platform/com/StaticClassFactory.h"
#include "platform/win/RegistryStore.h"

namespace {

std::string ClassKey(REFCLSID clsid) { return "CLSID\\" + GuidToString(clsid); }

// Removes `key` when it has neither sub-keys nor values; false when the
// registry could not be written.
bool DeleteKeyWhenEmpty(const std::string& key) {
  if (!RegistryStore::KeyExists(HKEY_CLASSES_ROOT, key)) return true;
  if (!RegistryStore::SubKeyNames(HKEY_CLASSES_ROOT, key).empty() ||
      !RegistryStore::ValueNames(HKEY_CLASSES_ROOT, key).empty())
    return true;
  return RegistryStore::DeleteKeyIfPresent(HKEY_CLASSES_ROOT, key);
}

HRESULT MarkCategories(REFCLSID clsid, const char* kind, std::uint32_t count, CATID* ids) {
  if (count > 0 && ids == nullptr) return E_INVALIDARG;
  for (std::uint32_t i = 0; i < count; ++i) {
    if (!RegistryStore::CreateKey(HKEY_CLASSES_ROOT, ClassKey(clsid) + "\\" + kind + "\\" + GuidToString(ids[i])))
      return REGDB_E_WRITEREGDB;
  }
  return S_OK;
}

HRESULT UnmarkCategories(REFCLSID clsid, const char* kind, std::uint32_t count, CATID* ids) {
  if (count > 0 && ids == nullptr) return E_INVALIDARG;
  std::string kindKey = ClassKey(clsid) + "\\" + kind;
  for (std::uint32_t i = 0; i < count; ++i)
    if (!RegistryStore::DeleteKeyIfPresent(HKEY_CLASSES_ROOT, kindKey + "\\" + GuidToString(ids[i])))
      return REGDB_E_WRITEREGDB;
  return DeleteKeyWhenEmpty(kindKey) && DeleteKeyWhenEmpty(ClassKey(clsid)) ? S_OK : REGDB_E_WRITEREGDB;
}

class CategoriesManager final : public ICatRegister {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_ICatRegister) {
      *object = static_cast<ICatRegister*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT RegisterCategories(std::uint32_t, CATEGORYINFO*) override { return E_NOTIMPL; }
  HRESULT UnRegisterCategories(std::uint32_t, CATID*) override { return E_NOTIMPL; }
  HRESULT RegisterClassImplCategories(REFCLSID clsid, std::uint32_t count, CATID* ids) override {
    return MarkCategories(clsid, "Implemented Categories", count, ids);
  }
  HRESULT UnRegisterClassImplCategories(REFCLSID clsid, std::uint32_t count, CATID* ids) override {
    return UnmarkCategories(clsid, "Implemented Categories", count, ids);
  }
  HRESULT RegisterClassReqCategories(REFCLSID clsid, std::uint32_t count, CATID* ids) override {
    return MarkCategories(clsid, "Required Categories", count, ids);
  }
  HRESULT UnRegisterClassReqCategories(REFCLSID clsid, std::uint32_t count, CATID* ids) override {
    return UnmarkCategories(clsid, "Required Categories", count, ids);
  }

 private:
  ~CategoriesManager() = default;
  std::atomic<ULONG> refs_{1};
};

// Process-wide: the count of its references is not kept.
class CategoriesFactory final : public StaticClassFactory {
 public:
  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (HRESULT hr = CheckCreateArguments(outer, object); hr != S_OK) return hr;
    auto manager = ComPtr<ICatRegister>::Adopt(new CategoriesManager());
    return manager->QueryInterface(iid, object);
  }
  HRESULT LockServer(BOOL) override { return S_OK; }
};

}  // namespace

IUnknown* StdComponentCategoriesFactory() {
  static CategoriesFactory factory;
  return &factory;
}

std::vector<CLSID> ClassesImplementingCategory(REFCATID catid) {
  std::vector<CLSID> classes;
  std::string wanted = GuidToString(catid);
  for (const std::string& name : RegistryStore::SubKeyNames(HKEY_CLASSES_ROOT, "CLSID")) {
    CLSID clsid{};
    if (!StringToGuid(name, clsid)) continue;
    if (RegistryStore::KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + name + "\\Implemented Categories\\" + wanted))
      classes.push_back(clsid);
  }
  return classes;
}
