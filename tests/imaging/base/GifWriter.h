#pragma once
// A small GIF encoder for the tests: LZW with the GIF code-size rules, with options for
// deferred clears, early ends and sub-block sizes, plus raw code packing for hand-made data.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "tests/imaging/base/TestSupport.h"

namespace ImagingTest {

// Packs codes least significant bit first.
class CodePacker {
 public:
  void Put(std::uint32_t code, std::uint32_t size) {
    buffer |= std::uint64_t(code) << bits;
    bits += size;
    while (bits >= 8) {
      out.push_back(std::uint8_t(buffer));
      buffer >>= 8;
      bits -= 8;
    }
  }
  Bytes Finish() {
    if (bits > 0) out.push_back(std::uint8_t(buffer));
    buffer = 0;
    bits = 0;
    return out;
  }

 private:
  Bytes out;
  std::uint64_t buffer = 0;
  std::uint32_t bits = 0;
};

struct LzwOptions {
  bool leadingClear = true;
  // With the table full: false sends a clear code at once (as most encoders do); true keeps
  // sending 12-bit codes without new entries (a deferred clear) and sends a clear code only
  // after clearAfterFull more codes (never when negative).
  bool deferredClear = false;
  int clearAfterFull = -1;
  // Encode only the first pixels, then the end code (data that ends early).
  std::size_t stopAfter = SIZE_MAX;
};

inline Bytes LzwEncode(const std::vector<std::uint8_t>& pixels, std::uint32_t minCodeSize, const LzwOptions& o = {}) {
  CodePacker out;
  const std::uint32_t clear = 1u << minCodeSize, end = clear + 1;
  std::uint32_t size = minCodeSize + 1, next = end + 1;
  std::unordered_map<std::uint32_t, std::uint32_t> table;
  auto reset = [&] {
    table.clear();
    size = minCodeSize + 1;
    next = end + 1;
  };
  if (o.leadingClear) out.Put(clear, size);
  std::size_t count = pixels.size() < o.stopAfter ? pixels.size() : o.stopAfter;
  if (count > 0) {
    std::uint32_t w = pixels[0];
    int sinceFull = 0;
    for (std::size_t i = 1; i < count; ++i) {
      std::uint32_t c = pixels[i];
      std::uint32_t key = w << 8 | c;
      auto found = table.find(key);
      if (found != table.end()) {
        w = found->second;
        continue;
      }
      out.Put(w, size);
      if (next < 4096) {
        table[key] = next++;
        if (next > (1u << size) && size < 12) ++size;
        if (next == 4096 && !o.deferredClear) {
          out.Put(clear, size);
          reset();
        }
      } else if (o.clearAfterFull >= 0 && ++sinceFull == o.clearAfterFull) {
        out.Put(clear, size);
        reset();
        sinceFull = 0;
      }
      w = c;
    }
    out.Put(w, size);
    // The decoder makes an entry for this last code as well before it reads the end code.
    if (next >= (1u << size) && size < 12) ++size;
  }
  out.Put(end, size);
  return out.Finish();
}

// Frames data bytes as sub-blocks of at most blockSize bytes and the block terminator.
inline Bytes SubBlocks(const Bytes& data, std::size_t blockSize = 255) {
  Bytes out;
  for (std::size_t i = 0; i < data.size(); i += blockSize) {
    std::size_t n = data.size() - i < blockSize ? data.size() - i : blockSize;
    out.push_back(std::uint8_t(n));
    out.insert(out.end(), data.begin() + std::ptrdiff_t(i), data.begin() + std::ptrdiff_t(i + n));
  }
  out.push_back(0);
  return out;
}

// Rows of a picture (top row first) in the order an interlaced image stores them.
inline std::vector<std::uint8_t> InterlaceRows(const std::vector<std::uint8_t>& pixels, std::uint32_t width,
                                               std::uint32_t height) {
  std::vector<std::uint8_t> out;
  const std::uint32_t start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (std::uint32_t y = start[pass]; y < height; y += step[pass])
      out.insert(out.end(), pixels.begin() + std::ptrdiff_t(y * width),
                 pixels.begin() + std::ptrdiff_t((y + 1) * width));
  return out;
}

inline void PutTable(Bytes& out, const std::vector<std::uint32_t>& rgb, std::uint32_t entries) {
  for (std::uint32_t i = 0; i < entries; ++i) {
    std::uint32_t c = i < rgb.size() ? rgb[i] : 0;
    out.push_back(std::uint8_t(c >> 16));
    out.push_back(std::uint8_t(c >> 8));
    out.push_back(std::uint8_t(c));
  }
}

// Size bits of a colour table of at least n entries.
inline std::uint32_t TableBits(std::size_t n) {
  std::uint32_t bits = 0;
  while ((2u << bits) < n) ++bits;
  return bits;
}

inline Bytes GraphicControl(bool transparent, std::uint8_t index) {
  return {0x21, 0xF9, 4, std::uint8_t(transparent ? 1 : 0), 0, 0, index, 0};
}

struct GifLayout {
  const char* version = "GIF89a";
  std::uint32_t screenWidth = 0, screenHeight = 0;  // 0: the image's size
  std::vector<std::uint32_t> global;                // 0xRRGGBB; empty: no global table
  Bytes beforeImage;                                // extensions and other blocks
  std::uint32_t left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  std::vector<std::uint32_t> local;  // empty: no local table
  std::uint32_t minCodeSize = 8;
  std::vector<std::uint8_t> pixels;  // indexes, top row first
  LzwOptions lzw;
  std::size_t blockSize = 255;
  const Bytes* rawData = nullptr;  // LZW bytes to use instead of encoding
  Bytes afterImage = {0x3B};
};

inline Bytes MakeGif(const GifLayout& s) {
  Bytes out(s.version, s.version + 6);
  Put16(out, s.screenWidth ? s.screenWidth : s.width);
  Put16(out, s.screenHeight ? s.screenHeight : s.height);
  std::uint32_t globalBits = TableBits(s.global.size());
  out.push_back(std::uint8_t((s.global.empty() ? 0 : 0x80) | 0x70 | globalBits));
  out.push_back(0);
  out.push_back(0);
  if (!s.global.empty()) PutTable(out, s.global, 2u << globalBits);
  out.insert(out.end(), s.beforeImage.begin(), s.beforeImage.end());
  out.push_back(0x2C);
  Put16(out, s.left);
  Put16(out, s.top);
  Put16(out, s.width);
  Put16(out, s.height);
  std::uint32_t localBits = TableBits(s.local.size());
  out.push_back(std::uint8_t((s.local.empty() ? 0 : 0x80 | localBits) | (s.interlaced ? 0x40 : 0)));
  if (!s.local.empty()) PutTable(out, s.local, 2u << localBits);
  out.push_back(std::uint8_t(s.minCodeSize));
  Bytes data;
  if (s.rawData) {
    data = *s.rawData;
  } else {
    data = LzwEncode(s.interlaced ? InterlaceRows(s.pixels, s.width, s.height) : s.pixels, s.minCodeSize, s.lzw);
  }
  Bytes framed = SubBlocks(data, s.blockSize);
  out.insert(out.end(), framed.begin(), framed.end());
  out.insert(out.end(), s.afterImage.begin(), s.afterImage.end());
  return out;
}

// Random indexes below colours, in runs, so that both short and long strings occur.
inline std::vector<std::uint8_t> RandomIndexes(std::size_t n, std::uint32_t colours, Random& random) {
  std::vector<std::uint8_t> out;
  while (out.size() < n) {
    std::uint8_t v = std::uint8_t(random.Below(colours));
    std::size_t run = random.Below(4) == 0 ? 1 + random.Below(12) : 1;
    for (std::size_t k = 0; k < run && out.size() < n; ++k) out.push_back(v);
  }
  return out;
}

inline std::vector<std::uint32_t> RandomTable(std::size_t n, Random& random) {
  std::vector<std::uint32_t> t(n);
  for (auto& c : t) c = random.Next() & 0xFFFFFF;
  return t;
}

}  // namespace ImagingTest
