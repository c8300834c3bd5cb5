#include "platform/vcl/Icon.h"

#include <algorithm>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/GraphicsErrors.h"
#include "platform/vcl/IconFile.h"
#include "platform/vcl/Streams.h"

void TIcon::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
  IconPicture picture = ReadIcon(data, size);
  width_ = picture.width;
  height_ = picture.height;
  pixels_ = std::move(picture.pixels);
  data_.assign(data, data + size);
  Changed();
}

void TIcon::LoadFromStream(TStream& stream) {
  const std::int64_t available = std::max<std::int64_t>(0, stream.Size() - stream.Position());
  if (available > 0x7FFFFFFF) throw EInvalidGraphic("Icon image is not valid");
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(available));
  stream.ReadBuffer(bytes.data(), available);
  LoadFromBytes(bytes.data(), bytes.size());
}

void TIcon::SaveToStream(TStream& stream) const {
  stream.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

void TIcon::Assign(const TGraphic* source) {
  if (source == this) return;
  if (source == nullptr) {
    width_ = height_ = 0;
    pixels_.clear();
    data_.clear();
    Changed();
    return;
  }
  const auto* icon = dynamic_cast<const TIcon*>(source);
  if (icon == nullptr) throw EInvalidGraphicOperation("Cannot assign this picture to an icon");
  width_ = icon->width_;
  height_ = icon->height_;
  pixels_ = icon->pixels_;
  data_ = icon->data_;
  Changed();
}

std::unique_ptr<TGraphic> TIcon::Clone() const {
  auto copy = std::make_unique<TIcon>();
  copy->Assign(this);
  return copy;
}

void TIcon::Draw(TCanvas& canvas, const TRect& rect) const {
  if (Empty()) return;
  canvas.StretchBlock(rect, {pixels_.data(), width_, height_}, Rect(0, 0, width_, height_), TBlitMode::AlphaBlend);
}
