#include "platform/vcl/Painting.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/vcl/Bitmap.h"
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

// --- helpers ---

void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  const TBrush saved = *canvas->Brush;
  canvas->Brush->Style = bsSolid;
  for (int i = 0; i < width && !rect.IsEmpty(); ++i) {
    canvas->Brush->Color = topColor;
    canvas->FillRect(Rect(rect.Left, rect.Top, rect.Right, rect.Top + 1));
    canvas->FillRect(Rect(rect.Left, rect.Top, rect.Left + 1, rect.Bottom));
    canvas->Brush->Color = bottomColor;
    canvas->FillRect(Rect(rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom));
    canvas->FillRect(Rect(rect.Right - 1, rect.Top, rect.Right, rect.Bottom));
    // The corners where the colours meet belong to the top colour.
    canvas->Brush->Color = topColor;
    canvas->FillRect(Rect(rect.Left, rect.Bottom - 1, rect.Left + 1, rect.Bottom));
    ++rect.Left;
    ++rect.Top;
    --rect.Right;
    --rect.Bottom;
  }
  canvas->Brush->Assign(saved);
}

void DrawEdge(TCanvas* canvas, TRect& rect, TEdge edge) {
  switch (edge) {
    case TEdge::Raised:
      Frame3D(canvas, rect, clBtnHighlight, cl3DDkShadow, 1);
      Frame3D(canvas, rect, cl3DLight, clBtnShadow, 1);
      break;
    case TEdge::Sunken:
      Frame3D(canvas, rect, clBtnShadow, clBtnHighlight, 1);
      Frame3D(canvas, rect, cl3DDkShadow, cl3DLight, 1);
      break;
    case TEdge::Etched:
      Frame3D(canvas, rect, clBtnShadow, clBtnHighlight, 1);
      Frame3D(canvas, rect, clBtnHighlight, clBtnShadow, 1);
      break;
    case TEdge::Bump:
      Frame3D(canvas, rect, clBtnHighlight, clBtnShadow, 1);
      Frame3D(canvas, rect, clBtnShadow, clBtnHighlight, 1);
      break;
    case TEdge::RaisedThin: Frame3D(canvas, rect, clBtnHighlight, clBtnShadow, 1); break;
    case TEdge::SunkenThin: Frame3D(canvas, rect, clBtnShadow, clBtnHighlight, 1); break;
  }
}

namespace {

// Splits the text into the lines it shows.
std::vector<std::string> LayoutLines(TCanvas* canvas, const std::string& text, int maxWidth) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    std::size_t end = text.find_first_of("\r\n", start);
    std::string para = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (maxWidth > 0 && canvas->TextWidth(para) > maxWidth) {
      // Break at spaces; a word wider than the line stands alone.
      std::string line;
      std::size_t pos = 0;
      while (pos < para.size()) {
        std::size_t space = para.find(' ', pos);
        std::string word = para.substr(pos, space == std::string::npos ? std::string::npos : space - pos);
        std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && canvas->TextWidth(candidate) > maxWidth) {
          lines.push_back(line);
          line = word;
        } else {
          line = candidate;
        }
        if (space == std::string::npos) break;
        pos = space + 1;
      }
      lines.push_back(line);
    } else {
      lines.push_back(para);
    }
    if (end == std::string::npos) break;
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

}  // namespace

TSize MeasureText(TCanvas* canvas, const std::string& text, int maxWidth) {
  const std::vector<std::string> lines = LayoutLines(canvas, text, maxWidth);
  const int lineHeight = canvas->TextHeight("Wg");
  int width = 0;
  for (const std::string& l : lines) width = std::max(width, canvas->TextWidth(l));
  return {width, lineHeight * static_cast<int>(lines.size())};
}

int DrawTextInRect(TCanvas* canvas, const TRect& rect, const std::string& text, const TTextStyle& style) {
  const std::vector<std::string> lines = LayoutLines(canvas, text, style.wordWrap ? static_cast<int>(rect.Width()) : 0);
  const int lineHeight = canvas->TextHeight("Wg");
  const long long total = static_cast<long long>(lineHeight) * static_cast<long long>(lines.size());
  long long y = rect.Top;
  if (style.vAlign == TVAlign::Center) y = rect.Top + (rect.Height() - total) / 2;
  if (style.vAlign == TVAlign::Bottom) y = rect.Bottom - total;
  const TBrushStyle brushStyle = canvas->Brush->Style;
  const TColor fontColor = canvas->Font->Color;
  if (!style.opaque) canvas->Brush->Style = bsClear;
  for (const std::string& line : lines) {
    const int w = canvas->TextWidth(line);
    long long x = rect.Left;
    if (style.hAlign == THAlign::Center) x = rect.Left + (rect.Width() - w) / 2;
    if (style.hAlign == THAlign::Right) x = rect.Right - w;
    const int ix = static_cast<int>(std::clamp<long long>(x, -0x3FFFFFFF, 0x3FFFFFFF));
    const int iy = static_cast<int>(std::clamp<long long>(y, -0x3FFFFFFF, 0x3FFFFFFF));
    if (style.disabled) {
      canvas->Brush->Style = bsClear;
      canvas->Font->Color = clBtnHighlight;
      canvas->TextRect(Rect(rect.Left + 1, rect.Top + 1, rect.Right + 1, rect.Bottom + 1), ix + 1, iy + 1, line);
      canvas->Font->Color = clBtnShadow;
      canvas->TextRect(rect, ix, iy, line);
      canvas->Font->Color = fontColor;
    } else {
      canvas->TextRect(rect, ix, iy, line);
    }
    y += lineHeight;
  }
  canvas->Brush->Style = brushStyle;
  return static_cast<int>(std::min<long long>(total, 0x3FFFFFFF));
}

void DrawDropDownArrow(TCanvas* canvas, const TRect& rect, TColor color) {
  const int cx = static_cast<int>(rect.Left + rect.Width() / 2);
  const int cy = static_cast<int>(rect.Top + rect.Height() / 2);
  const TBrush saved = *canvas->Brush;
  canvas->Brush->Style = bsSolid;
  canvas->Brush->Color = color;
  for (int i = 0; i < 4; ++i) canvas->FillRect(Rect(cx - 3 + i, cy - 1 + i, cx + 4 - i, cy + i));
  canvas->Brush->Assign(saved);
}

void FillDithered(TCanvas* canvas, const TRect& rect, TColor a, TColor b) {
  const TRect clip = canvas->ClipRect();
  TRect r;
  if (!IntersectRect(r, rect, clip)) return;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) canvas->SetPixel(x, y, ((x + y) & 1) ? b : a);
}

// A scroll bar: arrow buttons at both ends, the dithered track and the thumb.
void DrawScrollBar(TCanvas* canvas, const TRect& r, bool horizontal, int position, int range, int page) {
  const int size = kScrollBarSize;
  const int length = static_cast<int>(horizontal ? r.Width() : r.Height());
  auto button = [&](TRect b, bool first) {
    canvas->Brush->Color = clBtnFace;
    canvas->FillRect(b);
    DrawEdge(canvas, b, TEdge::Raised);
    // A small triangle pointing outwards.
    canvas->Brush->Color = clBtnText;
    const int cx = static_cast<int>(b.Left + b.Width() / 2), cy = static_cast<int>(b.Top + b.Height() / 2);
    for (int i = 0; i < 4; ++i) {
      const int k = first ? i : 3 - i;
      if (horizontal)
        canvas->FillRect(Rect(cx - 2 + i, cy - k, cx - 1 + i, cy + k + 1));
      else
        canvas->FillRect(Rect(cx - k, cy - 2 + i, cx + k + 1, cy - 1 + i));
    }
  };
  const int buttonLength = std::min(size, length / 2);
  if (horizontal) {
    button(Rect(r.Left, r.Top, r.Left + buttonLength, r.Bottom), true);
    button(Rect(r.Right - buttonLength, r.Top, r.Right, r.Bottom), false);
  } else {
    button(Rect(r.Left, r.Top, r.Right, r.Top + buttonLength), true);
    button(Rect(r.Left, r.Bottom - buttonLength, r.Right, r.Bottom), false);
  }
  const int track = length - 2 * buttonLength;
  if (track <= 0) return;
  const TRect trackRect = horizontal ? Rect(r.Left + buttonLength, r.Top, r.Right - buttonLength, r.Bottom)
                                     : Rect(r.Left, r.Top + buttonLength, r.Right, r.Bottom - buttonLength);
  FillDithered(canvas, trackRect, clBtnFace, clBtnHighlight);
  if (range <= 0 || page >= range) return;
  const long long thumb = std::max<long long>(8, static_cast<long long>(track) * page / range);
  if (thumb >= track) return;
  const long long maxPos = std::max(1, range - page);
  const long long start = (track - thumb) * std::min<long long>(position, maxPos) / maxPos;
  TRect t = horizontal ? Rect(static_cast<int>(trackRect.Left + start), r.Top,
                              static_cast<int>(trackRect.Left + start + thumb), r.Bottom)
                       : Rect(r.Left, static_cast<int>(trackRect.Top + start), r.Right,
                              static_cast<int>(trackRect.Top + start + thumb));
  canvas->Brush->Color = clBtnFace;
  canvas->FillRect(t);
  DrawEdge(canvas, t, TEdge::Raised);
}
