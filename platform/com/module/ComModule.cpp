#include "platform/com/ComModule.h"

#include <memory>
#include <mutex>

#include "platform/com/ResultCodes.h"
#include "platform/com/StaticClassFactory.h"

namespace {

std::atomic<long> gLockCount{0};

// The factory of one class of the map. Factories live as long as the map;
// their own references are not counted, but LockServer counts in the module.
class ModuleClassFactory final : public StaticClassFactory {
 public:
  explicit ModuleClassFactory(ComCreateFunction create) : create_(create) {}

  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (HRESULT hr = CheckCreateArguments(outer, object); hr != S_OK) return hr;
    if (create_ == nullptr) return E_UNEXPECTED;
    return create_(iid, object);
  }
  HRESULT LockServer(BOOL lock) override {
    if (lock)
      ComModuleLock();
    else
      ComModuleUnlock();
    return S_OK;
  }

 private:
  ComCreateFunction create_;
};

struct ModuleState {
  std::mutex lock;
  std::vector<ComObjectMapEntry> map;
  std::vector<std::unique_ptr<ModuleClassFactory>> factories;
  HINSTANCE instance = nullptr;
};

// Destroyed when the library is unloaded (or the program ends).
ModuleState& State() {
  static ModuleState state;
  return state;
}

}  // namespace

void ComModuleLock() { ++gLockCount; }

void ComModuleUnlock() {
  // Never below 0: an unbalanced unlock of a host is ignored.
  long current = gLockCount.load();
  while (current > 0 && !gLockCount.compare_exchange_weak(current, current - 1)) {}
}

long ComModuleLockCount() { return gLockCount.load(); }

void ComModuleInit(std::vector<ComObjectMapEntry> objectMap, HINSTANCE module) {
  ModuleState& state = State();
  std::lock_guard<std::mutex> guard(state.lock);
  state.map = std::move(objectMap);
  state.factories.clear();
  for (const ComObjectMapEntry& entry : state.map)
    state.factories.push_back(std::make_unique<ModuleClassFactory>(entry.create));
  state.instance = module;
}

void ComModuleTerm() {
  ModuleState& state = State();
  std::lock_guard<std::mutex> guard(state.lock);
  state.map.clear();
  state.factories.clear();
}

const std::vector<ComObjectMapEntry>& ComModuleObjectMap() { return State().map; }

HINSTANCE ComModuleInstance() { return State().instance; }

HRESULT ComModuleGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  ModuleState& state = State();
  std::lock_guard<std::mutex> guard(state.lock);
  for (std::size_t i = 0; i < state.map.size(); ++i)
    if (state.map[i].clsid == clsid) return state.factories[i]->QueryInterface(iid, object);
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ComModuleCanUnloadNow() { return gLockCount.load() == 0 ? S_OK : S_FALSE; }

std::string ComModuleProgId(REFCLSID clsid) {
  ModuleState& state = State();
  std::lock_guard<std::mutex> guard(state.lock);
  for (const ComObjectMapEntry& entry : state.map)
    if (entry.clsid == clsid) return entry.progId;
  return {};
}
