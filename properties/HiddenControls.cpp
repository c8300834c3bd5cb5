#include "properties/HiddenControls.h"

#include "platform/vcl/WinControl.h"

void AddHiddenControls(TWinControl& form, std::initializer_list<std::span<const TComponentRow>> rows) {
  for (std::span<const TComponentRow> part : rows) BuildComponents(form, part);
  if (auto* panel = dynamic_cast<TControl*>(form.FindComponent("pnlHidden"))) panel->SetVisible(false);
}
