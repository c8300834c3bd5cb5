// The memory streams beside the file streams: the same bytes, blocks and failures, without a
// file.

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "imaging/GifInputMemoryStream.h"
#include "imaging/JpegInputMemoryStream.h"
#include "imaging/MemoryPieces.h"
#include "imaging/PngInputMemoryStream.h"
#include "tests/imaging/base/TestSupport.h"

using namespace Veldaro;
using namespace ImagingTest;

namespace {

Bytes Counting(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = std::uint8_t(i * 7 + 1);
  return b;
}

}  // namespace

TEST(MemoryPieces, PiecesOfTheBufferSizeEachInItsOwnCopy) {
  const Bytes data = Counting(10);
  MemoryPieces pieces(data, 4);
  std::set<std::size_t> sizes;
  std::size_t offset = 0;
  std::uint8_t *first = nullptr, *last = nullptr;
  for (std::size_t expected : {4u, 4u, 2u}) {
    EXPECT_FALSE(pieces.AtEnd());
    pieces.Next(first, last);
    ASSERT_EQ(std::size_t(last - first), expected);
    EXPECT_EQ(0, std::memcmp(first, data.data() + offset, expected));
    offset += expected;
    EXPECT_EQ(pieces.Position(), offset);
  }
  EXPECT_TRUE(pieces.AtEnd());
  pieces.Next(first, last);
  EXPECT_EQ(first, nullptr);
  EXPECT_EQ(last, nullptr);
  // Back to any offset; beyond the end is the end.
  pieces.MoveTo(9);
  pieces.Next(first, last);
  ASSERT_EQ(last - first, 1);
  EXPECT_EQ(*first, data[9]);
  pieces.MoveTo(100);
  EXPECT_TRUE(pieces.AtEnd());
  // A buffer size of 0: everything at once.
  MemoryPieces whole(data, 0);
  whole.Next(first, last);
  EXPECT_EQ(last - first, 10);
  EXPECT_TRUE(whole.AtEnd());
}

TEST(GifInputMemoryStream, ReadsInBlocksAndEndsLikeTheFileStream) {
  const Bytes data = Counting(64);
  for (std::uint32_t bufferSize : {0u, 1u, 7u, 64u, 100u}) {
    GifInputMemoryStream s(data, bufferSize);
    EXPECT_FALSE(s.EndReached());
    std::uint8_t all[64];
    EXPECT_EQ(s.Read(all, 64), 64u) << bufferSize;
    EXPECT_EQ(0, std::memcmp(all, data.data(), 64));
    EXPECT_TRUE(s.EndReached());
    EXPECT_FALSE(s.MoreData());
    EXPECT_THROW(s.GetByte(), InputByteStream::StreamError);
  }
}

TEST(GifInputMemoryStream, TellAndSeek) {
  const Bytes data = Counting(50);
  GifInputMemoryStream s(data, 8);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(s.GetByte(), data[i]);
  EXPECT_EQ(s.Tell(), std::streampos(10));
  s.Seek(std::streampos(3));
  EXPECT_EQ(s.GetByte(), data[3]);
  EXPECT_EQ(s.Tell(), std::streampos(4));
  // Seeking in bit mode leaves it first, as the file stream does (the sub-block of 2 bytes
  // and its terminator are checked).
  GifInputMemoryStream codes({2, 0xAB, 0xCD, 0, 42}, 2);
  codes.EnterBitMode();
  EXPECT_EQ(codes.NextCode(8), 0xABu);
  codes.Seek(std::streampos(4));
  EXPECT_EQ(codes.GetByte(), 42);
}

TEST(JpegInputMemoryStream, TellCountsTheBytesTakenAndSeekReturns) {
  const Bytes data = Counting(10000);
  for (std::uint32_t bufferSize : {0u, 3u, 4096u}) {
    JpegInputMemoryStream s(data, bufferSize);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(s.GetByte(), data[i]);
    EXPECT_EQ(s.Tell(), std::streampos(10)) << bufferSize;
    s.Seek(std::streampos(5));
    EXPECT_EQ(s.GetByte(), data[5]);
    EXPECT_EQ(s.Tell(), std::streampos(6));
    s.Seek(std::streampos(9999));
    EXPECT_EQ(s.GetByte(), data[9999]);
    EXPECT_FALSE(s.MoreData());
  }
}

TEST(JpegInputMemoryStream, SeekLeavesBitInputAsTheFileStreamDoes) {
  // The byte whose bits were read is stepped over; a 0xFF must be followed by its stuffed 0.
  JpegInputMemoryStream s({0x5A, 0xFF, 0x00, 0x12}, 1);
  s.StartBitInput();
  EXPECT_EQ(s.Receive(4), 0x5u);
  s.Seek(std::streampos(3));
  EXPECT_EQ(s.GetByte(), 0x12);
  JpegInputMemoryStream marker({0xFF, 0xD9}, 1);
  marker.StartBitInput();
  marker.FillBits();
  try {
    marker.Seek(std::streampos(0));
    FAIL();
  } catch (const InputByteStream::StreamError& e) {
    EXPECT_STREQ(e.what(), "Invalid Marker in Compressed Stream");
  }
}

TEST(PngInputMemoryStream, ChunksAndThePrematureEnd) {
  // A chunk of type tEXt and 2 data bytes (its CRC is right), then a cut one.
  const Bytes file = {0, 0, 0, 2, 't', 'E', 'X', 't', 'k', 0, 0x6A, 0x2A, 0x6C, 0xE0, 0, 0, 0, 9, 'I', 'D'};
  PngInputMemoryStream s(file);
  EXPECT_TRUE(s.ReadChunk());
  EXPECT_TRUE(s.ChunkIs("tEXt"));
  EXPECT_EQ(s.ChunkLength(), 2u);
  EXPECT_EQ(s.ChunkData()[0], 'k');
  EXPECT_FALSE(s.EndReached());
  try {
    s.ReadChunk();
    FAIL();
  } catch (const InputByteStream::StreamError& e) {
    EXPECT_STREQ(e.what(), "Premature End of File");
  }
  EXPECT_TRUE(s.EndReached());
  // Raw reads: exactly the bytes asked for; more than are left is refused.
  PngInputMemoryStream raw(Counting(12));
  std::uint8_t* p = nullptr;
  raw.ReadBytes(8, p);
  EXPECT_EQ(0, std::memcmp(p, Counting(8).data(), 8));
  EXPECT_THROW(raw.ReadBytes(5, p), InputByteStream::StreamError);
}
