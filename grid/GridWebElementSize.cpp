// TGridWebElement::AutoSize: the size rule of each kind applied without
// drawing (the designer sizes every object this way before it saves a page).

#include <algorithm>

#include "grid/DrawingGeometry.h"
#include "grid/GridWebElement.h"
#include "grid/SizingRules.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Picture.h"

namespace {

bool HasPicture(const TPicture* p) { return p != nullptr && p->Graphic() != nullptr; }

// A size of 64-bit parts, cut to ints when it is applied.
struct TWideSize {
  long long w = 0;
  long long h = 0;
};

TWideSize Padded(TSize size, int padX, int padY) {
  return {static_cast<long long>(size.cx) + padX, static_cast<long long>(size.cy) + padY};
}

// Double-state image, static image, image button: the on picture's size,
// else the option caption's when there is no off picture; then grown to the
// off picture, or else to the caption when there is no on picture.
TWideSize TwoStateSize(const TGridWebElement& e, TCanvas* c, TWideSize size) {
  c->Font->Color = e.FFrontColor;
  c->Font->Name = "Verdana";
  if (HasPicture(e.FOnPicture)) {
    size = {e.FOnPicture->Width(), e.FOnPicture->Height()};
  } else if (!e.FOptCaption.empty() && !HasPicture(e.FOffPicture)) {
    const TSize extent = c->TextExtent(e.FOptCaption);
    size = {extent.cx, extent.cy};
  }
  if (HasPicture(e.FOffPicture))
    return {std::max<long long>(size.w, e.FOffPicture->Width()), std::max<long long>(size.h, e.FOffPicture->Height())};
  if (e.FCaption.empty() || HasPicture(e.FOnPicture)) return size;
  const TSize extent = c->TextExtent(e.FCaption);
  return {std::max<long long>(size.w, extent.cx), std::max<long long>(size.h, extent.cy)};
}

// A submit button grows to its caption and keeps a larger size.
TWideSize SubmitSize(const TGridWebElement& e, TCanvas* c, TWideSize size) {
  const TSize extent = c->TextExtent(e.FCaption);
  return {std::max<long long>(size.w, static_cast<long long>(SubmitMinWidth(extent.cx)) + e.FPadX),
          std::max<long long>(size.h, static_cast<long long>(SubmitMinHeight(extent.cy)) + e.FPadY)};
}

}  // namespace

void TGridWebElement::AutoSize() {
  TCanvas canvas;  // measures only
  TCanvas* c = &canvas;
  PrologueFont(c);
  const bool measured = FGlobalData != nullptr && FGlobalData->MeasuredFonts;
  TWideSize size{Width(), Height()};
  switch (FKind) {
    case wkLabel:
      if (!FHref.empty()) c->Font->Style |= fsUnderline;
      size = Padded(c->TextExtent(FCaption), FPadX, FPadY);
      break;
    case wkEdit:
    case wkEditLocal:
      // A measured edit field of kind 1 takes no padding.
      size = FKind == wkEdit && measured ? Padded(EditFieldRule(c), 0, 0) : Padded(EditFieldRule(c), FPadX, FPadY);
      break;
    case wkImage:
    case wkPicture:
    case wkImageBtn: size = TwoStateSize(*this, c, size); break;
    case wkSubmit: size = SubmitSize(*this, c, size); break;
    case wkBlock:
    case wkStrImg: PlaceBlockAtDesign(FContentWidth, FContentHeight); return;
    case wkMultiImage: size = Padded(GetImagesMaxSize(), 0, 0); break;  // padded there
    case wkPostFile:
      c->Font->Name = SurfaceFontName();
      size = Padded({FixedFactorFieldWidth(FFontSize, FSize), UploadFieldHeight(FFontSize)}, FPadX, FPadY);
      break;
    case wkDropDown: {
      c->Font->Name = SurfaceFontName();
      const TSize digit = c->TextExtent("0");
      size = Padded({MeasuredFieldWidth(digit.cx, FSize), MeasuredFieldHeight(digit.cy, FBorder)}, 0, 0);
      break;
    }
    default: return;  // camera, canvas, inserted page: as the user sized them
  }
  const int width = ClampToInt(std::max(0LL, size.w)), height = ClampToInt(std::max(0LL, size.h));
  if (width != Width() || height != Height()) SetBounds(Left(), Top(), width, height);
}
