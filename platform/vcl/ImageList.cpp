#include "platform/vcl/ImageList.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/ClassicLook.h"

namespace {

// 0x00BBGGRR from a bitmap pixel (blue, green, red, alpha in memory).
TColor PixelToColor(std::uint32_t p) {
  return static_cast<TColor>(((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF));
}

std::uint32_t ColorToPixel(TColor c) {
  const auto u = static_cast<std::uint32_t>(c);
  return 0xFF000000u | ((u & 0xFF) << 16) | (u & 0xFF00) | ((u >> 16) & 0xFF);
}

}  // namespace

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::~TCustomImageList() = default;

void TCustomImageList::Changed() {
  if (OnChange) OnChange(this);
}

void TCustomImageList::SetSize(int width, int height) {
  width = std::clamp(width, 1, 256);
  height = std::clamp(height, 1, 256);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  images_.clear();
  Changed();
}

int TCustomImageList::AddCells(const TBitmap* image, const TBitmap* mask, bool useKey, TColor key, int replaceIndex) {
  if (image == nullptr || image->Empty()) return -1;
  const int cells = replaceIndex >= 0 ? 1 : std::max(1, image->Width() / width_);
  const std::uint32_t* src = image->PixelData();
  const std::uint32_t* msk = (mask != nullptr && !mask->Empty()) ? mask->PixelData() : nullptr;
  const TColor keyRgb = ColorToRGB(key);
  const int first = replaceIndex >= 0 ? replaceIndex : Count();
  for (int cell = 0; cell < cells; ++cell) {
    Image img;
    img.pixels.assign(static_cast<std::size_t>(width_) * height_, 0);
    img.transparent.assign(static_cast<std::size_t>(width_) * height_, true);
    for (int y = 0; y < height_ && y < image->Height(); ++y) {
      for (int x = 0; x < width_; ++x) {
        const int sx = cell * width_ + x;
        if (sx >= image->Width()) break;
        const TColor c = PixelToColor(src[static_cast<std::size_t>(y) * image->Width() + sx]);
        bool clear = useKey && c == keyRgb;
        if (msk != nullptr && sx < mask->Width() && y < mask->Height())
          clear = (PixelToColor(msk[static_cast<std::size_t>(y) * mask->Width() + sx]) & 0xFFFFFF) == 0xFFFFFF;
        const std::size_t i = static_cast<std::size_t>(y) * width_ + x;
        img.pixels[i] = static_cast<std::uint32_t>(c);
        img.transparent[i] = clear;
      }
    }
    if (replaceIndex >= 0)
      images_[static_cast<std::size_t>(replaceIndex)] = std::move(img);
    else
      images_.push_back(std::move(img));
  }
  Changed();
  return first;
}

int TCustomImageList::Add(const TBitmap* image, const TBitmap* mask) {
  return AddCells(image, mask, false, clNone, -1);
}

int TCustomImageList::AddMasked(const TBitmap* image, TColor maskColor) {
  return AddCells(image, nullptr, true, maskColor, -1);
}

void TCustomImageList::Replace(int index, const TBitmap* image, const TBitmap* mask) {
  if (index < 0 || index >= Count()) throw EComponentError("Invalid image list index");
  AddCells(image, mask, false, clNone, index);
}

void TCustomImageList::Delete(int index) {
  if (index < 0 || index >= Count()) throw EComponentError("Invalid image list index");
  images_.erase(images_.begin() + index);
  Changed();
}

void TCustomImageList::Clear() {
  if (images_.empty()) return;
  images_.clear();
  Changed();
}

bool TCustomImageList::GetBitmap(int index, TBitmap* image) const {
  if (image == nullptr || index < 0 || index >= Count()) return false;
  image->SetSize(width_, height_);
  image->SetPixelFormat(pf32bit);
  const Image& img = images_[static_cast<std::size_t>(index)];
  std::uint32_t* dst = image->PixelData();
  for (std::size_t i = 0; i < img.pixels.size(); ++i)
    dst[i] = img.transparent[i] ? 0xFF000000u : ColorToPixel(static_cast<TColor>(img.pixels[i]));
  image->SetTransparentColor(clBlack);
  image->SetTransparent(true);
  return true;
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const {
  if (canvas == nullptr || index < 0 || index >= Count()) return;
  const Image& img = images_[static_cast<std::size_t>(index)];
  if (enabled) {
    for (int py = 0; py < height_; ++py)
      for (int px = 0; px < width_; ++px) {
        const std::size_t i = static_cast<std::size_t>(py) * width_ + px;
        if (!img.transparent[i]) canvas->SetPixel(x + px, y + py, static_cast<TColor>(img.pixels[i]));
      }
    return;
  }
  // Disabled: the dark pixels of the picture embossed.
  DrawEmbossed(canvas, x, y, width_, height_, [&](int px, int py) {
    const std::size_t i = static_cast<std::size_t>(py) * width_ + px;
    return !img.transparent[i] && IsDarkForEmboss(static_cast<TColor>(img.pixels[i]));
  });
}

void SetImageListLink(TComponent* owner, TCustomImageList*& slot, TCustomImageList* value) {
  if (slot != nullptr) owner->RemoveFreeNotification(slot);
  slot = value;
  if (value != nullptr) owner->FreeNotification(value);
}
