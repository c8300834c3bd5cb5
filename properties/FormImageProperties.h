#pragma once
// TFormImageProperties: the property dialog of two-state images (kind 3):
// one project image while the variable is zero, another while it is not, a
// caption that may also change with the value, tooltip, font, position,
// variable, security level, read-only flag, link and visibility bit.

#include "properties/PictureFormBase.h"

class TFormImageProperties : public TPictureFormBase {
 public:
  explicit TFormImageProperties(TDesignerContext& designer);

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;
  void AfterFill() override;

  // The second caption's edit and "..." enabled with the box; the box flagged.
  void cbOptionalCaptionClick(TObject* sender);
};
