#include "designer/ProjectBackups.h"

#include "core/FileHelpers.h"
#include "platform/win/Folders.h"
#include "platform/win/MoveFile.h"
#include "platform/win/Win32File.h"

namespace {

constexpr const char* kBackupExtension = ".bak";
constexpr const char* kBiggestExtension = ".big";

}  // namespace

bool MakeBackup(const std::string& fileName) {
  const std::string backup = fileName + kBackupExtension;
  if (PathExists(backup)) {
    if (!KeepBiggestBackup(backup)) return false;
    if (!DeleteFile(backup.c_str())) return true;
  }
  MoveFile(fileName.c_str(), backup.c_str());
  return true;
}

bool KeepBiggestBackup(const std::string& backupName) {
  const std::string big = backupName + kBiggestExtension;
  // A folder in the place of either cannot be copied nor replaced: the caller
  // names it, and no copy is tried that would report another reason.
  if (DirectoryExists(backupName) || DirectoryExists(big)) return false;
  if (PathExists(big) && GetFileSizeByName(backupName) <= GetFileSizeByName(big)) return true;
  return CopyFileKeepTime(backupName, big, true) == 1;
}

std::uint64_t GetFileSizeByName(const std::string& fileName) {
  HANDLE file = CreateFile(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  DWORD high = 0;
  const DWORD low = GetFileSize(file, &high);
  const bool failed = low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS;
  CloseHandle(file);
  if (failed) return 0;
  return (std::uint64_t{high} << 32) | low;
}
