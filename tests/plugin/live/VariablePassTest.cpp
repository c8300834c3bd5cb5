// The live view's variable pass in the communication-loop callback: writes
// of changed values in byte and bit batches, reads with "/WEBOLDCOMM" split
// over batches and limited per pass, at most every 200 ms, never while an
// upload runs, and stopped by the live view going off.

#include <gtest/gtest.h>

#include <vector>

#include "PlcLink.h"
#include "platform/win/VirtualClock.h"
#include "plugin/LiveView.h"
#include "plugin/Switches.h"

namespace {

using livetest::CallOnce;

constexpr std::uint8_t kAreaR = 3;
constexpr std::uint8_t kAreaX = 0;

class VariablePass : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetCommLiveView();
    gStartup = TStartupValues();
    livetest::SetLink(&link_);
    link_.plc.Memory().SetAreaSize(PlcArea::R, 0x10000);
  }
  void TearDown() override {
    ResetCommLiveView();
    gStartup = TStartupValues();
    {
      std::unique_lock<std::mutex> lock = LockCommLoop();
      gCommRecord.entries = nullptr;
      gCommRecord.entryCount.store(0);
    }
    livetest::SetLink(nullptr);
  }
  TCommItem& Entry(std::uint8_t area, std::uint32_t address, std::uint32_t size, std::int32_t bit = -1) {
    TCommItem& e = entries_.emplace_back();
    e.name = "V" + std::to_string(entries_.size());
    e.position = {area, address, bit, size};
    return e;
  }
  // `count` BOOL entries of X, each changed to TRUE.
  void ChangedBits(int count) {
    entries_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      TCommItem& e = Entry(kAreaX, static_cast<std::uint32_t>(i / 8), 1, i % 8);
      e.outgoing[0] = 1;
      e.writePending = true;
    }
  }
  // Publishes the entries and makes one pass.
  void Pass() {
    gCommRecord.entries = entries_.data();
    gCommRecord.entryCount.store(static_cast<std::int32_t>(entries_.size()));
    gCommRecord.liveViewOn.store(1);
    CallOnce();  // the first call after switching on only notes the time
    AdvanceVirtualClock(201);
    CallOnce();
  }
  std::vector<std::uint32_t> RequestsOf(std::uint32_t service) const {
    std::vector<std::uint32_t> lengths;
    for (const auto& [s, length] : link_.requests)
      if (s == service) lengths.push_back(length);
    return lengths;
  }
  std::vector<std::uint8_t> Memory(PlcArea area, std::uint32_t address, std::uint32_t count) {
    std::vector<std::uint8_t> bytes(count);
    link_.plc.Memory().Read(area, address, count, bytes.data());
    return bytes;
  }

  livetest::PlcLink link_;
  std::vector<TCommItem> entries_;
};

TEST_F(VariablePass, WritesHandedOverValuesAsBytesAndBits) {
  entries_.reserve(4);
  TCommItem& word = Entry(kAreaR, 10, 2);
  word.outgoing[0] = 0x34;
  word.outgoing[1] = 0x12;
  word.writePending = true;
  TCommItem& on = Entry(kAreaX, 5, 1, 3);
  on.outgoing[0] = 1;
  on.writePending = true;
  TCommItem& unknown = Entry(255, 0, 4);
  unknown.writePending = true;
  Entry(kAreaR, 20, 2);  // not changed: not written
  link_.plc.Memory().WriteBit(PlcArea::X, 5, 3, false);
  Pass();
  EXPECT_EQ(Memory(PlcArea::R, 10, 2), (std::vector<std::uint8_t>{0x34, 0x12}));
  bool bit = false;
  ASSERT_TRUE(link_.plc.Memory().ReadBit(PlcArea::X, 5, 3, &bit));
  EXPECT_TRUE(bit);
  EXPECT_FALSE(word.writePending);
  EXPECT_FALSE(on.writePending);
  EXPECT_EQ(RequestsOf(PLC_SERVICE_WRITE_BYTES), (std::vector<std::uint32_t>{6}));
  EXPECT_EQ(RequestsOf(PLC_SERVICE_WRITE_BITS), (std::vector<std::uint32_t>{4}));
  EXPECT_TRUE(RequestsOf(PLC_SERVICE_READ).empty()) << "reads are the host's without /WEBOLDCOMM";
  EXPECT_EQ(gCommRecord.variablePassRan.load(), 1);
}

TEST_F(VariablePass, SixtyOneChangedBitsGoInTwoBatches) {
  ChangedBits(61);
  Pass();
  EXPECT_EQ(RequestsOf(PLC_SERVICE_WRITE_BITS), (std::vector<std::uint32_t>{240, 4}));
  bool bit = false;
  ASSERT_TRUE(link_.plc.Memory().ReadBit(PlcArea::X, 7, 4, &bit));
  EXPECT_TRUE(bit);
}

TEST_F(VariablePass, ByteBatchesAreSentBeforeTheyPass240Bytes) {
  entries_.reserve(3);
  for (std::uint32_t i = 0; i < 3; ++i) {
    TCommItem& e = Entry(kAreaR, 100 * i, 100);
    e.outgoing.fill(static_cast<std::uint8_t>(i + 1));
    e.writePending = true;
  }
  Pass();
  // 104 + 104 fit, the third starts the next batch.
  EXPECT_EQ(RequestsOf(PLC_SERVICE_WRITE_BYTES), (std::vector<std::uint32_t>{208, 104}));
  EXPECT_EQ(Memory(PlcArea::R, 200, 100), std::vector<std::uint8_t>(100, 3));
}

TEST_F(VariablePass, ReadsWithOldCommSplitAcrossBatchesAndMaskBits) {
  gStartup.oldLiveComm = true;
  entries_.reserve(3);
  std::vector<std::uint8_t> big(240);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<std::uint8_t>(i);
  link_.plc.Memory().Write(PlcArea::R, 1000, 240, big.data());
  const std::uint8_t small[2] = {7, 9};
  link_.plc.Memory().Write(PlcArea::R, 50, 2, small);
  const std::uint8_t bits = 0xFF;
  link_.plc.Memory().Write(PlcArea::X, 2, 1, &bits);
  Entry(kAreaR, 50, 100);
  Entry(kAreaR, 1000, 240);
  Entry(kAreaX, 2, 1, 6);
  Pass();
  EXPECT_EQ(RequestsOf(PLC_SERVICE_READ), (std::vector<std::uint32_t>{8, 8}));
  ASSERT_TRUE(entries_[0].incomingValid && entries_[1].incomingValid && entries_[2].incomingValid);
  EXPECT_EQ(entries_[0].incoming[0], 7);
  EXPECT_EQ(entries_[0].incoming[1], 9);
  EXPECT_TRUE(std::equal(big.begin(), big.end(), entries_[1].incoming.begin()));
  EXPECT_EQ(entries_[2].incoming[0], 0x40);
  EXPECT_EQ(entries_[1].replyOffset, 340);
}

TEST_F(VariablePass, AReadTotalAbove8191DropsTheRest) {
  gStartup.oldLiveComm = true;
  entries_.reserve(36);
  for (std::uint32_t i = 0; i < 36; ++i) Entry(kAreaR, 240 * i, 240);
  Pass();
  EXPECT_TRUE(entries_[33].incomingValid);
  EXPECT_EQ(entries_[33].replyOffset, 8160);
  EXPECT_FALSE(entries_[34].incomingValid);
  EXPECT_EQ(entries_[34].replyOffset, -1);
  EXPECT_FALSE(entries_[35].incomingValid);
}

TEST_F(VariablePass, RunsAtMostEvery200MsAndNeverDuringAnUpload) {
  Entry(kAreaR, 10, 2);
  Pass();
  EXPECT_EQ(gCommRecord.variablePassRan.load(), 1);
  gCommRecord.variablePassRan.store(0);
  AdvanceVirtualClock(150);
  CallOnce();
  EXPECT_EQ(gCommRecord.variablePassRan.load(), 0);
  AdvanceVirtualClock(60);
  gCommRecord.upload.state.store(1);
  CallOnce();  // the upload opens "//WWW/" and runs on: no pass in this call
  EXPECT_EQ(gCommRecord.upload.state.load(), 2);
  EXPECT_EQ(gCommRecord.variablePassRan.load(), 0);
  gCommRecord.upload.state.store(0);
  CallOnce();
  EXPECT_EQ(gCommRecord.variablePassRan.load(), 1);
}

TEST_F(VariablePass, StopsWhenTheLiveViewGoesOff) {
  ChangedBits(70);
  // The first batch's send switches the live view off.
  link_.beforeSend = [] { gCommRecord.liveViewOn.store(0); };
  Pass();
  EXPECT_EQ(RequestsOf(PLC_SERVICE_WRITE_BITS), (std::vector<std::uint32_t>{240}));
  EXPECT_TRUE(entries_[61].writePending);
}

}  // namespace
