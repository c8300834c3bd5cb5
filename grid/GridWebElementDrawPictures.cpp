// TGridWebElement drawing of the picture, frame and block kinds: double-state
// image, static image, image button, multi-state image, picture controlled by
// string, camera view, inserted web page, drawing canvas, rectangle and
// dynamic bar.

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/TraceLog.h"
#include "grid/DrawingGeometry.h"
#include "grid/GridWebElement.h"
#include "grid/PictureLoading.h"
#include "grid/PictureQueueHooks.h"
#include "grid/RecvQueue.h"
#include "grid/ScrollPositions.h"
#include "pictures/PictureLoader.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/Timer.h"
#include "platform/vcl/WinControl.h"

TGridQueuePicture gGridQueuePicture = nullptr;
TGridFinishQueuedPicture gGridFinishQueuedPicture = nullptr;

namespace {

// The back colour of an object that has none; its fields are filled white.
constexpr int kNoBackColour = -1;
// The box of a picture kind without a picture: a red cross on a square of
// this side.
constexpr int kMissingPictureSide = 32;
constexpr int kMissingCrossPenWidth = 2;
// The built-in broken-picture image.
constexpr int kBrokenPictureWidth = 22;
constexpr int kBrokenPictureHeight = 24;
// A picture controlled by string names a project picture after this (the
// value is compared upper-cased).
constexpr std::string_view kImagesFolder = "IMAGES/";
// Only names with these extensions are fetched from the PLC.
constexpr std::array<std::string_view, 5> kFetchedExtensions = {".JPG", ".JPEG", ".PNG", ".BMP", ".GIF"};
// States of a queued download (any other value: still running).
constexpr int kQueueNoItem = -1;
constexpr int kQueueDone = 0;
// A block in colour mode takes its colour from the first bytes of the value.
constexpr unsigned kColourMask = 0xFFFFFF;
constexpr int kColourBytes = 4;
constexpr int kBitsPerByte = 8;
// A stored variable beginning with this is a constant (no picture index).
constexpr char kConstantMark = '#';

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
  return ClampToInt(v);
}

// The red cross of a missing picture on its square at (X, Y).
void MissingPictureCross(TCanvas* c, long long X, long long Y) {
  c->Pen->Color = clRed;
  c->Pen->Width = kMissingCrossPenWidth;
  c->Pen->Style = psSolid;
  c->MoveTo(ClampToInt(X), ClampToInt(Y));
  c->LineTo(ClampToInt(X + kMissingPictureSide), ClampToInt(Y + kMissingPictureSide));
  c->MoveTo(ClampToInt(X + kMissingPictureSide), ClampToInt(Y));
  c->LineTo(ClampToInt(X), ClampToInt(Y + kMissingPictureSide));
  c->Pen->Width = 1;
}

// A 1-pixel outline of the rectangle in the colour, nothing filled.
void Outline(TCanvas* c, const TRect& r, TColor colour) {
  c->Pen->Color = colour;
  c->Pen->Width = 1;
  c->Pen->Style = psSolid;
  c->Brush->Style = bsClear;
  c->Rectangle(r);
}

TRect BoxAt(long long X, long long Y, long long w, long long h) { return ClampedRect(X, Y, X + w, Y + h); }

// --- double-state image, static image, image button ----------------------------

// The state a double-state image or image button shows in the live view.
bool IsTwoStateOn(const TGridWebElement& e) {
  if (e.Kind() == wkImage) return e.IsValueNonZero();
  if (e.Kind() == wkImageBtn) return e.FTimer != nullptr && e.FTimer->Enabled();
  return false;
}

// The box of the pictures: the on picture's size, the off picture's without
// it, the larger of each dimension with both.
TSize PictureBox(const TGridWebElement& e) {
  TSize box{0, 0};
  if (Present(e.FOnPicture)) box = {e.FOnPicture->Width(), e.FOnPicture->Height()};
  if (!Present(e.FOffPicture)) return box;
  if (!Present(e.FOnPicture)) return {e.FOffPicture->Width(), e.FOffPicture->Height()};
  return {std::max(box.cx, e.FOffPicture->Width()), std::max(box.cy, e.FOffPicture->Height())};
}

// The live view of a double-state image or image button: the picture of its
// state; without any picture the box takes the caption of the state.
void DrawSwitchedPicture(const TGridWebElement& e, TCanvas* c, int X, int Y, bool on, TSize& box) {
  const TPicture* shown = on ? e.FOnPicture : e.FOffPicture;
  const TPicture* other = on ? e.FOffPicture : e.FOnPicture;
  if (Present(shown)) {
    c->Draw(X, Y, shown->Graphic());
    return;
  }
  if (Present(other)) return;
  const std::string& caption = on && !e.FOptCaption.empty() ? e.FOptCaption : e.FCaption;
  box = c->TextExtent(caption);
}

// The design view, and the static image in both views: the off picture, else
// the on picture; without either the box of a caption (or a red-crossed
// square) with a black outline.
void DrawDesignPicture(const TGridWebElement& e, TCanvas* c, int X, int Y, TSize& box) {
  if (PresentWithSize(e.FOffPicture)) {
    c->Draw(X, Y, e.FOffPicture->Graphic());
    return;
  }
  if (PresentWithSize(e.FOnPicture)) {
    c->Draw(X, Y, e.FOnPicture->Graphic());
    return;
  }
  if (!e.FCaption.empty()) {
    box = c->TextExtent(e.FCaption);
  } else if (!e.FOptCaption.empty()) {
    box = c->TextExtent(e.FOptCaption);
  } else {
    box = {kMissingPictureSide, kMissingPictureSide};
    MissingPictureCross(c, X, Y);
  }
  Outline(c, BoxAt(X, Y, box.cx, box.cy), clBlack);
}

// The text over a double-state image: its option caption when its caption is
// empty (design view) or when it is on (live view), else its caption.
const std::string& TwoStateText(const TGridWebElement& e, bool live, bool on) {
  const bool optional =
      e.Kind() == wkImage && !e.FOptCaption.empty() && ((!live && e.FCaption.empty()) || (live && on));
  return optional ? e.FOptCaption : e.FCaption;
}

// --- picture controlled by string ------------------------------------------------

std::string WithoutQuery(const std::string& value) { return value.substr(0, value.find('?')); }

bool IsFetchedExtension(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string extension = UpperCase(name.substr(dot));
  return std::find(kFetchedExtensions.begin(), kFetchedExtensions.end(), extension) != kFetchedExtensions.end();
}

// The picture file loaded into the picture; false (the picture kept) when the
// loader refuses it.
bool LoadIntoPicture(TPicture* picture, const std::string& path) {
  TBitmap bitmap;
  if (!LoadPictureFile(path, &bitmap, false, nullptr) || bitmap.Empty()) return false;
  picture->Assign(&bitmap);
  return true;
}

enum class TFolderLoad { NoFile, Refused, Loaded };

// A name after "IMAGES/" is a picture of the project's images folder.
TFolderLoad LoadFromImagesFolder(TGridWebElement& e, const std::string& name) {
  const std::size_t at = UpperCase(name).find(kImagesFolder);
  if (at == std::string::npos) return TFolderLoad::NoFile;
  // The name comes from the PLC: only a plain name inside the images folder.
  const std::string picture = name.substr(at + kImagesFolder.size());
  if (!IsPlainRelativeName(picture)) return TFolderLoad::NoFile;
  const char* path = gGridImagePath != nullptr ? gGridImagePath(picture) : nullptr;
  if (path == nullptr || !GridFileExists(path)) return TFolderLoad::NoFile;
  return LoadIntoPicture(e.FOffPicture, path) ? TFolderLoad::Loaded : TFolderLoad::Refused;
}

// A value text the element has not handled yet (`name`: without its query):
// its picture from the images folder, or else its download queued. True when
// a picture was loaded. An address ("://") is neither loaded nor fetched.
bool TakeNewValue(TGridWebElement& e, const std::string& value, const std::string& name, bool haveQueue) {
  if (name.find("://") != std::string::npos) return false;
  const TFolderLoad folder = LoadFromImagesFolder(e, name);
  if (folder != TFolderLoad::NoFile) e.FStrImgFile = value;
  if (folder == TFolderLoad::Loaded) return true;
  if (!haveQueue) return false;
  if (IsFetchedExtension(name)) {
    e.FStrImgPending = 1;
    gGridQueuePicture(e.FRecvQueue, &e, value);
  }
  e.FStrImgFile = value;
  return false;
}

// The pending download polled: true while it runs (the old picture stays) or
// when its file was loaded.
bool PollDownload(TGridWebElement& e, bool haveQueue) {
  if (!haveQueue) {
    e.FStrImgPending = 0;
    return false;
  }
  std::string localFile;
  const int state = gGridFinishQueuedPicture(e.FRecvQueue, &e, localFile);
  if (state != kQueueNoItem && state != kQueueDone) return true;
  e.FStrImgPending = 0;
  return state == kQueueDone && GridFileExists(localFile) && LoadIntoPicture(e.FOffPicture, localFile);
}

// --- rectangle and dynamic bar ------------------------------------------------

// The brush of a block: clear when transparent; in the live view in colour
// mode the colour of its value's first bytes; else its back colour.
void BlockBrush(const TGridWebElement& e, TCanvas* c, bool valueDriven) {
  if (e.FTransparent) {
    c->Brush->Style = bsClear;
    return;
  }
  c->Brush->Style = bsSolid;
  if (!valueDriven || !e.FColorMode) {
    c->Brush->Color = e.FBackColor == kNoBackColour ? clWhite : e.FBackColor;
    return;
  }
  unsigned colour = 0;
  for (int i = 0; i < kColourBytes; ++i) colour |= static_cast<unsigned>(e.FValueBuf[i]) << (kBitsPerByte * i);
  c->Brush->Color = static_cast<TColor>(colour & kColourMask);
}

// The designed position of an edge: max(0, (units - 1) x pixels) less the
// scroll position.
long long DesignedEdge(int units, int unitPixels, int scroll) {
  return std::max(0LL, (static_cast<long long>(units) - 1) * unitPixels) - scroll;
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
  } catch (const std::exception&) {
    return nullptr;  // drawn as a missing picture; the next paint tries again
  }
  // The entry keeps the loaded picture.
  return FImages.SetPicture(index, std::move(picture));
}

// --- double-state image (3), static image (5), image button (10) ----------------

void TGridWebElement::DrawTwoState(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const bool on = IsTwoStateOn(*this);
  c->Brush->Style = bsClear;
  PrologueFont(c);
  TSize box = PictureBox(*this);
  const bool switches = a.live && (FKind == wkImage || FKind == wkImageBtn);
  if (switches)
    DrawSwitchedPicture(*this, c, a.X, a.Y, on, box);
  else
    DrawDesignPicture(*this, c, a.X, a.Y, box);
  // The text over the picture, centred in the box and clipped to it.
  c->Pen->Color = FFrontColor;
  c->Brush->Style = bsClear;
  const TRect r = BoxAt(a.X, a.Y, box.cx, box.cy);
  const std::string& text = TwoStateText(*this, a.live, on);
  const TSize extent = c->TextExtent(text);
  c->TextRect(r, ClampToInt(a.X + FloorHalf(static_cast<long long>(box.cx) - extent.cx)),
              ClampToInt(a.Y + FloorHalf(static_cast<long long>(box.cy) - extent.cy)), text);
  if (!a.live && FSelected) Outline(c, r, clWhite);
  if (switches && !FVarValid) Outline(c, r, clRed);
  SetDrawnSize(a, box.cx, box.cy);
}

// --- multi-state image (8) ---------------------------------------------------------

void TGridWebElement::DrawMultiImage(TDrawArea& a) {
  TCanvas* c = a.canvas;
  int index = 0;
  if (a.live) index = !FVariable.empty() && FVariable[0] == kConstantMark ? -1 : ReadInteger(FormatValue());
  TPicture* picture = GetImage(index);
  if (picture == nullptr || picture->Graphic() == nullptr) {
    if (a.live) return;
    SetDrawnSize(a, kMissingPictureSide, kMissingPictureSide);
    MissingPictureCross(c, a.X, a.Y);
    Outline(c, BoxAt(a.X, a.Y, kMissingPictureSide, kMissingPictureSide), clBlack);
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
    Outline(c, BoxAt(a.X, a.Y, a.W, a.H), clSilver);
    return;
  }
  const std::string value = FormatValue();
  const bool haveQueue = FRecvQueue != nullptr && gGridQueuePicture != nullptr && gGridFinishQueuedPicture != nullptr;
  std::string name = value;
  bool loaded = true;
  if (FStrImgPending != 0) {
    loaded = PollDownload(*this, haveQueue);
  } else if (value != FStrImgFile) {
    name = WithoutQuery(value);
    loaded = TakeNewValue(*this, value, name, haveQueue);
  }
  if (!loaded && FStrImgPending == 0) {
    // Nothing to show: the broken picture for a name, nothing for none.
    const bool broken = !name.empty();
    FOffPicture->Assign(broken ? GraphicOf(FBrokenPicture) : nullptr);
    SetDrawnSize(a, broken ? kBrokenPictureWidth : 0, broken ? kBrokenPictureHeight : 0);
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
  c->FillRect(ClampedRect(X + 1, Y + 1, X + W - 1, Y + H - 1));
  c->Pen->Width = 1;
  c->Pen->Style = psSolid;
  auto move = [&](long long x, long long y) { c->MoveTo(ClampToInt(x), ClampToInt(y)); };
  auto line = [&](long long x, long long y) { c->LineTo(ClampToInt(x), ClampToInt(y)); };
  // A sunken double frame: grey above and left, white below and right, and
  // a grey frame inside it.
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
  c->TextRect(ClampedRect(X, Y, X + W, Y + H), ClampToInt(X + FloorHalf(W - e.cx)), ClampToInt(Y + FloorHalf(H - e.cy)),
              FHref);
  DrawResizeHandles(a);
}

// --- drawing canvas (12) -----------------------------------------------------------

void TGridWebElement::DrawCanvasKind(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const long long X = a.X, Y = a.Y, W = a.W, H = a.H;
  c->Brush->Style = bsClear;
  if (FBorder || !a.live) {
    c->Pen->Color = FFrontColor;
    c->Rectangle(ClampedRect(X, Y, X + W, Y + H));
  }
  if (a.live) return;
  const std::string caption = GetKindCaption();
  const TSize e = c->TextExtent(caption);
  c->TextRect(ClampedRect(X, Y, X + W, Y + H), ClampToInt(X + FloorHalf(W - e.cx)), ClampToInt(Y + FloorHalf(H - e.cy)),
              caption);
  DrawResizeHandles(a);
}

// --- rectangle and dynamic bar (7) ----------------------------------------------------

void TGridWebElement::PlaceBlockAtDesign(int width, int height) {
  int sx = 0, sy = 0;
  ScrollPositionsOf(this, sx, sy);
  const int top = ClampToInt(DesignedEdge(FPosY, FUnitPixels, sy));
  const int left = ClampToInt(DesignedEdge(FPosX, FUnitPixels, sx));
  if (width != Width() || height != Height() || top != Top() || left != Left()) SetBounds(left, top, width, height);
}

void TGridWebElement::DrawBlock(TDrawArea& a) {
  TCanvas* c = a.canvas;
  const long long X = a.X, Y = a.Y, W = a.W, H = a.H;
  const bool valueDriven = a.live && !FVariable.empty();
  BlockBrush(*this, c, valueDriven);
  c->Pen->Color = FFrontColor;
  c->Pen->Width = 1;
  if (FGradient)
    Draw3DBar(c, a.X, a.Y, a.W, a.H, FBackColor, FFrontColor, !FHorz);
  else if (FBorder)
    c->Rectangle(ClampedRect(X, Y, X + W, Y + H));
  else
    c->FillRect(ClampedRect(X, Y, X + W + 1, Y + H + 1));  // one pixel beyond on the right and bottom
  c->Brush->Style = bsClear;
  DrawResizeHandles(a);
  if (!valueDriven || !FDynamic) {
    PlaceBlockAtDesign(FContentWidth, FContentHeight);
    return;
  }
  if (FColorMode) return;
  // The bar's live length: its far edge stays where the designed box ends
  // (with FNatv its near edge stays); at least 1 at the surface's edge.
  int sx = 0, sy = 0;
  ScrollPositionsOf(this, sx, sy);
  long long n = ReadInteger(FormatValue());
  if (FHorz) {
    n = std::max(n, Left() == 0 ? 1LL : 0LL);
    if (n == Width()) return;
    const long long left = FNatv ? Left() : DesignedEdge(FPosX, FUnitPixels, 0) + FContentWidth - n - sx;
    SetBounds(ClampToInt(left), Top(), ClampToInt(n), Height());
  } else {
    n = std::max(n, Top() == 0 ? 1LL : 0LL);
    if (n == Height()) return;
    const long long top = FNatv ? Top() : DesignedEdge(FPosY, FUnitPixels, 0) + FContentHeight - n - sy;
    SetBounds(Left(), ClampToInt(top), Width(), ClampToInt(n));
  }
}
