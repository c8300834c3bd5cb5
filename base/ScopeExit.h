#pragma once
// Runs a function when the scope it guards is left, by return or by exception:
// the clean-up of a step that must happen on every exit path, written once
// beside the step instead of in a catch block that rethrows.
//
//   FILE* file = std::fopen(name, "rb");
//   ScopeExit closeFile([&] { std::fclose(file); });
//
// Dismiss() keeps the function from running (a step that handed its resource on).

#include <utility>

template <typename Function>
class [[nodiscard]] ScopeExit {
 public:
  explicit ScopeExit(Function function) : function_(std::move(function)) {}
  ~ScopeExit() {
    if (armed_) function_();
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

  void Dismiss() { armed_ = false; }

 private:
  Function function_;
  bool armed_ = true;
};
