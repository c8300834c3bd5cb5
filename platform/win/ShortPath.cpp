#include "platform/win/ShortPath.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <set>
#include <vector>

#include "platform/win/Paths.h"
#include "platform/win/SystemError.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Characters an 8.3 name may hold besides letters and digits.
bool IsShortNameSpecial(char c) { return c != '\0' && std::strchr("!#$%&'()-@^_`{}~", c) != nullptr; }

bool IsShortNameChar(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || IsShortNameSpecial(c);
}

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperAscii(const std::string& s) {
  std::string r = s;
  for (char& c : r) c = Upper(c);
  return r;
}

// The characters of a name part as an alias takes them: blanks and dots
// dropped, one '_' for each character an alias cannot hold (a whole UTF-8
// sequence counts as one character), letters upper-cased.
std::string CleanPart(const std::string& part) {
  std::string out;
  for (std::size_t i = 0; i < part.size(); ++i) {
    unsigned char u = static_cast<unsigned char>(part[i]);
    if (u == ' ' || u == '.') continue;
    if (u >= 0x80) {
      out += '_';
      while (i + 1 < part.size() && (static_cast<unsigned char>(part[i + 1]) & 0xC0) == 0x80) ++i;
      continue;
    }
    out += IsShortNameChar(part[i]) ? Upper(part[i]) : '_';
  }
  return out;
}

struct AliasParts {
  std::string stem;  // cleaned, at most six characters
  std::string ext;   // cleaned, at most three characters
  bool operator==(const AliasParts& o) const { return stem == o.stem && ext == o.ext; }
};

AliasParts PartsOf(const std::string& name) {
  std::size_t dot = name.find_last_of('.');
  std::string stem = name, ext;
  if (dot != std::string::npos && name.find_first_not_of('.') < dot) {
    stem = name.substr(0, dot);
    ext = name.substr(dot + 1);
  }
  AliasParts p{CleanPart(stem), CleanPart(ext)};
  if (p.stem.size() > 6) p.stem.resize(6);
  if (p.ext.size() > 3) p.ext.resize(3);
  return p;
}

std::string AliasWithNumber(const AliasParts& p, unsigned n) {
  std::string digits = std::to_string(n);
  std::size_t keep = digits.size() < 7 ? 7 - digits.size() : 0;
  std::string alias = p.stem.substr(0, std::min(keep, p.stem.size())) + "~" + digits;
  if (!p.ext.empty()) alias += "." + p.ext;
  return alias;
}

std::vector<std::string> FolderEntries(const std::string& nativeFolder) {
  std::vector<std::string> names;
  DIR* d = ::opendir(nativeFolder.empty() ? "." : nativeFolder.c_str());
  if (d == nullptr) return names;
  while (dirent* e = ::readdir(d)) {
    if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
    names.emplace_back(e->d_name);
  }
  ::closedir(d);
  return names;
}

}  // namespace

bool IsLegalShortName(const std::string& name) {
  if (name == "." || name == "..") return true;
  std::size_t dot = name.find('.');
  std::string stem = name.substr(0, dot);
  if (stem.empty() || stem.size() > 8) return false;
  if (dot != std::string::npos) {
    std::string ext = name.substr(dot + 1);
    if (ext.empty() || ext.size() > 3 || ext.find('.') != std::string::npos) return false;
    for (char c : ext)
      if (!IsShortNameChar(c)) return false;
  }
  for (char c : stem)
    if (!IsShortNameChar(c)) return false;
  return true;
}

std::string ShortNameInFolder(const std::string& nativeFolder, const std::string& name) {
  if (IsLegalShortName(name)) return name;
  AliasParts mine = PartsOf(name);
  std::set<std::string> taken;       // real 8.3 names, upper-cased
  std::vector<std::string> sharing;  // names that compete for the same aliases
  bool listed = false;
  for (const std::string& entry : FolderEntries(nativeFolder)) {
    if (IsLegalShortName(entry)) {
      taken.insert(UpperAscii(entry));
    } else if (PartsOf(entry) == mine) {
      sharing.push_back(entry);
      if (entry == name) listed = true;
    }
  }
  if (!listed) sharing.push_back(name);
  std::sort(sharing.begin(), sharing.end());
  unsigned n = 1;
  for (const std::string& entry : sharing) {
    while (taken.count(AliasWithNumber(mine, n)) != 0) ++n;
    if (entry == name) return AliasWithNumber(mine, n);
    ++n;
  }
  return AliasWithNumber(mine, n);  // not reached: the name is in the list
}

DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD bufferLength) {
  if (longPath == nullptr || (shortPath == nullptr && bufferLength != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string path = longPath;
  if (path.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string result;
  std::size_t i = 0;
  while (i < path.size() && IsSeparator(path[i])) result += path[i++];
  while (i < path.size()) {
    std::size_t end = i;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    std::string component = path.substr(i, end - i);
    std::string written = path.substr(0, end);
    if (component == "." || component == "..") {
      result += component;
    } else {
      std::string native = ToNativePath(written);
      struct stat st;
      if (::stat(native.c_str(), &st) != 0) {
        SetLastError(end == path.size() || path.find_first_not_of("\\/", end) == std::string::npos
                         ? ERROR_FILE_NOT_FOUND
                         : ERROR_PATH_NOT_FOUND);
        return 0;
      }
      while (native.size() > 1 && native.back() == '/') native.pop_back();
      std::size_t slash = native.find_last_of('/');
      std::string actual = slash == std::string::npos ? native : native.substr(slash + 1);
      std::string folder = slash == std::string::npos ? std::string() : native.substr(0, slash == 0 ? 1 : slash);
      result += ShortNameInFolder(folder, actual);
    }
    i = end;
    while (i < path.size() && IsSeparator(path[i])) result += path[i++];
  }
  DWORD needed = static_cast<DWORD>(result.size() + 1);
  if (bufferLength < needed) return needed;
  std::memcpy(shortPath, result.c_str(), needed);
  return needed - 1;
}
