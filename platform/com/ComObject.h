#pragma once
// The reference count of a COM object that frees itself.
//
//   class Thing : public ISomething { ... COM_REFCOUNT(Thing) ... };
// gives AddRef and Release over an atomic count that starts at 1 (the
// creator's reference) and deletes the object at 0.

#include <atomic>

#include "platform/com/Unknown.h"

class ComRefCount {
 public:
  ULONG Add() { return ++count_; }
  ULONG Drop() { return --count_; }
  ULONG Value() const { return count_.load(); }

 private:
  std::atomic<ULONG> count_{1};
};

// Answers `iid` with `itf` (a cast of this) and adds a reference.
template <class T>
HRESULT AnswerInterface(T* itf, void** object) {
  *object = itf;
  itf->AddRef();
  return S_OK;
}
