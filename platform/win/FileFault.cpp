#include "platform/win/FileFault.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <mutex>

std::atomic<bool> gFileOpsCounted{false};

namespace {

std::mutex gLock;
std::vector<TFileOpRecord>* gRecorder = nullptr;
TFileOpFault gFault = TFileOpFault::kNone;
bool gFaultArmed = false;
std::uint64_t gFaultAt = 0;
std::vector<std::uint64_t> gFailing;  // more operations that fail
int gFaultError = 0;
std::uint64_t gCount = 0;

// Called with the lock held.
void UpdateCounted() { gFileOpsCounted.store(gFaultArmed || gRecorder != nullptr, std::memory_order_relaxed); }

// The native path of an open descriptor, as the system names it.
std::string PathOfFd(int fd) {
  std::array<char, PATH_MAX> buffer{};
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = ::readlink(link.c_str(), buffer.data(), buffer.size() - 1);
  if (length < 0) return "descriptor " + std::to_string(fd);
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

std::string InFolder(int folderFd, std::string_view name) {
  if (folderFd == AT_FDCWD || name.empty() || name.front() == '/') return std::string(name);
  return PathOfFd(folderFd) + "/" + std::string(name);
}

}  // namespace

std::string DescribeFileOp(const TFileOpRecord& op) {
  switch (op.kind) {
    case TFileOp::kCreate: return "creation of " + op.path;
    case TFileOp::kWrite: return "write to " + op.path;
    case TFileOp::kFlush: return "flush of " + op.path;
    case TFileOp::kRename: return "rename of " + op.path + " to " + op.target;
    case TFileOp::kDelete: return "deletion of " + op.path;
    case TFileOp::kMakeFolder: return "creation of the folder " + op.path;
    case TFileOp::kRemoveFolder: return "removal of the folder " + op.path;
  }
  return op.path;
}

int DefaultFileOpError(TFileOp kind) noexcept {
  switch (kind) {
    case TFileOp::kCreate:
    case TFileOp::kWrite: return ENOSPC;
    case TFileOp::kFlush: return EIO;
    default: return EPERM;
  }
}

void ArmFileOpFaultForTests(TFileOpFault fault, std::uint64_t op, int error) noexcept {
  const std::lock_guard<std::mutex> lock(gLock);
  gFault = op == 0 ? TFileOpFault::kNone : fault;
  gFaultArmed = true;
  gFaultAt = op;
  gFailing.clear();
  gFaultError = error;
  gCount = 0;
  UpdateCounted();
}

void ArmFileOpFailuresForTests(std::initializer_list<std::uint64_t> ops, int error) {
  ArmFileOpFaultForTests(TFileOpFault::kNone, 0, error);
  const std::lock_guard<std::mutex> lock(gLock);
  gFailing.assign(ops.begin(), ops.end());
}

void DisarmFileOpFaultForTests() noexcept {
  const std::lock_guard<std::mutex> lock(gLock);
  gFault = TFileOpFault::kNone;
  gFailing.clear();
  gFaultArmed = false;
  UpdateCounted();
}

void SetFileOpRecorderForTests(std::vector<TFileOpRecord>* ops) noexcept {
  const std::lock_guard<std::mutex> lock(gLock);
  gRecorder = ops;
  gCount = 0;
  UpdateCounted();
}

std::uint64_t FileOpCountForTests() noexcept {
  const std::lock_guard<std::mutex> lock(gLock);
  return gCount;
}

int CountFileOp(TFileOp kind, std::string_view path, std::string_view target) {
  const std::lock_guard<std::mutex> lock(gLock);
  if (gRecorder != nullptr) gRecorder->push_back({kind, std::string(path), std::string(target)});
  // Armed with op 0 the fault is kNone, so a halt always has a first operation.
  const std::uint64_t n = ++gCount;
  const bool failing = std::find(gFailing.begin(), gFailing.end(), n) != gFailing.end();
  if (!failing && n != gFaultAt && !(gFault == TFileOpFault::kHalt && n > gFaultAt)) return 0;
  const TFileOpFault fault = failing ? TFileOpFault::kFail : gFault;
  // A process ended here leaves the files as a kill at this moment would:
  // nothing is flushed, no destructor runs.
  if (fault == TFileOpFault::kExit) ::_exit(kFileOpExitCode);
  if (fault == TFileOpFault::kStop) {
    ::raise(SIGSTOP);
    return 0;
  }
  if (fault == TFileOpFault::kNone) return 0;
  const int error = gFaultError != 0 ? gFaultError : DefaultFileOpError(kind);
  errno = error;
  return error;
}

int CountFileOpAt(TFileOp kind, int folderFd, std::string_view name, std::string_view target) {
  return CountFileOp(kind, InFolder(folderFd, name), target.empty() ? std::string() : InFolder(folderFd, target));
}

int CountFileOpOnFd(TFileOp kind, int fd) { return CountFileOp(kind, PathOfFd(fd), {}); }
