#pragma once
// BmpDecoder: Windows and OS/2 bitmap files (the 12-byte core header and every info header of
// 40 bytes or more; 1, 2, 4, 8, 16, 24 and 32 bits per pixel; RLE8, RLE4 and bit fields)
// into a BitmapImage. Palette, RLE and 24-bit pixels keep alpha 0; bit-field pixels take
// alpha from the alpha mask of a header of 108 bytes or more.

#include <cstdint>
#include <istream>
#include <string>

#include "imaging/BitmapImage.h"
#include "imaging/BitmapImageDecoder.h"
#include "imaging/GraphicsException.h"

namespace Veldaro {

class BmpDecoder : public BitmapImageDecoder {
 public:
  class BmpError : public GraphicsException {
   public:
    explicit BmpError(const std::string& message) : GraphicsException(message) {}
  };

  BmpDecoder() = default;
  ~BmpDecoder() override = default;

  // Opens the file in binary mode and calls ReadImage.
  void ReadImageFile(const std::string& fileName, BitmapImage& image) override;
  // Decodes one bitmap from the current position of a stream opened in binary mode.
  virtual void ReadImage(std::istream& stream, BitmapImage& image);

 protected:
  // Progress of pass 1 of 1; throws GraphicsAbort when the function asks to cancel.
  void CallProgressFunction(std::uint32_t percent);

 private:
  struct Header;
  void ReadColourTable(std::istream& stream, std::uint32_t entrySize, std::uint64_t& byteCount);
  void ReadPaletteRows(std::istream& stream, const Header& header, BitmapImage& image);
  void Read24BitRows(std::istream& stream, const Header& header, BitmapImage& image);
  void ReadBitFieldRows(std::istream& stream, const Header& header, BitmapImage& image);
  void ReadRle(std::istream& stream, const Header& header, BitmapImage& image, bool rle4);

  // Blue, green, red, reserved.
  std::uint8_t colourTable[256][4] = {};
  std::uint32_t colourCount = 0;
};

}  // namespace Veldaro
