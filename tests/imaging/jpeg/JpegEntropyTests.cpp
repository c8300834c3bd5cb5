// The entropy decoding where its fast and exact paths meet: the bit reader of the block
// decoders against the stream's own bit input (stuffed bytes at every position of the
// eight-byte refill, markers, the end of the data, every refill size), Huffman codes of every
// length up to 16 bits, the mask of nonzero coefficients on each vector level, and an
// end-of-band run that goes on over a restart marker.

#include <gtest/gtest.h>

#include <ostream>
#include <random>

#include "JpegTestSupport.h"
#include "base/CpuFeatures.h"
#include "imaging/JpegBitReader.h"
#include "imaging/JpegCoefficientMask.h"
#include "imaging/JpegHuffmanDecoder.h"
#include "imaging/JpegZigzag.h"

namespace {

using namespace JpegTest;
using Bytes = std::vector<std::uint8_t>;

// One read of a test: a single bit, or n bits (0 to 16).
struct Read {
  bool single;
  std::uint32_t n;
};

// What a sequence of reads gave: the values, the error that stopped it ("" for none) and the
// byte that follows once bit input has ended.
struct Trace {
  std::vector<std::uint32_t> values;
  std::string error;
  int nextByte = -1;
  bool operator==(const Trace&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Trace& trace) {
  out << trace.values.size() << " values:";
  for (std::uint32_t value : trace.values) out << " " << value;
  return out << ", error \"" << trace.error << "\", next byte " << trace.nextByte;
}

template <typename Reader>
Trace RunReads(Veldaro::JpegInputMemoryStream& stream, Reader reader) {
  Trace trace;
  try {
    stream.StartBitInput();
    reader(trace.values);
    stream.EndBitInput();
    trace.nextByte = stream.MoreData() ? stream.GetByte() : -2;
  } catch (const Veldaro::InputByteStream::StreamError& error) {
    trace.error = error.what();
  }
  return trace;
}

// The reads through the stream's own bit input.
Trace StreamReads(const Bytes& bytes, std::uint32_t chunk, const std::vector<Read>& reads) {
  Veldaro::JpegInputMemoryStream stream(bytes, chunk);
  return RunReads(stream, [&](std::vector<std::uint32_t>& values) {
    for (const Read& read : reads) {
      values.push_back(read.single ? std::uint32_t(stream.NextBit()) : stream.Receive(read.n));
    }
  });
}

// The same reads through a JpegBitReader made afresh every few reads (as the block decoders
// make one a block), taking gathered bits straight from its buffer where it has them. A read
// that fails leaves the state with the stream, as the block decoders do.
Trace ReaderReads(const Bytes& bytes, std::uint32_t chunk, const std::vector<Read>& reads) {
  Veldaro::JpegInputMemoryStream stream(bytes, chunk);
  return RunReads(stream, [&](std::vector<std::uint32_t>& values) {
    std::size_t i = 0;
    while (i < reads.size()) {
      Veldaro::JpegBitReader bits(stream);
      for (std::size_t j = 0; j < 5 && i < reads.size(); ++j, ++i) {
        const Read& read = reads[i];
        bits.Fill();
        if (read.single) {
          values.push_back(bits.Bit());
        } else if (read.n != 0 && bits.Count() >= read.n && i % 2 == 0) {
          values.push_back(bits.Take(read.n));
        } else {
          values.push_back(bits.Receive(read.n));
        }
      }
      bits.Release();
    }
  });
}

// The data bits of bytes up to the first marker, stuffed 0x00 bytes removed.
std::vector<std::uint32_t> DataBits(const Bytes& bytes) {
  std::vector<std::uint32_t> bits;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    for (int b = 7; b >= 0; --b) bits.push_back((bytes[i] >> b) & 1);
    if (bytes[i] == 0xFF) {
      if (i + 1 >= bytes.size() || bytes[i + 1] != 0) break;
      ++i;
    }
  }
  return bits;
}

TEST(JpegEntropy, StuffedBytesAtEveryPositionOfTheRefill) {
  std::mt19937 random(5);
  for (std::size_t position = 0; position < 24; ++position) {
    Bytes bytes(40);
    for (auto& byte : bytes) byte = std::uint8_t(random() % 255);  // no 0xFF of its own
    bytes[position] = 0xFF;
    bytes.insert(bytes.begin() + std::ptrdiff_t(position) + 1, 0x00);
    bytes.insert(bytes.end(), {0xFF, 0xD9});
    std::vector<Read> reads;
    std::uint32_t total = 0;
    while (total < 8 * 40) {
      Read read{random() % 4 == 0, std::uint32_t(random() % 17)};
      reads.push_back(read);
      total += read.single ? 1 : read.n;
    }
    const std::vector<std::uint32_t> expectedBits = DataBits(bytes);
    for (std::uint32_t chunk : {1u, 3u, 8u, 4096u}) {
      Trace plain = StreamReads(bytes, chunk, reads);
      Trace fast = ReaderReads(bytes, chunk, reads);
      ASSERT_EQ(fast, plain) << "stuffed byte at " << position << ", refills of " << chunk;
      // The values are the data bits, in order, up to the marker.
      std::size_t at = 0;
      for (std::size_t i = 0; i < plain.values.size(); ++i) {
        std::uint32_t n = reads[i].single ? 1 : reads[i].n;
        std::uint32_t value = 0;
        for (std::uint32_t b = 0; b < n; ++b) value = value << 1 | expectedBits[at++];
        ASSERT_EQ(plain.values[i], value) << "read " << i;
      }
    }
  }
}

// Reads that run into a marker or the end of the data, with the reads cut at every length: the
// reader meets them at the same bit and with the same text as the stream alone.
TEST(JpegEntropy, MarkersAndTheEndMeetTheReaderAsTheStream) {
  const Bytes body = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xFF, 0x00, 0xDE, 0xF0, 0x11, 0x22, 0x33};
  const std::vector<Bytes> tails = {{0xFF, 0xD9}, {0xFF, 0xD0, 0x44}, {0xFF}, {}};
  for (const Bytes& tail : tails) {
    Bytes bytes = body;
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    for (std::uint32_t count = 0; count < 20; ++count) {
      for (std::uint32_t width : {1u, 3u, 7u, 16u}) {
        std::vector<Read> reads(count, Read{width == 1, width});
        for (std::uint32_t chunk : {1u, 2u, 5u, 4096u}) {
          Trace plain = StreamReads(bytes, chunk, reads);
          EXPECT_EQ(ReaderReads(bytes, chunk, reads), plain)
              << count << " reads of " << width << ", tail " << tail.size() << ", refills of " << chunk;
        }
      }
    }
  }
  // The texts themselves: the stream's own, by the operation that met the stop.
  EXPECT_EQ(ReaderReads({0xAB, 0xFF, 0xD9}, 4096, std::vector<Read>(17, Read{true, 1})).error,
            "Invalid Marker in Compressed Data");
  EXPECT_EQ(ReaderReads({0xAB, 0xFF, 0xD9}, 4096, {Read{false, 16}, Read{false, 1}}).error,
            "Invalid Marker in Compressed Stream");
  EXPECT_EQ(ReaderReads({0xAB}, 4096, {Read{false, 9}}).error, "Premature end of file");
  EXPECT_EQ(ReaderReads({0xAB}, 4096, std::vector<Read>(9, Read{true, 1})).error, "Premature end of stream");
}

// A table with one code of each length from 1 to 15 and two of 16 bits (the longest code
// all ones): every code, on the look-up and on the search, with the end of the data near.
TEST(JpegEntropy, CodesOfEveryLengthUpToSixteenBits) {
  Bytes table(16, 1);
  table[15] = 2;
  for (std::uint8_t symbol = 0; symbol < 17; ++symbol) table.push_back(std::uint8_t(0x11 * symbol + 3));
  VeldaroPrivate::JpegHuffmanDecoder huffman;
  Veldaro::JpegInputMemoryStream tableStream(table, 4096);
  ASSERT_EQ(huffman.ReadTable(tableStream), 33u);
  // Canonical codes: length l (1..15) is l-1 ones then a zero; the two of 16 bits are 15 ones
  // then 0 or 1.
  auto codeBits = [](std::uint32_t index) {
    std::vector<std::uint32_t> bits;
    std::uint32_t length = index < 15 ? index + 1 : 16;
    for (std::uint32_t i = 0; i + 1 < length; ++i) bits.push_back(1);
    bits.push_back(index == 16 ? 1 : 0);
    return bits;
  };
  std::mt19937 random(9);
  std::vector<std::uint32_t> sequence;
  std::vector<std::uint32_t> stream;
  for (int i = 0; i < 400; ++i) {
    std::uint32_t index = i < 17 ? std::uint32_t(i) : random() % 17;
    sequence.push_back(index);
    for (std::uint32_t bit : codeBits(index)) stream.push_back(bit);
  }
  while (stream.size() % 8 != 0) stream.push_back(1);
  Bytes bytes;
  for (std::size_t i = 0; i < stream.size(); i += 8) {
    std::uint8_t byte = 0;
    for (std::size_t b = 0; b < 8; ++b) byte = std::uint8_t(byte << 1 | stream[i + b]);
    bytes.push_back(byte);
    if (byte == 0xFF) bytes.push_back(0x00);
  }
  bytes.insert(bytes.end(), {0xFF, 0xD9});
  for (std::uint32_t chunk : {1u, 7u, 4096u}) {
    Veldaro::JpegInputMemoryStream bitsStream(bytes, chunk);
    bitsStream.StartBitInput();
    for (std::size_t i = 0; i < sequence.size(); ++i) {
      ASSERT_EQ(huffman.Decode(bitsStream), std::uint8_t(0x11 * sequence[i] + 3)) << i << ", refills of " << chunk;
    }
    // The padding ones match no code: the search runs into the marker.
    try {
      huffman.Decode(bitsStream);
      ADD_FAILURE();
    } catch (const Veldaro::InputByteStream::StreamError& error) {
      EXPECT_STREQ(error.what(), "Invalid Marker in Compressed Data");
    }
  }
}

TEST(JpegEntropy, NonzeroPositionsOnEveryVectorLevel) {
  std::mt19937 random(3);
  for (int round = 0; round < 2000; ++round) {
    alignas(16) std::int16_t block[64];
    std::uint64_t expected = 0;
    for (std::uint32_t k = 0; k < 64; ++k) {
      std::int16_t value = 0;
      if (random() % (1 + round % 5) == 0) value = std::int16_t(int(random() % 65536) - 32768);
      block[VeldaroPrivate::JpegNaturalOrder[k]] = value;
      if (value != 0) expected |= std::uint64_t(1) << k;
    }
    EXPECT_EQ(VeldaroPrivate::NonzeroZigzagPositions(block), expected) << round;
    CpuFeatures::SimdLevelCap scalar(CpuFeatures::SimdLevel::Scalar);
    EXPECT_EQ(VeldaroPrivate::NonzeroZigzagPositions(block), expected) << round;
  }
}

Bytes Segment(std::uint8_t code, const Bytes& payload) {
  std::size_t length = payload.size() + 2;
  Bytes bytes = {0xFF, code, std::uint8_t(length >> 8), std::uint8_t(length)};
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return bytes;
}

// A progressive grey picture of four blocks in a row with a restart interval of two blocks;
// the AC scan's first interval is given.
Bytes ProgressiveWithRestarts(const Bytes& firstAcInterval) {
  Bytes jpeg = {0xFF, 0xD8};
  auto add = [&jpeg](const Bytes& part) { jpeg.insert(jpeg.end(), part.begin(), part.end()); };
  Bytes dqt = {0x00};
  dqt.insert(dqt.end(), 64, 50);
  add(Segment(0xDB, dqt));
  add(Segment(0xC2, {8, 0, 8, 0, 32, 1, 1, 0x11, 0x00}));
  // DC table 0: '0' for size 0. AC table 0: '0' for an end-of-band run of 4 + 2 bits, '10'
  // for one coefficient of size 1, '11' for the end of the block.
  Bytes dht = {0x00, 1};
  dht.insert(dht.end(), 15, 0);
  dht.push_back(0x00);
  dht.insert(dht.end(), {0x10, 1, 2});
  dht.insert(dht.end(), 14, 0);
  dht.insert(dht.end(), {0x20, 0x01, 0x00});
  add(Segment(0xC4, dht));
  add(Segment(0xDD, {0, 2}));
  add(Segment(0xDA, {1, 1, 0x00, 0, 0, 0x00}));
  add({0x3F, 0xFF, 0xD0, 0x3F});  // DC sizes 0, padding ones
  add(Segment(0xDA, {1, 1, 0x00, 1, 63, 0x00}));
  add(firstAcInterval);
  // The second interval: '10' '1' gives block 2 a coefficient of +1, '0' '00' ends it with a
  // run of four blocks.
  add({0xFF, 0xD0, 0xA0});
  add({0xFF, 0xD9});
  return jpeg;
}

// An end-of-band run that goes on over a restart marker: the blocks after the marker read no
// bits while the run lasts, and the byte where their interval starts is passed over.
TEST(JpegEntropy, EndOfBandRunGoesOnOverARestartMarker) {
  // '0' '11': block 0 starts a run of 4 + 3 blocks, over the marker.
  const Bytes overMarker = ProgressiveWithRestarts({0x7F});
  // '11' '11': blocks 0 and 1 end alone (the byte 0xFF is stuffed).
  const Bytes endsBefore = ProgressiveWithRestarts({0xFF, 0x00});
  for (std::size_t chunk : {1u, 3u, 4096u}) {
    ASSERT_EQ(DecodeError(overMarker, chunk), "") << chunk;
    ASSERT_EQ(DecodeError(endsBefore, chunk), "") << chunk;
    Picture flat = Decode(overMarker, chunk);
    ASSERT_EQ(flat.pixels.size(), 32u * 8u);
    for (std::uint32_t pixel : flat.pixels) ASSERT_EQ(pixel, 0xFF808080u) << chunk;
    // Block 2 (columns 16 to 23) has its coefficient when the run ends before the marker.
    Picture decoded = Decode(endsBefore, chunk);
    for (std::uint32_t y = 0; y < 8; ++y) {
      for (std::uint32_t x = 0; x < 32; ++x) {
        bool changed = decoded.pixels[y * 32 + x] != 0xFF808080u;
        if (x < 16 || x >= 24) {
          EXPECT_FALSE(changed) << x << "," << y;
        }
      }
    }
    EXPECT_NE(decoded.pixels[16], 0xFF808080u);
  }
}

}  // namespace
