#include "designer/ProjectBackups.h"

#include "core/FileHelpers.h"
#include "platform/win/MoveFile.h"
#include "platform/win/Win32File.h"

namespace {

constexpr const char* kBackupExtension = ".bak";
constexpr const char* kBiggestExtension = ".big";

}  // namespace

void MakeBackup(const std::string& fileName) {
  const std::string backup = fileName + kBackupExtension;
  if (PathExists(backup)) {
    KeepBiggestBackup(backup);
    if (!DeleteFile(backup.c_str())) return;
  }
  MoveFile(fileName.c_str(), backup.c_str());
}

void KeepBiggestBackup(const std::string& backupName) {
  const std::string big = backupName + kBiggestExtension;
  if (PathExists(big)) {
    if (GetFileSizeByName(backupName) > GetFileSizeByName(big) && DeleteFile(big.c_str()))
      CopyFileKeepTime(backupName, big, false);
    return;
  }
  CopyFileKeepTime(backupName, big, false);
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
