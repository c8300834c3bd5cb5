#pragma once
// The drag object of the host's variable list: the host makes it itself when
// a variable is dragged from its list, so targets see it as it is (not as
// the list control) and tell it by its class name
// "TProvideVarNameDragControlObject". Its text starts with 17 characters of
// the host's before the variable's name; the host sets the refusal flag when
// the drop is not to be taken.

#include <cstddef>
#include <string>
#include <utility>

#include "platform/vcl/Control.h"

class TProvideVarNameDragControlObject : public TDragControlObject {
 public:
  static constexpr std::size_t kPrefixLength = 17;

  explicit TProvideVarNameDragControlObject(TControl* control = nullptr, std::string nameText = {})
      : TDragControlObject(control), text(std::move(nameText)) {
    InternalObject = false;
  }

  std::string text;         // the host's prefix and the variable name
  bool refuseDrop = false;  // set by the host: the drop is not to be taken

  // The variable name (empty when the text is not longer than the prefix).
  std::string VariableName() const { return text.size() > kPrefixLength ? text.substr(kPrefixLength) : std::string(); }
};
