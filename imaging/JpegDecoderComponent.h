#pragma once
// JpegDecoderComponent: one colour component of a JPEG frame.
//
// It keeps the component's sampling frequencies, its quantization and Huffman tables, the DC
// predictor and the end-of-band run, the geometry of its block grid and its buffers, and it
// decodes one 8x8 block at a time for the five kinds of scan (JpegDecoderComponent.cpp). The
// upsampling and the colour conversions are in JpegDecoderComponentConvert.cpp.
//
// The block grid has dataUnitRows x dataUnitCols blocks. Its samples are kept in a buffer of
// dataUnitCols * 8 samples per row that holds either the whole grid (a plane) or one MCU row
// of it (a strip of VerticalFrequency() block rows): block (row, col) is the 8x8 square whose
// top left sample is at (row - first row held) * 8 * stride + col * 8. Upsampling replicates
// each sample into a block of horizontalRatio x verticalRatio pixels; the conversions read the
// sample that replication puts at each pixel straight from the buffer (pixel (x, y) takes
// sample (x / horizontalRatio, y / verticalRatio)), so no full-resolution copy of a component
// is ever made.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "imaging/BitmapImage.h"
#include "imaging/JpegDecoderDataUnit.h"
#include "imaging/JpegInputStream.h"

namespace Veldaro {
class JpegBitReader;
class JpegDecoder;
}  // namespace Veldaro

namespace VeldaroPrivate {

class JpegHuffmanDecoder;
class JpegDecoderQuantizationTable;

class JpegDecoderComponent {
 public:
  JpegDecoderComponent() = default;
  ~JpegDecoderComponent() = default;
  JpegDecoderComponent(const JpegDecoderComponent&) = delete;
  JpegDecoderComponent& operator=(const JpegDecoderComponent&) = delete;

  // Set-up by the frame and scan headers.
  void SetHorizontalFrequency(std::uint32_t value);
  void SetVerticalFrequency(std::uint32_t value);
  void SetQuantizationTable(JpegDecoderQuantizationTable& table) { quantizationTable = &table; }
  void SetHuffmanTables(JpegHuffmanDecoder& dc, JpegHuffmanDecoder& ac) {
    dcTable = &dc;
    acTable = &ac;
  }
  void CheckQuantizationTable() const;
  void CheckDcTable() const;
  void CheckAcTable() const;
  // Derives the geometry from the frame and allocates the buffers, once per image: the
  // samples of the whole grid (wholePlane) or of one MCU row, every sample at the level 128;
  // the coefficients of the whole grid in progressive frames. Called for every scan that
  // includes the component, it also picks the inverse DCT for the scan's blocks.
  void AllocateBuffers(const Veldaro::JpegDecoder& decoder, bool wholePlane);
  void FreeComponentBuffers();
  // The component has samples for the conversions.
  bool HasSamples() const { return dataUnits != nullptr; }
  // Back to the state of a component that no frame header has defined.
  void Reset();

  std::uint32_t HorizontalFrequency() const { return horizontalFrequency; }
  std::uint32_t VerticalFrequency() const { return verticalFrequency; }
  std::uint32_t NoninterleavedRows() const { return noninterleavedRows; }
  std::uint32_t NoninterleavedCols() const { return noninterleavedCols; }
  std::uint32_t DataUnitRows() const { return dataUnitRows; }
  std::uint32_t DataUnitCols() const { return dataUnitCols; }
  void ResetDcPrediction() { lastDcValue = 0; }

  // Block decoders; row and col are positions in the block grid.
  void DecodeSequential(Veldaro::JpegInputStream& stream, std::uint32_t row, std::uint32_t col);
  void DecodeDcFirst(Veldaro::JpegInputStream& stream, std::uint32_t row, std::uint32_t col, std::uint32_t al);
  void DecodeDcRefine(Veldaro::JpegInputStream& stream, std::uint32_t row, std::uint32_t col, std::uint32_t al);
  void DecodeAcFirst(Veldaro::JpegInputStream& stream, std::uint32_t row, std::uint32_t col, std::uint32_t ss,
                     std::uint32_t se, std::uint32_t al);
  void DecodeAcRefine(Veldaro::JpegInputStream& stream, std::uint32_t row, std::uint32_t col, std::uint32_t ss,
                      std::uint32_t se, std::uint32_t al);
  // Strips: the buffer holds MCU row mcuRow from now on, every sample at the level 128.
  void StartStrip(std::uint32_t mcuRow);
  // Progressive images: the samples of MCU row mcuRow from its coefficients as they stand.
  void ProgressiveInverseDct(std::uint32_t mcuRow);

  // The conversions of pixel rows first to last - 1 into the image, from the samples in the
  // buffers (which must hold those rows). They do nothing when a component has no samples.
  // True when they have written every pixel of those rows (of the rows the image has).
  static bool GrayscaleConvert(JpegDecoderComponent& component, Veldaro::BitmapImage& image, std::uint32_t first,
                               std::uint32_t last);
  static bool RGBConvert(JpegDecoderComponent& y, JpegDecoderComponent& cb, JpegDecoderComponent& cr,
                         Veldaro::BitmapImage& image, std::uint32_t first, std::uint32_t last);
  static bool CMYKConvert(JpegDecoderComponent& c1, JpegDecoderComponent& c2, JpegDecoderComponent& c3,
                          JpegDecoderComponent& c4, Veldaro::BitmapImage& image, std::uint32_t first,
                          std::uint32_t last);

 private:
  std::uint8_t* BlockSamples(std::uint32_t row, std::uint32_t col) const {
    return dataUnits.get() + (std::size_t(row - firstBlockRow) * 8 * DataUnitStride() + std::size_t(col) * 8);
  }
  std::size_t DataUnitStride() const { return std::size_t(dataUnitCols) * 8; }
  std::int16_t* BlockCoefficients(std::uint32_t row, std::uint32_t col) const {
    return coefficients.get() + (std::size_t(row) * dataUnitCols + col) * 64;
  }
  // The first sample of the buffer's row for pixel row y.
  const std::uint8_t* SampleRow(std::uint32_t y) const {
    return dataUnits.get() + (std::size_t(y / verticalRatio) - std::size_t(firstBlockRow) * 8) * DataUnitStride();
  }
  // True when the buffer holds the samples of pixel rows first to last - 1 and of width
  // pixel columns (false for no pixels at all).
  bool Holds(std::uint32_t width, std::uint32_t first, std::uint32_t last) const;
  // Pixel rows first to last - 1 through a row kernel given the rows of the components'
  // samples replicated to the full width.
  static bool HalfWidthChromaConvert(JpegDecoderComponent* const (&components)[3], Veldaro::BitmapImage& image,
                                     std::uint32_t first, std::uint32_t last);
  template <std::size_t Count, typename RowKernel>
  static bool ConvertRows(JpegDecoderComponent* const (&components)[Count], Veldaro::BitmapImage& image,
                          std::uint32_t first, std::uint32_t last, RowKernel convertRow);
  std::int32_t DecodeDcDifference(Veldaro::JpegBitReader& bits);

  std::uint32_t horizontalFrequency = 0;
  std::uint32_t verticalFrequency = 0;
  std::uint32_t verticalRatio = 0;
  std::uint32_t horizontalRatio = 0;
  std::int32_t lastDcValue = 0;
  JpegHuffmanDecoder* acTable = nullptr;
  JpegHuffmanDecoder* dcTable = nullptr;
  JpegDecoderQuantizationTable* quantizationTable = nullptr;
  std::uint32_t eobRun = 0;
  std::uint32_t noninterleavedRows = 0;
  std::uint32_t noninterleavedCols = 0;
  std::uint32_t dataUnitRows = 0;
  std::uint32_t dataUnitCols = 0;
  std::unique_ptr<std::uint8_t[]> dataUnits;     // the samples of a plane or a strip, see above
  std::uint32_t heldBlockRows = 0;               // block rows in dataUnits
  std::uint32_t firstBlockRow = 0;               // the grid's block row at the top of dataUnits
  std::unique_ptr<std::int16_t[]> coefficients;  // progressive images: 64 per block, natural order
  std::uint32_t imageHeight = 0;
  std::uint32_t imageWidth = 0;
  // Sequential scans: the inverse DCT of blocks decoded in transposed order.
  JpegDecoderDataUnit::Transform transposedTransform = nullptr;
};

}  // namespace VeldaroPrivate
