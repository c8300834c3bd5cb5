#pragma once
// TFormBlockProperties: the property dialog of block objects (kind 7) in
// their three variants (rectangle, dynamic bar, rectangle coloured by a
// variable), which the dialog adapts its layout to but cannot change: size,
// position, colours, border, the bar's direction and fixed corner, the
// rectangle's link and click action, the variable, tooltip and visibility.

#include "properties/PropertyForm.h"

// The variant of a selection: a mixed one counts as a rectangle; none taken
// stays `None`.
enum class TBlockLayout { Rectangle = 0, Colour = 1, Bar = 2, None = 3 };

class TFormBlockProperties : public TPropertyForm {
 public:
  explicit TFormBlockProperties(TDesignerContext& designer);

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;
  void AfterFill() override;

  // Folds one more selected object into the selection's variant.
  void TakeVariant(const TGridWebElement& element);
  TBlockLayout Variant() const { return variant_; }

  // The layout of the colour rectangle (colour set) or the bar; the
  // rectangle keeps the designed one.
  void SetBlockLayout(bool colour);
  void BlockActivate(TObject* sender);
  void cbGradientClick(TObject* sender);
  void cbUseValClick(TObject* sender);

 private:
  void ShowColourCaption();
  void ShowRadioItems();
  TBlockLayout variant_ = TBlockLayout::None;
  int captionOfVariant_ = 7139;
};
