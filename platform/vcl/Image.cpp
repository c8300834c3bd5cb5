#include "platform/vcl/Image.h"

#include <algorithm>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(std::make_unique<TPicture>()) {
  picture_->OnChange = [this] { PictureChanged(); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { picture_->OnChange = nullptr; }

void TImage::PictureChanged() {
  if (TGraphic* g = picture_->Graphic(); g != nullptr && transparent_ != g->Transparent()) {
    // Follows the image's Transparent; the graphic's own notice comes back
    // here once more and finds them equal.
    g->SetTransparent(transparent_);
  }
  if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
  Invalidate();
}

TCanvas* TImage::Canvas() {
  if (picture_->Graphic() == nullptr) {
    TBitmap* bmp = picture_->Bitmap();
    bmp->SetSize(Width(), Height());
  }
  auto* bmp = dynamic_cast<TBitmap*>(picture_->Graphic());
  if (bmp == nullptr) throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  return bmp->Canvas;
}

void TImage::SetStretch(bool value) {
  stretch_ = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  center_ = value;
  Invalidate();
}

void TImage::SetProportional(bool value) {
  proportional_ = value;
  Invalidate();
}

void TImage::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  PictureChanged();
}

void TImage::SetAutoSize(bool value) {
  autoSize_ = value;
  if (value) PictureChanged();
}

TRect TImage::DestRect() const {
  const int pw = picture_->Width(), ph = picture_->Height();
  int w = pw, h = ph;
  const int cw = Width(), ch = Height();
  if (stretch_ || (proportional_ && (pw > cw || ph > ch))) {
    if (proportional_ && pw > 0 && ph > 0) {
      // As large as fits, keeping the proportions.
      if (static_cast<long long>(cw) * ph > static_cast<long long>(ch) * pw) {
        h = ch;
        w = static_cast<int>(static_cast<long long>(ch) * pw / ph);
      } else {
        w = cw;
        h = static_cast<int>(static_cast<long long>(cw) * ph / pw);
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  int x = 0, y = 0;
  if (center_) {
    x = (cw - w) / 2;
    y = (ch - h) / 2;
  }
  return Bounds(x, y, w, h);
}

void TImage::Paint() {
  TGraphic* graphic = picture_->Graphic();
  if (graphic == nullptr || graphic->Empty()) return;
  TCanvas* canvas = TGraphicControl::Canvas();
  const TRect dest = DestRect();
  if (dest.Width() == graphic->Width() && dest.Height() == graphic->Height())
    canvas->Draw(dest.Left, dest.Top, graphic);
  else
    canvas->StretchDraw(dest, graphic);
}
