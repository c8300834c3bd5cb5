#pragma once
// JpegDecoder: Huffman-coded baseline, extended sequential and progressive JPEG streams with
// 8-bit samples and 1, 3 or 4 components, decoded into a BitmapImage.
//
// The decoder keeps four DC and four AC Huffman tables, four quantization tables and a table
// of 255 components indexed by component identifier. The marker and segment readers are in
// JpegDecoder.cpp, the scan loops in JpegDecoderScan.cpp and the driver (ReadImageFile,
// ReadImage, UpdateImage) in JpegDecoderDriver.cpp.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "imaging/BitmapImage.h"
#include "imaging/BitmapImageDecoder.h"
#include "imaging/GraphicsException.h"
#include "imaging/JpegInputStream.h"

namespace VeldaroPrivate {
class JpegHuffmanDecoder;
class JpegDecoderQuantizationTable;
class JpegDecoderComponent;
}  // namespace VeldaroPrivate

namespace Veldaro {

class JpegDecoder : public BitmapImageDecoder {
 public:
  // A refusal of a component's sampling frequencies or tables, an update without an image, or
  // a stream error that ended the reading of a file.
  class JpegError : public GraphicsException {
   public:
    explicit JpegError(const std::string& message) : GraphicsException(message) {}
  };
  // Corrupt or inconsistent data.
  class JpegBadStream : public JpegError {
   public:
    explicit JpegBadStream(const std::string& message) : JpegError(message) {}
  };

  JpegDecoder();
  ~JpegDecoder() override;

  // Converts what has been decoded so far into the image.
  void UpdateImage() override;
  // Opens the file and decodes it; stream errors come out as JpegError with their text.
  void ReadImageFile(const std::string& fileName, BitmapImage& image) override;
  // Decodes one image from a stream positioned at its start (a JpegInputFileStream, or a
  // JpegInputMemoryStream for bytes in memory). A frame whose pixels and component storage
  // pass the decoder limits (DecoderLimits.h) is refused before anything is allocated.
  virtual void ReadImage(JpegInputStream& stream, BitmapImage& image);

  // Frame geometry, read by the components when they size their storage.
  bool IsProgressive() const { return progressive; }
  std::uint32_t McuRowCount() const { return mcuRows; }
  std::uint32_t McuColumnCount() const { return mcuCols; }
  std::uint32_t FrameHeight() const { return frameHeight; }
  std::uint32_t FrameWidth() const { return frameWidth; }
  std::uint32_t MaxVerticalFrequency() const { return maxVerticalFrequency; }
  std::uint32_t MaxHorizontalFrequency() const { return maxHorizontalFrequency; }
  bool IsInterleavedScan() const { return scanComponentCount != 1; }

 protected:
  void CallProgressFunction(std::uint32_t percent);

 private:
  void Initialize();

  // Markers and segments (JpegDecoder.cpp).
  void ReadStreamHeader(JpegInputStream& stream);
  void ReadMarker(JpegInputStream& stream);
  void ReadApplication(std::uint8_t markerCode, JpegInputStream& stream);
  void ReadHuffmanTable(JpegInputStream& stream);
  void ReadQuantization(JpegInputStream& stream);
  void ReadRestartInterval(JpegInputStream& stream);
  void ReadStartOfFrame(JpegInputStream& stream, std::uint8_t markerCode);
  // The components of the frame header and their sampling frequencies.
  void ReadFrameComponents(JpegInputStream& stream);
  // Refuses a frame whose pixels and component storage pass the limits.
  void CheckFrameSize() const;
  void ReadStartOfScan(JpegInputStream& stream);
  void CalculateMcuDimensions();
  // The segment length; lengths below 2 are refused.
  std::uint32_t ReadSegmentLength(JpegInputStream& stream);

  // Scans (JpegDecoderScan.cpp).
  void DecodeSequentialScan(JpegInputStream& stream);
  void DecodeProgressiveScan(JpegInputStream& stream, std::uint32_t ss, std::uint32_t se, std::uint32_t ah,
                             std::uint32_t al);
  void DecodeInterleavedScan(JpegInputStream& stream);
  void DecodeNonInterleavedScan(JpegInputStream& stream);
  void DecodeDcFirstScan(JpegInputStream& stream, std::uint32_t al);
  void DecodeDcRefineScan(JpegInputStream& stream, std::uint32_t al);
  void DecodeAcFirstScan(JpegInputStream& stream, std::uint32_t ss, std::uint32_t se, std::uint32_t al);
  void DecodeAcRefineScan(JpegInputStream& stream, std::uint32_t ss, std::uint32_t se, std::uint32_t al);
  void ProcessRestart(JpegInputStream& stream);
  void ResetDcPredictions();
  // The two scan orders with a block decoder given as a callable (component, row, col).
  template <typename BlockDecoder>
  void InterleavedLoop(JpegInputStream& stream, BlockDecoder decodeBlock);
  template <typename BlockDecoder>
  void NonInterleavedLoop(JpegInputStream& stream, BlockDecoder decodeBlock);

  // Driver (JpegDecoderDriver.cpp).
  void CountScans(JpegInputStream& stream);
  // The markers from the start of image to the end of image.
  void ReadMarkers(JpegInputStream& stream);
  // What may follow the end of image.
  void CheckTrailer(JpegInputStream& stream);
  // UpdateImage after a failure: without memory for the conversion the image keeps its pixels,
  // and the failure that ended the decode is what the caller sees.
  void UpdateImageAfterFailure() noexcept;
  void ReleaseComponentBuffers();
  // Every component of the frame has samples to convert.
  bool AllComponentsHaveSamples() const;
  // The conversion of pixel rows first to last - 1 from the components' buffers.
  void ConvertRows(std::uint32_t first, std::uint32_t last);
  // Pixel rows from first to the end of the image as samples of the level 128 give them.
  void FillUnreachedRows(std::uint32_t first);
  // The image's pixels are allocated without a value; rows nothing has written are made 0
  // (transparent black) before anyone can see them: before each call of the progress
  // function and when the decode ends. Rows first to last - 1 have just been written; rows
  // between the defined ones and them become 0.
  void RowsWritten(std::uint32_t first, std::uint32_t last);
  // Every row not yet written becomes 0.
  void DefineRemainingRows();

  // Strips of sequential frames (JpegDecoderScan.cpp): the scan loops call these around the
  // blocks of each MCU row.
  bool ScanCoversFrame() const;
  void BeginStrip(std::uint32_t mcuRow);
  void EndStrip(std::uint32_t mcuRow);

  // Huffman and quantization tables, by table index; component identifiers 0 to 254.
  static constexpr std::size_t kTableCount = 4;
  static constexpr std::size_t kComponentTableSize = 255;
  using HuffmanTables = std::array<VeldaroPrivate::JpegHuffmanDecoder, kTableCount>;

  std::unique_ptr<HuffmanTables> acTables;
  std::unique_ptr<HuffmanTables> dcTables;
  std::unique_ptr<std::array<VeldaroPrivate::JpegDecoderQuantizationTable, kTableCount>> quantizationTables;
  bool eoiFound = false;
  bool frameReady = false;
  std::uint32_t restartInterval = 0;
  std::uint32_t frameWidth = 0;
  std::uint32_t frameHeight = 0;
  std::uint32_t maxHorizontalFrequency = 0;
  std::uint32_t maxVerticalFrequency = 0;
  bool progressive = false;
  std::uint32_t componentCount = 0;
  std::unique_ptr<std::array<VeldaroPrivate::JpegDecoderComponent, kComponentTableSize>> components;  // by identifier
  std::array<std::uint32_t, kComponentTableSize> componentIds = {};                                   // frame order
  BitmapImage* currentImage = nullptr;
  std::uint32_t currentPass = 0;
  std::uint32_t passCount = 0;
  std::uint32_t mcuRows = 0;
  std::uint32_t mcuCols = 0;
  std::uint32_t mcuHeight = 0;
  std::uint32_t mcuWidth = 0;
  std::uint32_t scanComponentCount = 0;
  std::array<VeldaroPrivate::JpegDecoderComponent*, kComponentTableSize> scanComponents = {};  // scan order
  std::uint32_t nextRestartMarker = 0;
  bool cancelled = false;  // the progress function asked to cancel the decode under way

  // How the components keep their samples, chosen at the frame's first scan. Progressive
  // frames, and sequential frames whose first scan includes every component, keep one MCU row
  // (a strip) and convert it into the image as soon as it is complete; other sequential frames
  // keep whole planes until the end.
  enum class SampleLayout { None, Strips, Planes };
  SampleLayout sampleLayout = SampleLayout::None;
  bool scanCoversFrame = false;     // the scan under way includes every component of the frame
  bool stripActive = false;         // a strip of the scan under way is being decoded
  std::uint32_t activeStrip = 0;    // its MCU row
  std::uint32_t stripsReached = 0;  // MCU rows from the top that some scan has begun
  std::uint32_t rowsDefined = 0;    // rows of the image from the top whose pixels have a value
};

}  // namespace Veldaro
