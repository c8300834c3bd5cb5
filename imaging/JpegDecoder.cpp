// JpegDecoder: construction, the markers and the segments between the scans (tables,
// restart interval, frame and scan headers), the MCU geometry and the progress report.

#include "imaging/JpegDecoder.h"

#include <algorithm>

#include "imaging/DecoderLimits.h"
#include "imaging/JpegDecoderComponent.h"
#include "imaging/JpegDecoderQuantizationTable.h"
#include "imaging/JpegHuffmanDecoder.h"

namespace Veldaro {

using VeldaroPrivate::JpegDecoderComponent;
using VeldaroPrivate::JpegDecoderQuantizationTable;
using VeldaroPrivate::JpegHuffmanDecoder;

namespace {

// Samples of a block, and the bytes of a block's coefficients (progressive frames).
constexpr std::uint64_t kBlockSamples = 64;
constexpr std::uint64_t kBlockCoefficientBytes = 64 * sizeof(std::int16_t);
// Bytes per pixel column of the rows the colour conversions work on (sample columns and
// replicated samples of up to four components).
constexpr std::uint64_t kConversionBytesPerColumn = 4 * sizeof(std::uint32_t) + 4;

}  // namespace

JpegDecoder::JpegDecoder() {
  SetProgressFunction(nullptr, nullptr);
  Initialize();
}

void JpegDecoder::Initialize() {
  acTables = std::make_unique<HuffmanTables>();
  dcTables = std::make_unique<HuffmanTables>();
  quantizationTables = std::make_unique<std::array<JpegDecoderQuantizationTable, kTableCount>>();
  components = std::make_unique<std::array<JpegDecoderComponent, kComponentTableSize>>();
}

JpegDecoder::~JpegDecoder() = default;

void JpegDecoder::CallProgressFunction(std::uint32_t percent) {
  if (progressFunction == nullptr) return;
  DefineRemainingRows();
  bool cancel = false;
  if (percent > 100) percent = 100;
  progressFunction(this, progressData, currentPass, passCount, percent, cancel);
  if (cancel) {
    cancelled = true;
    throw GraphicsAbort();
  }
}

void JpegDecoder::ReadStreamHeader(JpegInputStream& stream) {
  if (stream.GetByte() != 0xFF) throw JpegBadStream("Missing SOI Marker");
  if (stream.GetByte() != 0xD8) throw JpegBadStream("Missing SOI Marker");
}

void JpegDecoder::ReadMarker(JpegInputStream& stream) {
  while (stream.MoreData()) {
    std::uint8_t code = stream.GetByte();
    if (code == 0xFF) continue;  // fill byte
    switch (code) {
      case 0xC0:
      case 0xC1:
      case 0xC2: ReadStartOfFrame(stream, code); return;
      case 0xC3: throw JpegBadStream("Lossless Huffman Coding Not Supported");
      case 0xC4: ReadHuffmanTable(stream); return;
      case 0xC5: throw JpegBadStream("Differential Sequential Huffman Coding Not Supported");
      case 0xC6: throw JpegBadStream("Differential Progressive Huffman Coding Not Supported");
      case 0xC7: throw JpegBadStream("Differential Lossless Huffman Coding Not Supported");
      case 0xC9:
      case 0xCA:
      case 0xCB:
      case 0xCD:
      case 0xCE:
      case 0xCF: throw JpegBadStream("Cannot read image - Arithmetic Coding covered by patents");
      case 0xD8: return;  // a further start of image is ignored
      case 0xD9: eoiFound = true; return;
      case 0xDA: ReadStartOfScan(stream); return;
      case 0xDB: ReadQuantization(stream); return;
      case 0xDD: ReadRestartInterval(stream); return;
      case 0xDE: throw JpegBadStream("DHP marker not supported");
      default:
        if ((code >= 0xE0 && code <= 0xEF) || code == 0xFE) {
          ReadApplication(code, stream);
          return;
        }
        throw JpegBadStream("Unknown, unsupported, or reserved marker encountered");
    }
  }
  throw JpegBadStream("Premature end of file");
}

std::uint32_t JpegDecoder::ReadSegmentLength(JpegInputStream& stream) {
  std::uint32_t length = stream.GetBigEndianWord();
  if (length < 2) throw JpegBadStream("Invalid Segment Length");
  return length;
}

void JpegDecoder::ReadApplication(std::uint8_t, JpegInputStream& stream) {
  // The contents of application and comment segments do not change the decoding.
  std::uint32_t length = ReadSegmentLength(stream);
  for (std::uint32_t i = 2; i < length; ++i) stream.GetByte();
}

void JpegDecoder::ReadHuffmanTable(JpegInputStream& stream) {
  std::uint32_t left = ReadSegmentLength(stream) - 2;
  while (left > 0) {
    std::uint8_t b = stream.GetByte();
    --left;
    std::uint32_t index = b & 0x0F;
    std::uint32_t tableClass = b >> 4;
    if (index >= kTableCount) throw JpegBadStream("Huffman Table Index outside range [0..3]");
    JpegHuffmanDecoder& table = tableClass == 0 ? (*dcTables)[index] : (*acTables)[index];
    std::uint32_t used = table.ReadTable(stream);
    // A table that runs past the end of its segment: the segment length is wrong.
    if (used > left) throw JpegBadStream("Invalid Segment Length");
    left -= used;
  }
}

void JpegDecoder::ReadQuantization(JpegInputStream& stream) {
  std::int32_t left = std::int32_t(ReadSegmentLength(stream)) - 2;
  while (left > 0) {
    std::uint8_t b = stream.GetByte();
    --left;
    std::uint32_t index = b & 0x0F;
    std::uint32_t precision = b >> 4;
    if (index >= kTableCount) throw JpegBadStream("Quantization Table Index Too Large");
    // An 8-bit table that does not fit in the rest of its segment: the segment length is wrong.
    if (precision == 0 && left < 64) throw JpegBadStream("Invalid Segment Length");
    if (precision == 0) left -= 64;
    if (precision == 1) left -= 128;
    (*quantizationTables)[index].ReadTable(stream, precision);
  }
}

void JpegDecoder::ReadRestartInterval(JpegInputStream& stream) {
  stream.GetBigEndianWord();  // the length, always 4
  restartInterval = stream.GetBigEndianWord();
}

void JpegDecoder::ReadStartOfFrame(JpegInputStream& stream, std::uint8_t markerCode) {
  // A second frame would resize the image under components that keep the first one's storage.
  if (frameReady) throw JpegBadStream("Multiple Frame Headers");
  progressive = markerCode == 0xC2;
  // Components of an image read earlier by this decoder are not part of this frame.
  for (JpegDecoderComponent& component : *components) component.Reset();
  sampleLayout = SampleLayout::None;
  stripActive = false;
  stripsReached = 0;
  std::uint32_t length = stream.GetBigEndianWord();
  if (stream.GetByte() != 8) throw JpegBadStream("Only 8-bit data supported");
  frameHeight = stream.GetBigEndianWord();
  frameWidth = stream.GetBigEndianWord();
  componentCount = stream.GetByte();
  if (componentCount != 1 && componentCount != 3 && componentCount != 4) {
    throw JpegBadStream("Invalid number of components in scan.");
  }
  if (length != 8 + 3 * componentCount) throw JpegBadStream("Invalid Frame Size");
  ReadFrameComponents(stream);
  CalculateMcuDimensions();
  CheckFrameSize();
  currentImage->SetSizeForOverwrite(frameWidth, frameHeight);
  rowsDefined = 0;
  frameReady = true;
}

void JpegDecoder::ReadFrameComponents(JpegInputStream& stream) {
  maxHorizontalFrequency = 0;
  maxVerticalFrequency = 0;
  for (std::uint32_t i = 0; i < componentCount; ++i) {
    std::uint32_t id = stream.GetByte();
    if (id >= kComponentTableSize) throw JpegBadStream("Invalid Component Identifier");
    componentIds[i] = id;
    JpegDecoderComponent& component = (*components)[id];
    std::uint8_t sampling = stream.GetByte();
    component.SetHorizontalFrequency(sampling >> 4);
    component.SetVerticalFrequency(sampling & 0x0F);
    std::uint32_t table = stream.GetByte();
    if (table >= kTableCount) throw JpegBadStream("Bad Quantization Table Index");
    component.SetQuantizationTable((*quantizationTables)[table]);
    maxHorizontalFrequency = std::max(maxHorizontalFrequency, component.HorizontalFrequency());
    maxVerticalFrequency = std::max(maxVerticalFrequency, component.VerticalFrequency());
  }
  // Every component's samples must cover a whole number of frame pixels, or its plane would
  // not line up with the image.
  for (std::uint32_t i = 0; i < componentCount; ++i) {
    const JpegDecoderComponent& component = (*components)[componentIds[i]];
    if (maxHorizontalFrequency % component.HorizontalFrequency() != 0 ||
        maxVerticalFrequency % component.VerticalFrequency() != 0) {
      throw JpegBadStream("Unsupported sampling factors");
    }
  }
}

void JpegDecoder::CheckFrameSize() const {
  // Counted as if each component kept the samples of its whole block grid (MCU rows x V by
  // MCU columns x H blocks), as a sequential frame whose first scan lacks a component does,
  // and, in a progressive frame, their coefficients besides; the conversions work on rows of
  // the frame's width. All in 64 bits, so that no frame size wraps them.
  const std::uint64_t bytesPerBlock = kBlockSamples + (progressive ? kBlockCoefficientBytes : 0);
  std::uint64_t storage = SaturatingProduct(frameWidth, kConversionBytesPerColumn);
  for (std::uint32_t i = 0; i < componentCount; ++i) {
    const JpegDecoderComponent& component = (*components)[componentIds[i]];
    const std::uint64_t blocks = SaturatingProduct(std::uint64_t(mcuRows) * component.VerticalFrequency(),
                                                   std::uint64_t(mcuCols) * component.HorizontalFrequency());
    storage = SaturatingSum(storage, SaturatingProduct(blocks, bytesPerBlock));
  }
  if (!WithinDecoderLimits(frameWidth, frameHeight, storage)) throw JpegBadStream("Image Too Large");
}

void JpegDecoder::CalculateMcuDimensions() {
  mcuHeight = 8 * maxVerticalFrequency;
  mcuWidth = 8 * maxHorizontalFrequency;
  mcuRows = (frameHeight + mcuHeight - 1) / mcuHeight;
  mcuCols = (frameWidth + mcuWidth - 1) / mcuWidth;
}

void JpegDecoder::ReadStartOfScan(JpegInputStream& stream) {
  if (!frameReady) throw JpegBadStream("Scan found before frame defined");
  stream.GetBigEndianWord();  // the length
  scanComponentCount = stream.GetByte();
  if (scanComponentCount < 1 || scanComponentCount > 4) throw JpegBadStream("Invalid component count in scan");
  for (std::uint32_t i = 0; i < scanComponentCount; ++i) {
    std::uint32_t id = stream.GetByte();
    if (id >= kComponentTableSize) throw JpegBadStream("Invalid Component Identifier");
    JpegDecoderComponent& component = (*components)[id];
    scanComponents[i] = &component;
    if (component.HorizontalFrequency() == 0) throw JpegBadStream("Component Not Defined");
    std::uint8_t tables = stream.GetByte();
    std::uint32_t dc = tables >> 4;
    std::uint32_t ac = tables & 0x0F;
    if (dc >= kTableCount || ac >= kTableCount) throw JpegBadStream("Huffman Table Index outside range [0..3]");
    component.SetHuffmanTables((*dcTables)[dc], (*acTables)[ac]);
  }
  std::uint32_t ss = stream.GetByte();
  std::uint32_t se = stream.GetByte();
  std::uint8_t approximation = stream.GetByte();
  std::uint32_t ah = approximation >> 4;
  std::uint32_t al = approximation & 0x0F;
  scanCoversFrame = ScanCoversFrame();
  if (sampleLayout == SampleLayout::None) {
    sampleLayout = progressive || scanCoversFrame ? SampleLayout::Strips : SampleLayout::Planes;
  }
  for (std::uint32_t i = 0; i < scanComponentCount; ++i) {
    JpegDecoderComponent& component = *scanComponents[i];
    component.CheckQuantizationTable();
    if (progressive) {
      if (ss == 0) {
        component.CheckDcTable();
      } else {
        component.CheckAcTable();
      }
    } else {
      component.CheckDcTable();
      component.CheckAcTable();
    }
    component.AllocateBuffers(*this, sampleLayout == SampleLayout::Planes);
  }
  ++currentPass;
  stream.StartBitInput();
  if (progressive) {
    DecodeProgressiveScan(stream, ss, se, ah, al);
  } else {
    DecodeSequentialScan(stream);
  }
  stream.EndBitInput();
  CallProgressFunction(100);
}

}  // namespace Veldaro
