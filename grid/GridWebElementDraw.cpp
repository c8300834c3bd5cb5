// TGridWebElement drawing: the frame every kind shares (prologue, selection
// marks, field frames, resize handles), the hit test, and the text kinds:
// label, edit fields, submit button, file-upload field and drop-down list.
// The picture, frame and block kinds are in GridWebElementDrawPictures.cpp.

#include <algorithm>
#include <climits>
#include <string>

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "grid/SizingRules.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/WinControl.h"
#include "platform/win/WindowMessages.h"

namespace {

int ClampInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

TRect R(long long l, long long t, long long r, long long b) {
  return {ClampInt(l), ClampInt(t), ClampInt(r), ClampInt(b)};
}

void Line(TCanvas* c, long long x, long long y) { c->LineTo(ClampInt(x), ClampInt(y)); }
void Move(TCanvas* c, long long x, long long y) { c->MoveTo(ClampInt(x), ClampInt(y)); }

// The sunken frame of input fields on (X, Y, X + w, Y + h).
void SunkenFieldFrame(TCanvas* c, long long X, long long Y, long long w, long long h) {
  c->Pen->Width = 2;
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

// Every character masked.
std::string Masked(const std::string& text) { return std::string(text.size(), '*'); }

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
  const TRect box = R(x, y, static_cast<long long>(x) + w - 1, static_cast<long long>(y) + h - 1);
  c->FillRect(box);
  DrawRaisedFrame(c, box.Left, box.Top, box.Right, box.Bottom);
  c->Font->Style = 0;
  c->Font->Color = clBlack;
  c->Pen->Color = clBlack;
  // The inverse of the field height rule (h = size x 1.15 + 8).
  const long long size = (static_cast<long long>(h) - 8) * 100 / 115;
  c->Font->Height = -static_cast<int>(std::clamp<long long>(size, 1, 4096));
  c->Brush->Style = bsClear;
  const TSize extent = c->TextExtent(text);
  c->TextOut(ClampInt(x + (static_cast<long long>(w) - extent.cx) / 2),
             ClampInt(y + (static_cast<long long>(h) - extent.cy) / 2), text);
}

std::string TGridWebElement::SurfaceFontName() const {
  if (Parent() == nullptr) return "Courier New";
  return Parent()->Font()->Name;
}

void TGridWebElement::Paint() { Draw(0, 0, Canvas()); }

void TGridWebElement::SetDrawnSize(TDrawArea& a, long long w, long long h) {
  const int width = ClampInt(std::max(0LL, w) + FPadX), height = ClampInt(std::max(0LL, h) + FPadY);
  if (width != Width() || height != Height()) SetBounds(Left(), Top(), width, height);
  a.W = ClampInt(static_cast<long long>(Width()) - FPadX);
  a.H = ClampInt(static_cast<long long>(Height()) - FPadY);
}

void TGridWebElement::PrologueFont(TCanvas* c) {
  c->Font->Name = "Verdana";
  c->Font->Style = (FStrong ? fsBold : 0u) | (FItalic ? fsItalic : 0u);
  c->Font->Color = FFrontColor;
  c->Font->Height = -std::clamp(FFontSize, 1, 4096);
}

void TGridWebElement::Draw(int x, int y, TCanvas* canvas) {
  if (canvas == nullptr) return;
  TDrawArea a;
  a.canvas = canvas;
  a.live = IsLive();
  a.X = ClampInt(static_cast<long long>(x) + FPadX);
  a.Y = ClampInt(static_cast<long long>(y) + FPadY);
  a.W = ClampInt(static_cast<long long>(Width()) - FPadX);
  a.H = ClampInt(static_cast<long long>(Height()) - FPadY);
  TCanvas* c = canvas;
  c->Pen->Color = clBlack;
  c->Pen->Style = psSolid;
  c->Pen->Width = 1;
  c->Pen->Mode = pmCopy;
  c->Brush->Color = clWhite;
  c->Brush->Style = bsSolid;
  PrologueFont(c);
  c->Pen->Color = FFrontColor;
  if (a.live) {
    if (!IsShownByVariable()) return;
  } else if (FLayers != nullptr && FLayer >= 0 && FLayer < kLayerCount && !FLayers[FLayer].Visible) {
    return;
  }
  if (FUnreadNode != nullptr) return;
  switch (FKind) {
    case wkLabel: DrawLabel(a); break;
    case wkEdit: DrawEdit(a); break;
    case wkEditLocal: DrawEditLocal(a); break;
    case wkSubmit: DrawSubmit(a); break;
    case wkPostFile: DrawPostFile(a); break;
    case wkDropDown: DrawDropDown(a); break;
    case wkImage:
    case wkPicture:
    case wkImageBtn: DrawTwoState(a); break;
    case wkMultiImage: DrawMultiImage(a); break;
    case wkStrImg: DrawStrImg(a); break;
    case wkCamera:
    case wkIFrame: DrawCameraBox(a); break;
    case wkCanvas: DrawCanvasKind(a); break;
    case wkBlock: DrawBlock(a); break;
    default: break;
  }
  if (!a.live && FSelected) {
    c->Brush->Style = bsClear;
    c->Pen->Width = 1;
    c->Pen->Style = psSolid;
    c->Pen->Color = clBlack;
    const TRect r = R(a.X, a.Y, static_cast<long long>(a.X) + a.W, static_cast<long long>(a.Y) + a.H);
    c->Rectangle(r);
    c->Pen->Style = psDot;
    c->Pen->Color = clWhite;
    c->Rectangle(r);
    c->Pen->Style = psSolid;
    c->Pen->Color = clBlack;
    c->Pen->Mode = pmCopy;
    c->Brush->Style = bsClear;
  }
}

void TGridWebElement::DrawResizeHandles(TDrawArea& a) {
  if (a.live || !FSelected) return;
  TCanvas* c = a.canvas;
  const long long X = a.X, Y = a.Y, W = a.W, H = a.H;
  const TBrushStyle oldStyle = c->Brush->Style;
  const TColor oldColor = c->Brush->Color;
  c->Brush->Style = bsSolid;
  c->Brush->Color = clBlack;
  c->FillRect(R(X + W - 4, Y + H / 2 - 2, X + W - 1, Y + H / 2 + 2));
  c->FillRect(R(X + W / 2 - 2, Y + H - 4, X + W / 2 + 2, Y + H - 1));
  c->FillRect(R(X + W - 4, Y + H - 4, X + W - 1, Y + H - 1));
  c->Brush->Style = oldStyle;
  c->Brush->Color = oldColor;
}

void TGridWebElement::DrawFieldBackground(TDrawArea& a, int w, int h, bool measuredBottom) {
  TCanvas* c = a.canvas;
  if (FTransparent) {
    c->Brush->Style = bsClear;
    return;
  }
  c->Brush->Style = bsSolid;
  c->Brush->Color = FBackColor == -1 ? clWhite : FBackColor;
  const long long b = FBorder ? 0 : -1;
  const long long X = a.X, Y = a.Y;
  const long long bottom = measuredBottom ? Y + h - 1 - b : Y + h - 1 + b;
  c->FillRect(R(X + 1 + b, Y + 1 + b, X + w - 1 + b, bottom));
}

void TGridWebElement::DrawLinkFrame(TDrawArea& a) {
  TCanvas* c = a.canvas;
  c->Pen->Color = clRed;
  c->Pen->Style = psSolid;
  c->Pen->Width = 1;
  c->Brush->Style = bsClear;
  c->Rectangle(R(a.X, a.Y, static_cast<long long>(a.X) + a.W, static_cast<long long>(a.Y) + a.H));
}

TSize TGridWebElement::EditFieldRule(TCanvas* c) {
  c->Font->Name = SurfaceFontName();
  if (FGlobalData != nullptr && FGlobalData->MeasuredFonts) {
    const long long h = c->TextHeight("0") + (FBorder ? 6LL : 4LL);
    const long long w = static_cast<long long>(c->TextWidth("0")) * FSize + 10;
    return {ClampInt(w), ClampInt(h)};
  }
  return {FixedFactorFieldWidth(FFontSize, FSize), ClampInt(static_cast<long long>(FFontSize) + 8)};
}

// --- label (0) -----------------------------------------------------------------

void TGridWebElement::DrawLabel(TDrawArea& a) {
  TCanvas* c = a.canvas;
  if (!FHref.empty()) c->Font->Style |= fsUnderline;
  if (FTransparent) {
    c->Brush->Style = bsClear;
  } else {
    c->Brush->Style = bsSolid;
    c->Brush->Color = FBackColor == -1 ? clWhite : FBackColor;
  }
  if (!FCaption.empty()) {
    const TSize extent = c->TextExtent(FCaption);
    SetDrawnSize(a, extent.cx, extent.cy);
    c->TextOut(a.X, a.Y, FCaption);
    return;
  }
  c->Pen->Style = psDash;
  const int side = c->TextHeight("X");
  SetDrawnSize(a, side, side);
  c->Rectangle(R(a.X, a.Y, static_cast<long long>(a.X) + a.W, static_cast<long long>(a.Y) + a.H));
  c->Pen->Style = psSolid;
}

// --- edit fields (1, 2) ----------------------------------------------------------

void TGridWebElement::DrawEdit(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const TSize size = EditFieldRule(c);
  SetDrawnSize(a, size.cx, size.cy);
  const bool measured = FGlobalData != nullptr && FGlobalData->MeasuredFonts;
  const long long X = a.X, Y = a.Y, W = a.W, H = a.H;
  const long long v = (H - c->TextHeight("0")) / 2;
  DrawFieldBackground(a, a.W, a.H, measured);
  if (FBorder) SunkenFieldFrame(c, X, Y, W, H);
  c->Brush->Style = bsClear;
  std::string text = "0.";
  if (a.live) {
    if (FPending) {
      text = FPendingText;
      c->Font->Color = clRed;
    } else {
      text = FormatValue();
    }
    if (!FVariable.empty() && FVariable[0] == '#')
      text = "-";
    else if (!FVarValid)
      DrawLinkFrame(a);
  }
  const long long tw = c->TextWidth(text);
  long long tx = X + (FBorder ? 3 : 1);
  if (FAlignRight) tx += W - tw - (FBorder ? 6 : 2);
  if (FAlignCenter) {
    const long long d = W - tw;
    tx += (d >= 0 ? d / 2 : -((-d + 1) / 2)) - (FBorder ? 6 : 2);
  }
  if (FPassword) text = Masked(text);
  c->TextRect(R(X + 1, Y + 1, X + W - 1, Y + H - 1), ClampInt(tx), ClampInt(Y + v), text);
}

void TGridWebElement::DrawEditLocal(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const TSize size = EditFieldRule(c);
  const bool measured = FGlobalData != nullptr && FGlobalData->MeasuredFonts;
  const long long X = a.X, Y = a.Y, w = size.cx, h = size.cy;
  const long long bw = static_cast<long long>(FFontSize) + 6;
  const long long v = (h - c->TextHeight("0")) / 2;
  DrawFieldBackground(a, size.cx, size.cy, measured);
  if (FBorder) SunkenFieldFrame(c, X, Y, w, a.H);
  c->Brush->Style = bsClear;
  std::string text = "0.";
  if (a.live) {
    if (FPending) {
      text = FPendingText;
      c->Font->Color = clRed;
    } else {
      text = FormatValue();
    }
    if (!FVarValid) DrawLinkFrame(a);
  }
  const long long tw = c->TextWidth(text);
  long long tx = X + (FBorder ? 3 : 1);
  if (FAlignRight) tx += w - tw - (FBorder ? 6 : 2);
  if (FAlignCenter) {
    const long long d = w - tw;
    tx += (d >= 0 ? d / 2 : -((-d + 1) / 2)) - (FBorder ? 6 : 2);
  }
  if (FPassword) text = Masked(text);
  c->TextRect(R(X + 1, Y + 1, X + w - 1, Y + h - 1), ClampInt(tx), ClampInt(Y + v), text);

  const bool editorOpen = FEditor != nullptr && FEditor->Visible();
  if (!a.live || (!FReadOnly && (FPending || editorOpen))) {
    const TRect button = R(X + w + 2, Y + 1, X + w + bw + 1, Y + h - 1);
    c->Brush->Style = bsSolid;
    c->Brush->Color = clBtnFace;
    c->FillRect(button);
    DrawRaisedFrame(c, button.Left, button.Top, button.Right, button.Bottom);
    c->Font->Style = 0;
    c->Font->Color = clBlack;
    c->Font->Height = -13;
    c->Brush->Style = bsClear;
    const TSize arrow = c->TextExtent(">");
    c->TextOut(ClampInt(X + w + bw + 2 - (arrow.cx + bw) / 2), ClampInt(Y + (bw - arrow.cy) / 2), ">");
  }
  SetDrawnSize(a, w + 2 + bw, h);
}

// --- submit (4) --------------------------------------------------------------------

void TGridWebElement::DrawSubmit(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const TSize extent = c->TextExtent(FCaption);
  // The button grows to its caption, never shrinks below a size set by hand.
  SetDrawnSize(a, std::max<long long>(a.W, extent.cx + 24LL), std::max<long long>(a.H, extent.cy + 12LL));
  const long long X = a.X, Y = a.Y, W = a.W, H = a.H;
  if (FTransparent) {
    c->Brush->Style = bsClear;
  } else {
    c->Brush->Style = bsSolid;
    c->Brush->Color = FBackColor == -1 ? clWhite : FBackColor;
    c->FillRect(R(X + 1, Y + 1, X + W - 1, Y + H - 1));
  }
  if (FBorder) DrawRaisedFrame(c, ClampInt(X + 1), ClampInt(Y + 1), ClampInt(X + W - 1), ClampInt(Y + H - 1));
  c->Brush->Style = bsClear;
  c->Font->Color = FFrontColor;
  c->TextOut(ClampInt(X + (W - extent.cx) / 2), ClampInt(Y + (H - extent.cy) / 2), FCaption);
  DrawResizeHandles(a);
}

// --- file upload (9) ---------------------------------------------------------------

void TGridWebElement::DrawPostFile(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const std::string caption = GetUiText(7233);
  const long long bw = c->TextWidth(caption + "12");
  c->Font->Name = SurfaceFontName();
  const long long h = UploadFieldHeight(FFontSize), w = FixedFactorFieldWidth(FFontSize, FSize);
  SetDrawnSize(a, w, h);
  const long long X = a.X, Y = a.Y;
  if (FTransparent) {
    c->Brush->Style = bsClear;
  } else {
    c->Brush->Style = bsSolid;
    c->Brush->Color = FBackColor == -1 ? clWhite : FBackColor;
    c->FillRect(R(X + 1, Y + 1, X + w - 1, Y + h - 1));
  }
  if (FBorder) SunkenFieldFrame(c, X, Y, w, h);
  c->Font->Name = "Verdana";
  c->Brush->Style = bsSolid;
  c->Brush->Color = clBtnFace;
  DrawButton3D(c, ClampInt(X + w - bw), ClampInt(Y), ClampInt(bw), ClampInt(h), caption);
}

// --- drop-down list (14) -----------------------------------------------------------

void TGridWebElement::DrawDropDown(TDrawArea& a) {
  TCanvas* c = a.canvas;
  c->Font->Name = SurfaceFontName();
  const TSize digit = c->TextExtent("0");
  SetDrawnSize(a, static_cast<long long>(FSize) * digit.cx + 10, digit.cy + (FBorder ? 6LL : 4LL));
  const long long X = a.X, Y = a.Y, W = a.W, H = a.H;
  const long long v = (H - digit.cy) / 2;
  DrawFieldBackground(a, a.W, a.H, true);
  if (FBorder) SunkenFieldFrame(c, X, Y, W, H);
  c->Brush->Style = bsClear;
  std::string text;
  if (!a.live) {
    FOptions.Find("0", text);
  } else {
    if (FPending) {
      FOptions.Find(FPendingText, text);
      c->Font->Color = clRed;
    } else {
      FOptions.Find(FormatValue(), text);
    }
    if (!FVariable.empty() && FVariable[0] == '#')
      text = "-";
    else if (!FVarValid)
      DrawLinkFrame(a);
  }
  c->TextRect(R(X + 1, Y + 1, X + W - 20, Y + H - 1), ClampInt(X + (FBorder ? 3 : 1)), ClampInt(Y + v), text);
  if (FDropDownPicture != nullptr && FDropDownPicture->Graphic() != nullptr) {
    const long long half = H >= 0 ? H / 2 : -((-H + 1) / 2);
    c->Draw(ClampInt(X + W - 14), ClampInt(Y + half - 3), FDropDownPicture->Graphic());
  }
}

// --- hit test and hover -------------------------------------------------------------

void TGridWebElement::WndProc(TMessage& message) {
  switch (message.Msg) {
    case CM_HITTEST: {
      message.Result = HTCLIENT;
      if (IsLive()) {
        if (!GetResolvedVisVariable().empty() && !IsShownByVariable()) message.Result = HTNOWHERE;
      } else if (FLayers != nullptr && FLayer >= 0 && FLayer < kLayerCount &&
                 (FLayers[FLayer].Frozen || !FLayers[FLayer].Visible)) {
        message.Result = HTNOWHERE;
      }
      if (message.Result == HTCLIENT && FKind == wkEditLocal && IsLive()) {
        const int x = GET_X_LPARAM(message.LParam);
        const bool editorOpen = FEditor != nullptr && FEditor->Visible();
        if (x > static_cast<long long>(Width()) - (static_cast<long long>(FFontSize) + 6) &&
            !(!FReadOnly && (FPending || editorOpen)))
          message.Result = HTNOWHERE;
      }
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
