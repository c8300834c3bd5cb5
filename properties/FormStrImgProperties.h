#pragma once
// TFormStrImgProperties: the property dialog of string-image objects (kind
// 11), pictures whose file name a PLC string variable holds: the variable,
// size, position, colours, tooltip and visibility bit.

#include "properties/PropertyForm.h"

class TFormStrImgProperties : public TPropertyForm {
 public:
  explicit TFormStrImgProperties(TDesignerContext& designer);

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;
};
