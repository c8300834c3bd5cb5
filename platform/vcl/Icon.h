#pragma once
// TIcon: a Windows icon. Loading takes the best entry of the file (the largest
// of at most 32 x 32 pixels; see IconFile.h), a bitmap with its mask or a PNG
// image; drawing blends it by its alpha. An icon is always transparent.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/vcl/GraphicsGraphic.h"

class TIcon : public TGraphic {
 public:
  TIcon() { transparent_ = true; }

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  bool Empty() const override { return width_ == 0 || height_ == 0; }
  bool Transparent() const override { return true; }
  void SetTransparent(bool) override {}

  // Reads the rest of the stream as an icon file.
  void LoadFromStream(TStream& stream) override;
  // Writes the icon file that was loaded.
  void SaveToStream(TStream& stream) const override;
  void LoadFromBytes(const std::uint8_t* data, std::size_t size);

  // From another icon only (nullptr empties it).
  void Assign(const TGraphic* source) override;
  std::unique_ptr<TGraphic> Clone() const override;

  // Pixels with straight alpha, blue, green, red, alpha in memory, rows from
  // the top (nullptr when empty).
  const std::uint32_t* PixelData() const { return pixels_.empty() ? nullptr : pixels_.data(); }

 protected:
  void Draw(TCanvas& canvas, const TRect& rect) const override;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
  std::vector<std::uint8_t> data_;
};
