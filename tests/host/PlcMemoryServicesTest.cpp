// Services 11 (read), 12 (write bytes) and 16 (write bits) of the simulated
// PLC, with requests laid out as the live view's variable pass lays them out.

#include <gtest/gtest.h>

#include "host/sim/SimulatedPlc.h"
#include "tests/host/PlcRequests.h"

namespace {

// The area codes of the request headers, as the plug-in writes them.
constexpr std::uint8_t X = 0;
constexpr std::uint8_t Y = 1;
constexpr std::uint8_t R = 3;
constexpr std::uint8_t T = 4;

HRESULT Send(SimulatedPlc& plc, std::uint32_t service, const Bytes& request, Bytes* reply, std::uint32_t capacity) {
  reply->assign(capacity + 1, 0xEE);
  std::uint32_t length = capacity;
  HRESULT hr = plc.Send(0, service, static_cast<std::uint32_t>(request.size()), request.data(), &length, reply->data());
  EXPECT_EQ(reply->back(), 0xEE) << "wrote past the reply capacity";
  reply->resize(length);
  return hr;
}

TEST(PlcMemoryServices, ByteWritesThenReadsByAreaAndOffset) {
  SimulatedPlc plc;
  Bytes write;
  PutHeader(write, R, 0x10, 2);
  write.insert(write.end(), {0x34, 0x12});
  PutHeader(write, X, 3, 1);
  write.push_back(0xA5);
  PutHeader(write, R, 0xFFFC, 4);  // the last four bytes of a 64 KiB area
  write.insert(write.end(), {1, 2, 3, 4});
  Bytes reply;
  ASSERT_EQ(Send(plc, kPlcServiceWriteBytes, write, &reply, 0), S_OK);
  EXPECT_TRUE(reply.empty());

  std::uint8_t word[2];
  ASSERT_TRUE(plc.Memory().Read(PlcArea::R, 0x10, 2, word));
  EXPECT_EQ(word[0], 0x34);
  EXPECT_EQ(word[1], 0x12);

  Bytes read;
  PutHeader(read, R, 0x10, 2);
  PutHeader(read, X, 3, 1);
  PutHeader(read, R, 0xFFFC, 4);
  PutHeader(read, T, 0, 0);
  ASSERT_EQ(Send(plc, kPlcServiceRead, read, &reply, 240), S_OK);
  EXPECT_EQ(reply, (Bytes{0x34, 0x12, 0xA5, 1, 2, 3, 4}));
}

TEST(PlcMemoryServices, BitWritesSetAndClearOneBit) {
  SimulatedPlc plc;
  ASSERT_TRUE(plc.Memory().Write(PlcArea::Y, 7, 1, std::vector<std::uint8_t>{0xF0}.data()));
  Bytes bits;
  PutHeader(bits, Y, 7, 0x80 | 1);  // set bit 1
  PutHeader(bits, Y, 7, 7);         // clear bit 7
  PutHeader(bits, X, 0, 0x80 | 3);
  Bytes reply;
  ASSERT_EQ(Send(plc, kPlcServiceWriteBits, bits, &reply, 0), S_OK);
  std::uint8_t b = 0;
  plc.Memory().Read(PlcArea::Y, 7, 1, &b);
  EXPECT_EQ(b, 0x72);
  bool bit = false;
  ASSERT_TRUE(plc.Memory().ReadBit(PlcArea::X, 0, 3, &bit));
  EXPECT_TRUE(bit);

  // A full batch of 60 bit records (240 bytes).
  Bytes batch;
  for (int i = 0; i < 60; ++i)
    PutHeader(batch, R, 100 + static_cast<std::uint32_t>(i) / 8, static_cast<std::uint8_t>(0x80 | (i % 8)));
  ASSERT_EQ(batch.size(), 240u);
  ASSERT_EQ(Send(plc, kPlcServiceWriteBits, batch, &reply, 0), S_OK);
  std::uint8_t bytes[8];
  plc.Memory().Read(PlcArea::R, 100, 8, bytes);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(bytes[i], 0xFF);
  EXPECT_EQ(bytes[7], 0x0F);
}

TEST(PlcMemoryServices, ABadHeaderRefusesTheWholeBatch) {
  SimulatedPlc plc;
  std::uint32_t rSize = plc.Memory().AreaSize(PlcArea::R);
  Bytes write;
  PutHeader(write, R, 0, 1);
  write.push_back(0x11);
  PutHeader(write, R, rSize - 1, 2);  // one byte past the end
  write.insert(write.end(), {1, 2});
  Bytes reply;
  EXPECT_EQ(Send(plc, kPlcServiceWriteBytes, write, &reply, 0), kPlcErrorAddress);
  std::uint8_t b = 0xFF;
  plc.Memory().Read(PlcArea::R, 0, 1, &b);
  EXPECT_EQ(b, 0) << "the first item must not apply";

  // Unknown area code, truncated data, bad bit number, lengths off the records.
  Bytes unknown{0x05, 0, 0, 1, 5};
  EXPECT_EQ(Send(plc, kPlcServiceWriteBytes, unknown, &reply, 0), kPlcErrorAddress);
  Bytes truncated;
  PutHeader(truncated, R, 0, 4);
  truncated.insert(truncated.end(), {1, 2});
  EXPECT_EQ(Send(plc, kPlcServiceWriteBytes, truncated, &reply, 0), kPlcErrorBadRequest);
  Bytes badBit;
  PutHeader(badBit, R, 0, 0x88);
  EXPECT_EQ(Send(plc, kPlcServiceWriteBits, badBit, &reply, 0), kPlcErrorBadRequest);
  EXPECT_EQ(Send(plc, kPlcServiceWriteBits, Bytes{R, 0, 0}, &reply, 0), kPlcErrorBadRequest);
  EXPECT_EQ(Send(plc, kPlcServiceRead, Bytes{R, 0, 0, 1, 0}, &reply, 240), kPlcErrorBadRequest);
  Bytes outside;
  PutHeader(outside, X, plc.Memory().AreaSize(PlcArea::X), 1);
  EXPECT_EQ(Send(plc, kPlcServiceRead, outside, &reply, 240), kPlcErrorAddress);
  EXPECT_TRUE(reply.empty());
  EXPECT_EQ(Send(plc, kPlcServiceWriteBits, outside, &reply, 0), kPlcErrorAddress);
  // A request longer than the PLC takes.
  Bytes huge(kPlcMaxRequest + 4, 0);
  for (std::size_t i = 0; i < huge.size(); i += 4) huge[i] = R;
  EXPECT_EQ(Send(plc, kPlcServiceWriteBits, huge, &reply, 0), kPlcErrorBadRequest);
}

// Byte 0 of every header is the area code 0 (X) to 4 (T), in all three
// services; any other byte names no area and refuses the request.
TEST(PlcMemoryServices, HeaderByteZeroIsTheAreaCode) {
  const struct {
    std::uint8_t code;
    PlcArea area;
  } areas[] = {{0, PlcArea::X}, {1, PlcArea::Y}, {2, PlcArea::S}, {3, PlcArea::R}, {4, PlcArea::T}};
  SimulatedPlc plc;
  Bytes read, write, bits;
  Bytes expected;
  for (const auto& a : areas) {
    std::uint8_t marker = static_cast<std::uint8_t>(0xA0 + a.code);
    ASSERT_TRUE(plc.Memory().Write(a.area, 5, 1, &marker));
    PutHeader(read, a.code, 5, 1);
    expected.push_back(marker);
    PutHeader(write, a.code, 6, 1);
    write.push_back(static_cast<std::uint8_t>(0xB0 + a.code));
    PutHeader(bits, a.code, 7, static_cast<std::uint8_t>(0x80 | a.code));
  }
  Bytes reply;
  ASSERT_EQ(Send(plc, kPlcServiceRead, read, &reply, 240), S_OK);
  EXPECT_EQ(reply, expected);
  ASSERT_EQ(Send(plc, kPlcServiceWriteBytes, write, &reply, 0), S_OK);
  ASSERT_EQ(Send(plc, kPlcServiceWriteBits, bits, &reply, 0), S_OK);
  for (const auto& a : areas) {
    SCOPED_TRACE(PlcAreaName(a.area));
    std::uint8_t b[2] = {};
    ASSERT_TRUE(plc.Memory().Read(a.area, 6, 2, b));
    EXPECT_EQ(b[0], 0xB0 + a.code);
    EXPECT_EQ(b[1], 1 << a.code);
  }

  for (std::uint8_t code : {std::uint8_t{5}, std::uint8_t{0x20}, std::uint8_t{0x40}, std::uint8_t{0x60},
                            std::uint8_t{0x80}, std::uint8_t{0xA0}, std::uint8_t{0xFF}}) {
    SCOPED_TRACE(static_cast<int>(code));
    EXPECT_EQ(Send(plc, kPlcServiceRead, Bytes{code, 5, 0, 1}, &reply, 240), kPlcErrorAddress);
    EXPECT_EQ(Send(plc, kPlcServiceWriteBytes, Bytes{code, 5, 0, 1, 0x55}, &reply, 0), kPlcErrorAddress);
    EXPECT_EQ(Send(plc, kPlcServiceWriteBits, Bytes{code, 5, 0, 0x80}, &reply, 0), kPlcErrorAddress);
  }
  for (const auto& a : areas) {
    std::uint8_t b = 0;
    ASSERT_TRUE(plc.Memory().Read(a.area, 5, 1, &b));
    EXPECT_EQ(b, 0xA0 + a.code) << "a refused request changes nothing";
  }
}

TEST(PlcMemoryServices, ReadsNeedRoomForTheWholeAnswer) {
  SimulatedPlc plc;
  Bytes read;
  PutHeader(read, R, 0, 200);
  PutHeader(read, R, 200, 40);
  Bytes reply;
  EXPECT_EQ(Send(plc, kPlcServiceRead, read, &reply, 239), kPlcErrorReplyTooSmall);
  EXPECT_EQ(Send(plc, kPlcServiceRead, read, &reply, 240), S_OK);
  EXPECT_EQ(reply.size(), 240u);
}

TEST(PlcMemoryServices, UnknownServiceAndOffline) {
  SimulatedPlc plc;
  Bytes reply;
  EXPECT_EQ(Send(plc, 13, Bytes{1, 2, 3, 4}, &reply, 16), kPlcErrorUnknownService);
  plc.SetOnline(false);
  Bytes write;
  PutHeader(write, R, 0, 1);
  write.push_back(9);
  EXPECT_EQ(Send(plc, kPlcServiceWriteBytes, write, &reply, 0), kPlcErrorOffline);
  std::uint8_t b = 1;
  plc.Memory().Read(PlcArea::R, 0, 1, &b);
  EXPECT_EQ(b, 0);
  EXPECT_EQ(plc.RequestCount(kPlcServiceWriteBytes), 0u);
}

TEST(PlcMemoryModel, AreasCodesAndSizes) {
  EXPECT_EQ(PlcAreaOfName("t"), PlcArea::T);
  EXPECT_FALSE(PlcAreaOfName("Q"));
  EXPECT_FALSE(PlcAreaOfName("XX"));
  EXPECT_EQ(PlcAreaOfCode(2), PlcArea::S);
  EXPECT_FALSE(PlcAreaOfCode(5));
  EXPECT_FALSE(PlcAreaOfCode(0x60));
  EXPECT_EQ(PlcAreaCode(PlcArea::X), 0);
  EXPECT_EQ(PlcAreaCode(PlcArea::T), 4);
  EXPECT_EQ(PlcAreaMemoryCode(PlcArea::X), 1);
  EXPECT_EQ(PlcAreaMemoryCode(PlcArea::T), 5);
  PlcMemory m;
  EXPECT_FALSE(m.SetAreaSize(PlcArea::R, 0x10001)) << "an area holds at most 64 KiB";
  EXPECT_EQ(m.AreaSize(PlcArea::R), 65536u) << "a refused size leaves the area";
  EXPECT_TRUE(m.SetAreaSize(PlcArea::T, 0x10000));
  std::uint8_t b = 7;
  EXPECT_TRUE(m.Write(PlcArea::T, 0xFFFF, 1, &b));
  EXPECT_FALSE(m.Write(PlcArea::T, 0x10000, 1, &b));
  EXPECT_FALSE(m.Read(PlcArea::R, 0xFFFFFFFFu, 2, &b));
  bool bit;
  EXPECT_FALSE(m.ReadBit(PlcArea::R, 0, 8, &bit));
}

}  // namespace
