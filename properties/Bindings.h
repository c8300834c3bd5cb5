#pragma once
// The binding of one control of a property dialog to one field of the page
// objects, and the engine steps over a binding: fill from the first object,
// compare with a further one (mixed state), write back when the control was
// changed by the user. Bindings.md describes the engine.

#include <climits>
#include <functional>
#include <span>
#include <string>
#include <vector>

class TComponent;
class TGridWebElement;
class TPropertyForm;

// How the control shows the field; each kind has its fill, mixed and
// write-back rule (Bindings.md has the table).
enum class TBindKind {
  Text,        // TEdit: text; mixed: empty
  Number,      // TmyEdit: SetValue; mixed: 0
  IntText,     // TEdit holding a number: decimal text; mixed: empty; not a number reads -1
  PosX,        // TmyEdit: posX - 1; mixed: empty
  PosY,        // TmyEdit: posY - 1; mixed: empty
  Check,       // TCheckBox: checked; mixed: unchecked
  GrayCheck,   // TCheckBox: checked; mixed: grayed
  RadioIndex,  // TRadioGroup: item index; mixed: none (-1)
  Colour,      // TShape: brush colour; mixed: diagonal cross
  BackColour,  // TShape beside cbTransparent: as Colour, compared only for opaque objects
  LangSlots,   // the per-language texts of an attribute (control = the attribute name)
  Custom,      // the dialog's own fill and write rule
};

// A field of the page object: the accessor pair of one value type.
struct TField {
  std::function<std::string(const TGridWebElement&)> getText{};
  std::function<void(TGridWebElement&, const std::string&)> setText{};
  std::function<int(const TGridWebElement&)> getInt{};
  std::function<void(TGridWebElement&, int)> setInt{};
  std::function<bool(const TGridWebElement&)> getFlag{};
  std::function<void(TGridWebElement&, bool)> setFlag{};
};

// Fields that are plain members of the page object.
TField Field(std::string TGridWebElement::*member);
TField Field(int TGridWebElement::*member);
TField Field(bool TGridWebElement::*member);
// A getter and setter pair (the setter may be empty: filled and compared only).
TField TextField(std::function<std::string(const TGridWebElement&)> get,
                 std::function<void(TGridWebElement&, const std::string&)> set);
TField FlagField(std::function<bool(const TGridWebElement&)> get, std::function<void(TGridWebElement&, bool)> set);

struct TPropertyBinding {
  const char* control = "";
  TBindKind kind = TBindKind::Text;
  TField field{};
  // Numbers are limited to lo .. hi when written (and when filled, with clampFill).
  int lo = INT_MIN;
  int hi = INT_MAX;
  bool clampFill = false;
  // After the field is written (the variable's type looked up again, ...).
  std::function<void(TPropertyForm&, TGridWebElement&)> afterWrite{};
  // Custom: fill (first) or compare (further) and write.
  std::function<void(TPropertyForm&, TGridWebElement&, bool first)> fill{};
  std::function<void(TPropertyForm&, TGridWebElement&)> write{};
  // Custom: written when any of these controls is flagged; empty: `control`.
  std::vector<const char*> flaggedBy{};
};

// Step 3b/3c of the bridge for one binding.
void FillBinding(TPropertyForm& form, const TPropertyBinding& binding, TGridWebElement& element, bool first);
// True when the user changed a control the binding writes from.
bool BindingFlagged(const TPropertyForm& form, const TPropertyBinding& binding);
// Step 8b for one binding: the field from the control, only when flagged.
void WriteBinding(TPropertyForm& form, const TPropertyBinding& binding, TGridWebElement& element);
// Whether the component is of the class the binding's kind needs (the generic
// check of the dialogs' tables); Custom and LangSlots accept any component.
bool ControlFitsBinding(const TComponent* component, const TPropertyBinding& binding);
