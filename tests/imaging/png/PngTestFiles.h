#pragma once
// Crafted PNG files and deflate bit streams for the decoder tests.

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/BitmapImage.h"
#include "imaging/PngDecoder.h"
#include "imaging/PngInputMemoryStream.h"

namespace TarnwellTest {

using Bytes = std::vector<std::uint8_t>;

inline void PutBigEndian32(Bytes& b, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) b.push_back(std::uint8_t(v >> shift));
}

// A PNG file built chunk by chunk.
class PngBuilder {
 public:
  PngBuilder() { bytes = {137, 80, 78, 71, 13, 10, 26, 10}; }

  PngBuilder& Chunk(const std::string& type, const Bytes& data) {
    PutBigEndian32(bytes, std::uint32_t(data.size()));
    Bytes typed(type.begin(), type.end());
    typed.insert(typed.end(), data.begin(), data.end());
    bytes.insert(bytes.end(), typed.begin(), typed.end());
    PutBigEndian32(bytes, std::uint32_t(crc32(0, typed.data(), uInt(typed.size()))));
    return *this;
  }
  PngBuilder& Header(std::uint32_t width, std::uint32_t height, int bitDepth, int colorType, int interlace = 0,
                     int compression = 0, int filter = 0) {
    Bytes d;
    PutBigEndian32(d, width);
    PutBigEndian32(d, height);
    d.push_back(std::uint8_t(bitDepth));
    d.push_back(std::uint8_t(colorType));
    d.push_back(std::uint8_t(compression));
    d.push_back(std::uint8_t(filter));
    d.push_back(std::uint8_t(interlace));
    return Chunk("IHDR", d);
  }
  PngBuilder& Palette(std::uint32_t entries) {
    Bytes d;
    for (std::uint32_t i = 0; i < entries; ++i) {
      d.push_back(std::uint8_t(10 + i));
      d.push_back(std::uint8_t(100 + i));
      d.push_back(std::uint8_t(200 - i));
    }
    return Chunk("PLTE", d);
  }
  // The compressed data in IDAT chunks of at most pieceSize bytes (0: one chunk).
  PngBuilder& Data(const Bytes& compressed, std::size_t pieceSize = 0) {
    if (pieceSize == 0) return Chunk("IDAT", compressed);
    for (std::size_t i = 0; i < compressed.size(); i += pieceSize)
      Chunk("IDAT", Bytes(compressed.begin() + i, compressed.begin() + std::min(compressed.size(), i + pieceSize)));
    return *this;
  }
  // Raw scanlines (filter bytes included), compressed.
  PngBuilder& Rows(const Bytes& scanlines, std::size_t pieceSize = 0) { return Data(Compress(scanlines), pieceSize); }
  PngBuilder& End() { return Chunk("IEND", {}); }

  static Bytes Compress(const Bytes& raw) {
    uLongf n = compressBound(uLong(raw.size()));
    Bytes out(n);
    compress(out.data(), &n, raw.data(), uLong(raw.size()));
    out.resize(n);
    return out;
  }

  Bytes bytes;
};

// The lengths from `from` up to the whole file at which a file cut short can leave the decoder
// in a state of its own. The stream hands a chunk over only once its length, type, data and
// CRC are all there: a cut anywhere inside a chunk leaves the decoder where a cut at the
// chunk's start does. So each chunk's start (every count of whole chunks), one length inside
// each of its fields (the stream fails at each in turn), and the whole file.
inline std::vector<std::size_t> ChunkCuts(const Bytes& file, std::size_t from = 0) {
  std::vector<std::size_t> cuts = {4};  // inside the signature
  for (std::size_t start = 8; start + 12 <= file.size();) {
    const std::size_t length = std::size_t(file[start]) << 24 | std::size_t(file[start + 1]) << 16 |
                               std::size_t(file[start + 2]) << 8 | file[start + 3];
    const std::size_t end = start + 12 + length;
    if (end > file.size()) break;
    for (std::size_t cut : {start, start + 2, start + 6, start + 8 + length / 2, end - 2}) cuts.push_back(cut);
    start = end;
  }
  cuts.push_back(file.size());
  std::erase_if(cuts, [from](std::size_t cut) { return cut < from; });
  cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
  return cuts;
}

// The outcome of decoding bytes with the PNG decoder.
struct Decoded {
  std::string error;  // empty when the file was accepted
  Veldaro::BitmapImage image;
};

inline std::string Message(const std::exception& e) { return e.what(); }

inline void Decode(const Bytes& file, Decoded& out, Veldaro::PngDecoder* decoder = nullptr) {
  Veldaro::PngDecoder own;
  Veldaro::PngInputMemoryStream stream(file);
  try {
    (decoder ? decoder : &own)->ReadImage(stream, out.image);
  } catch (const std::exception& e) {
    out.error = e.what();
  }
}

// The message of decoding the file, or "" when it was accepted.
inline std::string DecodeError(const Bytes& file) {
  Decoded d;
  Decode(file, d);
  return d.error;
}

// Deflate bits, least significant bit first; Huffman codes are sent most significant bit first.
class BitWriter {
 public:
  BitWriter& Bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) Bit((value >> i) & 1);
    return *this;
  }
  BitWriter& Code(std::uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1);
    return *this;
  }
  // A symbol of the fixed literal/length code (RFC 1951, section 3.2.6).
  BitWriter& FixedLiteral(std::uint32_t symbol) {
    if (symbol < 144) return Code(0x30 + symbol, 8);
    if (symbol < 256) return Code(0x190 + symbol - 144, 9);
    if (symbol < 280) return Code(symbol - 256, 7);
    return Code(0xC0 + symbol - 280, 8);
  }
  BitWriter& FixedDistance(std::uint32_t symbol) { return Code(symbol, 5); }
  // Pads to a whole byte and appends bytes.
  BitWriter& AlignedBytes(const Bytes& b) {
    while (count % 8 != 0) Bit(0);
    out.insert(out.end(), b.begin(), b.end());
    return *this;
  }
  Bytes Finish() {
    while (count % 8 != 0) Bit(0);
    return out;
  }

 private:
  void Bit(std::uint32_t b) {
    if (count % 8 == 0) out.push_back(0);
    out.back() = std::uint8_t(out.back() | (b << (count % 8)));
    ++count;
  }
  Bytes out;
  std::size_t count = 0;
};

// A zlib stream of the given deflate data, with a header and the Adler-32 of the output.
inline Bytes ZlibWrap(const Bytes& deflate, const Bytes& output, int header1 = 0x78, int header2 = 0x01) {
  Bytes z = {std::uint8_t(header1), std::uint8_t(header2)};
  z.insert(z.end(), deflate.begin(), deflate.end());
  PutBigEndian32(z, std::uint32_t(adler32(1, output.data(), uInt(output.size()))));
  return z;
}

}  // namespace TarnwellTest
