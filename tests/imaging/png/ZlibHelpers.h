#pragma once
// zlib as the reference for the inflate tests: compressing with every level, strategy and
// window size, with flushes, and data of several kinds.

#include <zlib.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace TarnwellTest {

struct DeflateOptions {
  int level = Z_DEFAULT_COMPRESSION;
  int strategy = Z_DEFAULT_STRATEGY;
  int windowBits = 15;
  int memLevel = 8;
  // When not zero, the input is given to zlib in pieces of this size, each followed by flush.
  std::size_t flushEvery = 0;
  int flush = Z_NO_FLUSH;
};

inline std::vector<std::uint8_t> ZlibCompress(const std::vector<std::uint8_t>& input, const DeflateOptions& o = {}) {
  z_stream z{};
  if (deflateInit2(&z, o.level, Z_DEFLATED, o.windowBits, o.memLevel, o.strategy) != Z_OK)
    throw std::runtime_error("deflateInit2");
  std::vector<std::uint8_t> out(deflateBound(&z, uLong(input.size())) + 64 + input.size() / 8);
  z.next_out = out.data();
  z.avail_out = uInt(out.size());
  std::size_t pos = 0;
  std::size_t step = o.flushEvery == 0 ? input.size() : o.flushEvery;
  bool last = false;
  while (!last) {
    std::size_t n = std::min(step, input.size() - pos);
    z.next_in = const_cast<Bytef*>(input.data() + pos);
    z.avail_in = uInt(n);
    pos += n;
    last = pos >= input.size();
    int flush = last ? Z_FINISH : o.flush;
    int r;
    do {
      if (z.avail_out < 64) {
        std::size_t used = out.size() - z.avail_out;
        out.resize(out.size() * 2);
        z.next_out = out.data() + used;
        z.avail_out = uInt(out.size() - used);
      }
      r = deflate(&z, flush);
      if (r == Z_STREAM_ERROR) throw std::runtime_error("deflate");
    } while (flush == Z_FINISH ? r != Z_STREAM_END : (z.avail_in != 0 || z.avail_out == 0));
  }
  // Only shrinks: erase says so to the compiler, which otherwise warns about
  // a fill of an impossible size at -O1.
  out.erase(out.end() - static_cast<std::ptrdiff_t>(z.avail_out), out.end());
  deflateEnd(&z);
  return out;
}

inline std::vector<std::uint8_t> ZlibUncompress(const std::vector<std::uint8_t>& input, std::size_t size) {
  std::vector<std::uint8_t> out(size);
  uLongf n = uLongf(size);
  if (uncompress(out.data(), &n, input.data(), uLong(input.size())) != Z_OK) throw std::runtime_error("uncompress");
  out.resize(n);
  return out;
}

enum class DataKind { Random, Text, Runs, Image, Zeros, Residuals };

inline std::vector<std::uint8_t> MakeData(DataKind kind, std::size_t size, std::mt19937& rng) {
  std::vector<std::uint8_t> d;
  d.reserve(size);
  switch (kind) {
    case DataKind::Random:
      while (d.size() < size) d.push_back(std::uint8_t(rng()));
      break;
    case DataKind::Text: {
      static const char* words[] = {"the ", "pixel ", "row ", "filter ", "deflate ", "window ", "PNG ",   "chunk ",
                                    "and ", "of ",    "a ",   "\n",      "IDAT ",    "zlib ",   "match ", "literal "};
      while (d.size() < size) {
        const char* w = words[rng() % 16];
        for (; *w && d.size() < size; ++w) d.push_back(std::uint8_t(*w));
      }
      break;
    }
    case DataKind::Runs:
      // Repeats with every short period (1 to 9) and some long ones, between random bytes.
      while (d.size() < size) {
        std::size_t period = 1 + rng() % 9;
        if (rng() % 4 == 0) period = 1 + rng() % 40000;
        std::size_t run = 3 + rng() % 600;
        if (d.size() < period) {
          d.push_back(std::uint8_t(rng()));
          continue;
        }
        for (std::size_t i = 0; i < run && d.size() < size; ++i) d.push_back(d[d.size() - period]);
        for (int i = rng() % 5; i > 0 && d.size() < size; --i) d.push_back(std::uint8_t(rng()));
      }
      break;
    case DataKind::Image: {
      // Rows of RGB gradients with noise, as PNG filters leave them (small differences).
      std::size_t width = 3 * (50 + rng() % 300);
      while (d.size() < size) {
        std::uint8_t filter = std::uint8_t(rng() % 5);
        d.push_back(filter);
        for (std::size_t x = 0; x < width && d.size() < size; ++x)
          d.push_back(std::uint8_t((rng() % 7 == 0) ? rng() % 256 : (x / 3) % 5));
      }
      break;
    }
    case DataKind::Zeros: d.assign(size, 0); break;
    case DataKind::Residuals: {
      // What PNG filters leave of a photograph: small differences around 0 (wrapping to 255,
      // 254, ...) with few repeats, so that nearly every symbol is a literal of a short code.
      std::geometric_distribution<int> magnitude(0.25);
      while (d.size() < size) {
        const int m = magnitude(rng);
        d.push_back(std::uint8_t(rng() % 2 ? m : -m));
      }
      break;
    }
  }
  return d;
}

// Splits size bytes into random pieces (some empty) as IDAT chunks would.
inline std::vector<std::uint32_t> RandomPieces(std::size_t size, std::mt19937& rng, std::uint32_t maxPiece) {
  std::vector<std::uint32_t> pieces;
  std::size_t left = size;
  while (left > 0) {
    std::uint32_t n = std::uint32_t(std::min<std::size_t>(left, rng() % maxPiece + (rng() % 8 == 0 ? 0 : 1)));
    pieces.push_back(n);
    left -= n;
  }
  return pieces;
}

}  // namespace TarnwellTest
