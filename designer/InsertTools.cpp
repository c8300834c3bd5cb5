#include "designer/InsertTools.h"

#include <utility>

#include "designer/SurfaceObjects.h"
#include "grid/GridInsert.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/ScrollBox.h"

TInsertTools::TInsertTools(TInsertToolsContext context) : context_(std::move(context)) {}

TInsertTools::~TInsertTools() = default;

void TInsertTools::ToolClick(TObject* sender) {
  auto* component = dynamic_cast<TComponent*>(sender);
  if (component == nullptr) return;
  if (TGridInsert* frame = *context_.pending) {
    switching_ = true;
    frame->Cancel();
    switching_ = false;
  }
  const std::string text = ToolTemplate(component->Tag, *context_.templates);
  if (text.empty()) return;
  if (context_.pasteTemplate) context_.pasteTemplate(component->Tag, text);
}

// A frame's handlers act only for the pending frame: a finished frame that
// still gets messages reports them through its after-drop handler.
bool TInsertTools::IsPending(TObject* frame) const { return frame != nullptr && frame == *context_.pending; }

void TInsertTools::PlaceInsertedObject(TObject* frame) {
  if (!IsPending(frame)) return;
  for (TGridWebElement* object : OwnedPageObjects(*context_.surface)) {
    if (!object->Selected() || !object->CanSelect()) continue;
    if (object->OnDblClick) object->OnDblClick(object);
    // The drop was a release, not a double click: no press is left to
    // swallow.
    object->FIgnoreMouseDown = false;
    break;
  }
  PressArrow();
  Release();
}

void TInsertTools::ReleaseInsertTool(TObject* frame) {
  if (!IsPending(frame)) return;
  Release();
  PressArrow();
}

void TInsertTools::CancelInsertTool(TObject* frame) {
  if (!IsPending(frame)) return;
  Release();
  if (!switching_) PressArrow();
}

void TInsertTools::CancelPending() {
  TGridInsert* frame = *context_.pending;
  if (frame == nullptr) return;
  frame->Cancel();
  // A frame without a cancel handler is released here.
  if (*context_.pending == frame) CancelInsertTool(frame);
}

void TInsertTools::Release() {
  TGridInsert* frame = *context_.pending;
  *context_.pending = nullptr;
  if (frame == nullptr) return;
  if (frame->Owner() != nullptr) frame->Owner()->RemoveComponent(frame);
  released_.reset(frame);
}

void TInsertTools::PressArrow() {
  if (context_.pressArrow) context_.pressArrow();
}
