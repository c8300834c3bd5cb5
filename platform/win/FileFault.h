#pragma once
// A fault for tests: the Nth file operation of a command fails, or the
// process ends right before it as a kill would end it. The file functions of
// this layer (Win32File.h, FileIo.h, FdWrite.h, MoveFile.h, Folders.h,
// RecycleBin.h, FolderEntries.h, the class library's file stream) count each
// operation they ask of the system while a test has armed the count; a
// failed operation does nothing and fails as the system call would (errno,
// and the last error as each function sets it), and every other one goes on.
// A copy is no operation of its own: its creation, writes and rename count.
// Normal runs pay one relaxed load of an atomic per operation.
//
// A test runs the command once with a recorder to learn its operations, then
// again from the same files with each of them failing in turn (or ending the
// process, in a death test; or failing with every one after it, which leaves
// the disk as that kill does without the cost of a process; or failing with
// one chosen later operation too), and checks what is on disk after each run.

#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// What an operation asks of the system.
enum class TFileOp {
  kCreate,        // a file created, or opened for writing
  kWrite,         // one write call (all of its bytes)
  kFlush,         // the file's content forced to the disk (fsync)
  kRename,        // a file or folder renamed or moved
  kDelete,        // a file (or link) deleted
  kMakeFolder,    // one folder created
  kRemoveFolder,  // one empty folder removed (each of a recursive delete)
};

// One operation: its kind, the native path it works on and, for a rename,
// the new one.
struct TFileOpRecord {
  TFileOp kind;
  std::string path;
  std::string target;
};

// The operation in words for a test's messages: "rename of A to B".
std::string DescribeFileOp(const TFileOpRecord& op);

// What happens at the armed operation.
enum class TFileOpFault {
  kNone,  // nothing: the operations are only counted (and recorded)
  kFail,  // it fails
  kExit,  // the process ends before it with kFileOpExitCode
  kHalt,  // it and every operation after it fail: the files are left as a
          // kill before it leaves them, while the process goes on
  kStop,  // the process stops before it (SIGSTOP), as a run paused there,
          // and does it once continued: another process acts meanwhile
};

// The exit code of a process ended at an operation: that of a process killed
// by SIGKILL, as a shell reports it.
inline constexpr int kFileOpExitCode = 137;

// The error an operation fails with when the test names none: ENOSPC for a
// creation or a write, EIO for a flush, EPERM for the rest (what a file that
// may not be changed, or a folder that protects its entries, gives).
int DefaultFileOpError(TFileOp kind) noexcept;

// Arms the fault at operation number `op`, counted from 1 after this call (0:
// none), failing with errno `error` (0: DefaultFileOpError). kNone counts
// without a fault.
void ArmFileOpFaultForTests(TFileOpFault fault, std::uint64_t op, int error = 0) noexcept;
// Arms kFail at each of the operations `ops` (numbers as above): two faults
// in one run, such as a step and then a step of its undo.
void ArmFileOpFailuresForTests(std::initializer_list<std::uint64_t> ops, int error = 0);
// Turns the count and the fault off (the recorder is kept).
void DisarmFileOpFaultForTests() noexcept;

// Appends each operation to `ops` (null: no longer). Setting one arms the
// count as kNone does when nothing is armed, and counts again from 1.
void SetFileOpRecorderForTests(std::vector<TFileOpRecord>* ops) noexcept;

// The operations counted since the count was last armed.
std::uint64_t FileOpCountForTests() noexcept;

// Arms the fault for as long as it lives (a test's scope), recording into
// `ops` when given; then turns both off.
class FileOpFaultScope {
 public:
  FileOpFaultScope(TFileOpFault fault, std::uint64_t op, int error = 0) noexcept {
    ArmFileOpFaultForTests(fault, op, error);
  }
  explicit FileOpFaultScope(std::vector<TFileOpRecord>* ops) noexcept { SetFileOpRecorderForTests(ops); }
  explicit FileOpFaultScope(std::initializer_list<std::uint64_t> failing) { ArmFileOpFailuresForTests(failing); }
  ~FileOpFaultScope() {
    SetFileOpRecorderForTests(nullptr);
    DisarmFileOpFaultForTests();
  }
  FileOpFaultScope(const FileOpFaultScope&) = delete;
  FileOpFaultScope& operator=(const FileOpFaultScope&) = delete;
};

// --- for this layer's file functions ---

// True while a test counts operations.
extern std::atomic<bool> gFileOpsCounted;
// Counts the operation (records it, ends the process at the armed one) and
// returns the errno it is to fail with, 0 when it is to go on.
int CountFileOp(TFileOp kind, std::string_view path, std::string_view target);
// The same for an entry of a folder held open (AT_FDCWD: `name` is a path),
// and for an open file.
int CountFileOpAt(TFileOp kind, int folderFd, std::string_view name, std::string_view target);
int CountFileOpOnFd(TFileOp kind, int fd);

// Called before each operation: 0 to do it, else the errno to fail with
// (errno is set to it too, so a caller may simply report failure).
inline int FileOpFault(TFileOp kind, std::string_view path, std::string_view target = {}) {
  if (!gFileOpsCounted.load(std::memory_order_relaxed)) [[likely]]
    return 0;
  return CountFileOp(kind, path, target);
}
inline int FileOpFaultAt(TFileOp kind, int folderFd, std::string_view name, std::string_view target = {}) {
  if (!gFileOpsCounted.load(std::memory_order_relaxed)) [[likely]]
    return 0;
  return CountFileOpAt(kind, folderFd, name, target);
}
inline int FileOpFaultOnFd(TFileOp kind, int fd) {
  if (!gFileOpsCounted.load(std::memory_order_relaxed)) [[likely]]
    return 0;
  return CountFileOpOnFd(kind, fd);
}
