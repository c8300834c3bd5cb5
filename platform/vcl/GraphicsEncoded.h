#pragma once
// TEncodedGraphic: the common part of the picture kinds that are decoded from
// their file bytes when loaded and keep those bytes for saving (TIcon,
// TJPEGImage): the size, the decoded pixels, saving, and copying between two
// pictures of one kind.

#include <cstdint>
#include <vector>

#include "platform/vcl/GraphicsGraphic.h"

class TEncodedGraphic : public TGraphic {
 public:
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return width_ == 0 || height_ == 0; }

  // Writes the file bytes that were loaded.
  void SaveToStream(TStream& stream) const override;

  // The decoded pixels, blue, green, red, alpha in memory, rows from the top
  // (nullptr when empty).
  const std::uint32_t* PixelData() const { return pixels_.empty() ? nullptr : pixels_.data(); }

 protected:
  TEncodedGraphic() = default;

  // The bytes from the stream's position to its end. More than 2 GiB raise
  // EInvalidGraphic with `tooLargeMessage`.
  static std::vector<std::uint8_t> ReadRestOfStream(TStream& stream, const char* tooLargeMessage);
  // Takes a decoded picture and the file bytes it came from, then Changed.
  void SetPicture(int width, int height, std::vector<std::uint32_t> pixels, const std::uint8_t* data, std::size_t size);
  // Copies the picture and transparency of `source`, a picture of the same
  // kind (the caller checks), or empties this one for nullptr; then Changed.
  void CopyPicture(const TEncodedGraphic* source);

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
  std::vector<std::uint8_t> data_;
};
