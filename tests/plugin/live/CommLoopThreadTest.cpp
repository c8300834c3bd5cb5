// The communication-loop callback on the host loop's own thread while the
// user-interface side starts transfers, reads their progress, replaces the
// live view's entries and ends the transfers: whatever the timing, every
// transfer completes whole and nothing is touched after it was handed back.
// (Run under ThreadSanitizer in a build of its own.)

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "PlcLink.h"
#include "grid/TransferStart.h"
#include "host/sim/CommLoop.h"
#include "platform/win/VirtualClock.h"
#include "plugin/LiveView.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace std::chrono_literals;

class CallbackThread : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetCommLiveView();
    livetest::SetLink(&link_);
    link_.plc.Files().AddFolder("//WWW/");
    link_.plc.Memory().SetAreaSize(PlcArea::R, 0x1000);
    gCommRecord.liveViewOn.store(1);
    loop_.Register(
        &key_, [](std::uint32_t) { CommLoopCallback(&livetest::LinkSend, 0, 0, 0, COMM_LOOP_FLAG_ONLINE); }, 88,
        "Tarnwell");
    loop_.Start(1ms);
  }
  void TearDown() override {
    loop_.Remove(&key_);
    loop_.Stop();
    {
      std::unique_lock<std::mutex> lock = LockCommLoop();
      gCommRecord.entries = nullptr;
      gCommRecord.entryCount.store(0);
    }
    ResetCommLiveView();
    livetest::SetLink(nullptr);
  }
  // Waits (on the loop's rounds) until neither transfer runs.
  bool WaitForTransfers() {
    for (int i = 0; i < 20000; ++i) {
      const std::int32_t down = gCommRecord.download.state.load();
      if (gCommRecord.upload.state.load() == 0 && (down == 0 || down == 4)) return true;
      loop_.WaitForRounds(loop_.Rounds() + 1, 1s);
    }
    return false;
  }

  livetest::PlcLink link_;
  CommLoop loop_{link_.plc};
  int key_ = 0;
  testsupport::TempFolder folder_{"tarnwell-thread-"};
};

TEST_F(CallbackThread, TransfersRunOnTheLoopWhileTheUserInterfaceWatches) {
  const std::string content(20000, 'u');
  folder_.Write("up.bin", content);
  link_.plc.Files().AddFile("//WWW/DOWN.BIN", std::vector<std::uint8_t>(15000, 'd'), PlcDateOfUnixTime(1'600'000'000),
                            PlcDateOfUnixTime(1'600'000'000));
  bool done = false;
  ASSERT_TRUE(PrepareUpload(gCommRecord.upload, folder_.System("up.bin"), "//WWW/UPLOAD/UP.BIN", &done));
  PublishUpload(gCommRecord.upload, nullptr);
  ASSERT_TRUE(StartDownload(gCommRecord.download, "//WWW/DOWN.BIN", folder_.System("tmp.tmp"), 0, 0));
  std::uint32_t lastOffset = 0;
  while (gCommRecord.upload.state.load(std::memory_order_acquire) != 0) {
    const std::uint32_t offset = gCommRecord.upload.offset.load();
    EXPECT_GE(offset, lastOffset);
    lastOffset = offset;
    std::this_thread::yield();
  }
  ASSERT_TRUE(WaitForTransfers());
  WaitCommLoopIdle();
  EXPECT_TRUE(std::atomic_ref<bool>(done).load());
  EXPECT_EQ(gCommRecord.download.state.load(), 4);
  EXPECT_EQ(folder_.Read("tmp.tmp"), std::string(15000, 'd'));
  auto up = link_.plc.Files().Find("//WWW/UPLOAD/UP.BIN");
  ASSERT_TRUE(up.has_value());
  EXPECT_EQ(up->data.size(), content.size());
}

TEST_F(CallbackThread, EntriesReplacedWhileThePassesRunAreNeverUsedAfterwards) {
  for (int round = 0; round < 40; ++round) {
    // The live view off, the callback idle: the entries may go.
    gCommRecord.liveViewOn.store(0);
    WaitCommLoopIdle();
    auto entries = std::make_unique<std::vector<TCommItem>>(8);
    for (std::size_t i = 0; i < entries->size(); ++i) {
      TCommItem& e = (*entries)[i];
      e.position = {3, static_cast<std::uint32_t>(2 * i), -1, 2};
      e.outgoing[0] = static_cast<std::uint8_t>(round);
      e.outgoing[1] = static_cast<std::uint8_t>(i);
      e.writePending = true;
    }
    {
      std::unique_lock<std::mutex> lock = LockCommLoop();
      gCommRecord.entries = entries->data();
      gCommRecord.entryCount.store(static_cast<std::int32_t>(entries->size()));
    }
    gCommRecord.liveViewOn.store(1);
    // A round notes the time; the pass comes 200 ms later on the clock.
    loop_.WaitForRounds(loop_.Rounds() + 2, 1s);
    AdvanceVirtualClock(250);
    loop_.WaitForRounds(loop_.Rounds() + 2, 1s);
    gCommRecord.liveViewOn.store(0);
    WaitCommLoopIdle();
    {
      std::unique_lock<std::mutex> lock = LockCommLoop();
      gCommRecord.entries = nullptr;
      gCommRecord.entryCount.store(0);
    }
    entries.reset();  // freed with no callback able to reach it
  }
  std::uint8_t last[2] = {};
  ASSERT_TRUE(link_.plc.Memory().Read(PlcArea::R, 14, 2, last));
  EXPECT_EQ(last[1], 7);
}

TEST_F(CallbackThread, GoingOfflineWhileTheLoopReadsEndsTheDownloadCleanly) {
  link_.plc.Files().AddFile("//WWW/BIG.BIN", std::vector<std::uint8_t>(200000, 'b'), PlcDateOfUnixTime(1'600'000'000),
                            PlcDateOfUnixTime(1'600'000'000));
  ASSERT_TRUE(StartDownload(gCommRecord.download, "//WWW/BIG.BIN", folder_.System("tmp.tmp"), 0, 0));
  while (gCommRecord.download.offset.load() == 0) std::this_thread::yield();
  EndTransfersOffline();
  EXPECT_EQ(gCommRecord.download.state.load(), 0);
  EXPECT_EQ(gCommRecord.download.localFile, nullptr);
  loop_.WaitForRounds(loop_.Rounds() + 3, 1s);
  EXPECT_EQ(gCommRecord.download.state.load(), 0);
}

}  // namespace
