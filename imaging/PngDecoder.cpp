#include "imaging/PngDecoder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/ScopeExit.h"
#include "imaging/DecoderLimits.h"
#include "imaging/PngInputFileStream.h"

namespace Veldaro {

namespace {

constexpr std::uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
// Bytes of the stream buffer of the file entry.
constexpr std::uint32_t kFileBufferSize = 4096;

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

}  // namespace

PngDecoder::PngDecoder() {
  paletteAlpha.fill(255);
  palette.fill({0, 0, 0});
  pixelTable.fill(0);
}

PngDecoder::~PngDecoder() = default;

void PngDecoder::FreeRowBuffers() {
  for (std::vector<std::uint8_t>& buffer : rowBuffers) std::vector<std::uint8_t>().swap(buffer);
  std::vector<std::uint32_t>().swap(passPixels);
}

void PngDecoder::DefineRemainingRows(BitmapImage& image) {
  image.ZeroRows(rowsDefined, image.Height());
  rowsDefined = std::max(rowsDefined, image.Height());
}

void PngDecoder::CallProgressFunction(std::uint32_t percent, BitmapImage& image) {
  if (progressFunction == nullptr) return;
  DefineRemainingRows(image);
  if (percent > 100) percent = 100;
  bool interlaced = interlaceMethod == 1;
  bool cancel = false;
  progressFunction(this, progressData, interlaced ? currentPass + 1 : 1, interlaced ? 7 : 1, percent, cancel);
  if (cancel) throw GraphicsAbort();
}

void PngDecoder::ReadImageFile(const std::string& fileName, BitmapImage& image) {
  PngInputFileStream stream(kFileBufferSize);
  errno = 0;
  stream.Open(fileName);
  if (!stream.IsOpen()) {
    int error = errno;
    throw PngError("Can't open input file '" + fileName + "'\n" + std::strerror(error));
  }
  ReadImage(stream, image);
}

void PngDecoder::ReadImage(PngInputStream& stream, BitmapImage& image) {
  imageDataRead = false;
  paletteRead = false;
  headerRead = false;
  endRead = false;
  paletteAlpha.fill(255);
  paletteEntryCount = 0;
  // Palette indexes that the PLTE chunk does not cover give black, whatever an earlier image
  // left behind.
  palette.fill({0, 0, 0});
  interlaceMethod = 0;
  currentPass = 0;
  // Nothing of the image is undefined until a header sets its size.
  rowsDefined = image.Height();
  ScopeExit freeRows([this, &image] {
    FreeRowBuffers();
    DefineRemainingRows(image);
  });
  CheckSignature(stream);
  stream.ReadChunk();
  if (!stream.ChunkIs("IHDR")) throw BadPngStream("Missing IHDR Chunk");
  for (;;) {
    ProcessChunk(stream, image);
    if (endRead) break;
    stream.ReadChunk();
  }
  if (!imageDataRead) throw BadPngStream("Image Contains no Pixel Data");
}

void PngDecoder::CheckSignature(PngInputStream& stream) {
  std::uint8_t* bytes = nullptr;
  stream.ReadBytes(8, bytes);
  if (std::memcmp(bytes, kSignature, 8) != 0) throw BadPngStream("Not a PNG file");
}

void PngDecoder::ProcessChunk(PngInputStream& stream, BitmapImage& image) {
  // The ancillary chunks this decoder tests, and their handlers.
  using Handler = void (PngDecoder::*)(PngInputStream&);
  struct AncillaryChunk {
    const char* type;
    Handler handler;
  };
  static constexpr AncillaryChunk kAncillaryChunks[] = {
      {"bKGD", &PngDecoder::ReadBackground},
      {"gAMA", &PngDecoder::ReadGamma},
      {"cHRM", &PngDecoder::ReadChromaticities},
      {"hIST", &PngDecoder::ReadHistogram},
      {"sBIT", &PngDecoder::ReadSignificantBits},
      {"tRNS", &PngDecoder::ReadTransparency},
      {"pHYs", &PngDecoder::ReadPhysicalDimensions},
      {"tIME", &PngDecoder::ReadTime},
      {"tEXt", &PngDecoder::ReadText},
      {"zTXt", &PngDecoder::ReadCompressedText},
  };

  if (stream.ChunkIs("IHDR")) return ReadHeader(stream, image);
  if (stream.ChunkIs("IDAT")) return ReadImageData(stream, image);
  if (stream.ChunkIs("PLTE")) return ReadPalette(stream);
  if (stream.ChunkIs("IEND")) {
    endRead = true;
    return;
  }
  for (const AncillaryChunk& chunk : kAncillaryChunks) {
    if (stream.ChunkIs(chunk.type)) return (this->*chunk.handler)(stream);
  }
  // Bit 5 of the first type byte clear: a critical chunk this decoder does not know. Any
  // other ancillary chunk is passed over.
  if ((stream.ChunkType()[0] & 0x20) == 0) throw BadPngStream("Unknown critical chunk");
}

void PngDecoder::ReadHeader(PngInputStream& stream, BitmapImage& image) {
  if (headerRead) throw BadPngStream("Duplicate IHDR Block");
  headerRead = true;
  if (stream.ChunkLength() != 13) throw BadPngStream("Invalid Header Length");
  const std::uint8_t* d = stream.ChunkData();
  width = BigEndian32(d);
  height = BigEndian32(d + 4);
  bitDepth = d[8];
  colorType = d[9];
  compressionMethod = d[10];
  filterMethod = d[11];
  interlaceMethod = d[12];
  if (compressionMethod != 0) throw BadPngStream("Invalid Compression Method");
  if (filterMethod != 0) throw BadPngStream("Invalid Filter Method");
  if (interlaceMethod != 0 && interlaceMethod != 1) throw BadPngStream("Invalid Interlace Method");
  if (bitDepth != 1 && bitDepth != 2 && bitDepth != 4 && bitDepth != 8 && bitDepth != 16)
    throw BadPngStream("Invalid Bit Depth");
  switch (colorType) {
    case 0: break;
    case 3:
      if (bitDepth == 16) throw BadPngStream("Invalid Bit Depth for Color Type");
      break;
    case 2:
    case 4:
    case 6:
      if (bitDepth < 8) throw BadPngStream("Invalid Bit Depth for Color Type");
      break;
    default: throw BadPngStream("Invalid Color Type");
  }
  CheckImageSize();

  if (colorType == 0 || colorType == 4) {
    std::uint32_t m = bitDepth < 8 ? (1u << bitDepth) - 1 : 255;
    for (std::uint32_t i = 0; i <= m; ++i) {
      std::uint8_t v = std::uint8_t(i * 255 / m);
      palette[i] = {v, v, v};
    }
  }
  if (interlaceMethod == 0) {
    image.SetSizeForOverwrite(width, height);
    rowsDefined = 0;
  } else {
    image.SetSize(width, height);
    rowsDefined = height;
  }
}

void PngDecoder::CheckImageSize() const {
  // The rows of an image without pixels would still be inflated and unfiltered, up to 2^31
  // of them: such an image is refused before any row is read.
  if (width == 0 || height == 0) throw BadPngStream("Image has no pixels");
  // Two row buffers with their padding, and a pass row of pixels for an interlaced image; all
  // in 64 bits, so that no width wraps them.
  const std::uint64_t rowBuffer = RowByteCount(width) + 2 * kRowPadding;
  const std::uint64_t passRow = interlaceMethod == 1 ? std::uint64_t(width) * sizeof(std::uint32_t) : 0;
  if (!WithinDecoderLimits(width, height, 2 * rowBuffer + passRow)) throw BadPngStream("Image too large");
}

void PngDecoder::ReadPalette(PngInputStream& stream) {
  if (paletteRead) throw BadPngStream("Duplicate PLTE block");
  paletteRead = true;
  if (colorType == 0 || colorType == 4) throw BadPngStream("Grayscale image contains a PLTE block");
  std::uint32_t length = stream.ChunkLength();
  if (length % 3 != 0) throw BadPngStream("PLTE chunk length not divisible by 3");
  if (length > 3 * kPaletteSize) throw BadPngStream("PLTE chunk length too large");
  paletteEntryCount = length / 3;
  if (colorType != 3) return;
  const std::uint8_t* entry = stream.ChunkData();
  for (std::uint32_t i = 0; i < paletteEntryCount; ++i, entry += 3) palette[i] = {entry[0], entry[1], entry[2]};
}

std::uint64_t PngDecoder::RowByteCount(std::uint64_t count) const {
  switch (colorType) {
    case 2: return bitDepth * count * 3 / 8;
    case 4: return count * 2 * bitDepth / 8;
    case 6: return count * 4 * bitDepth / 8;
    default: return (bitDepth * count + 7) / 8;
  }
}

void PngDecoder::MakePixelTable() {
  for (std::size_t i = 0; i < kPaletteSize; ++i)
    pixelTable[i] = MakePixel(palette[i][0], palette[i][1], palette[i][2], colorType == 3 ? paletteAlpha[i] : 255);
}

void PngDecoder::ReadImageData(PngInputStream& stream, BitmapImage& image) {
  if (imageDataRead) throw BadPngStream("Image Contains Multiple Data Segments");
  imageDataRead = true;
  if (colorType == 3 && !paletteRead) throw BadPngStream("PLTE block must occur before IDAT");
  // The header has checked these sizes against the limits: they fit 32 bits.
  rowByteCount = std::uint32_t(RowByteCount(width));
  for (std::uint32_t i = 0; i < 2; ++i) rowBuffers[i].assign(std::size_t(rowByteCount) + 2 * kRowPadding, 0);
  if (rowReadAhead && rowByteCount <= kMaxReadAheadRowBytes)
    rowBuffers[2].assign(std::size_t(rowByteCount) + 2 * kRowPadding, 0);
  else
    std::vector<std::uint8_t>().swap(rowBuffers[2]);
  if (interlaceMethod == 1) passPixels.assign(width, 0);
  MakePixelTable();

  inflater.OpenStream(stream);
  if (interlaceMethod == 0) {
    ReadNoninterlacedImage(stream, image);
  } else {
    for (currentPass = 0; currentPass < 7; ++currentPass) ReadInterlacedPass(stream, image);
  }
  if (inflater.NotFinished()) {
    std::uint8_t extra;
    if (inflater.Decode(stream, 1, &extra) == 1) throw BadPngStream("Extra bytes in compressed data");
  }
}

}  // namespace Veldaro
