#include "core/FileHelpers.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

#include "base/Crc.h"
#include "core/HostEnvironment.h"
#include "core/UiText.h"
#include "platform/vcl/FindFile.h"
#include "platform/vcl/SysUtils.h"
#include "platform/win/FileFault.h"
#include "platform/win/FileIo.h"
#include "platform/win/MoveFile.h"
#include "platform/win/Paths.h"
#include "platform/win/RecycleBin.h"
#include "platform/win/Win32File.h"

namespace {

constexpr std::uint64_t kTicksPerSecond = 10000000;
// Bytes read from a file at a time, and written at most in one call.
constexpr std::size_t kReadChunk = std::size_t{64} << 10;
constexpr std::size_t kWriteChunk = std::size_t{1} << 30;
// Names tried for a temporary file before giving up.
constexpr int kTempNameAttempts = 100;
// The longest system message text a copy failure reports.
constexpr std::size_t kMaxMessageLength = 1024;
// PLC file dates count their years from 1900.
constexpr int kPlcYearBase = 1900;
// UI text of a failed copy: "[Tarnwell] - Cannot copy : ".
constexpr int kCannotCopyText = 7077;
// "%s: the folder "%s" did not take the copy"
constexpr int kFolderRefusedText = 7521;

FILETIME EvenSeconds(const FILETIME& ft) {
  std::uint64_t ticks = FileTimeToUInt64(ft);
  if ((ticks / kTicksPerSecond) % 2 == 1) ticks -= kTicksPerSecond;
  return UInt64ToFileTime(ticks);
}

// Closes a handle when it goes out of scope.
class HandleGuard {
 public:
  explicit HandleGuard(HANDLE h) : handle_(h) {}
  ~HandleGuard() { Close(); }
  HandleGuard(const HandleGuard&) = delete;
  HandleGuard& operator=(const HandleGuard&) = delete;
  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    if (!Valid()) return true;
    BOOL ok = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != FALSE;
  }

 private:
  HANDLE handle_;
};

bool ReadAll(HANDLE h, std::string& data) {
  std::vector<char> buf(kReadChunk);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(h, buf.data(), static_cast<DWORD>(buf.size()), &got, nullptr)) return false;
    if (got == 0) return true;
    data.append(buf.data(), got);
  }
}

bool WriteAll(HANDLE h, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    DWORD chunk = static_cast<DWORD>(std::min(data.size() - done, kWriteChunk));
    DWORD written = 0;
    if (!WriteFile(h, data.data() + done, chunk, &written, nullptr)) return false;
    done += written;
  }
  return true;
}

// A temporary file beside the destination, created new; its name in `temp`.
HANDLE CreateTempBeside(const std::string& destination, std::string& temp) {
  for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
    temp = WriterTemporaryName(destination);
    HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
  }
  return INVALID_HANDLE_VALUE;
}

// Puts the finished temporary file in the destination's place: over an
// existing file when `replace` is set, else only when there is none.
bool PlaceFile(const std::string& temp, const std::string& destination, bool replace) {
  if (!replace) return MoveFileA(temp.c_str(), destination.c_str()) != FALSE;
  return RenameReplacing(temp.c_str(), destination.c_str()) != FALSE;
}

// Which side of a copy failed: the source could not be read, or the
// destination's folder did not take the file.
enum class CopySide { kNone, kSource, kDestination };

CopySide CopyWithTimes(const std::string& source, const std::string& destination, bool replace) {
  FILETIME creation, lastAccess, lastWrite;
  bool rounded = RoundFileTimesToFat(source, &creation, &lastAccess, &lastWrite);
  HandleGuard in(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!in.Valid()) return CopySide::kSource;
  if (!rounded) {
    // A source we may not write keeps its own times; the copy gets them rounded.
    if (!GetFileTime(in.Get(), &creation, &lastAccess, &lastWrite)) return CopySide::kSource;
    creation = EvenSeconds(creation);
    lastWrite = EvenSeconds(lastWrite);
  }
  std::string data;
  if (!ReadAll(in.Get(), data)) return CopySide::kSource;
  in.Close();
  std::string temp;
  HandleGuard out(CreateTempBeside(destination, temp));
  if (!out.Valid()) return CopySide::kDestination;
  bool ok = WriteAll(out.Get(), data) && SetFileTime(out.Get(), &creation, nullptr, &lastWrite);
  TLastError error = SavedLastError();
  if (!out.Close() && ok) {
    ok = false;
    error = SavedLastError();
  }
  if (ok) {
    // A destination replaced keeps its mode and group; one renamed in letter
    // case only takes its new spelling.
    if (replace) TakeModeOf(temp, destination);
    if (replace) TakeSpellingOf(destination);
    if (PlaceFile(temp, destination, replace)) return CopySide::kNone;
    error = SavedLastError();
  }
  DeleteFileA(temp.c_str());
  RestoreLastError(error);
  return CopySide::kDestination;
}

// The copy's failure as a host message, the source as its source. When the
// source was read and the destination's folder refused the file, the reason
// names that folder: the source is not what failed.
void ReportCopyFailure(const std::string& source, const std::string& destination, CopySide side) {
  std::string reason = LastErrorReason();
  if (side == CopySide::kDestination) {
    const std::string folder = ExcludeTrailingBackslash(ExtractFilePath(destination));
    reason = Format(GetUiText(kFolderRefusedText), reason, ShownPath(SpeltAsOnDisk(folder)));
  }
  std::string line = GetUiText(kCannotCopyText);
  if (!reason.empty()) line += "(" + reason + ")";
  ReportHostMessage(line, source);
}

}  // namespace

std::string SpeltAsOnDisk(const std::string& path) {
  const std::string native = ToNativePath(path);
  if (native.size() != path.size()) return path;
  std::string spelt = path;
  for (std::size_t i = 0; i < spelt.size(); ++i)
    if (spelt[i] != '\\' && spelt[i] != '/') spelt[i] = native[i];
  return spelt;
}

std::string LastErrorReason() {
  std::string message = LastErrorText();
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  if (message.size() > kMaxMessageLength) message.resize(kMaxMessageLength);
  return message;
}

bool IsOwnTemporaryFileName(const std::string& name) {
  // "NAME" + the mark + what tells the temporary files apart.
  const std::size_t mark = name.rfind(kWriterTempMark);
  if (mark == std::string::npos || mark == 0) return false;
  const std::string_view rest = std::string_view(name).substr(mark + kWriterTempMark.size());
  return !rest.empty() && std::all_of(rest.begin(), rest.end(),
                                      [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

int RemoveOwnTemporaryFiles(const std::string& folder, bool recursive) {
  namespace fs = std::filesystem;
  const fs::path root(ToNativePath(folder));
  std::error_code ec;
  if (!fs::is_directory(root, ec)) return 0;
  std::vector<fs::path> found;
  const auto take = [&](const fs::directory_entry& entry) {
    std::error_code entryError;
    if (entry.is_regular_file(entryError) && !entry.is_symlink(entryError) &&
        IsOwnTemporaryFileName(entry.path().filename().string()) &&
        !TemporaryFileWriterRuns(entry.path().filename().string()))
      found.push_back(entry.path());
  };
  if (recursive) {
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) take(*it);
  } else {
    for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) take(*it);
  }
  int removed = 0;
  for (const fs::path& path : found)
    if (FileOpFault(TFileOp::kDelete, path.native()) == 0 && fs::remove(path, ec)) ++removed;
  return removed;
}

bool PathExists(const std::string& path) {
  return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

int CopyFileKeepTime(const std::string& source, const std::string& destination, bool copyAlways) {
  if (source.empty()) return 3;
  if (!copyAlways && PathExists(destination)) return 2;
  SetLastError(ERROR_SUCCESS);
  const CopySide failed = CopyWithTimes(source, destination, copyAlways);
  if (failed == CopySide::kNone) return 1;
  ReportCopyFailure(source, destination, failed);
  return 0;
}

bool CopyFileKeepTime(const std::string& source, const std::string& destination) {
  return CopyFileKeepTime(source, destination, true) == 1;
}

void DeleteDirTree(const std::string& folder) {
  if (folder.empty()) return;
  std::string dir = folder;
  if (dir.back() != '\\' && dir.back() != '/') dir += '\\';
  TSearchRec rec;
  if (FindFirst(dir + "*.*", faAnyFile, rec) != 0) return;
  do {
    if (rec.Name.empty() || rec.Name[0] == '.') continue;
    std::string path = dir + rec.Name;
    if ((rec.Attr & faDirectory) != 0) {
      DeleteDirTree(path + "\\");
      RemoveDirectoryA(path.c_str());
    } else {
      DeleteFileA(path.c_str());
    }
  } while (FindNext(rec) == 0);
  FindClose(rec);
}

bool DeletePathToRecycle(const std::string& paths, bool permanent) {
  // One NUL after each path and a second one at the end.
  std::string list;
  std::size_t start = 0;
  while (start <= paths.size()) {
    std::size_t end = paths.find('\0', start);
    if (end == std::string::npos) end = paths.size();
    if (end > start) {
      list.append(paths, start, end - start);
      list.push_back('\0');
    }
    start = end + 1;
  }
  if (list.empty()) return false;
  list.push_back('\0');
  return ShellDeletePaths(list.c_str(), permanent);
}

bool RoundFileTimesToFat(const std::string& fileName, FILETIME* creation, FILETIME* lastAccess, FILETIME* lastWrite) {
  HandleGuard h(CreateFileA(fileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.Valid()) return false;
  FILETIME c, a, w;
  if (!GetFileTime(h.Get(), &c, &a, &w)) return false;
  c = EvenSeconds(c);
  w = EvenSeconds(w);
  SetFileTime(h.Get(), &c, nullptr, &w);
  GetFileTime(h.Get(), &c, &a, &w);
  if (creation != nullptr) *creation = c;
  if (lastAccess != nullptr) *lastAccess = a;
  if (lastWrite != nullptr) *lastWrite = w;
  return true;
}

FILETIME PlcDateToFileTime(const unsigned char date[6]) {
  SYSTEMTIME st;
  st.wYear = static_cast<WORD>(kPlcYearBase + date[0]);
  st.wMonth = date[1];
  st.wDay = date[2];
  st.wHour = date[3];
  st.wMinute = date[4];
  st.wSecond = date[5];
  st.wMilliseconds = 0;
  FILETIME ft;
  if (!SystemTimeToFileTime(&st, &ft)) return FILETIME();
  return ft;
}

std::uint32_t FileCrc32(const std::string& fileName) {
  HandleGuard h(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.Valid()) return 0;
  Crc32 crc;
  std::vector<char> buf(kReadChunk);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(h.Get(), buf.data(), static_cast<DWORD>(buf.size()), &got, nullptr) || got == 0) break;
    crc.Update(buf.data(), got);
  }
  return crc.Value();
}
