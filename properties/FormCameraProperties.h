#pragma once
// TFormCameraProperties: the property dialog of camera objects (kind 6): the
// address of the camera picture, its reload period and the delimiter before
// the random part of the address, size, position, tooltip and visibility bit.

#include "properties/PropertyForm.h"

class TFormCameraProperties : public TPropertyForm {
 public:
  explicit TFormCameraProperties(TDesignerContext& designer);

  std::span<const TPropertyBinding> Bindings() const override;
  bool TakesKind(int kind) const override;
  int TemplateSlot(const TGridWebElement& element) const override;

  // The reload period left: a negative value becomes 0 (0 is accepted).
  void ceRefreshExit(TObject* sender);
};
