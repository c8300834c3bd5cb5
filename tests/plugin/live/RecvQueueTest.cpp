// The picture download queue: PLC paths and local copies of names that come
// from PLC strings, the round robin of its items, pending names, unchanged
// pictures, removal during a download, and failed downloads that keep the
// old copy.

#include <gtest/gtest.h>

#include <filesystem>

#include "PlcLink.h"
#include "grid/RecvQueue.h"
#include "platform/win/FileTime.h"
#include "tests/support/TempFolder.h"

namespace {

using livetest::CallOnce;
using livetest::RunTransfers;

TEST(RecvQueueNames, PlcPathsOfNames) {
  const struct {
    std::string name;
    std::string path;
  } cases[] = {
      {"pic.png", "//WWW/pic.png"},
      {"/SDC/a.gif", "//SDC/a.gif"},
      {"img/x.png?t=1", "//WWW/img/x.png"},
      {"RAM/x.bmp", "//RAM/x.bmp"},
      {"//WWW/x.bmp", "//WWW/WWW/x.bmp"},
      {std::string(100, 'a') + ".png", "//WWW/" + std::string(73, 'a')},
      {"RAM/" + std::string(100, 'c'), "//RAM/" + std::string(73, 'c')},
      {std::string(90, 'b') + "?q", "//WWW/" + std::string(77, 'b')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TRecvQueue::PlcPathOf(c.name), c.path);
    EXPECT_LE(TRecvQueue::PlcPathOf(c.name).size(), 83u);
  }
}

TEST(RecvQueueNames, LocalCopiesStayInTheTemporaryFolder) {
  testsupport::TempFolder folder("tarnwell-names-");
  const std::string temp = folder.System("temp\\");
  const struct {
    const char* name;
    const char* relative;  // null: refused
  } cases[] = {
      {"pic.png", "pic.png"},       {"img/x.png?t=1", "img\\x.png"},
      {"/SDC/a.gif", "SDC\\a.gif"}, {"../../x.png", nullptr},
      {"img/../../x.png", nullptr}, {"./x.png", nullptr},
      {"a//b.png", nullptr},        {"C:x.png", nullptr},
      {"img\\x.png", nullptr},      {"", nullptr},
      {"?x.png", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string local = TRecvQueue::LocalNameOf(temp, c.name);
    if (c.relative == nullptr)
      EXPECT_EQ(local, "");
    else
      EXPECT_EQ(local, temp + c.relative);
  }
  EXPECT_EQ(TRecvQueue::LocalNameOf("", "pic.png"), "");
  // A link inside the folder that leads out of it is not followed.
  std::filesystem::create_directories(folder.Native("temp"));
  std::filesystem::create_directory_symlink(folder.Path().parent_path(), folder.Native("temp/out"));
  EXPECT_EQ(TRecvQueue::LocalNameOf(temp, "out/x.png"), "");
}

TEST(RecvQueueNames, PlainRelativeNames) {
  for (const char* ok : {"a.png", "a/b/c.png", "A B.png"}) EXPECT_TRUE(IsPlainRelativeName(ok)) << ok;
  for (const char* bad : {"", "/a.png", "a/", "..", "a/../b", "a\\b", "c:/a", "a\tb"})
    EXPECT_FALSE(IsPlainRelativeName(bad)) << bad;
}

class RecvQueueRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetCommLiveView();
    livetest::SetLink(&link_);
    gCommRecord.liveViewOn.store(1);
    link_.plc.Files().AddFolder("//WWW/");
    link_.plc.Files().AddFolder("//WWW/IMG/");
  }
  void TearDown() override {
    ResetCommLiveView();
    livetest::SetLink(nullptr);
  }
  void Put(const std::string& path, const std::string& content, std::int64_t time = 1'600'000'000) {
    link_.plc.Files().AddFile(path, {content.begin(), content.end()}, PlcDateOfUnixTime(time),
                              PlcDateOfUnixTime(time + 60));
  }
  // Polls, runs the callback until the download ends, polls again.
  void Serve() {
    queue_.Poll();
    RunTransfers();
    queue_.Poll();
  }
  std::string Temp() const { return folder_.System("temp\\"); }

  livetest::PlcLink link_;
  testsupport::TempFolder folder_{"tarnwell-queue-"};
  TRecvQueue queue_{&gCommRecord.download, [this] { return Temp(); }};
  // Owners are identities only.
  int a_ = 0, b_ = 0, c_ = 0;
  const TGridWebElement* A = reinterpret_cast<const TGridWebElement*>(&a_);
  const TGridWebElement* B = reinterpret_cast<const TGridWebElement*>(&b_);
  const TGridWebElement* C = reinterpret_cast<const TGridWebElement*>(&c_);
};

TEST_F(RecvQueueRun, DownloadsIntoTheLocalCopyStampedWithThePlcTimes) {
  Put("//WWW/IMG/X.PNG", "xpicture");
  queue_.Add(A, "img/x.png?t=5");
  Serve();
  EXPECT_EQ(queue_.Finish(A), 0);
  EXPECT_EQ(folder_.Read("temp/img/x.png"), "xpicture");
  FILETIME written{};
  ASSERT_TRUE(GetPathFileTime(queue_.LocalFileOf(A), nullptr, nullptr, &written));
  EXPECT_EQ(FileTimeToTimeT(written), 1'600'000'060);
  EXPECT_FALSE(std::filesystem::exists(folder_.Native("temp/tmp.tmp")));

  // Asked again: the PLC file is opened and closed, the copy stays.
  const int sends = link_.sends.load();
  queue_.Add(A, "img/x.png?t=6");
  Serve();
  EXPECT_EQ(gCommRecord.download.unchanged, 1);
  EXPECT_EQ(link_.sends.load() - sends, 2);
  EXPECT_EQ(queue_.Finish(A), 0);
  EXPECT_EQ(folder_.Read("temp/img/x.png"), "xpicture");
}

TEST_F(RecvQueueRun, ServesTheItemsInTurnAfterTheOneServedLast) {
  for (const char* name : {"//WWW/A.PNG", "//WWW/B.PNG", "//WWW/C.PNG"}) Put(name, name);
  queue_.Add(A, "a.png");
  queue_.Poll();  // a.png starts
  queue_.Add(B, "b.png");
  queue_.Add(C, "c.png");
  RunTransfers();
  queue_.Poll();  // a.png done and in place, b.png starts
  EXPECT_EQ(queue_.Current(), 1);
  EXPECT_EQ(std::string(gCommRecord.download.plcPath), "//WWW/b.png");
  RunTransfers();
  queue_.Poll();
  EXPECT_EQ(queue_.Current(), 2);
  RunTransfers();
  queue_.Poll();
  queue_.Poll();
  EXPECT_EQ(queue_.Current(), -1);
  for (const auto* owner : {A, B, C}) EXPECT_EQ(queue_.Finish(owner), 0);
  EXPECT_EQ(folder_.Read("temp/a.png"), "//WWW/A.PNG");
  EXPECT_EQ(folder_.Read("temp/b.png"), "//WWW/B.PNG");
  EXPECT_EQ(folder_.Read("temp/c.png"), "//WWW/C.PNG");
}

TEST_F(RecvQueueRun, ANameAskedForDuringADownloadWaitsItsTurn) {
  Put("//WWW/A.PNG", std::string(3000, 'a'));
  Put("//WWW/B.PNG", "b");
  queue_.Add(A, "a.png");
  queue_.Poll();
  CallOnce();
  queue_.Add(A, "b.png");
  queue_.Add(A, "b.png");
  EXPECT_EQ(queue_.Items().at(0)->pending, "b.png");
  EXPECT_EQ(queue_.Finish(A), 1);
  RunTransfers();
  queue_.Poll();
  EXPECT_EQ(queue_.Finish(A), 0);  // a.png in place, b.png waits
  EXPECT_EQ(queue_.Items().at(0)->state, 1);
  EXPECT_EQ(queue_.Items().at(0)->file, "b.png");
  Serve();
  EXPECT_EQ(queue_.Finish(A), 0);
  EXPECT_EQ(folder_.Read("temp/a.png"), std::string(3000, 'a'));
  EXPECT_EQ(folder_.Read("temp/b.png"), "b");
}

TEST_F(RecvQueueRun, AFailedDownloadKeepsTheOldCopyAndStampsNothing) {
  folder_.Write("temp/a.png", "old copy");
  const std::int64_t before = std::filesystem::last_write_time(folder_.Native("temp/a.png")).time_since_epoch().count();
  Put("//WWW/A.PNG", std::string(700, 'n'), 1'700'000'000);
  link_.fault = [](std::uint8_t command, std::uint8_t* a, std::uint32_t*) {
    if (command == 4) livetest::SetU32(a, 12, 0);
  };
  queue_.Add(A, "a.png");
  Serve();
  EXPECT_EQ(queue_.Finish(A), 0);
  EXPECT_EQ(folder_.Read("temp/a.png"), "old copy");
  EXPECT_EQ(std::filesystem::last_write_time(folder_.Native("temp/a.png")).time_since_epoch().count(), before);
  EXPECT_FALSE(std::filesystem::exists(folder_.Native("temp/tmp.tmp")));
}

TEST_F(RecvQueueRun, AStaleTemporaryFileNeverBecomesACopy) {
  folder_.Write("temp/tmp.tmp", "stale");
  queue_.Add(A, "missing.png");
  Serve();
  EXPECT_EQ(queue_.Finish(A), 0);
  EXPECT_FALSE(std::filesystem::exists(folder_.Native("temp/missing.png")));
}

TEST_F(RecvQueueRun, ARefusedNameIsNeverFetched) {
  queue_.Add(A, "../../evil.png");
  Serve();
  EXPECT_EQ(link_.sends.load(), 0);
  EXPECT_EQ(queue_.Finish(A), 0);
  EXPECT_EQ(queue_.LocalFileOf(A), "");
  EXPECT_FALSE(std::filesystem::exists(folder_.Path().parent_path() / "evil.png"));
}

TEST_F(RecvQueueRun, RemovingItemsDuringADownloadKeepsTheCurrentIndexOnItsItem) {
  for (const char* name : {"//WWW/A.PNG", "//WWW/B.PNG", "//WWW/C.PNG"}) Put(name, std::string(2000, name[6]));
  queue_.Add(A, "a.png");
  queue_.Add(B, "b.png");
  queue_.Add(C, "c.png");
  queue_.Poll();  // a.png
  RunTransfers();
  queue_.Poll();  // b.png starts: current 1
  ASSERT_EQ(queue_.Current(), 1);
  queue_.Remove(A);  // an item before the current one
  EXPECT_EQ(queue_.Current(), 0);
  CallOnce();
  queue_.Poll();
  EXPECT_EQ(queue_.Items().at(0)->state, 2);  // still B's entry
  queue_.Remove(B);                           // the current item itself
  EXPECT_EQ(queue_.Current(), -1);
  RunTransfers();
  queue_.Poll();  // B's download ended: C starts, nothing is written into C's entry
  EXPECT_EQ(queue_.Current(), 0);
  EXPECT_EQ(queue_.Items().size(), 1u);
  RunTransfers();
  queue_.Poll();
  EXPECT_EQ(queue_.Finish(C), 0);
  EXPECT_EQ(folder_.Read("temp/c.png"), std::string(2000, 'C'));
  EXPECT_FALSE(std::filesystem::exists(folder_.Native("temp/b.png")));
  EXPECT_EQ(queue_.Finish(B), -1);
}

}  // namespace
