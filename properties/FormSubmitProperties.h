#pragma once
// TFormSubmitProperties: the property dialog of submit buttons (kind 4):
// caption, tooltip, font, colours, border, position, security level, tab
// index, visibility bit and, optionally, a variable and the value a click
// writes into it.

#include <vector>

#include "properties/PropertyForm.h"

class TFormSubmitProperties : public TTabOrderedForm {
 public:
  explicit TFormSubmitProperties(TDesignerContext& designer);

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;
  void AfterFill() override;

  // The variable and value controls enabled with the box (grayed counts as
  // unchecked); the box and the value flagged once loaded.
  void cbUseValClick(TObject* sender);
};
