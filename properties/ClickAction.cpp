#include "properties/ClickAction.h"

#include "grid/GridWebElement.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Edit.h"
#include "properties/PropertyForm.h"

namespace {

using E = TGridWebElement;

void FillUseValue(TPropertyForm& f, E& e, bool first, TClickVariableType type) {
  auto* box = f.Get<TCheckBox>("cbUseVal");
  auto* edit = f.Get<TEdit>("edtVariable");
  if (first) {
    box->SetChecked(!e.GetVariable().empty());
    edit->SetText(e.GetVariable());
    if (type == TClickVariableType::LookedUp) RefreshVariableInfo(e);
    return;
  }
  if (edit->Text() == e.GetVariable()) return;
  if (edit->Text().empty() || e.GetVariable().empty()) box->SetState(cbGrayed);
  edit->SetText("");
}

void WriteUseValue(TPropertyForm& f, E& e) {
  if (f.Get<TCheckBox>("cbUseVal")->Checked()) return;
  e.SetValue("");
  e.SetVariable("");
  RefreshVariableInfo(e);
}

void WriteVariable(TPropertyForm& f, E& e) {
  e.SetVariable(f.Get<TEdit>("edtVariable")->Text());
  RefreshVariableInfo(e);
}

}  // namespace

std::vector<TPropertyBinding> ClickActionBindings(TClickVariableType type) {
  return {
      {.control = "edtVariable", .kind = TBindKind::Custom, .write = WriteVariable},
      {.control = "edtVal", .kind = TBindKind::Text, .field = Field(&E::FValue)},
      {.control = "cbUseVal",
       .kind = TBindKind::Custom,
       .fill = [type](TPropertyForm& f, E& e, bool first) { FillUseValue(f, e, first, type); },
       .write = WriteUseValue},
  };
}

void ShowClickAction(TPropertyForm& form, std::initializer_list<const char*> alsoEnabled) {
  const bool on = form.Get<TCheckBox>("cbUseVal")->Checked();
  for (const char* name : {"lblVariable", "edtVariable", "Button3", "lblType", "lblValue", "edtVal"})
    form.Get<TControl>(name)->SetEnabled(on);
  for (const char* name : alsoEnabled) form.Get<TControl>(name)->SetEnabled(on);
  form.Flag("edtVal");
  form.Flag("cbUseVal");
}
