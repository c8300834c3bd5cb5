// The upload and download machines of the communication-loop callback
// against the simulated PLC, whole and with a PLC that misbehaves.

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <utility>

#include "PlcLink.h"
#include "grid/TransferStart.h"
#include "plugin/FileRequests.h"
#include "plugin/FileTransfers.h"
#include "tests/support/TempFolder.h"

namespace {

using livetest::CallOnce;
using livetest::RunTransfers;
using livetest::SetU32;
using livetest::U32;

std::string Pattern(std::size_t size) {
  std::string s(size, '\0');
  for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7 + 3) & 0xFF);
  return s;
}

std::vector<std::uint8_t> BytesOf(const std::string& s) { return {s.begin(), s.end()}; }

class FileTransfer : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetCommLiveView();
    livetest::SetLink(&link_);
    gCommRecord.liveViewOn.store(1);
  }
  void TearDown() override {
    ResetCommLiveView();
    livetest::SetLink(nullptr);
  }

  bool StartUpload(const std::string& content, const std::string& plcPath = "//WWW/UPLOAD/DATA.BIN") {
    folder_.Write("data.bin", content);
    if (!PrepareUpload(gCommRecord.upload, folder_.System("data.bin"), plcPath, &done_)) return false;
    PublishUpload(gCommRecord.upload, nullptr);
    return true;
  }
  void PutPlcFile(const std::string& path, const std::string& content) {
    if (!link_.plc.Files().Find("//WWW/")) link_.plc.Files().AddFolder("//WWW/");
    ASSERT_TRUE(link_.plc.Files().AddFile(path, BytesOf(content), PlcDateOfUnixTime(1'600'000'000),
                                          PlcDateOfUnixTime(1'600'000'100)));
  }
  void StartDownloadOf(const std::string& path, std::uint64_t created = 0, std::uint64_t written = 0) {
    ASSERT_TRUE(StartDownload(gCommRecord.download, path, folder_.System("tmp.tmp"), created, written));
  }
  std::string PlcContent(const std::string& path) {
    auto info = link_.plc.Files().Find(path);
    return info ? std::string(info->data.begin(), info->data.end()) : std::string("<none>");
  }

  livetest::PlcLink link_;
  testsupport::TempFolder folder_{"tarnwell-transfer-"};
  bool done_ = false;
};

TEST_F(FileTransfer, UploadsFilesOfEveryBlockBoundary) {
  for (std::size_t size : {0u, 1u, 219u, 220u, 221u, 1000u, 1100u, 1101u, 5000u}) {
    SCOPED_TRACE(size);
    done_ = false;
    const std::string content = Pattern(size);
    ASSERT_TRUE(StartUpload(content));
    const int calls = RunTransfers();
    // Folders (4 calls), create, data (five blocks a call), close, end.
    const int dataCalls = size == 0 ? 1 : static_cast<int>((size + 1099) / 1100);
    EXPECT_EQ(calls, 4 + 1 + dataCalls + 2);
    EXPECT_EQ(PlcContent("//WWW/UPLOAD/DATA.BIN"), content);
    EXPECT_TRUE(done_);
    EXPECT_EQ(gCommRecord.upload.outcome.load(), TUploadOutcome::Complete);
    EXPECT_EQ(gCommRecord.upload.localFile, nullptr);
    EXPECT_EQ(link_.plc.Files().OpenHandleCount(), 0u);
  }
}

TEST_F(FileTransfer, UploadMakesTheMissingFoldersAsFolders) {
  ASSERT_TRUE(StartUpload("abc"));
  RunTransfers();
  auto web = link_.plc.Files().Find("//WWW/");
  auto upload = link_.plc.Files().Find("//WWW/UPLOAD/");
  ASSERT_TRUE(web && upload);
  EXPECT_TRUE(web->folder);
  EXPECT_TRUE(upload->folder);
  EXPECT_TRUE(done_);
}

TEST_F(FileTransfer, DownloadsFilesOfEveryBlockBoundary) {
  for (std::size_t size : {0u, 1u, 219u, 220u, 221u, 1000u, 1101u, 5000u}) {
    SCOPED_TRACE(size);
    const std::string content = Pattern(size);
    const std::string path = "//WWW/F" + std::to_string(size) + ".BIN";
    PutPlcFile(path, content);
    StartDownloadOf(path);
    EXPECT_GT(RunTransfers(), 0);
    EXPECT_EQ(gCommRecord.download.state.load(), 4);
    EXPECT_EQ(gCommRecord.download.unchanged, 0);
    EXPECT_EQ(folder_.Read("tmp.tmp"), content);
    EXPECT_EQ(gCommRecord.download.creationTime, FileTimeOfPlcDate(PlcDateOfUnixTime(1'600'000'000).bytes).value());
    EXPECT_EQ(gCommRecord.download.writeTime, FileTimeOfPlcDate(PlcDateOfUnixTime(1'600'000'100).bytes).value());
    EXPECT_EQ(link_.plc.Files().OpenHandleCount(), 0u);
  }
}

TEST_F(FileTransfer, AnUnchangedPictureIsOpenedAndClosedOnly) {
  PutPlcFile("//WWW/PIC.PNG", "picture");
  const std::uint64_t created = FileTimeOfPlcDate(PlcDateOfUnixTime(1'600'000'000).bytes).value();
  const std::uint64_t written = FileTimeOfPlcDate(PlcDateOfUnixTime(1'600'000'100).bytes).value();
  StartDownloadOf("//WWW/PIC.PNG", created, written);
  EXPECT_EQ(RunTransfers(), 1);
  EXPECT_EQ(link_.sends.load(), 2);
  EXPECT_EQ(gCommRecord.download.state.load(), 4);
  EXPECT_EQ(gCommRecord.download.unchanged, 1);
  EXPECT_FALSE(std::filesystem::exists(folder_.Native("tmp.tmp")));
}

TEST_F(FileTransfer, TheLiveViewSwitchedOffHoldsBothMachinesWhereTheyStand) {
  ASSERT_TRUE(StartUpload(Pattern(300)));
  CallOnce();
  CallOnce();
  gCommRecord.liveViewOn.store(0);
  const int sends = link_.sends.load();
  for (int i = 0; i < 5; ++i) CallOnce();
  EXPECT_EQ(link_.sends.load(), sends);
  EXPECT_EQ(gCommRecord.upload.state.load(), 3);
  gCommRecord.liveViewOn.store(1);
  RunTransfers();
  EXPECT_EQ(PlcContent("//WWW/UPLOAD/DATA.BIN"), Pattern(300));
  EXPECT_TRUE(done_);
}

// A PLC that answers the requests of one command wrongly.
struct AnswerFault {
  const char* name;
  std::uint8_t command;
  livetest::AnswerFault change;
};

TEST_F(FileTransfer, AnUploadThatAPlcSpoilsNeverSetsTheDoneFlag) {
  const AnswerFault faults[] = {
      {"write count above the block", 5, [](std::uint8_t, std::uint8_t* a, std::uint32_t*) { SetU32(a, 12, 221); }},
      {"write count 0", 5, [](std::uint8_t, std::uint8_t* a, std::uint32_t*) { SetU32(a, 12, 0); }},
      {"write refused", 5, [](std::uint8_t, std::uint8_t* a, std::uint32_t*) { SetU32(a, 0, 9); }},
      {"write answer short", 5, [](std::uint8_t, std::uint8_t*, std::uint32_t* n) { *n = 12; }},
      {"final close refused", 3,
       [](std::uint8_t, std::uint8_t* a, std::uint32_t*) {
         if (a[0] == 0) SetU32(a, 0, 7);
       }},
      {"target not created", 2,
       [](std::uint8_t, std::uint8_t* a, std::uint32_t*) {
         if (U32(a, 4) > 2) SetU32(a, 0, 7);
       }},
  };
  for (const AnswerFault& f : faults) {
    SCOPED_TRACE(f.name);
    done_ = false;
    link_.fault = nullptr;
    ResetCommLiveView();
    gCommRecord.liveViewOn.store(1);
    ASSERT_TRUE(StartUpload(Pattern(700)));
    // The folders are made before the fault applies (the folder closes and
    // opens answer with small handles).
    for (int i = 0; i < 4; ++i) CallOnce();
    link_.fault = [&](std::uint8_t command, std::uint8_t* a, std::uint32_t* n) {
      if (command == f.command) f.change(command, a, n);
    };
    EXPECT_GT(RunTransfers(), 0);
    EXPECT_FALSE(done_);
    EXPECT_EQ(gCommRecord.upload.outcome.load(), TUploadOutcome::Failed);
    EXPECT_EQ(gCommRecord.upload.localFile, nullptr);
  }
}

TEST_F(FileTransfer, AFileThatShrankFailsTheUpload) {
  ASSERT_TRUE(StartUpload(Pattern(700)));
  std::filesystem::resize_file(folder_.Native("data.bin"), 300);
  EXPECT_GT(RunTransfers(), 0);
  EXPECT_FALSE(done_);
  EXPECT_EQ(gCommRecord.upload.outcome.load(), TUploadOutcome::Failed);
  EXPECT_EQ(gCommRecord.upload.offset.load(), 220u);
}

TEST_F(FileTransfer, ACancelledUploadEndsAfterItsBlockWithoutTheDoneFlag) {
  ASSERT_TRUE(StartUpload(Pattern(5000)));
  for (int i = 0; i < 5; ++i) CallOnce();
  gCommRecord.upload.cancel.store(1);
  EXPECT_GT(RunTransfers(), 0);
  EXPECT_FALSE(done_);
  EXPECT_EQ(gCommRecord.upload.outcome.load(), TUploadOutcome::Cancelled);
  EXPECT_EQ(gCommRecord.upload.offset.load(), 220u);
}

TEST_F(FileTransfer, ADownloadThatAPlcSpoilsEndsFailedAndLeavesNoFile) {
  const AnswerFault faults[] = {
      {"read count above the request", 4, [](std::uint8_t, std::uint8_t* a, std::uint32_t*) { SetU32(a, 12, 250); }},
      {"read count far past the size", 4,
       [](std::uint8_t, std::uint8_t* a, std::uint32_t*) { SetU32(a, 12, 0xFFFFFF00u); }},
      {"read count 0", 4, [](std::uint8_t, std::uint8_t* a, std::uint32_t*) { SetU32(a, 12, 0); }},
      {"read refused", 4, [](std::uint8_t, std::uint8_t* a, std::uint32_t*) { SetU32(a, 0, 8); }},
      {"read answer short", 4, [](std::uint8_t, std::uint8_t*, std::uint32_t* n) { *n -= 1; }},
      {"close refused", 3, [](std::uint8_t, std::uint8_t* a, std::uint32_t*) { SetU32(a, 0, 3); }},
      {"size larger than the file", 2,
       [](std::uint8_t, std::uint8_t* a, std::uint32_t*) { SetU32(a, 8, U32(a, 8) + 10); }},
  };
  PutPlcFile("//WWW/BIG.BIN", Pattern(700));
  for (const AnswerFault& f : faults) {
    SCOPED_TRACE(f.name);
    link_.fault = [&](std::uint8_t command, std::uint8_t* a, std::uint32_t* n) {
      if (command == f.command) f.change(command, a, n);
    };
    StartDownloadOf("//WWW/BIG.BIN");
    EXPECT_GT(RunTransfers(), 0);
    EXPECT_EQ(gCommRecord.download.state.load(), 0);
    EXPECT_FALSE(std::filesystem::exists(folder_.Native("tmp.tmp")));
    EXPECT_EQ(gCommRecord.download.localFile, nullptr);
  }
}

TEST_F(FileTransfer, ARefusedOpenOrAnUncreatableTemporaryFileEndsFailed) {
  StartDownloadOf("//WWW/MISSING.PNG");
  EXPECT_EQ(RunTransfers(), 1);
  EXPECT_EQ(gCommRecord.download.state.load(), 0);

  PutPlcFile("//WWW/A.PNG", "a");
  ASSERT_TRUE(StartDownload(gCommRecord.download, "//WWW/A.PNG", folder_.System("no\\such\\tmp.tmp"), 0, 0));
  EXPECT_EQ(RunTransfers(), 2);
  EXPECT_EQ(gCommRecord.download.state.load(), 0);
  EXPECT_EQ(link_.plc.Files().OpenHandleCount(), 0u);
}

TEST_F(FileTransfer, ANegativeReadResultAsksForTheBlockAgain) {
  PutPlcFile("//WWW/R.BIN", Pattern(500));
  StartDownloadOf("//WWW/R.BIN");
  CallOnce();
  // The PLC goes offline for one call: the read fails without an answer.
  link_.plc.SetOnline(false);
  CallOnce();
  link_.plc.SetOnline(true);
  EXPECT_EQ(gCommRecord.download.state.load(), 2);
  EXPECT_EQ(gCommRecord.download.offset.load(), 0u);
  EXPECT_GT(RunTransfers(), 0);
  EXPECT_EQ(gCommRecord.download.state.load(), 4);
  EXPECT_EQ(folder_.Read("tmp.tmp"), Pattern(500));
}

TEST_F(FileTransfer, GoingOfflineEndsBothTransfersAndClosesTheirFiles) {
  PutPlcFile("//WWW/R.BIN", Pattern(30000));
  StartDownloadOf("//WWW/R.BIN");
  ASSERT_TRUE(StartUpload(Pattern(30000)));
  for (int i = 0; i < 8; ++i) CallOnce();
  ASSERT_EQ(gCommRecord.download.state.load(), 2);
  EndTransfersOffline();
  EXPECT_EQ(gCommRecord.upload.state.load(), 0);
  EXPECT_EQ(gCommRecord.download.state.load(), 0);
  EXPECT_EQ(gCommRecord.upload.localFile, nullptr);
  EXPECT_EQ(gCommRecord.download.localFile, nullptr);
  EXPECT_FALSE(done_);
  // The partial file is closed and left; only a whole download is put in place.
  EXPECT_TRUE(std::filesystem::exists(folder_.Native("tmp.tmp")));
}

TEST_F(FileTransfer, GoingOfflineEndsAFinishedDownloadToo) {
  PutPlcFile("//WWW/R.BIN", Pattern(300));
  StartDownloadOf("//WWW/R.BIN");
  RunTransfers();
  ASSERT_EQ(gCommRecord.download.state.load(), 4);
  EndTransfersOffline();
  EXPECT_EQ(gCommRecord.download.state.load(), 0);
  EXPECT_EQ(folder_.Read("tmp.tmp"), Pattern(300));
}

// A callback held inside a send for longer than the old 500 ms wait: the
// user-interface thread's wait returns only after the callback left.
TEST_F(FileTransfer, WaitingForTheCallbackWaitsUntilItHasLeft) {
  PutPlcFile("//WWW/R.BIN", Pattern(300));
  StartDownloadOf("//WWW/R.BIN");
  std::mutex m;
  std::condition_variable cv;
  bool inside = false;
  bool waitReturned = false;
  bool waitReturnedWhileInside = true;
  bool first = true;
  link_.beforeSend = [&] {
    std::unique_lock<std::mutex> lock(m);
    if (!std::exchange(first, false)) return;
    inside = true;
    cv.notify_all();
    // Held past the time the old wait gave up (10 x 50 ms).
    cv.wait_for(lock, std::chrono::milliseconds(700), [&] { return waitReturned; });
    waitReturnedWhileInside = waitReturned;
  };
  std::thread loop([] { CallOnce(); });
  {
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return inside; });
  }
  gCommRecord.liveViewOn.store(0);
  WaitCommLoopIdle();
  {
    std::lock_guard<std::mutex> lock(m);
    waitReturned = true;
    cv.notify_all();
  }
  loop.join();
  EXPECT_FALSE(waitReturnedWhileInside);
}

TEST(UploadPlcPath, MapsWhatThePlcRefusesToUnderscores) {
  const struct {
    const char* file;
    const char* path;
  } cases[] = {
      {"pic.png", "//WWW/UPLOAD/PIC.PNG"},
      {"a-b_c.txt", "//WWW/UPLOAD/A-B_C.TXT"},
      {"my file.png", nullptr},
      {"a#b&c.png", nullptr},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = UploadPlcPath(c.file);
    if (c.path != nullptr) {
      EXPECT_EQ(path, c.path);
      continue;
    }
    ASSERT_EQ(path.rfind("//WWW/UPLOAD/", 0), 0u) << path;
    EXPECT_EQ(path.find_first_of(" #&%+"), std::string::npos) << path;
    EXPECT_NE(path.find('_'), std::string::npos) << path;
  }
}

}  // namespace
