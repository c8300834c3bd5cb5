#include "platform/win/Paths.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>

#include "platform/win/CodePage.h"
#include "platform/win/FolderNames.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of folder `dir` whose name equals `name` without regard to case,
// and whether it exists: the name itself when it exists as written (one lstat,
// the common case) or when nothing matches.
std::string MatchEntry(const std::string& dir, const std::string& name, bool& exists) {
  const std::string exact = dir.empty() ? name : (dir == "/" ? "/" + name : dir + "/" + name);
  exists = Exists(exact);
  if (exists) return name;
  std::optional<std::string> other = FindEntryIgnoringCase(dir, name);
  if (!other) return name;
  // The kept names may lag behind a deletion by another program: the match
  // counts as existing only when the file system still has it.
  exists = Exists(dir.empty() ? *other : (dir == "/" ? "/" + *other : dir + "/" + *other));
  return *other;
}

}  // namespace

namespace {

// Matches every component in turn from the top (the general case).
std::string MatchEachComponent(std::string_view path) {
  std::string result;
  std::size_t i = 0;
  if (!path.empty() && IsSeparator(path[0])) {
    result = "/";
    while (i < path.size() && IsSeparator(path[i])) ++i;
  }
  bool missing = false;  // once a component is missing, the rest cannot exist either
  while (i < path.size()) {
    std::size_t end = i;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    std::string component(path.substr(i, end - i));
    if (!component.empty()) {
      std::string dir = result;
      if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
      if (component != "." && component != ".." && !missing) {
        bool exists = false;
        component = MatchEntry(dir, component, exists);
        if (!exists) missing = true;
      }
      if (!result.empty() && result.back() != '/') result += '/';
      result += component;
    }
    i = end;
    bool trailing = false;
    while (i < path.size() && IsSeparator(path[i])) {
      ++i;
      trailing = true;
    }
    if (trailing && i == path.size() && !result.empty() && result.back() != '/') result += '/';
  }
  return result;
}

// The path with each run of separators turned into one '/': what matching
// every component gives when each exists as written.
std::string WithSlashes(std::string_view path) {
  std::string result;
  result.reserve(path.size());
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (!IsSeparator(path[i])) {
      result += path[i];
    } else if (result.empty() || result.back() != '/') {
      result += '/';
    }
  }
  return result;
}

}  // namespace

std::string ToNativePath(std::string_view path) {
  // Most paths exist as written, or name a new file in a folder that does: one
  // lstat of the whole path (or of its folder) then answers for every
  // component above, exactly as matching them one by one would.
  std::string written = WithSlashes(path);
  const bool trailing = written.size() > 1 && written.back() == '/';
  const std::string whole = trailing ? written.substr(0, written.size() - 1) : written;
  if (whole.empty()) return written;
  if (Exists(whole)) return written;
  const std::size_t slash = whole.rfind('/');
  const std::string name = slash == std::string::npos ? whole : whole.substr(slash + 1);
  if (name == "." || name == "..") return MatchEachComponent(path);
  const std::string dir = slash == std::string::npos ? std::string() : (slash == 0 ? "/" : whole.substr(0, slash));
  // Only the name's case is looked for when the folder exists as written (the
  // look-up tells, without a call of its own); otherwise every component is.
  bool folderFound = false;
  std::optional<std::string> entry = FindEntryIgnoringCase(dir, name, &folderFound);
  if (!folderFound) return MatchEachComponent(path);
  std::string result = dir.empty() ? "" : (dir == "/" ? "/" : dir + "/");
  result += entry.value_or(name);
  if (trailing) result += '/';
  return result;
}

namespace {

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// True when the text is UTF-8 throughout (it comes back unchanged from UTF-16).
bool IsUtf8(std::string_view text, std::u16string& wide) {
  wide = MultiByteToWide(CP_UTF8, text);
  return WideToMultiByte(CP_UTF8, wide) == text;
}

}  // namespace

std::string TextOfFileName(std::string_view name, UINT codePage, bool* held) {
  if (held != nullptr) *held = true;
  std::u16string wide;
  if (IsAscii(name) || !IsUtf8(name, wide)) return std::string(name);
  std::string text = WideToMultiByte(codePage, wide);
  if (held != nullptr) *held = MultiByteToWide(codePage, text) == wide;
  return text;
}

std::string FileNameOfText(std::string_view text, UINT codePage) {
  if (IsAscii(text)) return std::string(text);
  return WideToMultiByte(CP_UTF8, MultiByteToWide(codePage, text));
}

std::string ShownPath(std::string_view path) {
  std::string shown = TextOfFileName(path, CP_ACP);
  std::replace(shown.begin(), shown.end(), '\\', '/');
  return shown;
}

bool IsSafeFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name)
    if (c == '/' || c == '\\' || c == ':' || c == '\0') return false;
  return true;
}

bool IsSafeRelativePath(std::string_view path) {
  if (path.empty() || IsSeparator(path[0])) return false;
  std::size_t i = 0;
  while (i <= path.size()) {
    std::size_t end = i;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    std::string_view component = path.substr(i, end - i);
    if (!IsSafeFileName(component)) return false;
    if (end == path.size()) break;
    i = end + 1;
  }
  return true;
}
