#include "platform/vcl/GraphicsEncoded.h"

#include <algorithm>

#include "platform/vcl/GraphicsErrors.h"
#include "platform/vcl/Streams.h"

void TEncodedGraphic::SaveToStream(TStream& stream) const {
  stream.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

std::vector<std::uint8_t> TEncodedGraphic::ReadRestOfStream(TStream& stream, const char* tooLargeMessage) {
  const std::int64_t available = std::max<std::int64_t>(0, stream.Size() - stream.Position());
  if (available > 0x7FFFFFFF) throw EInvalidGraphic(tooLargeMessage);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(available));
  stream.ReadBuffer(bytes.data(), available);
  return bytes;
}

void TEncodedGraphic::SetPicture(int width, int height, std::vector<std::uint32_t> pixels, const std::uint8_t* data,
                                 std::size_t size) {
  width_ = width;
  height_ = height;
  pixels_ = std::move(pixels);
  data_.assign(data, data + size);
  Changed();
}

void TEncodedGraphic::CopyPicture(const TEncodedGraphic* source) {
  if (source == nullptr) {
    width_ = height_ = 0;
    pixels_.clear();
    data_.clear();
  } else {
    width_ = source->width_;
    height_ = source->height_;
    pixels_ = source->pixels_;
    data_ = source->data_;
    transparent_ = source->transparent_;
  }
  Changed();
}
