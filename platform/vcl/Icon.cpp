#include "platform/vcl/Icon.h"

#include <utility>
#include <vector>

#include "platform/vcl/Canvas.h"
#include "platform/vcl/GraphicsErrors.h"
#include "platform/vcl/IconFile.h"
#include "platform/vcl/Streams.h"

void TIcon::LoadFromBytes(const std::uint8_t* data, std::size_t size) {
  IconPicture picture = ReadIcon(data, size);
  SetPicture(picture.width, picture.height, std::move(picture.pixels), data, size);
}

void TIcon::LoadFromStream(TStream& stream) {
  const std::vector<std::uint8_t> bytes = ReadRestOfStream(stream, "Icon image is not valid");
  LoadFromBytes(bytes.data(), bytes.size());
}

void TIcon::Assign(const TGraphic* source) {
  if (source == this) return;
  const auto* icon = dynamic_cast<const TIcon*>(source);
  if (source != nullptr && icon == nullptr) throw EInvalidGraphicOperation("Cannot assign this picture to an icon");
  // An icon is always transparent: copying the flag of another keeps it so.
  CopyPicture(icon);
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
