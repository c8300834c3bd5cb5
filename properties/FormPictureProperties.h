#pragma once
// TFormPictureProperties: the property dialog of static pictures (kind 5):
// the project image, caption, tooltip, font, position, an optional
// hypertext link and the visibility bit.

#include "properties/PictureFormBase.h"

class TFormPictureProperties : public TPictureFormBase {
 public:
  explicit TFormPictureProperties(TDesignerContext& designer);

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;

  // OK: a link box checked with the link emptied by the user links to "index.xml".
  void Button1Click(TObject* sender);
};
