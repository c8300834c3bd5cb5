#include "platform/vcl/BitmapBmpFormat.h"

#include <algorithm>
#include <array>
#include <climits>

#include "platform/vcl/GraphicsErrors.h"

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

std::uint32_t U16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

[[noreturn]] void Invalid() { throw EInvalidGraphic("Bitmap image is not valid"); }

std::uint32_t Opaque(std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  return 0xFF000000u | (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | b;
}

// One colour channel of a bit-field mask.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;

  explicit Channel(std::uint32_t m) : mask(m) {
    if (m == 0) return;
    while (((m >> shift) & 1) == 0) ++shift;
    max = m >> shift;
    // Masks with holes count only their lowest run of bits.
    std::uint32_t run = 0;
    while (run < 32 && ((max >> run) & 1)) ++run;
    max = run >= 32 ? 0xFFFFFFFFu : (1u << run) - 1;
  }
  std::uint32_t Get(std::uint32_t value, std::uint32_t absent) const {
    if (mask == 0 || max == 0) return absent;
    const std::uint64_t v = (value >> shift) & max;
    return static_cast<std::uint32_t>((v * 255 + max / 2) / max);
  }
};

// What the file and info headers say.
struct BmpHeader {
  std::size_t fileSize = 0;    // from the file header (0 without one)
  std::size_t offBits = 0;     // where the file header puts the pixels (0: after the palette)
  std::size_t headerSize = 0;  // of the info header: 12 (old) or 40 and more
  std::size_t paletteAt = 0;   // where the palette starts (after the masks that follow a 40-byte header)
  long long width = 0;
  long long height = 0;  // positive; rows are stored bottom-up unless topDown
  bool topDown = false;
  std::uint32_t bitCount = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t colorsUsed = 0;
  std::array<std::uint32_t, 4> masks{};  // red, green, blue, alpha
};

// The bit-field masks: inside a header of 52 bytes and more, else right
// after the 40-byte header.
void ReadMasks(const std::uint8_t* data, std::size_t size, BmpHeader& header) {
  const std::size_t count = header.compression == kAlphaBitFields ? 4 : 3;
  const std::uint8_t* h = data + header.paletteAt - header.headerSize;
  const std::uint8_t* m = h + 40;
  if (header.headerSize < 52) {
    if (size - header.paletteAt < count * 4) Invalid();
    m = data + header.paletteAt;
    header.paletteAt += count * 4;
  }
  for (std::size_t i = 0; i < count; ++i) header.masks[i] = U32(m + 4 * i);
  if (header.headerSize >= 56) header.masks[3] = U32(h + 52);
}

BmpHeader ReadHeaders(const std::uint8_t* data, std::size_t size, bool fileHeader) {
  BmpHeader header;
  std::size_t pos = 0;
  if (fileHeader) {
    if (size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M') Invalid();
    header.fileSize = U32(data + 2);
    header.offBits = U32(data + 10);
    pos = kFileHeaderSize;
  }
  if (size - pos < 12) Invalid();
  header.headerSize = U32(data + pos);
  if (header.headerSize != 12 && (header.headerSize < 40 || header.headerSize > size - pos)) Invalid();
  const std::uint8_t* h = data + pos;
  header.paletteAt = pos + header.headerSize;
  if (header.headerSize == 12) {
    header.width = U16(h + 4);
    header.height = U16(h + 6);
    header.bitCount = U16(h + 10);
  } else {
    header.width = static_cast<std::int32_t>(U32(h + 4));
    header.height = static_cast<std::int32_t>(U32(h + 8));
    header.bitCount = U16(h + 14);
    header.compression = U32(h + 16);
    header.colorsUsed = U32(h + 32);
    if (header.compression == kBitFields || header.compression == kAlphaBitFields) ReadMasks(data, size, header);
  }
  header.topDown = header.height < 0;
  if (header.topDown) header.height = -header.height;
  return header;
}

// Refuses sizes, depths and compressions the reader does not take.
void Validate(const BmpHeader& h) {
  if (h.width <= 0 || h.height <= 0 || h.width * h.height > kMaxBitmapPixels) Invalid();
  const std::uint32_t c = h.compression, bits = h.bitCount;
  const bool validDepth = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  const bool validCompression = c == kRgb || (c == kRle8 && bits == 8) || (c == kRle4 && bits == 4) ||
                                ((c == kBitFields || c == kAlphaBitFields) && (bits == 16 || bits == 32));
  if (!validDepth || !validCompression) Invalid();
}

using Palette = std::array<std::uint32_t, 256>;

// The palette (entries past 256 are skipped) and where the pixels start.
Palette ReadPalette(const std::uint8_t* data, std::size_t size, const BmpHeader& h, std::size_t& pixelOffset) {
  Palette palette;
  palette.fill(0xFF000000u);
  const std::size_t entrySize = h.headerSize == 12 ? 3 : 4;
  std::size_t count = h.colorsUsed;
  if (h.bitCount <= 8 && count == 0) count = std::size_t{1} << h.bitCount;
  if (count > (size - std::min(size, h.paletteAt)) / entrySize) {
    if (h.bitCount <= 8) Invalid();
    count = 0;  // an optional palette that is not there
  }
  for (std::size_t i = 0; i < std::min<std::size_t>(count, palette.size()); ++i) {
    const std::uint8_t* e = data + h.paletteAt + i * entrySize;
    palette[i] = Opaque(e[0], e[1], e[2]);
  }
  pixelOffset = h.offBits != 0 ? h.offBits : h.paletteAt + count * entrySize;
  if (pixelOffset > size) Invalid();
  return palette;
}

// RLE8 and RLE4: runs, absolute runs, line ends, deltas and the end mark.
// Pixels outside the bitmap are dropped. Answers where the data ended.
std::size_t DecodeRunLength(const std::uint8_t* data, std::size_t size, const BmpHeader& h, const Palette& palette,
                            BmpImage& image) {
  const bool rle8 = h.compression == kRle8;
  const std::uint8_t* p = data + image.pixelOffset;
  const std::uint8_t* const stop = data + size;
  long long x = 0, y = 0;  // y counts rows from the bottom
  auto put = [&](std::uint32_t index) {
    if (x < h.width && y < h.height) {
      const long long row = h.topDown ? y : h.height - 1 - y;
      image.pixels[static_cast<std::size_t>(row * h.width + x)] = palette[index & 0xFF];
    }
    ++x;
  };
  auto nibble = [](std::uint8_t byte, std::uint32_t i) -> std::uint32_t {
    return i % 2 == 0 ? byte >> 4 : byte & 0x0F;
  };
  constexpr std::uint32_t kEndOfLine = 0, kEndOfBitmap = 1, kDelta = 2;
  while (stop - p >= 2 && y < h.height) {
    const std::uint32_t count = p[0], value = p[1];
    p += 2;
    if (count > 0) {
      for (std::uint32_t i = 0; i < count && x < h.width; ++i)
        put(rle8 ? value : nibble(static_cast<std::uint8_t>(value), i));
      continue;
    }
    if (value == kEndOfBitmap) break;
    if (value == kEndOfLine) {
      x = 0;
      ++y;
    } else if (value == kDelta) {
      if (stop - p < 2) Invalid();
      x += p[0];
      y += p[1];
      p += 2;
    } else {
      const std::size_t bytes = rle8 ? value : (value + 1) / 2;
      const std::size_t padded = (bytes + 1) & ~std::size_t{1};
      if (static_cast<std::size_t>(stop - p) < bytes) Invalid();
      for (std::uint32_t i = 0; i < value; ++i) put(rle8 ? p[i] : nibble(p[i / 2], i));
      p += std::min<std::size_t>(padded, static_cast<std::size_t>(stop - p));
    }
  }
  return static_cast<std::size_t>(p - data);
}

// Uncompressed rows of every depth (16 bits without masks is 5-5-5).
// Answers where the data ended.
std::size_t DecodeRows(const std::uint8_t* data, std::size_t size, const BmpHeader& h, const Palette& palette,
                       BmpImage& image) {
  const std::size_t stride = image.rowStride;
  const std::size_t rowBytes = static_cast<std::size_t>((h.width * h.bitCount + 7) / 8);
  const std::size_t need = stride * static_cast<std::size_t>(h.height - 1) + rowBytes;
  if (size - image.pixelOffset < need) Invalid();
  std::array<std::uint32_t, 4> fieldMasks = h.masks;
  if (h.compression == kRgb && h.bitCount == 16) fieldMasks = {0x7C00, 0x03E0, 0x001F, 0};
  const Channel red(fieldMasks[0]), green(fieldMasks[1]), blue(fieldMasks[2]), alpha(fieldMasks[3]);
  const bool plain32 = h.bitCount == 32 && h.compression == kRgb;
  for (long long r = 0; r < h.height; ++r) {
    const std::uint8_t* src = data + image.pixelOffset + static_cast<std::size_t>(r) * stride;
    std::uint32_t* dst = image.pixels.data() + (h.topDown ? r : h.height - 1 - r) * h.width;
    for (long long x = 0; x < h.width; ++x) {
      switch (h.bitCount) {
        case 1: dst[x] = palette[(src[x / 8] >> (7 - x % 8)) & 1]; break;
        case 4: dst[x] = palette[(src[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F]; break;
        case 8: dst[x] = palette[src[x]]; break;
        case 24: dst[x] = Opaque(src[3 * x], src[3 * x + 1], src[3 * x + 2]); break;
        default: {
          const std::uint32_t v = h.bitCount == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
          dst[x] =
              plain32 ? v : (alpha.Get(v, 255) << 24) | (red.Get(v, 0) << 16) | (green.Get(v, 0) << 8) | blue.Get(v, 0);
        }
      }
    }
  }
  return std::min(size, image.pixelOffset + stride * static_cast<std::size_t>(h.height));
}

}  // namespace

BmpImage ReadBmp(const std::uint8_t* data, std::size_t size, bool fileHeader, std::size_t* consumed) {
  const BmpHeader header = ReadHeaders(data, size, fileHeader);
  Validate(header);
  BmpImage image;
  const Palette palette = ReadPalette(data, size, header, image.pixelOffset);
  image.width = static_cast<int>(header.width);
  image.height = static_cast<int>(header.height);
  image.bitCount = static_cast<int>(header.bitCount);
  image.rowStride = static_cast<std::size_t>((header.width * header.bitCount + 31) / 32 * 4);
  image.pixels.assign(static_cast<std::size_t>(header.width * header.height), 0xFF000000u);
  const bool runLength = header.compression == kRle8 || header.compression == kRle4;
  const std::size_t end =
      runLength ? DecodeRunLength(data, size, header, palette, image) : DecodeRows(data, size, header, palette, image);
  if (consumed != nullptr) {
    *consumed = end;
    if (fileHeader && header.fileSize >= end && header.fileSize <= size) *consumed = header.fileSize;
  }
  return image;
}

std::vector<std::uint8_t> WriteBmp(const std::uint32_t* pixels, int width, int height, int bitCount) {
  if (bitCount != 32) bitCount = 24;
  width = std::max(width, 0);
  height = std::max(height, 0);
  const std::size_t stride = (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
  const std::size_t imageSize = stride * static_cast<std::size_t>(height);
  const std::size_t offset = kFileHeaderSize + 40;
  std::vector<std::uint8_t> out(offset + imageSize, 0);
  auto put16 = [&](std::size_t at, std::uint32_t v) {
    out[at] = v & 0xFF;
    out[at + 1] = (v >> 8) & 0xFF;
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = (v >> (8 * i)) & 0xFF;
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(out.size()));
  put32(10, static_cast<std::uint32_t>(offset));
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  put16(26, 1);
  put16(28, static_cast<std::uint32_t>(bitCount));
  put32(34, static_cast<std::uint32_t>(imageSize));
  put32(38, 3780);  // 96 dots per inch
  put32(42, 3780);
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* src = pixels + static_cast<std::size_t>(height - 1 - y) * width;
    std::uint8_t* dst = out.data() + offset + static_cast<std::size_t>(y) * stride;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = src[x];
      if (bitCount == 32) {
        put32(static_cast<std::size_t>(dst - out.data()) + 4 * x, p);
      } else {
        dst[3 * x] = p & 0xFF;
        dst[3 * x + 1] = (p >> 8) & 0xFF;
        dst[3 * x + 2] = (p >> 16) & 0xFF;
      }
    }
  }
  return out;
}
