// The folder lock between processes: the real wait and its notice, the whole
// wait's length, a stop that ends it, the waiting line, a release after a
// deletion, and what may stand at the lock file's path.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <thread>

#include "platform/win/FileLock.h"
#include "platform/win/StopRequest.h"
#include "tests/platform/files/TempFolder.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using TState = TFolderLock::TState;

// Another run: a child process that (after `before`) takes the lock, tells its
// state and error, and gives the lock back when told.
class TOtherRun {
 public:
  explicit TOtherRun(const std::string& lockFile, const std::function<void()>& before = {}) {
    if (::pipe(told_) != 0 || ::pipe(tells_) != 0 || (pid_ = ::fork()) != 0) return;
    if (before) before();
    {
      const TFolderLock lock(lockFile);
      const int said[2] = {static_cast<int>(lock.State()), lock.Error()};
      char go = 0;
      if (::write(told_[1], said, sizeof said) != sizeof said || ::read(tells_[0], &go, 1) < 0) ::_exit(1);
    }
    ::_exit(0);
  }
  ~TOtherRun() {
    LetGo();
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    for (const int fd : {told_[0], told_[1], tells_[0], tells_[1]}) ::close(fd);
  }
  // Waits for the run's answer from the lock: {state, error}.
  std::array<int, 2> Said() const {
    std::array<int, 2> said = {-1, -1};
    static_cast<void>(::read(told_[0], said.data(), sizeof said));
    return said;
  }
  TState State() const { return static_cast<TState>(Said()[0]); }
  void LetGo() const { static_cast<void>(::write(tells_[1], "g", 1)); }
  pid_t Pid() const { return pid_; }

 private:
  int told_[2] = {-1, -1}, tells_[2] = {-1, -1};
  pid_t pid_ = -1;
};

struct FolderLock : ::testing::Test {
  filestest::TempFolder dir;
  const std::string lockFile = dir.System(".~tarnwell~lock");

  ~FolderLock() override {
    SetFolderLockWaitForTests(-1);
    SetFolderLockClockForTests(nullptr);
    SetFolderLockWaitNotice(nullptr);
    ClearStopRequest();
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path())) names.push_back(entry.path().filename().string());
    return names;
  }
};

TEST_F(FolderLock, AWaitingRunIsToldWhomItWaitsForAndTakesTheLockOnceGivenBack) {
  const TOtherRun holder(lockFile);
  ASSERT_EQ(holder.State(), TState::kHeld);
  std::vector<int> told;
  SetFolderLockWaitNotice([&](const std::string& file, int pid, int) {
    EXPECT_EQ(file, lockFile);
    EXPECT_TRUE(FolderLockWaiting());  // the notice is said during the wait
    told.push_back(pid);
    holder.LetGo();
  });
  EXPECT_EQ(TFolderLock(lockFile).State(), TState::kHeld);
  EXPECT_FALSE(FolderLockWaiting());
  EXPECT_EQ(told, std::vector<int>{holder.Pid()});
  EXPECT_EQ(Entries(), std::vector<std::string>{});
}

// The wait a user sets in TARNWELL_LOCK_WAIT: whole seconds from 0 to 3600;
// any other value leaves the default, and says so.
TEST(FolderLockWaitSetting, WholeSecondsAreTakenAndAnyOtherValueIsTold) {
  for (const char* text : {"-1", "abc", "99999", "", "5s", "3601", " 7", "+7", "99999999999999999999"}) {
    const TFolderLockWaitSetting setting = ReadFolderLockWaitSetting(text);
    EXPECT_EQ(setting.waitMs, 120000) << text;
    EXPECT_EQ(setting.refused, "TARNWELL_LOCK_WAIT=\"" + std::string(text) +
                                   "\" is not taken (it takes whole seconds from 0 to 3600): a run waits up to 120 "
                                   "seconds for another run's lock on a project folder");
  }
  for (const auto& [text, waitMs] : {std::pair{"0", 0}, {"7", 7000}, {"3600", 3600000}, {nullptr, 120000}}) {
    EXPECT_EQ(ReadFolderLockWaitSetting(text).waitMs, waitMs);
    EXPECT_EQ(ReadFolderLockWaitSetting(text).refused, "");
  }
}

// On a clock that moves five seconds a reading, the whole wait is long enough
// for a slow save of a large project and ends by itself; SIGTERM ends it at
// the next poll.
TEST_F(FolderLock, TheWaitLastsMinutesAndAStopEndsIt) {
  const TOtherRun holder(lockFile);
  ASSERT_EQ(holder.State(), TState::kHeld);
  const auto start = std::chrono::steady_clock::now();
  auto now = start;
  SetFolderLockClockForTests([&] {
    if ((now += 5s) - start > 1h) RequestStop(SIGTERM);  // a wait that would not end
    return now;
  });
  EXPECT_EQ(TFolderLock(lockFile).State(), TState::kTaken);
  EXPECT_EQ(StopRequestSignal(), 0);
  EXPECT_GE(now - start, 1min);
  EXPECT_LE(now - start, 5min);

  const StopSignalScope stops;
  SetFolderLockWaitNotice([](const std::string&, int, int) { ::kill(::getpid(), SIGTERM); });
  const auto stopped = now;
  EXPECT_EQ(TFolderLock(lockFile).State(), TState::kTaken);
  EXPECT_EQ(StopRequestSignal(), SIGTERM);
  EXPECT_LT(now - stopped, 1min);
}

// A waiting run held up (stopped) once the holder gave the lock back keeps its
// place: a later run finds the free lock not its own. Killed, it leaves a
// ticket that the next lock removes.
TEST_F(FolderLock, AWaitingRunIsServedBeforeALaterOne) {
  auto holder = std::make_unique<TOtherRun>(lockFile);
  ASSERT_EQ(holder->State(), TState::kHeld);
  const TOtherRun first(lockFile);
  while (Entries().size() < 2) std::this_thread::yield();  // its ticket beside the lock file
  ::kill(first.Pid(), SIGSTOP);
  ASSERT_EQ(::waitpid(first.Pid(), nullptr, WUNTRACED), first.Pid());
  holder.reset();
  SetFolderLockWaitForTests(0);
  EXPECT_EQ(TFolderLock(lockFile).State(), TState::kTaken);
  ::kill(first.Pid(), SIGKILL);
  ::waitpid(first.Pid(), nullptr, 0);
  EXPECT_EQ(Entries().size(), 1u);  // the killed run's ticket
  EXPECT_EQ(TFolderLock(lockFile).State(), TState::kHeld);
  EXPECT_EQ(Entries(), std::vector<std::string>{});
}

// Someone deleted the lock file of a run that holds the lock, and another run
// took a new one: the first run's release leaves the new file alone.
TEST_F(FolderLock, AReleaseLeavesTheFileOfARunThatCameAfterADeletion) {
  SetFolderLockWaitForTests(0);
  auto first = std::make_unique<TFolderLock>(lockFile);
  ASSERT_EQ(first->State(), TState::kHeld);
  fs::remove(dir.Native(".~tarnwell~lock"));
  const TOtherRun second(lockFile);
  ASSERT_EQ(second.State(), TState::kHeld);
  first.reset();
  EXPECT_TRUE(dir.Exists(".~tarnwell~lock"));
  EXPECT_EQ(TFolderLock(lockFile).State(), TState::kTaken);
}

// What stands at the lock file's path (made by root), and who runs: root, or
// another user (a child that gave root up), with the umask 077. A lock file
// made is rw-rw-rw-, or stays as it was when opened only for reading.
enum class TPut { kNothing, kFolder, kLink, kPipe, kPrivateFile, kReadableFile };
struct TPathRow {
  TPut put;
  mode_t folderMode;
  bool otherUser;
  bool held;  // root holds the file's lock meanwhile
  std::array<int, 2> said;
  int mode;  // the lock file's while the run holds it
};
constexpr int kHeld = static_cast<int>(TState::kHeld), kTaken = static_cast<int>(TState::kTaken),
              kNone = static_cast<int>(TState::kNoLockFile);
const TPathRow kPathRows[] = {
    {TPut::kFolder, 0755, false, false, {kNone, EISDIR}, 0},
    {TPut::kLink, 0755, false, false, {kNone, ELOOP}, 0},
    {TPut::kPipe, 0755, false, false, {kNone, EINVAL}, 0},
    {TPut::kNothing, 0777, true, false, {kHeld, 0}, 0666},
    {TPut::kPrivateFile, 0777, true, false, {kHeld, 0}, 0666},  // replaced in a shared folder
    {TPut::kPrivateFile, 0755, true, false, {kNone, EACCES}, 0},
    {TPut::kPrivateFile, 0777, true, true, {kTaken, 0}, 0},
    {TPut::kReadableFile, 0755, true, false, {kHeld, 0}, 0644},
    {TPut::kNothing, 0755, true, false, {kNone, EACCES}, 0},
};

TEST_F(FolderLock, WhatStandsAtTheLockFilesPath) {
  SetFolderLockWaitForTests(0);
  const fs::path path = dir.Native(".~tarnwell~lock");
  testsupport::LetOtherUsersReach(dir.Path());
  for (const TPathRow& row : kPathRows) {
    SCOPED_TRACE(&row - kPathRows);
    if (row.otherUser && ::geteuid() != 0) continue;  // only root can act as another user
    if (row.put == TPut::kFolder) fs::create_directory(path);
    if (row.put == TPut::kLink) fs::create_symlink("nowhere", path);
    if (row.put == TPut::kPipe) ::mkfifo(path.c_str(), 0666);
    if (row.put == TPut::kPrivateFile || row.put == TPut::kReadableFile) dir.Write(".~tarnwell~lock", "");
    ::chmod(path.c_str(), row.put == TPut::kPrivateFile ? 0600 : 0644);
    ::chmod(dir.Path().c_str(), row.folderMode);
    const int rootsFd = row.held ? ::open(path.c_str(), O_RDONLY) : -1;
    if (row.held) ::flock(rootsFd, LOCK_EX);
    const TOtherRun run(lockFile, [&] {
      ::umask(077);
      if (row.otherUser && (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0)) ::_exit(1);
    });
    EXPECT_EQ(run.Said(), row.said);
    struct stat st {};
    EXPECT_EQ(row.said[0] == kHeld && ::stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : 0,
              row.mode);
    ::close(rootsFd);
    fs::remove_all(path);
  }
}

}  // namespace
