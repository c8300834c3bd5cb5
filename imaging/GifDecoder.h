#pragma once
// GifDecoder: the first image of a GIF87a or GIF89a file into a BitmapImage, with its local
// or the global colour table, the transparency of the last graphic control block before it,
// and sequential or interlaced rows. Nothing after the first image's data is read.

#include <array>
#include <cstdint>
#include <string>

#include "imaging/BitmapImage.h"
#include "imaging/BitmapImageDecoder.h"
#include "imaging/GifInputStream.h"
#include "imaging/GraphicsException.h"

namespace Veldaro {

class GifDecoder : public BitmapImageDecoder {
 public:
  class GifError : public GraphicsException {
   public:
    explicit GifError(const std::string& message) : GraphicsException(message) {}
  };

  GifDecoder() = default;
  ~GifDecoder() override;

  void ReadImageFile(const std::string& fileName, BitmapImage& image) override;
  // Decodes the first image of the stream (a GifInputFileStream, or a GifInputMemoryStream
  // for bytes in memory), which stands at the first byte of the file. An image beyond the
  // decoder limits (DecoderLimits.h) is refused before its pixels are allocated.
  virtual void ReadImage(GifInputStream& stream, BitmapImage& image);

 protected:
  // Progress of a finished row; the percent is capped at 100. Throws GraphicsAbort on cancel.
  void CallProgressFunction(std::uint32_t pass, std::uint32_t passCount, std::uint32_t percent);

 private:
  // Colour table entries, as red, green, blue.
  static constexpr std::size_t kColourTableSize = 256;
  using ColourTable = std::array<std::array<std::uint8_t, 3>, kColourTableSize>;
  // Entries of the LZW string table (codes of at most 12 bits).
  static constexpr std::size_t kStringTableSize = 4096;

  void OpenInputStream(GifInputStream& stream, BitmapImage& image);
  void ReadHeader(GifInputStream& stream);
  void ReadBlocks(GifInputStream& stream);
  // The extension whose introducer has been read.
  void ReadExtension(GifInputStream& stream);
  void NextImage(BitmapImage& image);
  // The colour table of the image: its local one, or the global one.
  void ReadImageColourTable(GifInputStream& stream, std::uint8_t packed);
  void ResetCodeTable();
  // The LZW codes of the image data, up to the end code, written into the rows.
  void DecodeImageData(BitmapImage& image);
  // Expands a code that does not fit the rest of the current row, one index at a time.
  void OutputString(std::uint32_t code, BitmapImage& image);
  void OutputPixel(std::uint8_t index, BitmapImage& image);
  // The current row is complete: copy it down (interlaced pass), move on, report progress.
  void FinishRow(BitmapImage& image);
  // Copies the first columns of the current row to the rows below that its pass fills.
  void CopyRowDown(BitmapImage& image, std::uint32_t columns);

  ColourTable currentColourTable = {};
  ColourTable globalColourTable = {};
  bool transparentFlag = false;
  std::uint32_t transparentIndex = 0;
  std::uint32_t globalColourTableSize = 0;
  bool interlaced = false;
  std::uint32_t pass = 0;
  std::uint32_t row = 0;
  std::uint32_t column = 0;
  bool imageFound = false;
  std::uint32_t minimumCodeSize = 0;
  std::uint32_t clearCode = 0;
  std::uint32_t codeSize = 0;
  std::uint32_t endCode = 0;
  std::uint32_t nextCode = 0;
  // The string table: each entry is its prefix's string followed by its character. The
  // string's length and first character are kept beside it, so that a string is written
  // straight into its place in the row, back to front.
  struct Entry {
    std::uint16_t prefix;
    std::uint16_t length;
    std::uint8_t character;
    std::uint8_t firstCharacter;
  };
  std::array<Entry, kStringTableSize> table = {};
  // Where in the image the string of each entry (not the roots) lies whole, pixel after pixel
  // as written, or nullptr when it was written in pieces (across the rows of an interlaced
  // pass). A string found there is copied instead of being walked back through its prefixes.
  std::array<const std::uint32_t*, kStringTableSize> written = {};
  bool rootsReady = false;  // the root entries of the current image are in the table
  // Pixel words of the current colour table (transparency applied).
  std::array<std::uint32_t, kColourTableSize> colours = {};
  GifInputStream* inputStream = nullptr;
};

}  // namespace Veldaro
