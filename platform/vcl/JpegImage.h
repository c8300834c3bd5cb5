#pragma once
// TJPEGImage: a JPEG picture decoded through libjpeg(-turbo). The picture is
// decoded when it is loaded (so a broken file raises EInvalidGraphic at once)
// and keeps its file bytes for saving. Grey, RGB, CMYK and YCCK files are
// read; a TBitmap assigned from it gets the decoded pixels.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/vcl/GraphicsGraphic.h"

class TJPEGImage : public TGraphic {
 public:
  TJPEGImage() = default;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return width_ == 0 || height_ == 0; }

  // Reads the rest of the stream as a JPEG file.
  void LoadFromStream(TStream& stream) override;
  // Writes the file bytes that were loaded.
  void SaveToStream(TStream& stream) const override;
  // Decodes JPEG file bytes held in memory.
  void LoadFromBytes(const std::uint8_t* data, std::size_t size);

  // From another JPEG picture only (nullptr empties it).
  void Assign(const TGraphic* source) override;
  std::unique_ptr<TGraphic> Clone() const override;

  // Decoded pixels, blue, green, red, alpha (255) in memory, rows from the
  // top (nullptr when empty).
  const std::uint32_t* PixelData() const { return pixels_.empty() ? nullptr : pixels_.data(); }

 protected:
  void Draw(TCanvas& canvas, const TRect& rect) const override;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
  std::vector<std::uint8_t> data_;
};
