#pragma once
// TFormIFrameProperties: the property dialog of inserted web pages (kind 13):
// whether the page shown is named by a PLC variable or by a link, the
// variable and the link, size, scrolling, position, visibility bit, and the
// caption and tooltip per project language.

#include "properties/PropertyForm.h"

class TFormIFrameProperties : public TPropertyForm {
 public:
  explicit TFormIFrameProperties(TDesignerContext& designer);

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;
  void AfterFill() override;
  // The language buttons come with their labels (the texts have no boxes).
  void ShowLangButtons(bool visible) override;

  // The variable controls enabled while the box is checked, the link
  // controls while it is unchecked, neither while it is grayed.
  void cbUseVariableClick(TObject* sender);
  // Before the dialog closes with OK: a changed, empty caption becomes "-",
  // a changed, empty link "index.xml".
  void Button1Click(TObject* sender);
};
