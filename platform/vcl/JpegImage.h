#pragma once
// TJPEGImage: a JPEG picture decoded through libjpeg(-turbo). The picture is
// decoded when it is loaded (so a broken file raises EInvalidGraphic at once)
// and keeps its file bytes for saving. Grey, RGB, CMYK and YCCK files are
// read; a TBitmap assigned from it gets the decoded pixels.

#include <cstdint>
#include <memory>

#include "platform/vcl/GraphicsEncoded.h"

// PixelData gives the decoded pixels, their alpha 255.
class TJPEGImage : public TEncodedGraphic {
 public:
  TJPEGImage() = default;

  // Reads the rest of the stream as a JPEG file.
  void LoadFromStream(TStream& stream) override;
  // Decodes JPEG file bytes held in memory.
  void LoadFromBytes(const std::uint8_t* data, std::size_t size);

  // From another JPEG picture only (nullptr empties it).
  void Assign(const TGraphic* source) override;
  std::unique_ptr<TGraphic> Clone() const override;

 protected:
  void Draw(TCanvas& canvas, const TRect& rect) const override;
};
