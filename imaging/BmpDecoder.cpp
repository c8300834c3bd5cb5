#include "imaging/BmpDecoder.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "imaging/DecoderLimits.h"

namespace Veldaro {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
// The OS/2 core header; every other header has at least kInfoHeaderSize bytes.
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
// Headers of these sizes and more hold the three colour masks, and the alpha mask.
constexpr std::uint32_t kHeaderWithMasks = 52;
constexpr std::uint32_t kHeaderWithAlphaMask = 108;
// The largest info header defined (the version 5 header); longer headers are accepted, but
// only their first 124 bytes are kept.
constexpr std::uint32_t kMaxKeptHeader = 124;

// The compressions.
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;

std::uint32_t Get16(const std::uint8_t* p) { return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8; }
std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// Reads count bytes; returns how many came.
std::uint64_t ReadBlock(std::istream& stream, void* data, std::uint64_t count) {
  stream.read(static_cast<char*>(data), std::streamsize(count));
  return std::uint64_t(stream.gcount());
}

// Discards count bytes; returns how many were there.
std::uint64_t Skip(std::istream& stream, std::uint64_t count) {
  if (count == 0) return 0;
  stream.ignore(std::streamsize(count));
  return std::uint64_t(stream.gcount());
}

}  // namespace

struct BmpDecoder::Header {
  std::uint32_t headerSize = 0;
  std::array<std::uint8_t, kMaxKeptHeader> bytes = {};  // the info header, zero beyond its size
  std::uint32_t width = 0;
  std::uint32_t height = 0;  // rows, made positive
  bool topDown = false;      // rows stored top row first (negative height)
  std::uint32_t bitCount = 0;
  std::uint32_t compression = 0;
  std::array<std::uint32_t, 4> masks = {};  // red, green, blue, alpha
  std::uint32_t pixelOffset = 0;            // of the pixel data, from the start of the file

  bool Rle() const { return compression == kRle8 || compression == kRle4; }
  // Bytes of one uncompressed row, padded to a multiple of 4, in 64 bits.
  std::uint64_t RowSize() const { return (std::uint64_t(bitCount) * width + 31) / 32 * 4; }
};

void BmpDecoder::CallProgressFunction(std::uint32_t percent) {
  if (progressFunction == nullptr) return;
  bool cancel = false;
  progressFunction(this, progressData, 1, 1, percent, cancel);
  if (cancel) throw GraphicsAbort();
}

void BmpDecoder::ReadImageFile(const std::string& fileName, BitmapImage& image) {
  errno = 0;
  std::ifstream file(fileName, std::ios::in | std::ios::binary);
  if (!file.is_open()) {
    int error = errno;
    throw BmpError("Can't open input file '" + fileName + "'\n" + std::strerror(error));
  }
  ReadImage(file, image);
}

void BmpDecoder::ReadColourTable(std::istream& stream, std::uint32_t entrySize, std::uint64_t& byteCount) {
  // The table has 256 entries; entries beyond them are read past.
  const std::uint32_t kept = std::min<std::uint32_t>(colourCount, kColourTableSize);
  std::array<std::uint8_t, 4> entry = {0, 0, 0, 0};
  for (std::uint32_t i = 0; i < kept; ++i) {
    if (ReadBlock(stream, entry.data(), entrySize) != entrySize) throw BmpError("Premature End of Stream");
    std::copy_n(entry.begin(), entrySize, colourTable[i].begin());
  }
  const std::uint64_t rest = std::uint64_t(colourCount - kept) * entrySize;
  if (Skip(stream, rest) != rest) throw BmpError("Premature End of Stream");
  byteCount += std::uint64_t(colourCount) * entrySize;
}

std::array<std::uint32_t, BmpDecoder::kColourTableSize> BmpDecoder::ColourPixels() const {
  std::array<std::uint32_t, kColourTableSize> pixels;
  for (std::size_t i = 0; i < kColourTableSize; ++i)
    pixels[i] = MakePixel(colourTable[i][2], colourTable[i][1], colourTable[i][0], 0);
  return pixels;
}

void BmpDecoder::ReadImage(std::istream& stream, BitmapImage& image) {
  CallProgressFunction(0);
  Header header;
  header.pixelOffset = ReadFileHeader(stream);
  // Bytes consumed so far, in 64 bits so that no header or table size can wrap it.
  std::uint64_t byteCount = kFileHeaderSize;
  ReadInfoHeader(stream, header, byteCount);
  colourCount = 0;
  colourTable = {};
  if (header.headerSize == kCoreHeaderSize) {
    ReadCoreFields(stream, header, byteCount);
  } else {
    ReadInfoFields(stream, header, byteCount);
  }
  SizeImage(header, image);
  if (header.pixelOffset < byteCount) throw BmpError("Corrupt File");
  Skip(stream, header.pixelOffset - byteCount);
  ReadPixels(stream, header, image);
  CallProgressFunction(100);
}

std::uint32_t BmpDecoder::ReadFileHeader(std::istream& stream) {
  std::array<std::uint8_t, kFileHeaderSize> fileHeader;
  if (ReadBlock(stream, fileHeader.data(), kFileHeaderSize) != kFileHeaderSize)
    throw BmpError("Premature End of Stream");
  if (fileHeader[0] != 'B' || fileHeader[1] != 'M') throw BmpError("Not a BMP Image");
  return Get32(fileHeader.data() + 10);
}

void BmpDecoder::ReadInfoHeader(std::istream& stream, Header& header, std::uint64_t& byteCount) {
  std::uint8_t sizeBytes[4];
  if (ReadBlock(stream, sizeBytes, 4) != 4) throw BmpError("Premature End of Stream");
  header.headerSize = Get32(sizeBytes);
  // The size is checked before anything is read with it.
  if (header.headerSize != kCoreHeaderSize && header.headerSize < kInfoHeaderSize)
    throw BmpError("Invalid header size");
  std::copy_n(sizeBytes, 4, header.bytes.begin());
  // Only the first 124 bytes are kept; the rest of a longer header is read past, so no
  // header size makes the decoder allocate. A longer header that runs past the end of the
  // stream is taken for a wrong size rather than a cut file.
  const std::uint32_t kept = std::min(header.headerSize, kMaxKeptHeader);
  if (ReadBlock(stream, header.bytes.data() + 4, kept - 4) != kept - 4) throw BmpError("Premature End of Stream");
  const std::uint64_t rest = header.headerSize - kept;
  if (Skip(stream, rest) != rest) throw BmpError("Invalid header size");
  byteCount += header.headerSize;
}

void BmpDecoder::ReadCoreFields(std::istream& stream, Header& header, std::uint64_t& byteCount) {
  const std::uint8_t* b = header.bytes.data();
  header.width = Get16(b + 4);
  header.height = Get16(b + 6);
  header.bitCount = Get16(b + 10);
  header.compression = kUncompressed;
  switch (header.bitCount) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: break;
    default:
      // Such a file would decode to nothing at all; refuse it rather than report success.
      throw BmpError("Unsupported bit count: " + std::to_string(header.bitCount));
  }
  if (header.bitCount <= 8) {
    colourCount = 1u << header.bitCount;
    ReadColourTable(stream, 3, byteCount);
  }
}

void BmpDecoder::ReadInfoFields(std::istream& stream, Header& header, std::uint64_t& byteCount) {
  const std::uint8_t* b = header.bytes.data();
  header.width = Get32(b + 4);
  const std::int32_t height = std::int32_t(Get32(b + 8));
  header.topDown = height < 0;
  header.height = height < 0 ? std::uint32_t(-std::int64_t(height)) : std::uint32_t(height);
  header.bitCount = Get16(b + 14);
  header.compression = Get32(b + 16);
  colourCount = Get32(b + 32);
  if (colourCount == 0 && header.bitCount < 16) colourCount = 1u << header.bitCount;
  bool compressionOk;
  switch (header.bitCount) {
    case 1: compressionOk = header.compression == kUncompressed; break;
    case 4: compressionOk = header.compression == kUncompressed || header.compression == kRle4; break;
    case 8: compressionOk = header.compression == kUncompressed || header.compression == kRle8; break;
    case 16:
    case 32: compressionOk = header.compression == kUncompressed || header.compression == kBitFields; break;
    case 24: compressionOk = header.compression == kUncompressed; break;
    default: throw BmpError("Unsupported bit count: " + std::to_string(header.bitCount));
  }
  if (!compressionOk) throw BmpError("Unsupported Compression");
  if (header.headerSize >= kHeaderWithMasks) {
    for (std::size_t i = 0; i < 3; ++i) header.masks[i] = Get32(b + 40 + 4 * i);
  } else if (header.compression == kBitFields) {
    // A short header is followed by the three masks.
    std::uint8_t masks[12];
    if (ReadBlock(stream, masks, 12) != 12) throw BmpError("Premature End of Stream");
    for (std::size_t i = 0; i < 3; ++i) header.masks[i] = Get32(masks + 4 * i);
    byteCount += 12;
  }
  if (header.headerSize >= kHeaderWithAlphaMask) header.masks[3] = Get32(b + 52);
  if (colourCount != 0) ReadColourTable(stream, 4, byteCount);
}

void BmpDecoder::SizeImage(const Header& header, BitmapImage& image) {
  // What the decode holds beside the pixels: one uncompressed row, when there are rows to
  // read at all (an image without pixels reads none, however wide its rows would be).
  const bool hasPixels = header.width != 0 && header.height != 0;
  const std::uint64_t rowBuffer = hasPixels && !header.Rle() ? header.RowSize() : 0;
  if (!WithinDecoderLimits(header.width, header.height, rowBuffer)) throw BmpError("Image too large");
  image.SetSize(header.width, header.height);
}

void BmpDecoder::ReadPixels(std::istream& stream, const Header& header, BitmapImage& image) {
  switch (header.bitCount) {
    case 1:
    case 2: ReadPaletteRows(stream, header, image); break;
    case 4:
      if (header.compression != kUncompressed)
        ReadRle(stream, header, image, true);
      else
        ReadPaletteRows(stream, header, image);
      break;
    case 8:
      if (header.compression != kUncompressed)
        ReadRle(stream, header, image, false);
      else
        ReadPaletteRows(stream, header, image);
      break;
    case 16:
    case 32: ReadBitFieldRows(stream, header, image); break;
    case 24: Read24BitRows(stream, header, image); break;
  }
}

namespace {

// Image row of file row r.
inline std::uint32_t ImageRow(std::uint32_t fileRow, std::uint32_t height, bool topDown) {
  return topDown ? fileRow : height - 1 - fileRow;
}

inline std::uint32_t RowPercent(std::uint32_t row, std::uint32_t rows) {
  return std::uint32_t(std::uint64_t(row) * 100 / rows);
}

}  // namespace

template <typename Convert>
void BmpDecoder::ReadRows(std::istream& stream, const Header& header, BitmapImage& image, Convert convert) {
  // An image without pixels reads no rows: they could be many, and its row buffer huge.
  if (image.PixelCount() == 0) return;
  // SizeImage has checked the row against the limits: it fits in memory.
  const std::size_t rowSize = std::size_t(header.RowSize());
  std::vector<std::uint8_t> row(rowSize);
  for (std::uint32_t r = 0; r < header.height; ++r) {
    CallProgressFunction(RowPercent(r, header.height));
    if (ReadBlock(stream, row.data(), rowSize) != rowSize) throw BmpError("Premature End of Stream");
    convert(row.data(), image.Row(ImageRow(r, header.height, header.topDown)));
  }
}

void BmpDecoder::ReadPaletteRows(std::istream& stream, const Header& header, BitmapImage& image) {
  const std::uint32_t bits = header.bitCount;
  const std::uint32_t perByte = 8 / bits;
  const std::uint32_t fieldMask = (1u << bits) - 1;
  const std::uint32_t width = header.width;
  const std::array<std::uint32_t, kColourTableSize> colours = ColourPixels();
  ReadRows(stream, header, image, [&](const std::uint8_t* in, std::uint32_t* out) {
    if (bits == 8) {
      for (std::uint32_t x = 0; x < width; ++x) out[x] = colours[in[x]];
      return;
    }
    for (std::uint32_t x = 0; x < width; ++x) {
      const std::uint32_t shift = (perByte - 1 - x % perByte) * bits;
      out[x] = colours[(in[x / perByte] >> shift) & fieldMask];
    }
  });
}

void BmpDecoder::Read24BitRows(std::istream& stream, const Header& header, BitmapImage& image) {
  const std::uint32_t width = header.width;
  ReadRows(stream, header, image, [width](const std::uint8_t* in, std::uint32_t* out) {
    for (std::uint32_t x = 0; x < width; ++x, in += 3) out[x] = MakePixel(in[2], in[1], in[0], 0);
  });
}

namespace {

// One colour component of a bit-field pixel: the top eight bits of its field. A field of
// fewer than eight bits whose top lies below bit 8 is shifted up instead, so that a full
// field gives a full byte whatever its place (the blue of 5-5-5 gives 0xF8 like red).
struct Component {
  std::uint32_t mask = 0;
  int downShift = 0;  // negative: shift up
  void Set(std::uint32_t m) {
    mask = m;
    int shift = 32, width = 0;
    if (m != 0) {
      shift = 0;
      while (((m >> shift) & 1u) == 0) ++shift;
      while (shift + width < 32 && ((m >> (shift + width)) & 1u) != 0) ++width;
    }
    downShift = shift + width - 8;
  }
  std::uint32_t Of(std::uint32_t v) const {
    std::uint32_t field = v & mask;
    return (downShift >= 0 ? field >> downShift : field << -downShift) & 0xFFu;
  }
};

}  // namespace

void BmpDecoder::ReadBitFieldRows(std::istream& stream, const Header& header, BitmapImage& image) {
  const bool is16 = header.bitCount == 16;
  std::array<std::uint32_t, 4> masks = header.masks;
  static constexpr std::uint32_t kDefault16[3] = {0x7C00, 0x03E0, 0x001F};
  static constexpr std::uint32_t kDefault32[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
  for (std::size_t i = 0; i < 3; ++i)
    if (masks[i] == 0) masks[i] = is16 ? kDefault16[i] : kDefault32[i];
  for (std::size_t i = 0; i < 4; ++i)
    for (std::size_t j = i + 1; j < 4; ++j)
      if ((masks[i] & masks[j]) != 0) throw BmpError("Overlapping component mask");
  Component red, green, blue, alpha;
  red.Set(masks[0]);
  green.Set(masks[1]);
  blue.Set(masks[2]);
  alpha.Set(masks[3]);

  const std::uint32_t width = header.width;
  ReadRows(stream, header, image, [&](const std::uint8_t* in, std::uint32_t* out) {
    for (std::uint32_t x = 0; x < width; ++x) {
      std::uint32_t v;
      if (is16) {
        v = Get16(in);
        in += 2;
      } else {
        v = Get32(in);
        in += 4;
      }
      out[x] = alpha.Of(v) << 24 | red.Of(v) << 16 | green.Of(v) << 8 | blue.Of(v);
    }
  });
}

void BmpDecoder::ReadRle(std::istream& stream, const Header& header, BitmapImage& image, bool rle4) {
  if (header.topDown) throw BmpError("Negative height not allowed in an RLE image");
  const std::uint32_t width = header.width;
  const std::uint32_t height = header.height;
  const std::array<std::uint32_t, kColourTableSize> colours = ColourPixels();

  // Signed and wide, so that deltas above the top row or far to the right cannot wrap.
  std::int64_t row = std::int64_t(height) - 1;
  std::uint64_t column = 0;
  std::uint8_t data[256];

  // A run of count pixels must lie inside the current row.
  auto target = [&](std::uint32_t count) -> std::uint32_t* {
    if (row < 0 || row >= std::int64_t(height) || column + count > width) throw BmpError("Corrupt Data");
    std::uint32_t* out = image.Row(std::uint32_t(row)) + column;
    column += count;
    return out;
  };

  for (;;) {
    // Percent of rows finished; a row above the top counts as all rows done.
    std::int64_t finished = std::int64_t(height) - 1 - row;
    std::uint32_t percent =
        height == 0 ? 100 : std::uint32_t(finished >= std::int64_t(height) ? 100 : finished * 100 / height);
    CallProgressFunction(percent);
    std::uint8_t pair[2];
    if (ReadBlock(stream, pair, 2) != 2) break;
    std::uint32_t count = pair[0], value = pair[1];
    if (count > 0) {
      std::uint32_t* out = target(count);
      if (rle4) {
        std::uint32_t first = colours[value >> 4], second = colours[value & 0x0F];
        for (std::uint32_t i = 0; i < count; ++i) out[i] = (i & 1) ? second : first;
      } else {
        std::uint32_t colour = colours[value];
        for (std::uint32_t i = 0; i < count; ++i) out[i] = colour;
      }
    } else if (value == 0) {
      --row;
      column = 0;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      std::uint8_t delta[2];
      if (ReadBlock(stream, delta, 2) != 2) break;
      column += delta[0];
      row -= delta[1];
    } else {
      std::uint32_t* out = target(value);
      std::uint32_t bytes = rle4 ? (value + 1) / 2 : value;
      bool pad = rle4 ? (value % 4 == 1 || value % 4 == 2) : (value & 1) != 0;
      if (pad) ++bytes;
      if (ReadBlock(stream, data, bytes) != bytes) break;
      if (rle4) {
        for (std::uint32_t i = 0; i < value; ++i) out[i] = colours[(i & 1) ? (data[i / 2] & 0x0F) : (data[i / 2] >> 4)];
      } else {
        for (std::uint32_t i = 0; i < value; ++i) out[i] = colours[data[i]];
      }
    }
  }
  // The stream ended before the end-of-bitmap code.
  throw BmpError("Corrupt Data");
}

}  // namespace Veldaro
