#pragma once
// StaticClassFactory: the common part of a class factory that lives as long
// as whatever holds it (the process, or a module's object map), so its own
// references are not counted: QueryInterface for IUnknown and IClassFactory,
// and the checks every CreateInstance makes first.

#include "platform/com/ClassFactory.h"
#include "platform/com/ResultCodes.h"

class StaticClassFactory : public IClassFactory {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }

 protected:
  ~StaticClassFactory() = default;

  // Before an object is made: E_POINTER for a null `object`, else clears
  // *object; CLASS_E_NOAGGREGATION for an `outer` object; S_OK to go on.
  static HRESULT CheckCreateArguments(IUnknown* outer, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return S_OK;
  }
};
