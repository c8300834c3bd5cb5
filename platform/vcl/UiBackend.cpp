#include "platform/vcl/UiBackend.h"

#include "platform/vcl/Control.h"
#include "platform/vcl/Form.h"

namespace {

TUiBackend gHeadless;
TUiBackend* gBackend = nullptr;

}  // namespace

TUiBackend& UiBackend() { return gBackend != nullptr ? *gBackend : gHeadless; }

void SetUiBackend(TUiBackend* backend) { gBackend = backend; }

bool UiBackendInstalled() { return gBackend != nullptr; }

void NotifyUiBackendInvalidated(TControl* control) {
  if (gBackend == nullptr || control == nullptr) return;
  const TControl* top = control;
  while (top->Parent() != nullptr) top = top->Parent();
  // A form shows on the screen; a control outside every form does not.
  if (auto* form = dynamic_cast<TCustomForm*>(const_cast<TControl*>(top))) gBackend->FormInvalidated(form);
}
