// TGridWebElement::AutoSize: the size rule of each kind applied without
// drawing (the designer sizes every object this way before it saves a page).

#include <algorithm>
#include <climits>

#include "grid/GridWebElement.h"
#include "grid/SizingRules.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Picture.h"

namespace {

int ClampInt(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

bool HasPicture(const TPicture* p) { return p != nullptr && p->Graphic() != nullptr; }

}  // namespace

void TGridWebElement::AutoSize() {
  TCanvas canvas;  // measures only
  TCanvas* c = &canvas;
  PrologueFont(c);
  long long w = Width(), h = Height();
  const bool measured = FGlobalData != nullptr && FGlobalData->MeasuredFonts;
  switch (FKind) {
    case wkLabel: {
      if (!FHref.empty()) c->Font->Style |= fsUnderline;
      const TSize e = c->TextExtent(FCaption);
      w = e.cx + static_cast<long long>(FPadX);
      h = e.cy + static_cast<long long>(FPadY);
      break;
    }
    case wkEdit:
    case wkEditLocal: {
      const TSize s = EditFieldRule(c);
      w = s.cx;
      h = s.cy;
      if (FKind == wkEditLocal || !measured) {
        w += FPadX;
        h += FPadY;
      }
      break;
    }
    case wkImage:
    case wkPicture:
    case wkImageBtn: {
      c->Font->Color = FFrontColor;
      c->Font->Name = "Verdana";
      if (HasPicture(FOnPicture)) {
        w = FOnPicture->Width();
        h = FOnPicture->Height();
      } else if (!FOptCaption.empty() && !HasPicture(FOffPicture)) {
        const TSize e = c->TextExtent(FOptCaption);
        w = e.cx;
        h = e.cy;
      }
      if (HasPicture(FOffPicture)) {
        w = std::max<long long>(w, FOffPicture->Width());
        h = std::max<long long>(h, FOffPicture->Height());
        break;
      }
      if (FCaption.empty()) break;
      if (!HasPicture(FOnPicture)) {
        const TSize e = c->TextExtent(FCaption);
        w = std::max<long long>(w, e.cx);
        h = std::max<long long>(h, e.cy);
      }
      break;
    }
    case wkSubmit: {
      const TSize e = c->TextExtent(FCaption);
      h = std::max<long long>(h, e.cy + static_cast<long long>(FPadY) + 12);
      w = std::max<long long>(w, e.cx + static_cast<long long>(FPadX) + 24);
      break;
    }
    case wkBlock:
    case wkStrImg: PlaceBlockAtDesign(FContentWidth, FContentHeight); return;
    case wkMultiImage: {
      const TSize s = GetImagesMaxSize();
      w = s.cx;
      h = s.cy;
      break;
    }
    case wkPostFile:
      c->Font->Name = SurfaceFontName();
      w = FixedFactorFieldWidth(FFontSize, FSize) + static_cast<long long>(FPadX);
      h = UploadFieldHeight(FFontSize) + static_cast<long long>(FPadY);
      break;
    case wkDropDown: {
      c->Font->Name = SurfaceFontName();
      const TSize digit = c->TextExtent("0");
      w = static_cast<long long>(digit.cx) * FSize + 10;
      h = digit.cy + (FBorder ? 6LL : 4LL);
      break;
    }
    default: return;  // camera, canvas, inserted page: as the user sized them
  }
  const int width = ClampInt(std::max(0LL, w)), height = ClampInt(std::max(0LL, h));
  if (width != Width() || height != Height()) SetBounds(Left(), Top(), width, height);
}
