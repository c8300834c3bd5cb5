#pragma once
// TFormPostFileProperties: the property dialog of file-upload fields (kind 9):
// variable, security level, tooltip, font, colours, border, position,
// visibility bit, and the warning the page passes to its upload routine
// (its controls are revealed by a double click on the dialog's background).

#include "properties/PropertyForm.h"

class TFormPostFileProperties : public TPropertyForm {
 public:
  explicit TFormPostFileProperties(TDesignerContext& designer);

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;

  // Shows the warning controls (client height 384) or hides them (340).
  void FormDblClick(TObject* sender);
  bool WarningShown() const;
};
