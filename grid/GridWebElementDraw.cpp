// TGridWebElement drawing: the frame every kind shares (prologue, selection
// marks, field frames, resize handles), the hit test, and the text kinds:
// label, edit fields, submit button, file-upload field and drop-down list.
// The picture, frame and block kinds are in GridWebElementDrawPictures.cpp.

#include <algorithm>
#include <array>
#include <string>

#include "core/UiText.h"
#include "grid/DrawingGeometry.h"
#include "grid/GridWebElement.h"
#include "grid/SizingRules.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/WinControl.h"
#include "platform/win/WindowMessages.h"

namespace {

// The back colour of an object that has none; its fields are filled white.
constexpr int kNoBackColour = -1;
// Font heights are cut to 1 .. this many pixels.
constexpr int kMaxFontPixels = 4096;
// The shadow and highlight lines of a sunken field frame are this wide.
constexpr int kSunkenFramePenWidth = 2;
// A field's text starts this far inside its left edge.
constexpr int kTextInsetWithBorder = 3;
constexpr int kTextInsetWithoutBorder = 1;
// Right and centred texts stand this much further left.
constexpr int kAlignSlackWithBorder = 6;
constexpr int kAlignSlackWithoutBorder = 2;
// The own submit button of kind 2: the font size + this wide, this far right
// of the field, with a ">" in a font of this height.
constexpr int kOwnButtonExtraWidth = 6;
constexpr int kOwnButtonGap = 2;
constexpr int kOwnButtonFontPixels = 13;
constexpr const char* kOwnButtonText = ">";
// The file-upload field's button: UI text "Browse...", as wide as the text
// followed by two more digits.
constexpr int kBrowseTextId = 7233;
constexpr const char* kBrowseWidthSuffix = "12";
// The inverse of the upload-field height rule (h = size x 1.15 + 8) gives
// the button's font height.
constexpr int kUploadFieldExtraHeight = 8;
constexpr int kUploadHeightPercent = 115;
constexpr int kPercent = 100;
// The drop-down list's text stops this far before the right edge; the arrow
// lies this far left of the right edge and above the middle.
constexpr int kDropDownTextRightInset = 20;
constexpr int kDropDownArrowLeft = 14;
constexpr int kDropDownArrowUp = 3;
// Resize handles: this deep from the edge, inset one pixel, and twice this
// long along it.
constexpr int kHandleDepth = 4;
constexpr int kHandleInset = 1;
constexpr int kHandleHalfLength = 2;
// A stored variable beginning with this is a constant: its field shows "-".
constexpr char kConstantMark = '#';
constexpr const char* kConstantText = "-";
constexpr const char* kDesignEditText = "0.";
constexpr char kPasswordMask = '*';

void Line(TCanvas* c, long long x, long long y) { c->LineTo(ClampToInt(x), ClampToInt(y)); }
void Move(TCanvas* c, long long x, long long y) { c->MoveTo(ClampToInt(x), ClampToInt(y)); }

// The sunken frame of input fields on (X, Y, X + w, Y + h).
void SunkenFieldFrame(TCanvas* c, long long X, long long Y, long long w, long long h) {
  c->Pen->Width = kSunkenFramePenWidth;
  c->Pen->Color = clBtnShadow;
  Move(c, X + 1, Y + h - 1);
  Line(c, X + 1, Y + 1);
  Line(c, X + w - 1, Y + 1);
  c->Pen->Color = clBtnHighlight;
  Line(c, X + w - 1, Y + h - 1);
  Line(c, X + 1, Y + h - 1);
  c->Pen->Width = 1;
  c->Pen->Color = clBtnFace;
  Move(c, X + w - 1, Y + 1);
  Line(c, X + w - 1, Y + h - 1);
  Line(c, X + 1, Y + h - 1);
}

// The tools every kind starts from: a solid black 1-pixel pen in copy mode
// and a solid white brush.
void ResetTools(TCanvas* c) {
  c->Pen->Color = clBlack;
  c->Pen->Style = psSolid;
  c->Pen->Width = 1;
  c->Pen->Mode = pmCopy;
  c->Brush->Color = clWhite;
  c->Brush->Style = bsSolid;
}

// The selection marks: a black frame with a white dotted one over it; the
// tools are left solid black and clear.
void DrawSelectionOutline(TCanvas* c, const TRect& r) {
  c->Brush->Style = bsClear;
  c->Pen->Width = 1;
  c->Pen->Style = psSolid;
  c->Pen->Color = clBlack;
  c->Rectangle(r);
  c->Pen->Style = psDot;
  c->Pen->Color = clWhite;
  c->Rectangle(r);
  c->Pen->Style = psSolid;
  c->Pen->Color = clBlack;
  c->Pen->Mode = pmCopy;
  c->Brush->Style = bsClear;
}

// The element's layer is hidden (or, with `frozen`, also frozen) in the
// design view's layer table.
bool LayerRefuses(const TGridWebElement& e, bool frozen) {
  if (e.FLayers == nullptr || e.FLayer < 0 || e.FLayer >= kLayerCount) return false;
  const TGridLayer& layer = e.FLayers[e.FLayer];
  return !layer.Visible || (frozen && layer.Frozen);
}

bool IsConstant(const std::string& variable) { return !variable.empty() && variable[0] == kConstantMark; }

int TextInset(bool border) { return border ? kTextInsetWithBorder : kTextInsetWithoutBorder; }

// Where a field's text starts: inset from the left edge, or moved right by
// the alignment (right and centre add up when both are set).
long long FieldTextX(const TGridWebElement& e, long long X, long long width, long long textWidth) {
  const int slack = e.FBorder ? kAlignSlackWithBorder : kAlignSlackWithoutBorder;
  long long x = X + TextInset(e.FBorder);
  if (e.FAlignRight) x += width - textWidth - slack;
  if (e.FAlignCenter) x += FloorHalf(width - textWidth) - slack;
  return x;
}

// The text of an edit field: "0." in the design view; in the live view the
// pending text (in red) or the live value.
std::string EditFieldText(TGridWebElement& e, TCanvas* c, bool live) {
  if (!live) return kDesignEditText;
  if (!e.FPending) return e.FormatValue();
  c->Font->Color = clRed;
  return e.FPendingText;
}

// The edit field's text at its place, masked for passwords, clipped to the
// inside of a field of width x height.
void WriteFieldText(const TGridWebElement& e, TCanvas* c, long long X, long long Y, long long width, long long height,
                    std::string text) {
  const long long textX = FieldTextX(e, X, width, c->TextWidth(text));
  const long long textY = Y + (height - c->TextHeight("0")) / 2;
  if (e.FPassword) text.assign(text.size(), kPasswordMask);
  c->TextRect(ClampedRect(X + 1, Y + 1, X + width - 1, Y + height - 1), ClampToInt(textX), ClampToInt(textY), text);
}

// The own submit button of kind 2, right of a field of width w and height h.
void DrawOwnSubmitButton(TCanvas* c, long long X, long long Y, long long w, long long h, long long buttonWidth) {
  const TRect button = ClampedRect(X + w + kOwnButtonGap, Y + 1, X + w + buttonWidth + 1, Y + h - 1);
  c->Brush->Style = bsSolid;
  c->Brush->Color = clBtnFace;
  c->FillRect(button);
  DrawRaisedFrame(c, button.Left, button.Top, button.Right, button.Bottom);
  c->Font->Style = 0;
  c->Font->Color = clBlack;
  c->Font->Height = -kOwnButtonFontPixels;
  c->Brush->Style = bsClear;
  const TSize arrow = c->TextExtent(kOwnButtonText);
  c->TextOut(ClampToInt(X + w + buttonWidth + kOwnButtonGap - (arrow.cx + buttonWidth) / 2),
             ClampToInt(Y + (buttonWidth - arrow.cy) / 2), kOwnButtonText);
}

long long OwnButtonWidth(const TGridWebElement& e) {
  return static_cast<long long>(e.FFontSize) + kOwnButtonExtraWidth;
}

// The brush of a field or button: clear when transparent, else the back
// colour (none stands for white).
void FieldBrush(const TGridWebElement& e, TCanvas* c) {
  if (e.FTransparent) {
    c->Brush->Style = bsClear;
    return;
  }
  c->Brush->Style = bsSolid;
  c->Brush->Color = e.FBackColor == kNoBackColour ? clWhite : e.FBackColor;
}

}  // namespace

void DrawRaisedFrame(TCanvas* c, int l, int t, int r, int b) {
  c->MoveTo(l, b);
  c->Pen->Color = clWhite;
  c->LineTo(l, t);
  c->LineTo(r, t);
  c->Pen->Color = clGray;
  c->LineTo(r, b);
  c->LineTo(l, b);
  c->MoveTo(l + 1, b - 1);
  c->Pen->Color = clWhite;
  c->LineTo(l + 1, t + 1);
  c->LineTo(r - 1, t + 1);
  c->Pen->Color = clGray;
  c->LineTo(r - 1, b - 1);
  c->LineTo(l + 1, b - 1);
}

void DrawButton3D(TCanvas* c, int x, int y, int w, int h, const std::string& text) {
  if (c == nullptr) return;
  const TRect box = ClampedRect(x, y, static_cast<long long>(x) + w - 1, static_cast<long long>(y) + h - 1);
  c->FillRect(box);
  DrawRaisedFrame(c, box.Left, box.Top, box.Right, box.Bottom);
  c->Font->Style = 0;
  c->Font->Color = clBlack;
  c->Pen->Color = clBlack;
  const long long size = (static_cast<long long>(h) - kUploadFieldExtraHeight) * kPercent / kUploadHeightPercent;
  c->Font->Height = -static_cast<int>(std::clamp<long long>(size, 1, kMaxFontPixels));
  c->Brush->Style = bsClear;
  const TSize extent = c->TextExtent(text);
  c->TextOut(ClampToInt(x + (static_cast<long long>(w) - extent.cx) / 2),
             ClampToInt(y + (static_cast<long long>(h) - extent.cy) / 2), text);
}

std::string TGridWebElement::SurfaceFontName() const {
  if (Parent() == nullptr) return "Courier New";
  return Parent()->Font()->Name;
}

void TGridWebElement::Paint() { Draw(0, 0, Canvas()); }

// A canvas without a bitmap measures and draws nothing. In the live view the
// size follows the value, which the paint shows first. A submit button keeps
// the size its page stores (a paint only grows it to its caption), so that a
// page read and written again stays as it was.
void TGridWebElement::TakeDrawnSize() {
  if (IsLive() || FKind == wkSubmit) return;
  TCanvas measuring;
  Draw(0, 0, &measuring);
}

void TGridWebElement::SetDrawnSize(TDrawArea& a, long long w, long long h) {
  const int width = ClampToInt(std::max(0LL, w) + FPadX), height = ClampToInt(std::max(0LL, h) + FPadY);
  if (width != Width() || height != Height()) SetBounds(Left(), Top(), width, height);
  a.W = ClampToInt(static_cast<long long>(Width()) - FPadX);
  a.H = ClampToInt(static_cast<long long>(Height()) - FPadY);
}

void TGridWebElement::PrologueFont(TCanvas* c) {
  c->Font->Name = "Verdana";
  c->Font->Style = (FStrong ? fsBold : 0u) | (FItalic ? fsItalic : 0u);
  c->Font->Color = FFrontColor;
  c->Font->Height = -std::clamp(FFontSize, 1, kMaxFontPixels);
}

void TGridWebElement::Draw(int x, int y, TCanvas* canvas) {
  using TDrawKind = void (TGridWebElement::*)(TDrawArea&);
  // By kind code 0 .. 14.
  static constexpr std::array<TDrawKind, wkDropDown + 1> kDrawKind = {
      &TGridWebElement::DrawLabel,      &TGridWebElement::DrawEdit,      &TGridWebElement::DrawEditLocal,
      &TGridWebElement::DrawTwoState,   &TGridWebElement::DrawSubmit,    &TGridWebElement::DrawTwoState,
      &TGridWebElement::DrawCameraBox,  &TGridWebElement::DrawBlock,     &TGridWebElement::DrawMultiImage,
      &TGridWebElement::DrawPostFile,   &TGridWebElement::DrawTwoState,  &TGridWebElement::DrawStrImg,
      &TGridWebElement::DrawCanvasKind, &TGridWebElement::DrawCameraBox, &TGridWebElement::DrawDropDown};
  if (canvas == nullptr) return;
  TDrawArea a;
  a.canvas = canvas;
  a.live = IsLive();
  a.X = ClampToInt(static_cast<long long>(x) + FPadX);
  a.Y = ClampToInt(static_cast<long long>(y) + FPadY);
  a.W = ClampToInt(static_cast<long long>(Width()) - FPadX);
  a.H = ClampToInt(static_cast<long long>(Height()) - FPadY);
  ResetTools(canvas);
  PrologueFont(canvas);
  canvas->Pen->Color = FFrontColor;
  if (a.live ? !IsShownByVariable() : LayerRefuses(*this, false)) return;
  if (FUnreadNode != nullptr) return;
  if (FKind >= 0 && FKind < static_cast<int>(kDrawKind.size())) (this->*kDrawKind[FKind])(a);
  if (!a.live && FSelected)
    DrawSelectionOutline(canvas,
                         ClampedRect(a.X, a.Y, static_cast<long long>(a.X) + a.W, static_cast<long long>(a.Y) + a.H));
}

void TGridWebElement::DrawResizeHandles(TDrawArea& a) {
  if (a.live || !FSelected) return;
  TCanvas* c = a.canvas;
  const long long X = a.X, Y = a.Y, W = a.W, H = a.H;
  const long long right = X + W - kHandleInset, bottom = Y + H - kHandleInset;
  const long long midX = X + W / 2, midY = Y + H / 2;
  const TBrushStyle oldStyle = c->Brush->Style;
  const TColor oldColor = c->Brush->Color;
  c->Brush->Style = bsSolid;
  c->Brush->Color = clBlack;
  c->FillRect(ClampedRect(X + W - kHandleDepth, midY - kHandleHalfLength, right, midY + kHandleHalfLength));
  c->FillRect(ClampedRect(midX - kHandleHalfLength, Y + H - kHandleDepth, midX + kHandleHalfLength, bottom));
  c->FillRect(ClampedRect(X + W - kHandleDepth, Y + H - kHandleDepth, right, bottom));
  c->Brush->Style = oldStyle;
  c->Brush->Color = oldColor;
}

void TGridWebElement::DrawFieldBackground(TDrawArea& a, int w, int h, bool measuredBottom) {
  TCanvas* c = a.canvas;
  FieldBrush(*this, c);
  if (FTransparent) return;
  // Without a border the fill moves one pixel up and left.
  const long long b = FBorder ? 0 : -1;
  const long long X = a.X, Y = a.Y;
  const long long bottom = measuredBottom ? Y + h - 1 - b : Y + h - 1 + b;
  c->FillRect(ClampedRect(X + 1 + b, Y + 1 + b, X + w - 1 + b, bottom));
}

void TGridWebElement::DrawLinkFrame(TDrawArea& a) {
  TCanvas* c = a.canvas;
  c->Pen->Color = clRed;
  c->Pen->Style = psSolid;
  c->Pen->Width = 1;
  c->Brush->Style = bsClear;
  c->Rectangle(ClampedRect(a.X, a.Y, static_cast<long long>(a.X) + a.W, static_cast<long long>(a.Y) + a.H));
}

TSize TGridWebElement::EditFieldRule(TCanvas* c) {
  c->Font->Name = SurfaceFontName();
  if (FGlobalData != nullptr && FGlobalData->MeasuredFonts)
    return {MeasuredFieldWidth(c->TextWidth("0"), FSize), MeasuredFieldHeight(c->TextHeight("0"), FBorder)};
  return {FixedFactorFieldWidth(FFontSize, FSize), FixedFactorFieldHeight(FFontSize)};
}

// --- label (0) -----------------------------------------------------------------

void TGridWebElement::DrawLabel(TDrawArea& a) {
  TCanvas* c = a.canvas;
  if (!FHref.empty()) c->Font->Style |= fsUnderline;
  FieldBrush(*this, c);
  if (!FCaption.empty()) {
    const TSize extent = c->TextExtent(FCaption);
    SetDrawnSize(a, extent.cx, extent.cy);
    c->TextOut(a.X, a.Y, FCaption);
    return;
  }
  // Without a caption: a dashed square as high as "X".
  c->Pen->Style = psDash;
  const int side = c->TextHeight("X");
  SetDrawnSize(a, side, side);
  c->Rectangle(ClampedRect(a.X, a.Y, static_cast<long long>(a.X) + a.W, static_cast<long long>(a.Y) + a.H));
  c->Pen->Style = psSolid;
}

// --- edit fields (1, 2) ----------------------------------------------------------

void TGridWebElement::DrawEdit(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const TSize size = EditFieldRule(c);
  SetDrawnSize(a, size.cx, size.cy);
  const bool measured = FGlobalData != nullptr && FGlobalData->MeasuredFonts;
  DrawFieldBackground(a, a.W, a.H, measured);
  if (FBorder) SunkenFieldFrame(c, a.X, a.Y, a.W, a.H);
  c->Brush->Style = bsClear;
  std::string text = EditFieldText(*this, c, a.live);
  if (a.live && IsConstant(FVariable))
    text = kConstantText;
  else if (a.live && !FVarValid)
    DrawLinkFrame(a);
  WriteFieldText(*this, c, a.X, a.Y, a.W, a.H, text);
}

void TGridWebElement::DrawEditLocal(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const TSize size = EditFieldRule(c);
  const bool measured = FGlobalData != nullptr && FGlobalData->MeasuredFonts;
  DrawFieldBackground(a, size.cx, size.cy, measured);
  if (FBorder) SunkenFieldFrame(c, a.X, a.Y, size.cx, a.H);
  c->Brush->Style = bsClear;
  const std::string text = EditFieldText(*this, c, a.live);
  // The link frame surrounds the whole element, button included.
  if (a.live && !FVarValid) DrawLinkFrame(a);
  WriteFieldText(*this, c, a.X, a.Y, size.cx, size.cy, text);
  const bool editorOpen = FEditor != nullptr && FEditor->Visible();
  const long long buttonWidth = OwnButtonWidth(*this);
  if (!a.live || (!FReadOnly && (FPending || editorOpen)))
    DrawOwnSubmitButton(c, a.X, a.Y, size.cx, size.cy, buttonWidth);
  SetDrawnSize(a, size.cx + kOwnButtonGap + buttonWidth, size.cy);
}

// --- submit (4) --------------------------------------------------------------------

void TGridWebElement::DrawSubmit(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const TSize extent = c->TextExtent(FCaption);
  // The button grows to its caption, never shrinks below a size set by hand.
  SetDrawnSize(a, std::max(a.W, SubmitMinWidth(extent.cx)), std::max(a.H, SubmitMinHeight(extent.cy)));
  const long long X = a.X, Y = a.Y, W = a.W, H = a.H;
  FieldBrush(*this, c);
  if (!FTransparent) c->FillRect(ClampedRect(X + 1, Y + 1, X + W - 1, Y + H - 1));
  if (FBorder) DrawRaisedFrame(c, ClampToInt(X + 1), ClampToInt(Y + 1), ClampToInt(X + W - 1), ClampToInt(Y + H - 1));
  c->Brush->Style = bsClear;
  c->Font->Color = FFrontColor;
  c->TextOut(ClampToInt(X + (W - extent.cx) / 2), ClampToInt(Y + (H - extent.cy) / 2), FCaption);
  DrawResizeHandles(a);
}

// --- file upload (9) ---------------------------------------------------------------

void TGridWebElement::DrawPostFile(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const std::string caption = GetUiText(kBrowseTextId);
  const long long buttonWidth = c->TextWidth(caption + kBrowseWidthSuffix);
  c->Font->Name = SurfaceFontName();
  const long long h = UploadFieldHeight(FFontSize), w = FixedFactorFieldWidth(FFontSize, FSize);
  SetDrawnSize(a, w, h);
  const long long X = a.X, Y = a.Y;
  FieldBrush(*this, c);
  if (!FTransparent) c->FillRect(ClampedRect(X + 1, Y + 1, X + w - 1, Y + h - 1));
  if (FBorder) SunkenFieldFrame(c, X, Y, w, h);
  c->Font->Name = "Verdana";
  c->Brush->Style = bsSolid;
  c->Brush->Color = clBtnFace;
  DrawButton3D(c, ClampToInt(X + w - buttonWidth), ClampToInt(Y), ClampToInt(buttonWidth), ClampToInt(h), caption);
}

// --- drop-down list (14) -----------------------------------------------------------

void TGridWebElement::DrawDropDown(TDrawArea& a) {
  TCanvas* c = a.canvas;
  c->Font->Name = SurfaceFontName();
  const TSize digit = c->TextExtent("0");
  SetDrawnSize(a, MeasuredFieldWidth(digit.cx, FSize), MeasuredFieldHeight(digit.cy, FBorder));
  const long long X = a.X, Y = a.Y, W = a.W, H = a.H;
  DrawFieldBackground(a, a.W, a.H, true);
  if (FBorder) SunkenFieldFrame(c, X, Y, W, H);
  c->Brush->Style = bsClear;
  std::string text;
  if (!a.live) {
    FOptions.Find("0", text);
  } else {
    FOptions.Find(EditFieldText(*this, c, true), text);
    if (IsConstant(FVariable))
      text = kConstantText;
    else if (!FVarValid)
      DrawLinkFrame(a);
  }
  c->TextRect(ClampedRect(X + 1, Y + 1, X + W - kDropDownTextRightInset, Y + H - 1), ClampToInt(X + TextInset(FBorder)),
              ClampToInt(Y + (H - digit.cy) / 2), text);
  if (FDropDownPicture != nullptr && FDropDownPicture->Graphic() != nullptr)
    c->Draw(ClampToInt(X + W - kDropDownArrowLeft), ClampToInt(Y + FloorHalf(H) - kDropDownArrowUp),
            FDropDownPicture->Graphic());
}

// --- hit test and hover -------------------------------------------------------------

void TGridWebElement::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CM_HITTEST: {
      const bool live = IsLive();
      bool hit = live ? GetResolvedVisVariable().empty() || IsShownByVariable() : !LayerRefuses(*this, true);
      if (hit && FKind == wkEditLocal && live) {
        // The idle button strip of kind 2 lets the mouse through.
        const bool editorOpen = FEditor != nullptr && FEditor->Visible();
        const bool onStrip = GET_X_LPARAM(message.LParam) > Width() - OwnButtonWidth(*this);
        hit = !onStrip || (!FReadOnly && (FPending || editorOpen));
      }
      message.Result = hit ? HTCLIENT : HTNOWHERE;
      return;
    }
    case CM_MOUSEENTER:
      FHover = true;
      Repaint();
      break;
    case CM_MOUSELEAVE:
      FHover = false;
      SetCursor(crArrow);
      Repaint();
      break;
    default: break;
  }
  TGridGraphic::WndProc(message);
}
