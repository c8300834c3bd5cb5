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

}  // namespace

BmpImage ReadBmp(const std::uint8_t* data, std::size_t size, bool fileHeader, std::size_t* consumed) {
  std::size_t pos = 0, offBits = 0, fileSize = 0;
  if (fileHeader) {
    if (size < kFileHeaderSize || data[0] != 'B' || data[1] != 'M') Invalid();
    fileSize = U32(data + 2);
    offBits = U32(data + 10);
    pos = kFileHeaderSize;
  }
  if (size - pos < 12) Invalid();
  const std::size_t headerSize = U32(data + pos);
  if (headerSize != 12 && (headerSize < 40 || headerSize > size - pos)) Invalid();
  const std::uint8_t* h = data + pos;

  long long width, height;
  std::uint32_t bitCount, compression = kRgb, colorsUsed = 0;
  std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  std::size_t after = pos + headerSize;
  if (headerSize == 12) {
    width = U16(h + 4);
    height = U16(h + 6);
    bitCount = U16(h + 10);
  } else {
    width = static_cast<std::int32_t>(U32(h + 4));
    height = static_cast<std::int32_t>(U32(h + 8));
    bitCount = U16(h + 14);
    compression = U32(h + 16);
    colorsUsed = U32(h + 32);
    if (compression == kBitFields || compression == kAlphaBitFields) {
      const std::size_t count = compression == kAlphaBitFields ? 4 : 3;
      const std::uint8_t* m;
      if (headerSize >= 52) {
        m = h + 40;
      } else {
        if (size - after < count * 4) Invalid();
        m = data + after;
        after += count * 4;
      }
      for (std::size_t i = 0; i < count; ++i) masks[i] = U32(m + 4 * i);
      if (headerSize >= 56) masks[3] = U32(h + 52);
    }
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width * height > kMaxBitmapPixels) Invalid();

  const bool validDepth =
      bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
  const bool validCompression =
      compression == kRgb || (compression == kRle8 && bitCount == 8) || (compression == kRle4 && bitCount == 4) ||
      ((compression == kBitFields || compression == kAlphaBitFields) && (bitCount == 16 || bitCount == 32));
  if (!validDepth || !validCompression) Invalid();

  // Palette.
  std::array<std::uint32_t, 256> palette;
  palette.fill(0xFF000000u);
  const std::size_t entrySize = headerSize == 12 ? 3 : 4;
  std::size_t paletteCount = colorsUsed;
  if (bitCount <= 8 && paletteCount == 0) paletteCount = std::size_t{1} << bitCount;
  if (paletteCount > (size - std::min(size, after)) / entrySize) {
    if (bitCount > 8)
      paletteCount = 0;  // an optional palette that is not there
    else
      Invalid();
  }
  for (std::size_t i = 0; i < std::min<std::size_t>(paletteCount, 256); ++i) {
    const std::uint8_t* e = data + after + i * entrySize;
    palette[i] = Opaque(e[0], e[1], e[2]);
  }
  const std::size_t computedOffset = after + paletteCount * entrySize;
  std::size_t pixelOffset = computedOffset;
  if (fileHeader && offBits != 0) pixelOffset = offBits;
  if (pixelOffset > size) Invalid();

  BmpImage image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.bitCount = static_cast<int>(bitCount);
  image.pixelOffset = pixelOffset;
  image.rowStride = static_cast<std::size_t>((width * bitCount + 31) / 32 * 4);
  image.pixels.assign(static_cast<std::size_t>(width * height), 0xFF000000u);
  const std::size_t stride = image.rowStride;
  std::size_t end;

  if (compression == kRle8 || compression == kRle4) {
    const std::uint8_t* p = data + pixelOffset;
    const std::uint8_t* const stop = data + size;
    long long x = 0, y = 0;  // y counts rows from the bottom
    auto put = [&](std::uint32_t index) {
      if (x < width && y < height) {
        const long long row = topDown ? y : height - 1 - y;
        image.pixels[static_cast<std::size_t>(row * width + x)] = palette[index & 0xFF];
      }
      ++x;
    };
    bool done = false;
    while (!done && stop - p >= 2 && y < height) {
      const std::uint32_t count = p[0], value = p[1];
      p += 2;
      if (count > 0) {
        for (std::uint32_t i = 0; i < count && x < width; ++i)
          put(compression == kRle8 ? value : (i % 2 == 0 ? value >> 4 : value & 0x0F));
        continue;
      }
      switch (value) {
        case 0:
          x = 0;
          ++y;
          break;
        case 1: done = true; break;
        case 2:
          if (stop - p < 2) Invalid();
          x += p[0];
          y += p[1];
          p += 2;
          break;
        default: {
          const std::size_t bytes = compression == kRle8 ? value : (value + 1) / 2;
          const std::size_t padded = (bytes + 1) & ~std::size_t{1};
          if (static_cast<std::size_t>(stop - p) < bytes) Invalid();
          for (std::uint32_t i = 0; i < value; ++i)
            put(compression == kRle8 ? p[i] : (i % 2 == 0 ? p[i / 2] >> 4 : p[i / 2] & 0x0F));
          p += std::min<std::size_t>(padded, static_cast<std::size_t>(stop - p));
        }
      }
    }
    end = static_cast<std::size_t>(p - data);
  } else {
    const std::size_t rowBytes = static_cast<std::size_t>((width * bitCount + 7) / 8);
    const std::size_t need = stride * static_cast<std::size_t>(height - 1) + rowBytes;
    if (size - pixelOffset < need) Invalid();
    end = std::min(size, pixelOffset + stride * static_cast<std::size_t>(height));
    std::uint32_t fieldMasks[4] = {masks[0], masks[1], masks[2], masks[3]};
    if (compression == kRgb && bitCount == 16) {
      fieldMasks[0] = 0x7C00;
      fieldMasks[1] = 0x03E0;
      fieldMasks[2] = 0x001F;
      fieldMasks[3] = 0;
    }
    const Channel red(fieldMasks[0]), green(fieldMasks[1]), blue(fieldMasks[2]), alpha(fieldMasks[3]);
    for (long long r = 0; r < height; ++r) {
      const std::uint8_t* src = data + pixelOffset + static_cast<std::size_t>(r) * stride;
      std::uint32_t* dst = image.pixels.data() + (topDown ? r : height - 1 - r) * width;
      for (long long x = 0; x < width; ++x) {
        switch (bitCount) {
          case 1: dst[x] = palette[(src[x / 8] >> (7 - x % 8)) & 1]; break;
          case 4: dst[x] = palette[(src[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F]; break;
          case 8: dst[x] = palette[src[x]]; break;
          case 24: dst[x] = Opaque(src[3 * x], src[3 * x + 1], src[3 * x + 2]); break;
          case 16:
          case 32: {
            if (bitCount == 32 && compression == kRgb) {
              dst[x] = U32(src + 4 * x);
              break;
            }
            const std::uint32_t v = bitCount == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
            dst[x] = (alpha.Get(v, 255) << 24) | (red.Get(v, 0) << 16) | (green.Get(v, 0) << 8) | blue.Get(v, 0);
            break;
          }
        }
      }
    }
  }
  if (consumed != nullptr) {
    *consumed = end;
    if (fileHeader && fileSize >= end && fileSize <= size) *consumed = fileSize;
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
