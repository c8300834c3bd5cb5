// The failure hook of the file functions: the armed operation (or the two)
// fails as the system would fail it and changes nothing, the others go on; the
// recorder names each operation in order; a run ended at an operation leaves
// the files as a kill there would.

#include <cerrno>
#include <filesystem>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "platform/win/FileFault.h"
#include "platform/win/FileIo.h"
#include "platform/win/MoveFile.h"
#include "platform/win/RecycleBin.h"
#include "platform/win/Win32File.h"
#include "tests/platform/files/TempFolder.h"
#include "tests/support/FileTree.h"

using filestest::TempFolder;

namespace {

// Every entry below the folder: a file with its bytes, a folder as "/".
std::map<std::string, std::string> Entries(const TempFolder& dir) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.Path())) {
    const std::string name = std::filesystem::relative(entry.path(), dir.Path()).generic_string();
    entries[name] = entry.is_directory() ? "/" : testsupport::ReadFileText(entry.path());
  }
  return entries;
}

DWORD Win32Result(BOOL ok) { return ok ? ERROR_SUCCESS : GetLastError(); }
int ErrnoResult(bool ok) { return ok ? 0 : errno; }

struct TFaultRow {
  const char* name;
  std::uint64_t op;  // the operation of `act` that fails
  TFileOp kind;
  // Does the operations; 0, or the error (a Win32 code or an errno) the
  // function reports.
  std::function<long(const TempFolder&)> act;
  long error;
};

}  // namespace

TEST(FileFault, TheArmedOperationFailsAsTheSystemWouldAndTheNextOnesGoOn) {
  const std::vector<TFaultRow> rows = {
      {"create", 1, TFileOp::kCreate,
       [](const TempFolder& d) -> long {
         HANDLE h = CreateFileA(d.System("new.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
         const DWORD result = Win32Result(h != INVALID_HANDLE_VALUE);
         if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
         return result;
       },
       ERROR_DISK_FULL},
      {"write", 2, TFileOp::kWrite,
       [](const TempFolder& d) -> long {
         HANDLE h = CreateFileA(d.System("old.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
         const DWORD result = Win32Result(WriteFile(h, "new", 3, nullptr, nullptr));
         CloseHandle(h);
         return result;
       },
       ERROR_DISK_FULL},
      {"flush", 3, TFileOp::kFlush,
       [](const TempFolder& d) -> long { return ErrnoResult(WriteFileReplacing(d.System("old.txt"), "new", 3)); }, EIO},
      {"rename over", 4, TFileOp::kRename,
       [](const TempFolder& d) -> long { return ErrnoResult(WriteFileReplacing(d.System("old.txt"), "new", 3)); },
       EPERM},
      {"move", 1, TFileOp::kRename,
       [](const TempFolder& d) -> long {
         return Win32Result(MoveFileA(d.System("old.txt").c_str(), d.System("moved.txt").c_str()));
       },
       ERROR_ACCESS_DENIED},
      {"rename replacing", 1, TFileOp::kRename,
       [](const TempFolder& d) -> long {
         return Win32Result(RenameReplacing(d.System("old.txt").c_str(), d.System("gone.txt").c_str()));
       },
       ERROR_ACCESS_DENIED},
      {"delete", 1, TFileOp::kDelete,
       [](const TempFolder& d) -> long { return Win32Result(DeleteFileA(d.System("gone.txt").c_str())); },
       ERROR_ACCESS_DENIED},
      {"make folder", 1, TFileOp::kMakeFolder,
       [](const TempFolder& d) -> long { return Win32Result(CreateDirectoryA(d.System("sub").c_str(), nullptr)); },
       ERROR_ACCESS_DENIED},
      {"remove folder", 1, TFileOp::kRemoveFolder,
       [](const TempFolder& d) -> long { return Win32Result(RemoveDirectoryA(d.System("empty").c_str())); },
       ERROR_ACCESS_DENIED},
  };
  for (const TFaultRow& row : rows) {
    SCOPED_TRACE(row.name);
    TempFolder dir;
    dir.Write("old.txt", "old");
    dir.Write("gone.txt", "gone");
    std::filesystem::create_directory(dir.Path() / "empty");
    const auto before = Entries(dir);
    std::vector<TFileOpRecord> ops;
    SetFileOpRecorderForTests(&ops);
    const FileOpFaultScope fault(TFileOpFault::kFail, row.op);
    EXPECT_EQ(row.act(dir), row.error);
    EXPECT_EQ(Entries(dir), before);
    ASSERT_GE(ops.size(), row.op);
    EXPECT_EQ(ops[row.op - 1].kind, row.kind) << DescribeFileOp(ops[row.op - 1]);
    EXPECT_EQ(row.act(dir), 0);
  }
}

TEST(FileFault, TwoArmedOperationsFailAndTheOthersGoOn) {
  TempFolder dir;
  for (const char* name : {"a", "b", "c", "d"}) dir.Write(name, name);
  const FileOpFaultScope faults({2, 4});
  std::vector<DWORD> results;
  for (const char* name : {"a", "b", "c", "d"}) results.push_back(Win32Result(DeleteFileA(dir.System(name).c_str())));
  EXPECT_EQ(results, (std::vector<DWORD>{ERROR_SUCCESS, ERROR_ACCESS_DENIED, ERROR_SUCCESS, ERROR_ACCESS_DENIED}));
  EXPECT_EQ(Entries(dir), (std::map<std::string, std::string>{{"b", "b"}, {"d", "d"}}));
}

TEST(FileFault, TheRecorderNamesEachOperationInOrder) {
  TempFolder dir;
  dir.Write("full/a.txt", "a");
  std::vector<TFileOpRecord> ops;
  {
    const FileOpFaultScope record(&ops);
    ASSERT_TRUE(WriteFileInPlace(dir.System("new.txt"), "n", 1));
    ASSERT_TRUE(MoveFileA(dir.System("new.txt").c_str(), dir.System("moved.txt").c_str()));
    ASSERT_TRUE(CreateDirectoryA(dir.System("sub").c_str(), nullptr));
    ASSERT_TRUE(ShellDeletePaths((dir.System("full") + std::string(1, '\0')).c_str(), true));
  }
  ASSERT_TRUE(WriteFileInPlace(dir.System("after.txt"), "n", 1));  // no longer counted
  const std::string d = std::filesystem::canonical(dir.Path()).string();
  std::vector<std::string> described;
  for (const TFileOpRecord& op : ops) described.push_back(DescribeFileOp(op));
  EXPECT_EQ(described, (std::vector<std::string>{
                           "creation of " + d + "/new.txt",
                           "write to " + d + "/new.txt",
                           "rename of " + d + "/new.txt to " + d + "/moved.txt",
                           "creation of the folder " + d + "/sub",
                           "deletion of " + d + "/full/a.txt",
                           "removal of the folder " + d + "/full",
                       }));
}

TEST(FileFault, ARunEndedAtAnOperationLeavesTheFilesAsAKillThere) {
  TempFolder dir;
  dir.Write("old.txt", "old");
  // Ended before the flush: the old file is whole, the new content lies in a
  // temporary file that nothing renames.
  EXPECT_EXIT(
      {
        const FileOpFaultScope kill(TFileOpFault::kExit, 3);
        WriteFileReplacing(dir.System("old.txt"), "new", 3);
      },
      testing::ExitedWithCode(kFileOpExitCode), "");
  EXPECT_EQ(dir.Read("old.txt"), "old");
  EXPECT_EQ(testsupport::WriterTemporaryFiles(dir.Path()).size(), 1u);
  // Halted there instead, the write fails on, and its clean-up with it: the
  // same files, and so the same for every operation after.
  std::filesystem::remove(testsupport::WriterTemporaryFiles(dir.Path()).front());
  {
    const FileOpFaultScope halt(TFileOpFault::kHalt, 3);
    EXPECT_FALSE(WriteFileReplacing(dir.System("old.txt"), "new", 3));
    EXPECT_FALSE(WriteFileInPlace(dir.System("later.txt"), "n", 1));
  }
  EXPECT_EQ(dir.Read("old.txt"), "old");
  EXPECT_EQ(testsupport::WriterTemporaryFiles(dir.Path()).size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "later.txt"));
}
