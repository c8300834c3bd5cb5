#include "imaging/PngDecoder.h"

#include <cerrno>
#include <cstring>

#include "imaging/PngInputFileStream.h"

namespace Veldaro {

namespace {

constexpr std::uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

std::uint32_t BigEndian32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

}  // namespace

PngDecoder::PngDecoder() {
  std::memset(paletteAlpha, 255, sizeof paletteAlpha);
  std::memset(palette, 0, sizeof palette);
  std::memset(pixelTable, 0, sizeof pixelTable);
}

PngDecoder::~PngDecoder() { FreeRowBuffers(); }

void PngDecoder::FreeRowBuffers() {
  delete[] rowBuffers[0];
  delete[] rowBuffers[1];
  rowBuffers[0] = rowBuffers[1] = nullptr;
  delete[] passPixels;
  passPixels = nullptr;
}

void PngDecoder::CallProgressFunction(std::uint32_t percent) {
  if (progressFunction == nullptr) return;
  if (percent > 100) percent = 100;
  bool interlaced = interlaceMethod == 1;
  bool cancel = false;
  progressFunction(this, progressData, interlaced ? currentPass + 1 : 1, interlaced ? 7 : 1, percent, cancel);
  if (cancel) throw GraphicsAbort();
}

void PngDecoder::ReadImageFile(const std::string& fileName, BitmapImage& image) {
  PngInputFileStream stream(4096);
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
  std::memset(paletteAlpha, 255, sizeof paletteAlpha);
  paletteEntryCount = 0;
  // Palette indexes that the PLTE chunk does not cover give black, whatever an earlier image
  // left behind.
  std::memset(palette, 0, sizeof palette);
  interlaceMethod = 0;
  currentPass = 0;
  try {
    CheckSignature(stream);
    stream.ReadChunk();
    if (!stream.ChunkIs("IHDR")) throw BadPngStream("Missing IHDR Chunk");
    for (;;) {
      ProcessChunk(stream, image);
      if (endRead) break;
      stream.ReadChunk();
    }
  } catch (...) {
    FreeRowBuffers();
    throw;
  }
  FreeRowBuffers();
  if (!imageDataRead) throw BadPngStream("Image Contains no Pixel Data");
}

void PngDecoder::CheckSignature(PngInputStream& stream) {
  std::uint8_t* bytes = nullptr;
  stream.ReadBytes(8, bytes);
  if (std::memcmp(bytes, kSignature, 8) != 0) throw BadPngStream("Not a PNG file");
}

void PngDecoder::ProcessChunk(PngInputStream& stream, BitmapImage& image) {
  if (stream.ChunkIs("IHDR")) {
    ReadHeader(stream, image);
  } else if (stream.ChunkIs("IDAT")) {
    ReadImageData(stream, image);
  } else if (stream.ChunkIs("PLTE")) {
    ReadPalette(stream);
  } else if (stream.ChunkIs("IEND")) {
    endRead = true;
  } else if (stream.ChunkIs("bKGD")) {
    ReadBackground(stream);
  } else if (stream.ChunkIs("gAMA")) {
    ReadGamma(stream);
  } else if (stream.ChunkIs("cHRM")) {
    ReadChromaticities(stream);
  } else if (stream.ChunkIs("hIST")) {
    ReadHistogram(stream);
  } else if (stream.ChunkIs("sBIT")) {
    ReadSignificantBits(stream);
  } else if (stream.ChunkIs("tRNS")) {
    ReadTransparency(stream);
  } else if (stream.ChunkIs("pHYs")) {
    ReadPhysicalDimensions(stream);
  } else if (stream.ChunkIs("tIME")) {
    ReadTime(stream);
  } else if (stream.ChunkIs("tEXt")) {
    ReadText(stream);
  } else if (stream.ChunkIs("zTXt")) {
    ReadCompressedText(stream);
  } else if ((stream.ChunkType()[0] & 0x20) == 0) {
    throw BadPngStream("Unknown critical chunk");
  }
  // Any other ancillary chunk is passed over.
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
  // Sizes whose pixel array or rows could not be held: the format's limit of 2^31 - 1 for
  // each side, and the image library's pixel limit.
  if (width > 0x7FFFFFFFu || height > 0x7FFFFFFFu || width > (1u << 28) || !BitmapImage::SizeAllowed(width, height))
    throw BadPngStream("Image too large");

  if (colorType == 0 || colorType == 4) {
    std::uint32_t m = bitDepth < 8 ? (1u << bitDepth) - 1 : 255;
    for (std::uint32_t i = 0; i <= m; ++i) {
      std::uint8_t v = std::uint8_t(i * 255 / m);
      palette[i][0] = palette[i][1] = palette[i][2] = v;
    }
  }
  image.SetSize(width, height);
}

void PngDecoder::ReadPalette(PngInputStream& stream) {
  if (paletteRead) throw BadPngStream("Duplicate PLTE block");
  paletteRead = true;
  if (colorType == 0 || colorType == 4) throw BadPngStream("Grayscale image contains a PLTE block");
  std::uint32_t length = stream.ChunkLength();
  if (length % 3 != 0) throw BadPngStream("PLTE chunk length not divisible by 3");
  if (length > 768) throw BadPngStream("PLTE chunk length too large");
  paletteEntryCount = length / 3;
  if (colorType == 3) std::memcpy(palette, stream.ChunkData(), length);
}

std::uint32_t PngDecoder::RowByteCount(std::uint32_t count) const {
  // At most 2^28 pixels of 8 bytes: fits 32 bits.
  switch (colorType) {
    case 2: return bitDepth * count * 3 / 8;
    case 4: return count * 2 * bitDepth / 8;
    case 6: return count * 4 * bitDepth / 8;
    default: return (bitDepth * count + 7) / 8;
  }
}

void PngDecoder::MakePixelTable() {
  for (std::uint32_t i = 0; i < 256; ++i)
    pixelTable[i] = MakePixel(palette[i][0], palette[i][1], palette[i][2], colorType == 3 ? paletteAlpha[i] : 255);
}

void PngDecoder::ReadImageData(PngInputStream& stream, BitmapImage& image) {
  if (imageDataRead) throw BadPngStream("Image Contains Multiple Data Segments");
  imageDataRead = true;
  if (colorType == 3 && !paletteRead) throw BadPngStream("PLTE block must occur before IDAT");
  rowByteCount = RowByteCount(width);
  FreeRowBuffers();
  std::size_t bufferSize = std::size_t(rowByteCount) + 2 * kRowPadding;
  rowBuffers[0] = new std::uint8_t[bufferSize];
  rowBuffers[1] = new std::uint8_t[bufferSize];
  if (interlaceMethod == 1) passPixels = new std::uint32_t[width == 0 ? 1 : width];
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
