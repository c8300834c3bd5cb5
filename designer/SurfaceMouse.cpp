#include "designer/SurfaceMouse.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "designer/SurfaceObjects.h"
#include "grid/DrawingGeometry.h"
#include "grid/GridInsert.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/ScrollBox.h"

namespace {

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char text[1024];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

// The items of the surface (page objects, band, frame) in creation order.
std::vector<TGridGraphic*> SurfaceItems(TWinControl& surface) {
  std::vector<TGridGraphic*> items;
  for (int i = 0; i < surface.ComponentCount(); ++i)
    if (auto* item = dynamic_cast<TGridGraphic*>(surface.Components(i))) items.push_back(item);
  return items;
}

}  // namespace

TSurfaceMouse::TSurfaceMouse(TSurfaceMouseContext context) : context_(std::move(context)) {}

TSurfaceMouse::~TSurfaceMouse() = default;

TPoint TSurfaceMouse::ToClient(TObject* sender, int x, int y) const {
  auto* control = dynamic_cast<TControl*>(sender);
  if (control == nullptr || control == context_.surface) return {x, y};
  return context_.surface->ScreenToClient(control->ClientToScreen({x, y}));
}

TPoint TSurfaceMouse::ToPage(const TPoint& client) const {
  return {ClampToInt(static_cast<long long>(client.x) + context_.surface->HorzScrollBar()->Position()),
          ClampToInt(static_cast<long long>(client.y) + context_.surface->VertScrollBar()->Position())};
}

void TSurfaceMouse::MouseDown(TObject* sender, TMouseButton button, TShiftState, int x, int y) {
  if (button == mbLeft) ClearSelection();
  press_ = ToPage(ToClient(sender, x, y));
  if (context_.surface->CanFocus()) context_.surface->SetFocus();
  pressed_ = true;
}

void TSurfaceMouse::MouseMove(TObject* sender, TShiftState shift, int x, int y) {
  const TPoint client = ToClient(sender, x, y);
  const TPoint page = ToPage(client);
  if (TGridInsert* frame = context_.insertion ? context_.insertion() : nullptr) {
    const TPoint inFrame = frame->ParentToClient(client);
    frame->MoveTo(inFrame.x, inFrame.y);
  }
  if (!(shift & ssLeft)) {
    ShowStatus(Format("x: %i y: %i", page.x, page.y));
    return;
  }
  if (band_ != nullptr) {
    band_->ResizeTo(client.x, client.y);
  } else if (pressed_ && !(context_.liveView && context_.liveView())) {
    const int unit = Units(context_.unitPixels);
    if (std::abs(static_cast<long long>(page.x) - press_.x) > unit ||
        std::abs(static_cast<long long>(page.y) - press_.y) > unit)
      StartBand();
  }
  ShowStatus(Format("x: %i y: %i (%ix%i)", press_.x, press_.y, ClampToInt(static_cast<long long>(page.x) - press_.x),
                    ClampToInt(static_cast<long long>(page.y) - press_.y)));
}

// The band starts at the press point with no size; the next move gives it
// its size.
void TSurfaceMouse::StartBand() {
  const int left = ClampToInt(static_cast<long long>(press_.x) - context_.surface->HorzScrollBar()->Position());
  const int top = ClampToInt(static_cast<long long>(press_.y) - context_.surface->VertScrollBar()->Position());
  band_ = std::make_unique<TGridSelect>(nullptr, 1, left, top);
  band_->SetParent(context_.surface);
  band_->BringToFront();
  if (context_.background != nullptr) context_.background->SendToBack();
}

void TSurfaceMouse::MouseUp(TObject* sender, TMouseButton button, TShiftState, int x, int y) {
  pressed_ = false;
  if (band_ != nullptr) {
    std::unique_ptr<TGridSelect> band = std::move(band_);
    band->SelectContained();
    band->SetParent(nullptr);
  }
  if (button != mbRight || !context_.popup) return;
  auto* control = dynamic_cast<TControl*>(sender);
  const TPoint screen = control != nullptr ? control->ClientToScreen({x, y}) : TPoint{x, y};
  context_.popup(screen.x, screen.y);
}

void TSurfaceMouse::ObjectMouseMove(TObject* sender, TShiftState, int x, int y) {
  if (auto* object = dynamic_cast<TGridWebElement*>(sender)) {
    if (TGridInsert* frame = context_.insertion ? context_.insertion() : nullptr) {
      const TPoint p = object->ClientToParent({x, y});
      frame->SetBounds(ClampToInt(p.x - (frame->Width() + 1LL) / 2), ClampToInt(p.y - (frame->Height() + 1LL) / 2),
                       frame->Width(), frame->Height());
    }
    ShowStatus(ObjectStatus(*object));
    return;
  }
  if (auto* frame = dynamic_cast<TGridInsert*>(sender)) {
    ShowStatus(Format(
        "x: %i y: %i (%ix%i)", ClampToInt(static_cast<long long>(frame->Left()) + Units(context_.rasterX)),
        ClampToInt(static_cast<long long>(frame->Top()) + Units(context_.rasterY)), frame->Width(), frame->Height()));
  }
}

// Position (0-based), size as written, kind, then the main and the
// visibility variable with their types where they are set.
std::string TSurfaceMouse::ObjectStatus(TGridWebElement& object) {
  const TPoint pos = object.GetPosition();
  const int x = ClampToInt(pos.x - 1LL), y = ClampToInt(pos.y - 1LL);
  const int w = ClampToInt(static_cast<long long>(object.Width()) - object.FPadX);
  const int h = ClampToInt(static_cast<long long>(object.Height()) - object.FPadY);
  const std::string caption = object.GetKindCaption();
  const std::string variable = object.GetResolvedVariable();
  const std::string visVariable = object.GetResolvedVisVariable();
  const char* type = object.FVarInfo.typeName.c_str();
  const char* visType = object.FVisInfo.typeName.c_str();
  if (!variable.empty() && !visVariable.empty())
    return Format("x: %i y: %i (%ix%i) %s - %s : %s - (%s : %s)", x, y, w, h, caption.c_str(), variable.c_str(), type,
                  visVariable.c_str(), visType);
  if (!variable.empty())
    return Format("x: %i y: %i (%ix%i) %s - %s : %s", x, y, w, h, caption.c_str(), variable.c_str(), type);
  if (!visVariable.empty())
    return Format("x: %i y: %i (%ix%i) %s - (%s : %s)", x, y, w, h, caption.c_str(), visVariable.c_str(), visType);
  return Format("x: %i y: %i (%ix%i) %s", x, y, w, h, caption.c_str());
}

void TSurfaceMouse::ShowStatus(const std::string& text) const {
  if (context_.showStatus) context_.showStatus(text);
}

void TSurfaceMouse::ClearSelection() {
  for (TGridGraphic* item : SurfaceItems(*context_.surface)) item->DeselectInvalidate();
  context_.surface->Repaint();
}

void TSurfaceMouse::UpdateScrollExtent() {
  TControl* marker = context_.marker;
  if (marker == nullptr) return;
  int left = marker->Left(), top = marker->Top();
  for (TGridGraphic* item : SurfaceItems(*context_.surface)) {
    left = std::max(left, ClampToInt(static_cast<long long>(item->Left()) + item->Width()));
    top = std::max(top, ClampToInt(static_cast<long long>(item->Top()) + item->Height()));
  }
  if (left != marker->Left() || top != marker->Top()) marker->SetBounds(left, top, marker->Width(), marker->Height());
}

void TSurfaceMouse::AlignToGrid() {
  if (context_.pushUndo) context_.pushUndo();
  for (TGridWebElement* object : OwnedPageObjects(*context_.surface))
    if (object->Selected() && object->CanSelect()) object->SnapToGrid();
}
