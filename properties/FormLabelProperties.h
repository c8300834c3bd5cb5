#pragma once
// TFormLabelProperties: the property dialog of text labels (kind 0): text
// with an optional link, tooltip, font, colours, position and visibility bit.

#include "properties/PropertyForm.h"

class TFormLabelProperties : public TPropertyForm {
 public:
  explicit TFormLabelProperties(TDesignerContext& designer);

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;
  void AfterFill() override;

  // OK: an emptied caption becomes "-"; a link left empty while cbLink is
  // checked becomes "index.xml" when the box or the link was changed.
  void Button1Click(TObject* sender);
};
