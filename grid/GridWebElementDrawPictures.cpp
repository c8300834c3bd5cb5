// TGridWebElement drawing of the picture, frame and block kinds: double-state
// image, static image, image button, multi-state image, picture controlled by
// string, camera view, inserted web page, drawing canvas, rectangle and
// dynamic bar.

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/TraceLog.h"
#include "grid/GridWebElement.h"
#include "grid/PictureLoading.h"
#include "grid/PictureQueueHooks.h"
#include "grid/ScrollPositions.h"
#include "pictures/PictureLoader.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/Timer.h"
#include "platform/vcl/WinControl.h"

TGridQueuePicture gGridQueuePicture = nullptr;
TGridFinishQueuedPicture gGridFinishQueuedPicture = nullptr;

namespace {

int ClampInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

TRect R(long long l, long long t, long long r, long long b) {
  return {ClampInt(l), ClampInt(t), ClampInt(r), ClampInt(b)};
}

long long FloorHalf(long long v) { return v >= 0 ? v / 2 : -((-v + 1) / 2); }

const TGraphic* GraphicOf(const TPicture* picture) { return picture != nullptr ? picture->Graphic() : nullptr; }
bool Present(const TPicture* picture) { return GraphicOf(picture) != nullptr; }
bool PresentWithSize(const TPicture* picture) {
  const TGraphic* g = GraphicOf(picture);
  return g != nullptr && g->Width() != 0 && g->Height() != 0;
}

// The integer at the start of a text in the "%i" notation (decimal, 0x
// hexadecimal, leading-zero octal), kept within an int; 0 when there is none.
int ReadInteger(const std::string& text) {
  const char* s = text.c_str();
  while (*s == ' ' || *s == '\t' || *s == '\n' || *s == '\r' || *s == '\f' || *s == '\v') ++s;
  char* end = nullptr;
  const long long v = std::strtoll(s, &end, 0);
  if (end == s) return 0;
  return ClampInt(v);
}

// The red cross and black frame of a missing picture on a 32 x 32 box.
void MissingPictureBox(TCanvas* c, long long X, long long Y) {
  c->Pen->Color = clRed;
  c->Pen->Width = 2;
  c->Pen->Style = psSolid;
  c->MoveTo(ClampInt(X), ClampInt(Y));
  c->LineTo(ClampInt(X + 32), ClampInt(Y + 32));
  c->MoveTo(ClampInt(X + 32), ClampInt(Y));
  c->LineTo(ClampInt(X), ClampInt(Y + 32));
  c->Pen->Width = 1;
}

void BlackFrame(TCanvas* c, long long X, long long Y, long long w, long long h) {
  c->Pen->Color = clBlack;
  c->Pen->Width = 1;
  c->Pen->Style = psSolid;
  c->Brush->Style = bsClear;
  c->Rectangle(R(X, Y, X + w, Y + h));
}

}  // namespace

TPicture* TGridWebElement::GetImage(int index) {
  if (index < 0 || index >= FImages.Count()) return nullptr;
  if (TPicture* picture = FImages.Picture(index)) return picture;
  const char* path = gGridImagePath != nullptr ? gGridImagePath(FImages.Name(index)) : nullptr;
  if (path == nullptr || !GridFileExists(path)) return nullptr;
  auto picture = std::make_unique<TPicture>();
  try {
    LoadGridPicture(*picture, path);
  } catch (...) {
    return nullptr;
  }
  // The entry keeps the loaded picture.
  return FImages.SetPicture(index, std::move(picture));
}

// --- double-state image (3), static image (5), image button (10) ----------------

void TGridWebElement::DrawTwoState(TDrawArea& a) {
  TCanvas* c = a.canvas;
  bool on = false;
  if (FKind == wkImage)
    on = IsValueNonZero();
  else if (FKind == wkImageBtn)
    on = FTimer != nullptr && FTimer->Enabled();
  c->Brush->Style = bsClear;
  PrologueFont(c);
  const long long X = a.X, Y = a.Y;
  long long bw = 0, bh = 0;
  const bool onPresent = Present(FOnPicture), offPresent = Present(FOffPicture);
  if (onPresent) {
    bw = FOnPicture->Width();
    bh = FOnPicture->Height();
  }
  if (offPresent) {
    if (!onPresent) {
      bw = FOffPicture->Width();
      bh = FOffPicture->Height();
    } else {
      bw = std::max<long long>(bw, FOffPicture->Width());
      bh = std::max<long long>(bh, FOffPicture->Height());
    }
  }
  auto extentOf = [&](const std::string& text) {
    const TSize e = c->TextExtent(text);
    bw = e.cx;
    bh = e.cy;
  };
  if (a.live && (FKind == wkImage || FKind == wkImageBtn)) {
    if (!on) {
      if (offPresent)
        c->Draw(a.X, a.Y, FOffPicture->Graphic());
      else if (!onPresent)
        extentOf(FCaption);
    } else {
      if (onPresent)
        c->Draw(a.X, a.Y, FOnPicture->Graphic());
      else if (!offPresent)
        extentOf(FOptCaption.empty() ? FCaption : FOptCaption);
    }
  } else if (PresentWithSize(FOffPicture)) {
    c->Draw(a.X, a.Y, FOffPicture->Graphic());
  } else if (PresentWithSize(FOnPicture)) {
    c->Draw(a.X, a.Y, FOnPicture->Graphic());
  } else {
    if (!FCaption.empty())
      extentOf(FCaption);
    else if (!FOptCaption.empty())
      extentOf(FOptCaption);
    else {
      bw = bh = 32;
      MissingPictureBox(c, X, Y);
    }
    BlackFrame(c, X, Y, bw, bh);
  }
  // Text over the picture, centred in the box and clipped to it.
  c->Pen->Color = FFrontColor;
  c->Brush->Style = bsClear;
  const TRect box = R(X, Y, X + bw, Y + bh);
  std::string text = FCaption;
  if (FKind == wkImage && !FOptCaption.empty() && ((!a.live && FCaption.empty()) || (a.live && on))) text = FOptCaption;
  const TSize e = c->TextExtent(text);
  c->TextRect(box, ClampInt(X + FloorHalf(bw - e.cx)), ClampInt(Y + FloorHalf(bh - e.cy)), text);
  if (!a.live && FSelected) {
    c->Pen->Color = clWhite;
    c->Pen->Width = 1;
    c->Rectangle(box);
  }
  if (a.live && (FKind == wkImage || FKind == wkImageBtn) && !FVarValid) {
    c->Pen->Color = clRed;
    c->Rectangle(box);
  }
  SetDrawnSize(a, bw, bh);
}

// --- multi-state image (8) ---------------------------------------------------------

void TGridWebElement::DrawMultiImage(TDrawArea& a) {
  TCanvas* c = a.canvas;
  int index = 0;
  if (a.live) index = !FVariable.empty() && FVariable[0] == '#' ? -1 : ReadInteger(FormatValue());
  TPicture* picture = GetImage(index);
  if (picture == nullptr || picture->Graphic() == nullptr) {
    if (a.live) return;
    SetDrawnSize(a, 32, 32);
    MissingPictureBox(c, a.X, a.Y);
    BlackFrame(c, a.X, a.Y, 32, 32);
    return;
  }
  SetDrawnSize(a, picture->Width(), picture->Height());
  c->Draw(a.X, a.Y, picture->Graphic());
}

// --- picture controlled by string (11) ------------------------------------------------

void TGridWebElement::DrawStrImg(TDrawArea& a) {
  TCanvas* c = a.canvas;
  c->Brush->Style = bsClear;
  if (!a.live || FVariable.empty()) {
    FStrImgFile.clear();
    FStrImgPending = 0;
    SetDrawnSize(a, FContentWidth, FContentHeight);
    DrawResizeHandles(a);
    if (Present(FBrokenPicture)) c->Draw(a.X, a.Y, FBrokenPicture->Graphic());
    c->Pen->Color = clSilver;
    c->Pen->Width = 1;
    c->Brush->Style = bsClear;
    c->Rectangle(R(a.X, a.Y, static_cast<long long>(a.X) + a.W, static_cast<long long>(a.Y) + a.H));
    return;
  }
  const std::string value = FormatValue();
  std::string s = value;
  bool loaded = true;
  const bool haveQueue = FRecvQueue != nullptr && gGridQueuePicture != nullptr && gGridFinishQueuedPicture != nullptr;
  if (FStrImgPending == 0) {
    if (s != FStrImgFile) {
      loaded = false;
      const std::size_t query = s.find('?');
      if (query != std::string::npos) s.erase(query);
      if (s.find("://") == std::string::npos) {
        bool done = false;
        const std::string upper = UpperCase(s);
        const std::size_t at = upper.find("IMAGES/");
        if (at != std::string::npos) {
          const std::string name = s.substr(at + 7);
          const char* path = gGridImagePath != nullptr ? gGridImagePath(name) : nullptr;
          if (path != nullptr && GridFileExists(path)) {
            TBitmap bitmap;
            loaded = LoadPictureFile(path, &bitmap, false, nullptr) && !bitmap.Empty();
            if (loaded) FOffPicture->Assign(&bitmap);
            FStrImgFile = value;
            done = loaded;
          }
        }
        if (!done && haveQueue) {
          const std::size_t dot = s.rfind('.');
          const std::string ext = dot == std::string::npos ? std::string() : UpperCase(s.substr(dot));
          if (ext == ".JPG" || ext == ".JPEG" || ext == ".PNG" || ext == ".BMP" || ext == ".GIF") {
            FStrImgPending = 1;
            gGridQueuePicture(FRecvQueue, this, value);
          }
          FStrImgFile = value;
        }
      }
    }
  } else if (haveQueue) {
    std::string localFile;
    const int state = gGridFinishQueuedPicture(FRecvQueue, this, localFile);
    if (state == -1) {
      FStrImgPending = 0;
      loaded = false;
    } else if (state == 0) {
      loaded = false;
      if (GridFileExists(localFile)) {
        TBitmap bitmap;
        loaded = LoadPictureFile(localFile, &bitmap, false, nullptr) && !bitmap.Empty();
        if (loaded) FOffPicture->Assign(&bitmap);
      }
      FStrImgPending = 0;
    }
  } else {
    FStrImgPending = 0;
    loaded = false;
  }
  if (!loaded && FStrImgPending == 0) {
    if (!s.empty()) {
      FOffPicture->Assign(FBrokenPicture);
      SetDrawnSize(a, 22, 24);
    } else {
      FOffPicture->Assign(static_cast<const TGraphic*>(nullptr));
      SetDrawnSize(a, 0, 0);
    }
  } else if (loaded) {
    const TGraphic* g = GraphicOf(FOffPicture);
    SetDrawnSize(a, g != nullptr ? g->Width() : 0, g != nullptr ? g->Height() : 0);
    if (!FStrImgLoaded) WriteTraceLog("Loaded > " + FStrImgFile);
  }
  if (Present(FOffPicture)) c->Draw(a.X, a.Y, FOffPicture->Graphic());
  FStrImgLoaded = loaded;
}

// --- camera view (6) and inserted web page (13) ------------------------------------

void TGridWebElement::DrawCameraBox(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const long long X = a.X, Y = a.Y, W = a.W, H = a.H;
  c->Brush->Style = bsSolid;
  c->Brush->Color = clSilver;
  c->FillRect(R(X + 1, Y + 1, X + W - 1, Y + H - 1));
  c->Pen->Width = 1;
  c->Pen->Style = psSolid;
  auto move = [&](long long x, long long y) { c->MoveTo(ClampInt(x), ClampInt(y)); };
  auto line = [&](long long x, long long y) { c->LineTo(ClampInt(x), ClampInt(y)); };
  move(X + 1, Y + H - 1);
  c->Pen->Color = clGray;
  line(X + 1, Y + 1);
  line(X + W - 1, Y + 1);
  c->Pen->Color = clWhite;
  line(X + W - 1, Y + H - 1);
  line(X + 1, Y + H - 1);
  move(X + 2, Y + H - 2);
  c->Pen->Color = clGray;
  line(X + 2, Y + 2);
  line(X + W - 2, Y + 2);
  line(X + W - 2, Y + H - 2);
  line(X + 2, Y + H - 2);
  c->Brush->Style = bsClear;
  const TSize e = c->TextExtent(FHref);
  c->TextRect(R(X, Y, X + W, Y + H), ClampInt(X + FloorHalf(W - e.cx)), ClampInt(Y + FloorHalf(H - e.cy)), FHref);
  DrawResizeHandles(a);
}

// --- drawing canvas (12) -----------------------------------------------------------

void TGridWebElement::DrawCanvasKind(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const long long X = a.X, Y = a.Y, W = a.W, H = a.H;
  c->Brush->Style = bsClear;
  if (FBorder || !a.live) {
    c->Pen->Color = FFrontColor;
    c->Rectangle(R(X, Y, X + W, Y + H));
  }
  if (a.live) return;
  const std::string caption = GetKindCaption();
  const TSize e = c->TextExtent(caption);
  c->TextRect(R(X, Y, X + W, Y + H), ClampInt(X + FloorHalf(W - e.cx)), ClampInt(Y + FloorHalf(H - e.cy)), caption);
  DrawResizeHandles(a);
}

// --- rectangle and dynamic bar (7) ----------------------------------------------------

void TGridWebElement::PlaceBlockAtDesign(int width, int height) {
  int sx = 0, sy = 0;
  ScrollPositionsOf(this, sx, sy);
  const int top = ClampInt(std::max(0LL, (static_cast<long long>(FPosY) - 1) * FUnitPixels) - sy);
  const int left = ClampInt(std::max(0LL, (static_cast<long long>(FPosX) - 1) * FUnitPixels) - sx);
  if (width != Width() || height != Height() || top != Top() || left != Left()) SetBounds(left, top, width, height);
}

void TGridWebElement::DrawBlock(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const long long X = a.X, Y = a.Y, W = a.W, H = a.H;
  const bool valueDriven = a.live && !FVariable.empty();
  if (FTransparent) {
    c->Brush->Style = bsClear;
  } else {
    c->Brush->Style = bsSolid;
    if (valueDriven && FColorMode) {
      const unsigned v =
          FValueBuf[0] | (FValueBuf[1] << 8) | (FValueBuf[2] << 16) | (static_cast<unsigned>(FValueBuf[3]) << 24);
      c->Brush->Color = static_cast<TColor>(v & 0xFFFFFF);
    } else {
      c->Brush->Color = FBackColor == -1 ? clWhite : FBackColor;
    }
  }
  c->Pen->Color = FFrontColor;
  c->Pen->Width = 1;
  if (!FGradient) {
    if (!FBorder)
      c->FillRect(R(X, Y, X + W + 1, Y + H + 1));
    else
      c->Rectangle(R(X, Y, X + W, Y + H));
  } else {
    Draw3DBar(c, a.X, a.Y, a.W, a.H, FBackColor, FFrontColor, !FHorz);
  }
  c->Brush->Style = bsClear;
  DrawResizeHandles(a);
  if (valueDriven && FDynamic) {
    if (FColorMode) return;
    int sx = 0, sy = 0;
    ScrollPositionsOf(this, sx, sy);
    long long n = ReadInteger(FormatValue());
    if (FHorz) {
      n = std::max(n, Left() == 0 ? 1LL : 0LL);
      if (n != Width()) {
        int left = Left();
        if (!FNatv)
          left = ClampInt(std::max(0LL, (static_cast<long long>(FPosX) - 1) * FUnitPixels) + FContentWidth - n - sx);
        SetBounds(left, Top(), ClampInt(n), Height());
      }
    } else {
      n = std::max(n, Top() == 0 ? 1LL : 0LL);
      if (n != Height()) {
        int top = Top();
        if (!FNatv)
          top = ClampInt(std::max(0LL, (static_cast<long long>(FPosY) - 1) * FUnitPixels) + FContentHeight - n - sy);
        SetBounds(Left(), top, Width(), ClampInt(n));
      }
    }
    return;
  }
  PlaceBlockAtDesign(FContentWidth, FContentHeight);
}
