#include "imaging/BmpDecoder.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "imaging/DataBuffer.h"

namespace Veldaro {

namespace {

// The largest info header defined (the version 5 header); longer headers are accepted, but
// only their first 124 bytes are kept.
constexpr std::uint32_t kMaxKeptHeader = 124;

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
  std::uint8_t bytes[kMaxKeptHeader] = {};  // the info header, zero beyond its size
  std::uint32_t width = 0;
  std::uint32_t height = 0;  // rows, made positive
  bool topDown = false;      // rows stored top row first (negative height)
  std::uint32_t bitCount = 0;
  std::uint32_t compression = 0;
  std::uint32_t masks[4] = {};  // red, green, blue, alpha
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
  std::uint32_t kept = colourCount < 256 ? colourCount : 256;
  std::uint8_t entry[4] = {0, 0, 0, 0};
  for (std::uint32_t i = 0; i < kept; ++i) {
    if (ReadBlock(stream, entry, entrySize) != entrySize) throw BmpError("Premature End of Stream");
    std::memcpy(colourTable[i], entry, entrySize);
  }
  std::uint64_t rest = std::uint64_t(colourCount - kept) * entrySize;
  if (Skip(stream, rest) != rest) throw BmpError("Premature End of Stream");
  byteCount += std::uint64_t(colourCount) * entrySize;
}

void BmpDecoder::ReadImage(std::istream& stream, BitmapImage& image) {
  CallProgressFunction(0);

  std::uint8_t fileHeader[14];
  if (ReadBlock(stream, fileHeader, 14) != 14) throw BmpError("Premature End of Stream");
  if (fileHeader[0] != 'B' || fileHeader[1] != 'M') throw BmpError("Not a BMP Image");
  std::uint32_t pixelOffset = Get32(fileHeader + 10);
  // Bytes consumed so far, in 64 bits so that no header or table size can wrap it.
  std::uint64_t byteCount = 14;

  Header header;
  std::uint8_t sizeBytes[4];
  if (ReadBlock(stream, sizeBytes, 4) != 4) throw BmpError("Premature End of Stream");
  header.headerSize = Get32(sizeBytes);
  // The size is checked before anything is read or allocated with it.
  if (header.headerSize != 12 && header.headerSize < 40) throw BmpError("Invalid header size");
  std::memcpy(header.bytes, sizeBytes, 4);
  {
    // Only the first 124 bytes are kept; the rest of a longer header is read past, so no
    // header size makes the decoder allocate. A longer header that runs past the end of the
    // stream is taken for a wrong size rather than a cut file.
    std::uint32_t kept = header.headerSize < kMaxKeptHeader ? header.headerSize : kMaxKeptHeader;
    if (ReadBlock(stream, header.bytes + 4, kept - 4) != kept - 4) throw BmpError("Premature End of Stream");
    std::uint64_t rest = header.headerSize - kept;
    if (Skip(stream, rest) != rest) throw BmpError("Invalid header size");
  }
  byteCount += header.headerSize;
  colourCount = 0;
  std::memset(colourTable, 0, sizeof colourTable);

  if (header.headerSize == 12) {
    header.width = Get16(header.bytes + 4);
    header.height = Get16(header.bytes + 6);
    header.bitCount = Get16(header.bytes + 10);
    header.compression = 0;
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
  } else {
    header.width = Get32(header.bytes + 4);
    std::int32_t height = std::int32_t(Get32(header.bytes + 8));
    header.topDown = height < 0;
    header.height = height < 0 ? std::uint32_t(-std::int64_t(height)) : std::uint32_t(height);
    header.bitCount = Get16(header.bytes + 14);
    header.compression = Get32(header.bytes + 16);
    colourCount = Get32(header.bytes + 32);
    if (colourCount == 0 && header.bitCount < 16) colourCount = 1u << header.bitCount;
    bool compressionOk;
    switch (header.bitCount) {
      case 1: compressionOk = header.compression == 0; break;
      case 4: compressionOk = header.compression == 0 || header.compression == 2; break;
      case 8: compressionOk = header.compression == 0 || header.compression == 1; break;
      case 16: compressionOk = header.compression == 0 || header.compression == 3; break;
      case 24: compressionOk = header.compression == 0; break;
      case 32: compressionOk = header.compression == 0 || header.compression == 3; break;
      default: throw BmpError("Unsupported bit count: " + std::to_string(header.bitCount));
    }
    if (!compressionOk) throw BmpError("Unsupported Compression");
    if (header.headerSize >= 52) {
      header.masks[0] = Get32(header.bytes + 40);
      header.masks[1] = Get32(header.bytes + 44);
      header.masks[2] = Get32(header.bytes + 48);
    } else if (header.compression == 3) {
      // A short header is followed by the three masks.
      std::uint8_t masks[12];
      if (ReadBlock(stream, masks, 12) != 12) throw BmpError("Premature End of Stream");
      header.masks[0] = Get32(masks);
      header.masks[1] = Get32(masks + 4);
      header.masks[2] = Get32(masks + 8);
      byteCount += 12;
    }
    if (header.headerSize >= 108) header.masks[3] = Get32(header.bytes + 52);
    if (colourCount != 0) ReadColourTable(stream, 4, byteCount);
  }

  if (!BitmapImage::SizeAllowed(header.width, header.height)) throw BmpError("Image too large");
  image.SetSize(header.width, header.height);

  if (pixelOffset < byteCount) throw BmpError("Corrupt File");
  Skip(stream, pixelOffset - byteCount);

  switch (header.bitCount) {
    case 1:
    case 2: ReadPaletteRows(stream, header, image); break;
    case 4:
      if (header.compression != 0)
        ReadRle(stream, header, image, true);
      else
        ReadPaletteRows(stream, header, image);
      break;
    case 8:
      if (header.compression != 0)
        ReadRle(stream, header, image, false);
      else
        ReadPaletteRows(stream, header, image);
      break;
    case 16:
    case 32: ReadBitFieldRows(stream, header, image); break;
    case 24: Read24BitRows(stream, header, image); break;
  }
  CallProgressFunction(100);
}

namespace {

// Image row of file row r.
inline std::uint32_t ImageRow(std::uint32_t fileRow, std::uint32_t height, bool topDown) {
  return topDown ? fileRow : height - 1 - fileRow;
}

inline std::uint32_t RowPercent(std::uint32_t row, std::uint32_t rows) {
  return std::uint32_t(std::uint64_t(row) * 100 / rows);
}

// Row size in bytes, padded to a multiple of 4.
inline std::uint32_t PaddedRowSize(std::uint64_t bits) { return std::uint32_t(((bits + 31) / 32) * 4); }

}  // namespace

void BmpDecoder::ReadPaletteRows(std::istream& stream, const Header& header, BitmapImage& image) {
  // An image without pixels reads no rows (its row buffer could be huge, its rows many).
  if (image.PixelCount() == 0) return;
  const std::uint32_t bits = header.bitCount;
  const std::uint32_t rowSize = PaddedRowSize(std::uint64_t(bits) * header.width);
  const std::uint32_t perByte = 8 / bits;
  const std::uint32_t fieldMask = (1u << bits) - 1;
  DataBuffer<std::uint8_t> row(rowSize);
  // Pixel words of the colour table entries; alpha stays 0.
  std::uint32_t colours[256];
  for (int i = 0; i < 256; ++i) colours[i] = MakePixel(colourTable[i][2], colourTable[i][1], colourTable[i][0], 0);

  for (std::uint32_t r = 0; r < header.height; ++r) {
    CallProgressFunction(RowPercent(r, header.height));
    if (ReadBlock(stream, row.Data(), rowSize) != rowSize) throw BmpError("Premature End of Stream");
    std::uint32_t* out = image.Row(ImageRow(r, header.height, header.topDown));
    const std::uint8_t* in = row.Data();
    if (bits == 8) {
      for (std::uint32_t x = 0; x < header.width; ++x) out[x] = colours[in[x]];
    } else {
      for (std::uint32_t x = 0; x < header.width; ++x) {
        std::uint32_t shift = (perByte - 1 - x % perByte) * bits;
        out[x] = colours[(in[x / perByte] >> shift) & fieldMask];
      }
    }
  }
}

void BmpDecoder::Read24BitRows(std::istream& stream, const Header& header, BitmapImage& image) {
  // An image without pixels reads no rows (its row buffer could be huge, its rows many).
  if (image.PixelCount() == 0) return;
  const std::uint32_t rowSize = PaddedRowSize(std::uint64_t(24) * header.width);
  DataBuffer<std::uint8_t> row(rowSize);
  for (std::uint32_t r = 0; r < header.height; ++r) {
    CallProgressFunction(RowPercent(r, header.height));
    if (ReadBlock(stream, row.Data(), rowSize) != rowSize) throw BmpError("Premature End of Stream");
    std::uint32_t* out = image.Row(ImageRow(r, header.height, header.topDown));
    const std::uint8_t* in = row.Data();
    for (std::uint32_t x = 0; x < header.width; ++x, in += 3) out[x] = MakePixel(in[2], in[1], in[0], 0);
  }
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
  std::uint32_t masks[4] = {header.masks[0], header.masks[1], header.masks[2], header.masks[3]};
  static const std::uint32_t kDefault16[3] = {0x7C00, 0x03E0, 0x001F};
  static const std::uint32_t kDefault32[3] = {0x00FF0000, 0x0000FF00, 0x000000FF};
  for (int i = 0; i < 3; ++i)
    if (masks[i] == 0) masks[i] = is16 ? kDefault16[i] : kDefault32[i];
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j)
      if ((masks[i] & masks[j]) != 0) throw BmpError("Overlapping component mask");
  Component red, green, blue, alpha;
  red.Set(masks[0]);
  green.Set(masks[1]);
  blue.Set(masks[2]);
  alpha.Set(masks[3]);

  // An image without pixels reads no rows (its row buffer could be huge, its rows many).
  if (image.PixelCount() == 0) return;
  const std::uint32_t rowSize = PaddedRowSize(std::uint64_t(header.bitCount) * header.width);
  DataBuffer<std::uint8_t> row(rowSize);
  for (std::uint32_t r = 0; r < header.height; ++r) {
    CallProgressFunction(RowPercent(r, header.height));
    if (ReadBlock(stream, row.Data(), rowSize) != rowSize) throw BmpError("Premature End of Stream");
    std::uint32_t* out = image.Row(ImageRow(r, header.height, header.topDown));
    const std::uint8_t* in = row.Data();
    for (std::uint32_t x = 0; x < header.width; ++x) {
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
  }
}

void BmpDecoder::ReadRle(std::istream& stream, const Header& header, BitmapImage& image, bool rle4) {
  if (header.topDown) throw BmpError("Negative height not allowed in an RLE image");
  const std::uint32_t width = header.width;
  const std::uint32_t height = header.height;
  std::uint32_t colours[256];
  for (int i = 0; i < 256; ++i) colours[i] = MakePixel(colourTable[i][2], colourTable[i][1], colourTable[i][0], 0);

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
