#pragma once
// The kinds' dialogs opened by a double click on an object, answered by a
// handler that acts on the dialog's named controls.

#include <functional>
#include <string>

#include "tests/properties/PropertiesTestSupport.h"

namespace kindstest {

// One object of a kind child: `attrs` on `object`, `kindAttrs` on the child.
std::string Object(const char* kind, const std::string& attrs, const std::string& kindAttrs, int uid,
                   const std::string& children = "");

class KindsTest : public proptest::PropertiesTest {
 protected:
  // Double-clicks the object; `act` answers the kinds' dialog; the dialog's
  // class name comes back ("" when none was shown).
  std::string Edit(int index, std::function<int(TPropertyForm&)> act);
};

// A behaviour row: the control, what the user does to it (the text typed;
// for a check box "click"), the field read back from object 0 and its value.
struct TBehaviourRow {
  const char* control;
  const char* input;
  std::function<std::string(const TGridWebElement&)> field;
  std::string expected;
};

}  // namespace kindstest

namespace kindstest {

// Applies the row's input to its control as the user: "click" clicks it, a
// text ending in "\t" is typed and the box left, any other text is typed.
void ApplyInput(TPropertyForm& form, const TBehaviourRow& row);

}  // namespace kindstest
