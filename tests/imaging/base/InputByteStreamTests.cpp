// The byte stream base and the file streams (the memory streams: MemoryStreamTests.cpp).

#include <gtest/gtest.h>

#include <cstring>

#include "imaging/GifInputFileStream.h"
#include "imaging/InputByteStream.h"
#include "imaging/JpegInputFileStream.h"
#include "imaging/PngInputFileStream.h"
#include "tests/imaging/base/MemoryStreams.h"
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

TEST(InputByteStream, GetByteAcrossRefillsAndEmptyRefills) {
  Bytes data = Counting(10);
  MemoryByteStream s(data, {3, 0, 0, 4, 0, 3});
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(s.MoreData());
    EXPECT_EQ(s.GetByte(), data[i]);
  }
  EXPECT_FALSE(s.MoreData());
  // At the end of the input GetByte fails instead of refilling for ever.
  try {
    s.GetByte();
    FAIL();
  } catch (const InputByteStream::StreamError& e) {
    EXPECT_STREQ(e.what(), "Premature end of file");
  }
}

TEST(InputByteStream, ReadDeliversWhatRemains) {
  Bytes data = Counting(20);
  for (std::uint32_t chunk : {1u, 3u, 7u, 64u}) {
    MemoryByteStream s(data, {chunk});
    std::uint8_t out[32] = {};
    EXPECT_EQ(s.Read(out, 5), 5u);
    EXPECT_EQ(0, std::memcmp(out, data.data(), 5));
    EXPECT_EQ(s.GetByte(), data[5]);
    EXPECT_EQ(s.Read(out, 30), 14u) << chunk;
    EXPECT_EQ(0, std::memcmp(out, data.data() + 6, 14));
    EXPECT_EQ(s.Read(out, 3), 0u);
    EXPECT_EQ(s.Read(out, 0), 0u);
  }
}

TEST(InputByteStream, WordReaders) {
  MemoryByteStream s({0x12, 0x34, 0x12, 0x34, 0xAB, 0xCD, 0xEF, 0x01, 0x77, 0x88}, {4});
  EXPECT_EQ(s.GetBigEndianWord(), 0x1234);
  EXPECT_EQ(s.GetWord(), 0x3412);
  EXPECT_EQ(s.GetBigEndianLong(), 0xABCDEF01u);
  // Only two bytes left: they take the two high-order places, zero below.
  EXPECT_EQ(s.GetBigEndianLong(), 0x77880000u);
  EXPECT_EQ(s.GetWord(), 0u);
}

TEST(InputByteStream, BaseTellAndSeek) {
  MemoryByteStream s({1, 2, 3}, {3});
  s.GetByte();
  EXPECT_EQ(s.Tell(), std::streampos(0));
  s.Seek(2);
  EXPECT_EQ(s.GetByte(), 2);
}

TEST(GifInputFileStream, FileOfExactlyOneBuffer) {
  std::string path = ScratchPath("exact.bin");
  Bytes data = Counting(64);
  WriteFile(path, data);
  GifInputFileStream s(64);
  s.Open(path);
  EXPECT_FALSE(s.EndReached());
  EXPECT_EQ(s.GetByte(), data[0]);
  // The first refill filled the whole buffer: the end is not known yet.
  EXPECT_FALSE(s.EndReached());
  std::uint8_t rest[63];
  EXPECT_EQ(s.Read(rest, 63), 63u);
  EXPECT_TRUE(s.MoreData());
  EXPECT_THROW(s.GetByte(), InputByteStream::StreamError);
  EXPECT_TRUE(s.EndReached());
  EXPECT_FALSE(s.MoreData());
}

TEST(GifInputFileStream, ReopenAndOpenFailure) {
  std::string a = ScratchPath("a.bin"), b = ScratchPath("b.bin");
  WriteFile(a, {1, 2});
  WriteFile(b, {9});
  GifInputFileStream s;  // 0: the default buffer of 65,536 bytes
  s.Open(a);
  EXPECT_EQ(s.GetByte(), 1);
  EXPECT_EQ(s.GetByte(), 2);
  EXPECT_TRUE(s.EndReached());
  s.Open(b);  // closes the first file and clears the end-of-file flag
  EXPECT_FALSE(s.EndReached());
  EXPECT_EQ(s.GetByte(), 9);
  std::string missing = ScratchPath("missing.gif");
  try {
    s.Open(missing);
    FAIL();
  } catch (const GifInputFileStream::GifInputStreamError& e) {
    EXPECT_EQ(std::string(e.what()), "GIF: Cannot open input file '" + missing + "'\n" + std::strerror(ENOENT) + "\n");
  }
}

TEST(JpegInputFileStream, TellCountsTheBytesTaken) {
  for (std::size_t size : {std::size_t(1024), std::size_t(100 * 1024)}) {
    std::string path = ScratchPath("tell.bin");
    Bytes data = Counting(size);
    WriteFile(path, data);
    JpegInputFileStream s(4096);
    s.Open(path);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(s.GetByte(), data[i]);
    EXPECT_EQ(s.Tell(), std::streampos(10)) << size;
    s.Seek(std::streampos(5));
    EXPECT_EQ(s.GetByte(), data[5]);
    EXPECT_EQ(s.Tell(), std::streampos(6));
  }
}

TEST(JpegInputFileStream, OpenFailureNamesTheFile) {
  std::string missing = ScratchPath("missing.jpg");
  JpegInputFileStream s(4096);
  try {
    s.Open(missing);
    FAIL();
  } catch (const JpegInputFileStream::JpegInputStreamError& e) {
    EXPECT_EQ(std::string(e.what()), "JPEG: Cannot open input file '" + missing + "'\n" + std::strerror(ENOENT));
  }
}

TEST(PngInputFileStream, BufferGrowsToTheLargestChunkAndRefusesOverlongCounts) {
  std::string path = ScratchPath("chunks.bin");
  Bytes data = {0, 1, 0x86, 0xA0};  // 100,000 big-endian
  Bytes big = Counting(100000);
  data.insert(data.end(), big.begin(), big.end());
  data.insert(data.end(), {1, 2, 3, 4, 5});
  WriteFile(path, data);
  PngInputFileStream s(4096);
  s.Open(path);
  ASSERT_TRUE(s.IsOpen());
  EXPECT_EQ(s.ReadChunkLength(), 100000u);
  std::uint8_t* p = nullptr;
  s.ReadChunkData(100000, p);
  EXPECT_EQ(0, std::memcmp(p, big.data(), big.size()));
  std::uint8_t* q = nullptr;
  s.ReadChunkData(1, q);
  EXPECT_EQ(q, p);  // the grown buffer is reused
  EXPECT_EQ(*q, 1);
  // More than the file holds: refused before anything is allocated or read.
  std::uint8_t* r = nullptr;
  EXPECT_THROW(s.ReadChunkData(0xFFFFFFF0u, r), InputByteStream::StreamError);
  PngInputFileStream missing(4096);
  missing.Open(ScratchPath("missing.png"));
  EXPECT_FALSE(missing.IsOpen());
}
