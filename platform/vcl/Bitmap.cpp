#include "platform/vcl/Bitmap.h"

#include <algorithm>

#include "platform/vcl/BitmapBmpFormat.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/CanvasDevice.h"
#include "platform/vcl/GraphicsErrors.h"
#include "platform/vcl/Streams.h"
#include "platform/win/Resources.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

TPixelFormat FormatOfDepth(int bitCount) {
  switch (bitCount) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfDevice;
  }
}

}  // namespace

TBitmap::TBitmap() : canvas_(std::make_unique<TCanvas>(this)), Canvas(canvas_.get()) {}

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  if (static_cast<long long>(width) * height > kMaxBitmapPixels) throw EOutOfResources("Out of system resources");
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, kWhite);
  const int keepW = std::min(width, width_), keepH = std::min(height, height_);
  for (int y = 0; y < keepH; ++y)
    std::copy_n(pixels_.data() + static_cast<std::size_t>(y) * width_, keepW,
                pixels.data() + static_cast<std::size_t>(y) * width);
  width_ = width;
  height_ = height;
  pixels_ = std::move(pixels);
  Changed();
}

void TBitmap::SetPixels(int width, int height, std::vector<std::uint32_t> pixels) {
  width_ = width;
  height_ = height;
  pixels_ = std::move(pixels);
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (pixelFormat_ == format) return;
  pixelFormat_ = format;
  Changed();
}

void* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= height_ || width_ == 0) throw EInvalidGraphicOperation("Scan line index out of range");
  return pixels_.data() + static_cast<std::size_t>(y) * width_;
}

const void* TBitmap::ScanLine(int y) const { return const_cast<TBitmap*>(this)->ScanLine(y); }

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == tmAuto)
    SetTransparentColor(clDefault);
  else
    SetTransparentColor(TransparentColor());
}

TColor TBitmap::TransparentColor() const {
  if (transparentColor_ != clDefault) return ColorToRGB(transparentColor_);
  if (Empty()) return clBlack;
  return CanvasDetail::FromPixel(pixels_[static_cast<std::size_t>(height_ - 1) * width_]);
}

void TBitmap::SetTransparentColor(TColor color) {
  transparentColor_ = color;
  transparentMode_ = color == clDefault ? tmAuto : tmFixed;
  Changed();
}

void TBitmap::LoadFromStream(TStream& stream) {
  const std::int64_t start = stream.Position();
  const std::int64_t available = std::max<std::int64_t>(0, stream.Size() - start);
  if (available > 0x7FFFFFFF) throw EInvalidGraphic("Bitmap image is not valid");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(available));
  stream.ReadBuffer(bytes.data(), available);
  std::size_t consumed = 0;
  BmpImage image = ReadBmp(bytes.data(), bytes.size(), true, &consumed);
  stream.SetPosition(start + static_cast<std::int64_t>(consumed));
  SetPixels(image.width, image.height, std::move(image.pixels));
  pixelFormat_ = FormatOfDepth(image.bitCount);
  Changed();
}

void TBitmap::SaveToStream(TStream& stream) const {
  const std::vector<std::uint8_t> bytes = WriteBmp(PixelData(), width_, height_, pixelFormat_ == pf32bit ? 32 : 24);
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& resourceName) {
  if (HRSRC dib = FindResource(instance, resourceName.c_str(), RT_BITMAP)) {
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(instance, dib)));
    BmpImage image = ReadBmp(data, SizeofResource(instance, dib), false);
    SetPixels(image.width, image.height, std::move(image.pixels));
    pixelFormat_ = FormatOfDepth(image.bitCount);
    Changed();
    return;
  }
  TResourceStream stream(instance, resourceName.c_str(), RT_RCDATA);
  LoadFromStream(stream);
}

void TBitmap::Assign(const TGraphic* source) {
  if (source == this) return;
  if (source == nullptr) {
    SetPixels(0, 0, {});
    Changed();
    return;
  }
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
    SetPixels(bitmap->width_, bitmap->height_, bitmap->pixels_);
    pixelFormat_ = bitmap->pixelFormat_;
    transparent_ = bitmap->transparent_;
    transparentMode_ = bitmap->transparentMode_;
    transparentColor_ = bitmap->transparentColor_;
    Changed();
    return;
  }
  const int width = source->Width(), height = source->Height();
  if (static_cast<long long>(width) * height > kMaxBitmapPixels) throw EOutOfResources("Out of system resources");
  SetPixels(std::max(width, 0), std::max(height, 0),
            std::vector<std::uint32_t>(static_cast<std::size_t>(std::max(width, 0)) * std::max(height, 0), kWhite));
  pixelFormat_ = pf24bit;
  if (!Empty()) {
    TCanvas canvas(this);
    canvas.StretchDraw(Rect(0, 0, width, height), source);
  }
  Changed();
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
  auto copy = std::make_unique<TBitmap>();
  copy->Assign(this);
  return copy;
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) const {
  if (Empty()) return;
  // Drawn onto itself, the picture is read from a copy.
  std::vector<std::uint32_t> copy;
  if (canvas.Target() == this) copy = pixels_;
  const TPixelBlock block{copy.empty() ? pixels_.data() : copy.data(), width_, height_};
  if (Transparent())
    canvas.StretchBlock(rect, block, Rect(0, 0, width_, height_), TBlitMode::TransparentKey, TransparentColor());
  else
    canvas.StretchBlock(rect, block, Rect(0, 0, width_, height_), TBlitMode::Copy, clBlack, canvas.CopyMode);
}
