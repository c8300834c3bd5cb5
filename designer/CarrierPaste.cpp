#include "designer/CarrierPaste.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <utility>
#include <vector>

#include "core/XmlDocument.h"
#include "core/XmlNode.h"
#include "generator/XmlUtilities.h"
#include "grid/DrawingGeometry.h"
#include "grid/GridInsert.h"
#include "grid/GridWebElement.h"
#include "grid/ScrollPositions.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/ScrollBox.h"

namespace {

// A remainder with the sign of the dividend.
int Remainder(int value, int step) { return step > 0 ? value % step : 0; }

void MoveToOrigin(TmyXmlNode* top) {
  TmyXmlNode* object = top != nullptr ? top->FindNode("object", {}, true) : nullptr;
  if (object == nullptr) return;
  object->SetAttr("X", "1");
  object->SetAttr("Y", "1");
  object->SetAttr("xoff", "0");
  object->SetAttr("yoff", "0");
}

}  // namespace

TCarrierPaste::TCarrierPaste(TCarrierPasteContext context) : context_(std::move(context)) {}

TGridInsert* TCarrierPaste::Paste(const std::string& text, bool toolMode) {
  if (context_.clearSelection) context_.clearSelection();
  // Parse errors are not examined: what was read up to the error is pasted.
  TmyXMLParser parser;
  parser.LoadFromString(text.c_str());
  std::unique_ptr<TmyXmlNode> root(parser.Parse());
  TmyXmlNode* top = root != nullptr ? root->firstChild : nullptr;
  TScrollBox* surface = context_.surface;
  const int before = surface->ComponentCount();
  if (top == nullptr) return nullptr;
  StripUidAttrs(top);
  if (toolMode) MoveToOrigin(top);
  context_.loadObjects(top, surface);

  std::vector<TGridGraphic*> carried;
  int minLeft = INT_MAX, minTop = INT_MAX;
  const int layer = context_.pasteLayer ? context_.pasteLayer() : -1;
  TCanvas* canvas = context_.canvas ? context_.canvas() : nullptr;
  for (int i = before; i < surface->ComponentCount(); ++i) {
    auto* object = dynamic_cast<TGridWebElement*>(surface->Components(i));
    if (object == nullptr) continue;
    carried.push_back(object);
    if (layer >= 0) object->FLayer = layer;
    if (canvas != nullptr) object->Draw(0, 0, canvas);
    object->Hide();
    minLeft = std::min(minLeft, object->Left());
    minTop = std::min(minTop, object->Top());
  }
  if (carried.empty()) return nullptr;

  const int rasterX = std::max(1, *context_.rasterX), rasterY = std::max(1, *context_.rasterY);
  const int remX = Remainder(minLeft, rasterX), remY = Remainder(minTop, rasterY);
  minLeft -= remX;
  minTop -= remY;
  const int scrollX = surface->HorzScrollBar()->Position(), scrollY = surface->VertScrollBar()->Position();
  const int offX = ClampToInt(static_cast<long long>(rasterX) - scrollX - minLeft);
  const int offY = ClampToInt(static_cast<long long>(rasterY) - scrollY - minTop);
  if (context_.cancelPending) context_.cancelPending();

  auto* frame = new TGridInsert(surface, 1, scrollX, scrollY, offX, offY, carried);
  frame->FInnerFrame = true;
  frame->FFrameX = remX;
  frame->FFrameY = remY;
  frame->SetExtent(context_.rasterX, context_.rasterY);
  frame->Select();
  frame->OnMouseMove = context_.mouseMove;
  frame->FOnCancel = context_.cancel;
  frame->FOnAfterDrop = toolMode ? context_.afterDropTool : context_.afterDropPaste;
  frame->FOnBeforeDrop = context_.beforeDrop;
  if (context_.setPending) context_.setPending(frame);
  frame->SetParent(surface);
  frame->BringToFront();
  const TPoint pointer = surface->ScreenToClient(Mouse->CursorPos());
  frame->SetBounds(ClampToInt(pointer.x - (frame->Width() + 1LL) / 2),
                   ClampToInt(pointer.y - (frame->Height() + 1LL) / 2), frame->Width(), frame->Height());
  if (context_.updateScrollExtent) context_.updateScrollExtent();
  if (surface->CanFocus()) surface->SetFocus();
  return frame;
}
