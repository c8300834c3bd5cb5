#pragma once
// Event closures: the class library's "method pointers" (an object and one of
// its member functions), used for every event property of every component.
//
//   btnOk->OnClick = {this, &TFormPasswords::btnOkClick};   // object + member
//   btnOk->OnClick = [&](TObject*) { ++clicks; };            // any callable
//   btnOk->OnClick = nullptr;                                // unassigned
//   if (btnOk->OnClick) btnOk->OnClick(btnOk);               // fire when assigned
//
// Two closures compare equal when they are bound to the same object and the
// same member function (whatever static type the object had when it was
// bound), or when they are copies of the same callable; every empty closure
// equals nullptr. Calling an empty closure throws std::bad_function_call.

#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

template <class Signature>
class Closure;

template <class R, class... Args>
class Closure<R(Args...)> {
 public:
  Closure() noexcept = default;
  Closure(std::nullptr_t) noexcept {}

  // Bound to an object and a member function of its class or of a base.
  template <class T, class U>
  requires std::is_base_of_v<U, T> Closure(T* object, R (U::*method)(Args...)) {
    if (object == nullptr || method == nullptr) return;
    Store(static_cast<U*>(object), method);
  }
  template <class T, class U>
  requires std::is_base_of_v<U, T> Closure(const T* object, R (U::*method)(Args...) const) {
    if (object == nullptr || method == nullptr) return;
    Store(const_cast<U*>(static_cast<const U*>(object)), method);
  }

  // Bound to any other callable (a lambda, a free function).
  template <class F>
  requires(!std::is_same_v<std::decay_t<F>, Closure> && !std::is_same_v<std::decay_t<F>, std::nullptr_t> &&
           std::is_invocable_r_v<R, std::decay_t<F>&, Args...>) Closure(F&& callable) {
    using Fn = std::decay_t<F>;
    if constexpr (std::is_pointer_v<Fn>) {
      if (callable == nullptr) return;
    }
    callable_ = std::make_shared<Fn>(std::forward<F>(callable));
    invoke_ = [](const Closure& self, Args... args) -> R {
      return std::invoke(*static_cast<Fn*>(self.callable_.get()), std::forward<Args>(args)...);
    };
  }

  explicit operator bool() const noexcept { return invoke_ != nullptr; }

  R operator()(Args... args) const {
    if (invoke_ == nullptr) throw std::bad_function_call();
    return invoke_(*this, std::forward<Args>(args)...);
  }

  // The object a member closure is bound to (null for other callables).
  void* Data() const noexcept { return object_; }

  friend bool operator==(const Closure& a, const Closure& b) noexcept {
    return a.invoke_ == b.invoke_ && a.object_ == b.object_ && a.callable_.get() == b.callable_.get() &&
           std::memcmp(a.method_, b.method_, sizeof a.method_) == 0;
  }
  friend bool operator==(const Closure& a, std::nullptr_t) noexcept { return !a; }

 private:
  using Invoker = R (*)(const Closure&, Args...);
  static constexpr std::size_t kMethodSize = 2 * sizeof(void*);

  template <class U, class M>
  void Store(U* object, M method) {
    static_assert(sizeof(M) <= kMethodSize, "member function pointer too large");
    object_ = object;
    std::memcpy(method_, &method, sizeof(M));
    invoke_ = [](const Closure& self, Args... args) -> R {
      M m;
      std::memcpy(&m, self.method_, sizeof(M));
      return (static_cast<U*>(self.object_)->*m)(std::forward<Args>(args)...);
    };
  }

  Invoker invoke_ = nullptr;
  void* object_ = nullptr;
  alignas(void*) unsigned char method_[kMethodSize] = {};
  std::shared_ptr<void> callable_;
};
