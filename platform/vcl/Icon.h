#pragma once
// TIcon: a Windows icon. Loading takes the best entry of the file (the largest
// of at most 32 x 32 pixels; see IconFile.h), a bitmap with its mask or a PNG
// image; drawing blends it by its alpha. An icon is always transparent.

#include <cstdint>
#include <memory>

#include "platform/vcl/GraphicsEncoded.h"

// Saving writes the icon file that was loaded; PixelData gives the pixels
// with straight alpha.
class TIcon : public TEncodedGraphic {
 public:
  TIcon() { transparent_ = true; }

  bool Transparent() const override { return true; }
  void SetTransparent(bool) override {}

  // Reads the rest of the stream as an icon file.
  void LoadFromStream(TStream& stream) override;
  void LoadFromBytes(const std::uint8_t* data, std::size_t size);

  // From another icon only (nullptr empties it).
  void Assign(const TGraphic* source) override;
  std::unique_ptr<TGraphic> Clone() const override;

 protected:
  void Draw(TCanvas& canvas, const TRect& rect) const override;
};
