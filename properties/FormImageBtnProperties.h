#pragma once
// TFormImageBtnProperties: the property dialog of image buttons, the
// elements that set a variable's value (kind 10): an idle and a push image,
// the variable and the value a click writes, caption, tooltip, font,
// position, security level, link and visibility bit.

#include "properties/PictureFormBase.h"

class TFormImageBtnProperties : public TPictureFormBase {
 public:
  explicit TFormImageBtnProperties(TDesignerContext& designer);

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;
};
