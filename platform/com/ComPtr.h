#pragma once
// A counted reference to a COM interface: holding one means one reference,
// given back when the pointer is reset, reassigned or destroyed. The only
// place besides the objects themselves where AddRef and Release are called.
//
//   ComPtr<IQendMenu> menu;
//   source->QueryInterface(IID_IQendMenu, menu.PutVoid());  // takes the reference QueryInterface added
//   ComPtr<IQendMenu> copy = menu;                         // AddRef
//   menu.Reset();                                          // Release

#include <cstddef>
#include <utility>

#include "platform/com/Unknown.h"

template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Adds a reference of its own to `pointer`.
  explicit ComPtr(Interface* pointer) : pointer_(pointer) { AddRefHeld(); }
  ComPtr(const ComPtr& other) : pointer_(other.pointer_) { AddRefHeld(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(const ComPtr& other) {
    if (this != &other) ComPtr(other).Swap(*this);
    return *this;
  }
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) ComPtr(std::move(other)).Swap(*this);
    return *this;
  }
  ComPtr& operator=(std::nullptr_t) {
    Reset();
    return *this;
  }

  // Takes over a reference the caller already owns (one a creating call added).
  static ComPtr Adopt(Interface* pointer) {
    ComPtr result;
    result.pointer_ = pointer;
    return result;
  }

  // Gives the reference back and holds nothing.
  void Reset() {
    if (Interface* held = std::exchange(pointer_, nullptr)) static_cast<IUnknown*>(held)->Release();
  }
  // Hands the reference to the caller (who must release it); holds nothing.
  [[nodiscard]] Interface* Detach() { return std::exchange(pointer_, nullptr); }
  void Swap(ComPtr& other) noexcept { std::swap(pointer_, other.pointer_); }

  // The out-parameter of a call that returns an added reference: releases
  // what is held first, then the call's reference becomes this pointer's.
  Interface** Put() {
    Reset();
    return &pointer_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  // Asks the held object for another interface; an empty pointer when it has none.
  template <typename Other>
  ComPtr<Other> Query(REFIID iid) const {
    ComPtr<Other> result;
    if (pointer_ != nullptr && FAILED(static_cast<IUnknown*>(pointer_)->QueryInterface(iid, result.PutVoid())))
      result.Reset();
    return result;
  }

  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  Interface& operator*() const { return *pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.pointer_ == b.pointer_; }
  friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.pointer_ == nullptr; }

 private:
  void AddRefHeld() {
    if (pointer_ != nullptr) static_cast<IUnknown*>(pointer_)->AddRef();
  }

  Interface* pointer_ = nullptr;
};
