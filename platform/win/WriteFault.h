#pragma once
// A fault for tests: file writes that stop half-way through, as on a full
// disk. It is off unless a test sets a budget of bytes; then the write paths
// of this layer (WriteFile, WriteAllToFd and everything built on them) write
// at most that many bytes in all and fail after them with ENOSPC
// (ERROR_DISK_FULL). Normal runs pay one relaxed load of an atomic per write
// call.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

// The bytes that may still be written; negative turns the fault off (the
// default).
void SetFileWriteBudgetForTests(std::int64_t aBytes) noexcept;

// The write calls that failed so far in this process (on a full disk, at the
// budget's end, on any error of the system): a command compares the count
// before and after it to learn whether one of its writes failed.
std::uint64_t FileWriteFailureCount() noexcept;
void CountFileWriteFailure() noexcept;

// While a budget is set, the size of every write call is appended to
// `sizes` too (null: no longer), so that a test can place budgets at each
// write of a command it ran once with a budget it cannot use up.
void SetFileWriteRecorderForTests(std::vector<std::size_t>* sizes) noexcept;

// While a budget is set, the write call number `aCall` (counted from 1 after
// this call; 0 turns it off) asks the program to stop as SIGINT does
// (StopRequest.h) before it writes: an interruption at that write.
void SetStopAtFileWriteForTests(std::uint64_t aCall) noexcept;

// While a budget is set, the write call number `aCall` (counted from 1 after
// this call; 0 turns it off) fails as on a full disk, and the calls before
// and after it write what the budget allows: one failed write in a run that
// otherwise goes on to its end.
void SetFailAtFileWriteForTests(std::uint64_t aCall) noexcept;

// The budget; negative when the fault is off.
extern std::atomic<std::int64_t> gFileWriteBudget;
// Takes up to aSize bytes from a set budget and returns how many were taken.
std::size_t TakeFromFileWriteBudget(std::size_t aSize) noexcept;

// How many of aSize bytes the next write call may write: all of them unless a
// test set a budget; 0 means that the write is to fail with ENOSPC.
inline std::size_t AllowedFileWriteSize(std::size_t aSize) noexcept {
  if (gFileWriteBudget.load(std::memory_order_relaxed) < 0) [[likely]]
    return aSize;
  return TakeFromFileWriteBudget(aSize);
}

// Sets a budget for as long as it lives (a test's scope), then turns the
// fault off again.
class FileWriteBudgetScope {
 public:
  explicit FileWriteBudgetScope(std::int64_t aBytes) noexcept { SetFileWriteBudgetForTests(aBytes); }
  ~FileWriteBudgetScope() { SetFileWriteBudgetForTests(-1); }
  FileWriteBudgetScope(const FileWriteBudgetScope&) = delete;
  FileWriteBudgetScope& operator=(const FileWriteBudgetScope&) = delete;
};
