#pragma once
// TFormEditProperties: the property dialog of input fields (kinds 1 and 2):
// variable and display format (integer format, decimals, alignment, leading
// zeros, time mask), limits, security level, read-only, tab index, password
// display, own submit button, font, colours, position, tooltip, visibility.

#include <string>
#include <vector>

#include "grid/PinVariable.h"
#include "properties/EditLimits.h"
#include "properties/PropertyForm.h"

class TFormEditProperties : public TTabOrderedForm {
 public:
  explicit TFormEditProperties(TDesignerContext& designer);

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;
  void ShowLangButtons(bool visible) override;

  void edtVariableChange(TObject* sender);
  void cbTimeChange(TObject* sender);
  void cbLimitsClick(TObject* sender);
  void edtLimitChange(TObject* sender);
  void edtLimitExit(TObject* sender);
  void OnChange2(TObject* sender);
  void Button1Click(TObject* sender);
  void sePrecExit(TObject* sender);
  // Normalises both limit boxes (limits on) and checks their range.
  void RefreshLimits();
  // Both limit boxes light red when high - low is not above 0.
  void CheckLimitRange();

 private:
  TLimitFormat LimitFormat() const;
  TPinVariable LookUpEditVariable() const;
  void NormaliseLimit(const std::string& name);
  std::string rememberedMask_;
};
