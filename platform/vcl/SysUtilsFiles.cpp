// File names, files and folders of SysUtils.h.

#include <sys/stat.h>

#include <vector>

#include "platform/vcl/SysUtils.h"
#include "platform/win/MoveFile.h"
#include "platform/win/Paths.h"
#include "platform/win/Win32File.h"

// --- file names ---

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The index just after the last character of `set` in the name, or 0.
std::size_t AfterLast(std::string_view name, std::string_view set) {
  const std::size_t at = name.find_last_of(set);
  return at == std::string_view::npos ? 0 : at + 1;
}

// The drive at the start of a name: "C:" or "\\server\share", else "".
std::string_view DriveOf(std::string_view name) {
  if (name.size() >= 2 && name[1] == ':') return name.substr(0, 2);
  if (name.size() >= 2 && IsSeparator(name[0]) && IsSeparator(name[1])) {
    // Server and share: up to (not including) the separator after the share.
    std::size_t i = 2;
    int parts = 0;
    while (i < name.size()) {
      if (IsSeparator(name[i]) && ++parts == 2) break;
      ++i;
    }
    return name.substr(0, i);
  }
  return {};
}

// The folder part without the drive, split at every separator: "\a\b\"
// gives "", "a", "b", "" (the last piece is what follows the last
// separator, empty for a folder part).
std::vector<std::string_view> FolderPieces(std::string_view name) {
  std::string_view path = name.substr(0, AfterLast(name, "\\/:"));
  path.remove_prefix(std::min(path.size(), DriveOf(name).size()));
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (IsSeparator(path[i])) {
      pieces.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  pieces.push_back(path.substr(start));
  return pieces;
}

}  // namespace

std::string ExtractFilePath(std::string_view fileName) {
  return std::string(fileName.substr(0, AfterLast(fileName, "\\/:")));
}

std::string ExtractFileName(std::string_view fileName) {
  return std::string(fileName.substr(AfterLast(fileName, "\\/:")));
}

std::string ExtractFileExt(std::string_view fileName) {
  const std::size_t at = fileName.find_last_of(".\\/:");
  if (at == std::string_view::npos || fileName[at] != '.') return {};
  return std::string(fileName.substr(at));
}

std::string ChangeFileExt(std::string_view fileName, std::string_view extension) {
  std::size_t at = fileName.find_last_of(".\\/:");
  if (at == std::string_view::npos || fileName[at] != '.') at = fileName.size();
  return std::string(fileName.substr(0, at)) + std::string(extension);
}

std::string ExtractRelativePath(std::string_view baseName, std::string_view destName) {
  if (!AnsiSameText(DriveOf(baseName), DriveOf(destName))) return std::string(destName);
  const std::vector<std::string_view> base = FolderPieces(baseName);
  const std::vector<std::string_view> dest = FolderPieces(destName);
  // The pieces both share from the start (the last piece, the file name's
  // empty stand-in, included).
  std::size_t shared = 0;
  while (shared < base.size() && shared < dest.size() && AnsiSameText(base[shared], dest[shared])) ++shared;
  std::string result;
  // One ".." for each folder of the base below the shared ones.
  for (std::size_t i = shared; i + 1 < base.size(); ++i) result += "..\\";
  // The destination's folders below the shared ones.
  for (std::size_t i = shared; i + 1 < dest.size(); ++i) {
    if (!dest[i].empty() || i > shared) {
      result += dest[i];
      result += '\\';
    }
  }
  return result + ExtractFileName(destName);
}

std::string IncludeTrailingBackslash(std::string_view path) {
  if (!path.empty() && IsSeparator(path.back())) return std::string(path);
  return std::string(path) + "\\";
}

std::string ExcludeTrailingBackslash(std::string_view path) {
  if (!path.empty() && IsSeparator(path.back())) path.remove_suffix(1);
  return std::string(path);
}

// --- files and folders ---

bool FileExists(const std::string& fileName) {
  if (fileName.empty()) return false;
  struct stat st;
  return ::stat(ToNativePath(fileName).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool CreateDir(const std::string& dir) { return !dir.empty() && CreateDirectoryA(dir.c_str(), nullptr) != FALSE; }

bool RemoveDir(const std::string& dir) { return !dir.empty() && RemoveDirectoryA(dir.c_str()) != FALSE; }

bool DeleteFile(const std::string& fileName) { return !fileName.empty() && DeleteFileA(fileName.c_str()) != FALSE; }

bool RenameFile(const std::string& oldName, const std::string& newName) {
  return !oldName.empty() && !newName.empty() && MoveFileA(oldName.c_str(), newName.c_str()) != FALSE;
}
