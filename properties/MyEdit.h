#pragma once
// TmyEdit: a one-line edit that holds an integer (sizes, positions, security
// levels). Value is the last value set or read; reading takes the text as an
// integer (0 when it is none) and writes the value back as the text, so that
// a read normalises what the user left.
//
// The rewrites of SetValue and GetValue fire OnChange like any change of the
// text; while one runs Normalising() answers true, so that a dialog can tell
// its own rewrites from the user's input.

#include <cstdint>

#include "platform/vcl/Edit.h"

class TmyEdit : public TEdit {
 public:
  explicit TmyEdit(TComponent* owner);

  // Value := n; the text := n in decimal.
  void SetValue(std::int32_t n);
  // Value := the text as an integer (0 when it is none); the text := Value.
  std::int32_t GetValue();
  std::int32_t Value = 0;
  bool Normalising() const { return normalising_; }

 private:
  void RewriteText();
  bool normalising_ = false;
};
