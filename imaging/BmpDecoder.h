#pragma once
// BmpDecoder: Windows and OS/2 bitmap files (the 12-byte core header and every info header of
// 40 bytes or more; 1, 2, 4, 8, 16, 24 and 32 bits per pixel; RLE8, RLE4 and bit fields)
// into a BitmapImage. Palette, RLE and 24-bit pixels keep alpha 0; bit-field pixels take
// alpha from the alpha mask of a header of 108 bytes or more.

#include <array>
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
  // Decodes one bitmap from the current position of a stream opened in binary mode (a file,
  // or bytes in memory through a std::istringstream). An image beyond the decoder limits
  // (DecoderLimits.h) is refused before its pixels and row buffer are allocated; the rows of
  // an image without pixels are not read.
  virtual void ReadImage(std::istream& stream, BitmapImage& image);

 protected:
  // Progress of pass 1 of 1; throws GraphicsAbort when the function asks to cancel.
  void CallProgressFunction(std::uint32_t percent);

 private:
  struct Header;
  // The steps of ReadImage; byteCount counts the bytes consumed, in 64 bits.
  std::uint32_t ReadFileHeader(std::istream& stream);
  void ReadInfoHeader(std::istream& stream, Header& header, std::uint64_t& byteCount);
  void ReadCoreFields(std::istream& stream, Header& header, std::uint64_t& byteCount);
  void ReadInfoFields(std::istream& stream, Header& header, std::uint64_t& byteCount);
  // Refuses a size beyond the limits, then sizes the image.
  void SizeImage(const Header& header, BitmapImage& image);
  void ReadPixels(std::istream& stream, const Header& header, BitmapImage& image);
  void ReadColourTable(std::istream& stream, std::uint32_t entrySize, std::uint64_t& byteCount);
  // The uncompressed rows in file order, each read whole and converted by
  // convert(const std::uint8_t* row, std::uint32_t* imageRow).
  template <typename Convert>
  void ReadRows(std::istream& stream, const Header& header, BitmapImage& image, Convert convert);
  void ReadPaletteRows(std::istream& stream, const Header& header, BitmapImage& image);
  void Read24BitRows(std::istream& stream, const Header& header, BitmapImage& image);
  void ReadBitFieldRows(std::istream& stream, const Header& header, BitmapImage& image);
  void ReadRle(std::istream& stream, const Header& header, BitmapImage& image, bool rle4);

  // The entries of the colour table: blue, green, red, reserved.
  static constexpr std::size_t kColourTableSize = 256;
  // The colour table as pixel words (alpha 0), for the palette and RLE layouts.
  std::array<std::uint32_t, kColourTableSize> ColourPixels() const;

  std::array<std::array<std::uint8_t, 4>, kColourTableSize> colourTable = {};
  std::uint32_t colourCount = 0;
};

}  // namespace Veldaro
