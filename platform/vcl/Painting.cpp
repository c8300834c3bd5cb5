#include "platform/vcl/Painting.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ClassicLook.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/PngWriter.h"
#include "platform/vcl/WinControl.h"

namespace {

// Where a control's canvas draws while it paints, and what it had before.
class CanvasSetup {
 public:
  // `origin` and `clip` in bitmap coordinates.
  CanvasSetup(TCanvas* canvas, TBitmap* target, TPoint origin, const TRect& clip, TControl* control)
      : canvas_(canvas), target_(canvas->Target()), origin_(canvas->Origin()) {
    canvas->SetTarget(target);
    canvas->SetOrigin(origin.x, origin.y);
    canvas->SetClipRect(clip);
    canvas->Pen->Assign(TPen{});
    canvas->Brush->Assign(TBrush{});
    if (control != nullptr) {
      canvas->Font->Assign(*control->Font());
      canvas->Brush->Color = control->Color();
    }
    canvas->CopyMode = cmSrcCopy;
    canvas->MoveTo(0, 0);
  }
  ~CanvasSetup() {
    canvas_->SetTarget(target_);
    canvas_->SetOrigin(origin_.x, origin_.y);
    canvas_->ResetClipRect();
  }
  CanvasSetup(const CanvasSetup&) = delete;
  CanvasSetup& operator=(const CanvasSetup&) = delete;

 private:
  TCanvas* canvas_;
  TBitmap* target_;
  TPoint origin_;
};

// a + b saturated to the range of an int.
int SafeAdd(long long a, long long b) { return static_cast<int>(std::clamp<long long>(a + b, INT_MIN, INT_MAX)); }

TRect Offset(const TRect& r, int dx, int dy) {
  return Rect(SafeAdd(r.Left, dx), SafeAdd(r.Top, dy), SafeAdd(r.Right, dx), SafeAdd(r.Bottom, dy));
}

void PaintFormFrame(TCustomForm* form, TCanvas* canvas) {
  TRect r = Rect(0, 0, form->Width(), form->Height());
  const TRect insets = form->BorderInsets();
  if (insets.Left == 0 && insets.Top == 0) return;
  canvas->Brush->Color = clBtnFace;
  canvas->Brush->Style = bsSolid;
  canvas->FillRect(r);
  if (insets.Left >= 2) DrawEdge(canvas, r, TEdge::Raised);
  // The caption bar.
  const int captionHeight = insets.Top - insets.Left - 1;
  if (captionHeight > 2) {
    const TRect bar = Rect(insets.Left, insets.Left, form->Width() - insets.Right, insets.Left + captionHeight);
    canvas->Brush->Color = form->Active() ? clActiveCaption : clInactiveCaption;
    canvas->FillRect(bar);
    canvas->Font->Style |= fsBold;
    canvas->Font->Color = form->Active() ? clCaptionText : clInactiveCaptionText;
    TTextStyle style;
    style.vAlign = TVAlign::Center;
    DrawTextInRect(canvas, Rect(bar.Left + 4, bar.Top, bar.Right - 4, bar.Bottom), form->Caption(), style);
  }
}

void PaintControl(TControl* control, TBitmap* bitmap, TPoint origin, const TRect& clip);

void PaintChildren(TWinControl* parent, TBitmap* bitmap, TPoint clientOrigin, const TRect& clientClip) {
  // Controls(i) lists the graphic children, then the windowed ones, each
  // group from the bottom of the z-order up.
  std::vector<TControl*> children;
  for (int i = 0; i < parent->ControlCount(); ++i) children.push_back(parent->Controls(i));
  for (TControl* child : children) {
    if (!child->Visible()) continue;
    const TPoint o{SafeAdd(clientOrigin.x, child->Left()), SafeAdd(clientOrigin.y, child->Top())};
    TRect childClip;
    if (!IntersectRect(childClip, clientClip, Bounds(o.x, o.y, child->Width(), child->Height()))) continue;
    PaintControl(child, bitmap, o, childClip);
  }
}

// Paints `control` with its top-left corner at bitmap point `origin`, inside
// `clip` (bitmap coordinates).
void PaintControl(TControl* control, TBitmap* bitmap, TPoint origin, const TRect& clip) {
  if (clip.IsEmpty()) return;
  if (auto* graphic = dynamic_cast<TGraphicControl*>(control)) {
    CanvasSetup setup(graphic->Canvas(), bitmap, origin, clip, graphic);
    graphic->Paint();
    return;
  }
  auto* win = dynamic_cast<TWinControl*>(control);
  if (win == nullptr) return;
  auto* form = dynamic_cast<TCustomForm*>(win);
  auto* custom = dynamic_cast<TCustomControl*>(win);
  // The canvas that the control paints on: its own when it has one, else a
  // canvas made for the occasion.
  TCanvas own(bitmap);
  TCanvas* canvas = custom != nullptr ? custom->Canvas() : form != nullptr ? form->Canvas() : &own;
  auto* nonClient = dynamic_cast<TNonClientPainter*>(win);
  if (form != nullptr || nonClient != nullptr) {
    CanvasSetup setup(canvas, bitmap, origin, clip, win);
    if (form != nullptr) PaintFormFrame(form, canvas);
    if (nonClient != nullptr) nonClient->PaintNonClient(canvas);
  }
  // Client area.
  const TRect insets = win->BorderInsets();
  const TRect client = win->ClientRect();
  const TPoint clientOrigin{SafeAdd(origin.x, insets.Left), SafeAdd(origin.y, insets.Top)};
  TRect clientClip;
  if (!IntersectRect(clientClip, clip, Offset(client, clientOrigin.x, clientOrigin.y))) return;
  {
    CanvasSetup setup(canvas, bitmap, clientOrigin, clientClip, win);
    const TColor color = win->Color();
    if (color != clNone) {
      canvas->Brush->Color = color;
      canvas->FillRect(client);
    }
    if (custom != nullptr) custom->Paint();
  }
  PaintChildren(win, bitmap, clientOrigin, clientClip);
}

// Overlays of the visible controls inside `parent` (in z-order).
void PaintOverlays(TWinControl* parent, TBitmap* bitmap, TPoint clientOrigin, const TRect& clip) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (!child->Visible()) continue;
    const TPoint o{SafeAdd(clientOrigin.x, child->Left()), SafeAdd(clientOrigin.y, child->Top())};
    if (auto* overlay = dynamic_cast<TOverlayPainter*>(child); overlay != nullptr && overlay->HasOverlay()) {
      // A control with a canvas of its own paints its overlay on it.
      TCanvas own(bitmap);
      auto* custom = dynamic_cast<TCustomControl*>(child);
      TCanvas* canvas = custom != nullptr ? custom->Canvas() : &own;
      CanvasSetup setup(canvas, bitmap, o, clip, child);
      overlay->PaintOverlay(canvas);
    }
    if (auto* win = dynamic_cast<TWinControl*>(child)) {
      const TRect insets = win->BorderInsets();
      PaintOverlays(win, bitmap, {SafeAdd(o.x, insets.Left), SafeAdd(o.y, insets.Top)}, clip);
    }
  }
}

}  // namespace

void PaintTo(TControl* control, TCanvas* canvas, int x, int y) {
  if (control == nullptr || canvas == nullptr || canvas->Target() == nullptr) return;
  TBitmap* bitmap = canvas->Target();
  const TPoint origin{SafeAdd(canvas->Origin().x, x), SafeAdd(canvas->Origin().y, y)};
  const TRect canvasClip = canvas->ClipRect();  // canvas coordinates
  TRect clip;
  if (!IntersectRect(clip, Offset(canvasClip, canvas->Origin().x, canvas->Origin().y),
                     Bounds(origin.x, origin.y, control->Width(), control->Height())))
    return;
  PaintControl(control, bitmap, origin, clip);
  if (auto* win = dynamic_cast<TWinControl*>(control)) {
    const TRect insets = win->BorderInsets();
    PaintOverlays(win, bitmap, {SafeAdd(origin.x, insets.Left), SafeAdd(origin.y, insets.Top)}, clip);
  }
}

void PaintOverlayTo(TControl* control, TBitmap& bitmap, int x, int y) {
  auto* overlay = dynamic_cast<TOverlayPainter*>(control);
  if (overlay == nullptr || !overlay->HasOverlay() || bitmap.Empty()) return;
  TCanvas own(&bitmap);
  auto* custom = dynamic_cast<TCustomControl*>(control);
  TCanvas* canvas = custom != nullptr ? custom->Canvas() : &own;
  CanvasSetup setup(canvas, &bitmap, {x, y}, Rect(0, 0, bitmap.Width(), bitmap.Height()), control);
  overlay->PaintOverlay(canvas);
}

void PaintControlToBitmap(TControl* control, TBitmap& bitmap) {
  bitmap.SetSize(std::max(0, control->Width()), std::max(0, control->Height()));
  if (bitmap.Empty()) return;
  bitmap.Canvas->ResetClipRect();
  bitmap.Canvas->SetOrigin(0, 0);
  PaintTo(control, bitmap.Canvas, 0, 0);
}

void PaintClientToBitmap(TWinControl* control, TBitmap& bitmap) {
  const TRect insets = control->BorderInsets();
  bitmap.SetSize(std::max(0, control->ClientWidth()), std::max(0, control->ClientHeight()));
  if (bitmap.Empty()) return;
  bitmap.Canvas->ResetClipRect();
  bitmap.Canvas->SetOrigin(0, 0);
  PaintTo(control, bitmap.Canvas, -insets.Left, -insets.Top);
}

bool SaveControlAsPng(TControl* control, const std::string& fileName) {
  TBitmap bitmap;
  PaintControlToBitmap(control, bitmap);
  if (bitmap.Empty()) return false;
  return SaveBitmapAsPng(bitmap, fileName);
}
