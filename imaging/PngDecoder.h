#pragma once
// PngDecoder: reads a PNG file (compression method 0, filter method 0) into a BitmapImage of
// 32-bit pixels.
//
// All five colour types with every bit depth the format allows for them, and Adam7
// interlacing. Transparency comes only from the alpha samples (colour types 4 and 6) and from
// tRNS as per-entry alpha of a palette image. No gamma correction, no background composition,
// no colour-key transparency for grayscale or RGB; 16-bit samples keep their high byte.
//
// The chunks are read one by one with their CRC tested; the image data of the run of IDAT
// chunks are inflated row by row, unfiltered against the previous row and converted into
// pixels as they come. The ancillary chunks are tested for place and length
// (PngAncillaryChunks.cpp); the rows are reconstructed in PngScanlines.cpp.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "imaging/BitmapImageDecoder.h"
#include "imaging/GraphicsException.h"
#include "imaging/InflateDecoder.h"
#include "imaging/PngInputStream.h"

namespace Veldaro {

class PngDecoder : public BitmapImageDecoder {
 public:
  // The file cannot be opened.
  class PngError : public GraphicsException {
   public:
    explicit PngError(const std::string& message) : GraphicsException(message) {}
  };
  // Corrupt or unsupported data.
  class BadPngStream : public PngError {
   public:
    explicit BadPngStream(const std::string& message) : PngError(message) {}
  };

  PngDecoder();
  ~PngDecoder() override;

  // Opens the file and decodes it into the image.
  void ReadImageFile(const std::string& fileName, BitmapImage& image) override;
  // Decodes from a stream positioned at the first byte of the file (a PngInputFileStream, or a
  // PngInputMemoryStream for bytes in memory). Images without pixels (a width or height of
  // 0) and images beyond the decoder limits (DecoderLimits.h) are refused at their header.
  virtual void ReadImage(PngInputStream& stream, BitmapImage& image);

 protected:
  // Reports progress of the current pass (capped at 100), after zeroing the rows of the image
  // not yet decoded; throws GraphicsAbort on a cancel.
  void CallProgressFunction(std::uint32_t percent, BitmapImage& image);
  // Off: every row is read only when the row before it is done (the plain way, with the same
  // results, that the tests compare the read-ahead with). On by default.
  void SetRowReadAhead(bool on) { rowReadAhead = on; }

 private:
  // Driver and critical chunks.
  void CheckSignature(PngInputStream& stream);
  void ProcessChunk(PngInputStream& stream, BitmapImage& image);
  void ReadHeader(PngInputStream& stream, BitmapImage& image);
  // Refuses an image without pixels, and one whose pixels and row buffers pass the limits.
  void CheckImageSize() const;
  void ReadPalette(PngInputStream& stream);
  void ReadImageData(PngInputStream& stream, BitmapImage& image);
  void FreeRowBuffers();
  // Zeroes the rows of the image from rowsDefined down, which the image data have not reached
  // yet: done before anyone can look at the image (a progress report, the end of a decode,
  // by success, failure or cancel), so that a row not decoded is transparent black.
  void DefineRemainingRows(BitmapImage& image);

  // Scanlines.
  void ReadNoninterlacedImage(PngInputStream& stream, BitmapImage& image);
  void ReadInterlacedPass(PngInputStream& stream, BitmapImage& image);
  // Inflates the filter byte and rowBytes bytes into the current row buffer and returns the
  // filter byte; a stream that ends first is refused.
  std::uint8_t ReadRow(PngInputStream& stream, std::uint32_t rowBytes);
  // Inflates the filter byte and rowBytes bytes into the row buffer buffer, and stores the
  // filter byte; false when the stream ends first.
  bool InflateRow(PngInputStream& stream, std::uint32_t rowBytes, std::uint32_t buffer, std::uint8_t& filterType);
  // The rows firstRow, firstRow + rowStep, ... of the image or of the current pass, each of
  // rowBytes bytes, with a progress report after each row and a last one of 100.
  void ReadRows(PngInputStream& stream, BitmapImage& image, std::uint32_t firstRow, std::uint32_t rowStep,
                std::uint32_t rowBytes);
  // Reads the next row (row + rowStep) into the spare buffer while the current one, of filter
  // type Average or Paeth (rowFilterType), waits, and undoes both at once when the next one
  // has the same filter; returns the rows done (1 or 2; the next row, when read, then waits in
  // the spare buffer as nextFilterType).
  std::uint32_t ReadAheadPair(PngInputStream& stream, std::uint8_t rowFilterType, std::uint32_t row,
                              std::uint32_t rowStep, std::uint32_t rowBytes, BitmapImage& image, bool& nextRead,
                              std::uint8_t& nextFilterType);
  void FilterRow(std::uint8_t filterType, std::uint32_t rowBytes);
  // Bytes from a byte of a pixel to the same byte of the pixel on its left (at least 1).
  std::uint32_t ByteDistance() const;
  // Converts the reconstructed samples of a row of the image, or of the current pass, into
  // its pixels.
  void CopyRow(std::uint32_t row, const std::uint8_t* samples, BitmapImage& image);
  // The bytes of a row in the row buffer buffer.
  std::uint8_t* RowIn(std::uint32_t buffer) { return rowBuffers[buffer].data() + kRowPadding; }
  std::uint8_t* CurrentRow() { return RowIn(currentRowBuffer); }
  std::uint8_t* PreviousRow() { return RowIn(previousRowBuffer); }
  // The current row becomes the previous one.
  void AdvanceRow() { std::swap(currentRowBuffer, previousRowBuffer); }
  // Bytes of a row of count pixels (filter byte not counted), in 64 bits.
  std::uint64_t RowByteCount(std::uint64_t count) const;
  // Zero bytes over both row buffers (the previous row of a pass's first row).
  void ClearRowBuffers();
  // The 32-bit pixel of every sample value of colour types 0 and 3 (gray ramp or palette).
  void MakePixelTable();

  // Ancillary chunks (PngAncillaryChunks.cpp).
  void ReadBackground(PngInputStream& stream);
  void ReadGamma(PngInputStream& stream);
  void ReadChromaticities(PngInputStream& stream);
  void ReadHistogram(PngInputStream& stream);
  void ReadSignificantBits(PngInputStream& stream);
  void ReadTransparency(PngInputStream& stream);
  void ReadPhysicalDimensions(PngInputStream& stream);
  void ReadTime(PngInputStream& stream);
  void ReadText(PngInputStream& stream);
  void ReadCompressedText(PngInputStream& stream);

  // Zero bytes in front of each row (left neighbours of the first pixel, and room for the
  // filter byte) and behind it (for wide loads).
  static constexpr std::uint32_t kRowPadding = 16;
  // Palette entries, and the entries of the pixel table of colour types 0 and 3.
  static constexpr std::size_t kPaletteSize = 256;
  // The longest row that is read ahead of the one before it.
  static constexpr std::uint32_t kMaxReadAheadRowBytes = 1u << 20;

  std::uint32_t height = 0;
  std::uint32_t width = 0;
  std::uint8_t bitDepth = 0;
  std::uint32_t colorType = 0;
  std::uint8_t compressionMethod = 0;
  std::uint8_t filterMethod = 0;
  std::uint8_t interlaceMethod = 0;
  // Each kRowPadding + the row byte count + kRowPadding bytes while the image data are read:
  // the current row, the previous one, and a spare for a row read ahead (made only for rows
  // of at most kMaxReadAheadRowBytes, so that it adds little to what the limits count).
  std::array<std::vector<std::uint8_t>, 3> rowBuffers;
  std::uint32_t currentRowBuffer = 0;
  std::uint32_t previousRowBuffer = 1;
  std::uint32_t spareRowBuffer = 2;
  bool rowReadAhead = true;
  std::uint32_t rowByteCount = 0;
  // Rows of the image from the top whose pixels have a value. A non-interlaced image is
  // allocated without zeroing, as its rows are written in order, top down; an interlaced one
  // is zeroed when allocated.
  std::uint32_t rowsDefined = 0;
  std::uint32_t currentPass = 0;
  bool imageDataRead = false;
  bool paletteRead = false;
  bool headerRead = false;
  bool endRead = false;
  InflateDecoder inflater;
  std::uint32_t paletteEntryCount = 0;
  std::array<std::uint8_t, kPaletteSize> paletteAlpha;
  std::array<std::array<std::uint8_t, 3>, kPaletteSize> palette;  // red, green, blue
  std::array<std::uint32_t, kPaletteSize> pixelTable;  // pixels of colour types 0 and 3, made at the image data
  std::vector<std::uint32_t> passPixels;               // one pass row of pixels, for interlaced images
};

}  // namespace Veldaro
