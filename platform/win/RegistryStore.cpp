#include "platform/win/RegistryStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/win/FileIo.h"
#include "platform/win/Folders.h"
#include "platform/win/SystemError.h"

namespace {

std::mutex gPathLock;
std::string gPath;  // empty: the default

struct Key {
  std::string path;  // full path as created, "HKEY_CURRENT_USER\Software\..."
  std::vector<std::pair<std::string, RegValue>> values;
};

// Keys by upper-cased full path; every key's parents are present too.
using KeyMap = std::map<std::string, Key>;

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

bool HasControl(const std::string& s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) < 0x20) return true;
  return false;
}

std::string DefaultPath() {
  if (const char* home = std::getenv("HALVEX_HOME"); home != nullptr && *home != '\0')
    return std::string(home) + "/registry";
  std::string user;
  if (const char* h = std::getenv("HOME"); h != nullptr && *h != '\0') {
    user = h;
  } else if (passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
    user = pw->pw_dir;
  } else {
    user = "/tmp";
  }
  return user + "/.local/share/halvex/registry";
}

// The full path of a key under a root, empty components dropped; false for an
// unknown root or a name with control characters.
bool FullPath(HKEY root, const std::string& key, std::string& full) {
  full = RegistryStore::RootName(root);
  if (full.empty() || HasControl(key)) return false;
  std::size_t i = 0;
  while (i < key.size()) {
    std::size_t end = key.find('\\', i);
    if (end == std::string::npos) end = key.size();
    if (end > i) full += "\\" + key.substr(i, end - i);
    i = end + 1;
  }
  return true;
}

std::string Escape(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (u < 0x20) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads a quoted text at `pos` (at the opening quote); false when malformed.
bool Unescape(const std::string& line, std::size_t& pos, std::string& out) {
  if (pos >= line.size() || line[pos] != '"') return false;
  out.clear();
  for (++pos; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++pos >= line.size()) return false;
    char e = line[pos];
    if (e == 'r') {
      out += '\r';
    } else if (e == 'n') {
      out += '\n';
    } else if (e == 'x' && pos + 2 < line.size() && HexDigit(line[pos + 1]) >= 0 && HexDigit(line[pos + 2]) >= 0) {
      out += static_cast<char>(HexDigit(line[pos + 1]) * 16 + HexDigit(line[pos + 2]));
      pos += 2;
    } else {
      out += e;
    }
  }
  return false;
}

void AddKey(KeyMap& keys, const std::string& full) {
  // Every parent first, so that the map holds the whole chain.
  for (std::size_t pos = full.find('\\'); pos != std::string::npos; pos = full.find('\\', pos + 1)) {
    std::string parent = full.substr(0, pos);
    keys.try_emplace(Upper(parent), Key{parent, {}});
  }
  keys.try_emplace(Upper(full), Key{full, {}});
}

KeyMap Parse(const std::string& text) {
  KeyMap keys;
  Key* current = nullptr;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      std::size_t close = line.find_last_of(']');
      current = nullptr;
      if (close == std::string::npos || close < 2) continue;
      std::string full = line.substr(1, close - 1);
      AddKey(keys, full);
      current = &keys[Upper(full)];
      continue;
    }
    if (current == nullptr) continue;
    std::string name;
    std::size_t pos = 0;
    if (line[0] == '@') {
      pos = 1;
    } else if (!Unescape(line, pos, name)) {
      continue;
    }
    if (pos >= line.size() || line[pos] != '=') continue;
    ++pos;
    RegValue value;
    if (line.compare(pos, 6, "dword:") == 0) {
      value.type = REG_DWORD;
      value.number = static_cast<DWORD>(std::strtoul(line.c_str() + pos + 6, nullptr, 16));
    } else if (!Unescape(line, pos, value.text)) {
      continue;
    }
    current->values.emplace_back(name, value);
  }
  return keys;
}

std::string Serialize(const KeyMap& keys) {
  std::string out = "; Halvex registry store\n";
  for (const auto& [upper, key] : keys) {
    out += "[" + key.path + "]\n";
    for (const auto& [name, value] : key.values) {
      out += name.empty() ? std::string("@") : Escape(name);
      if (value.type == REG_DWORD) {
        char hex[24];
        std::snprintf(hex, sizeof hex, "=dword:%08x\n", static_cast<unsigned>(value.number));
        out += hex;
      } else {
        out += "=" + Escape(value.text) + "\n";
      }
    }
  }
  return out;
}

// Holds the store's lock file for one call: shared to read, exclusive to change.
class StoreLock {
 public:
  StoreLock(const std::string& path, bool exclusive) {
    std::size_t slash = path.find_last_of('/');
    if (exclusive && slash != std::string::npos && slash > 0) ForceDirectories(path.substr(0, slash));
    fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ >= 0) ::flock(fd_, exclusive ? LOCK_EX : LOCK_SH);
  }
  ~StoreLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

 private:
  int fd_ = -1;
};

// Reads the store into `keys`; a missing file is an empty store. False, with
// errno telling why, when the file is there but cannot be read.
// errno is EISDIR for a folder at the file's path and EINVAL for anything
// else that is no file (a pipe would hold the reader up for good).
bool Load(const std::string& path, KeyMap& keys) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  std::string text;
  if (!ReadWholeFile(path, text)) return errno == ENOENT;
  keys = Parse(text);
  return true;
}

bool Save(const std::string& path, const KeyMap& keys) {
  std::string text = Serialize(keys);
  return WriteFileReplacing(path, text.data(), text.size());
}

// A change that failed: the last error from `error`.
bool Failed(int error) {
  SetLastErrorFromErrno(error);
  return false;
}

// Runs `change` on the loaded store and writes it when `change` says so. A
// store that cannot be read is not changed: what it holds would be lost.
template <typename Change>
bool Modify(Change change) {
  std::string path = RegistryStore::Path();
  StoreLock lock(path, true);
  KeyMap keys;
  if (!Load(path, keys)) return Failed(errno);
  bool write = false;
  if (!change(keys, write)) return Failed(ENOENT);
  if (write && !Save(path, keys)) return Failed(errno);
  return true;
}

template <typename Read>
auto Inspect(Read read) {
  std::string path = RegistryStore::Path();
  StoreLock lock(path, false);
  KeyMap keys;
  Load(path, keys);
  return read(keys);
}

bool SameValue(const RegValue& a, const RegValue& b) {
  if (a.type != b.type) return false;
  return a.type == REG_DWORD ? a.number == b.number : a.text == b.text;
}

// The index of the value of that name in the key, or -1.
long FindValue(const Key& key, const std::string& name) {
  std::string upper = Upper(name);
  for (std::size_t i = 0; i < key.values.size(); ++i)
    if (Upper(key.values[i].first) == upper) return static_cast<long>(i);
  return -1;
}

}  // namespace

namespace RegistryStore {

void SetPath(const std::string& nativeFile) {
  std::lock_guard<std::mutex> guard(gPathLock);
  gPath = nativeFile;
}

std::string Path() {
  std::lock_guard<std::mutex> guard(gPathLock);
  return gPath.empty() ? DefaultPath() : gPath;
}

std::string RootName(HKEY root) {
  if (root == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
  if (root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
  if (root == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
  return std::string();
}

bool KeyExists(HKEY root, const std::string& key) {
  std::string full;
  if (!FullPath(root, key, full)) return false;
  if (full.find('\\') == std::string::npos) return true;
  return Inspect([&](const KeyMap& keys) { return keys.count(Upper(full)) != 0; });
}

bool CreateKey(HKEY root, const std::string& key) {
  std::string full;
  if (!FullPath(root, key, full)) return Failed(EINVAL);
  if (full.find('\\') == std::string::npos) return true;
  return Modify([&](KeyMap& keys, bool& write) {
    if (keys.count(Upper(full)) == 0) {
      AddKey(keys, full);
      write = true;
    }
    return true;
  });
}

bool DeleteKey(HKEY root, const std::string& key) {
  std::string full;
  if (!FullPath(root, key, full) || full.find('\\') == std::string::npos) return Failed(EINVAL);
  return Modify([&](KeyMap& keys, bool& write) {
    std::string upper = Upper(full);
    auto it = keys.find(upper);
    if (it == keys.end()) return false;
    keys.erase(it);
    // Sub-keys sort together behind the prefix (not always right behind the key).
    std::string prefix = upper + "\\";
    it = keys.lower_bound(prefix);
    while (it != keys.end() && it->first.compare(0, prefix.size(), prefix) == 0) it = keys.erase(it);
    write = true;
    return true;
  });
}

bool DeleteKeyIfPresent(HKEY root, const std::string& key) {
  return DeleteKey(root, key) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

bool GetValue(HKEY root, const std::string& key, const std::string& name, RegValue& value) {
  std::string full;
  if (!FullPath(root, key, full)) return false;
  return Inspect([&](const KeyMap& keys) {
    auto it = keys.find(Upper(full));
    if (it == keys.end()) return false;
    long v = FindValue(it->second, name);
    if (v < 0) return false;
    value = it->second.values[static_cast<std::size_t>(v)].second;
    return true;
  });
}

bool SetValue(HKEY root, const std::string& key, const std::string& name, const RegValue& value) {
  std::string full;
  if (!FullPath(root, key, full) || HasControl(name)) return Failed(EINVAL);
  if (value.type != REG_SZ && value.type != REG_DWORD) return Failed(EINVAL);
  return Modify([&](KeyMap& keys, bool& write) {
    if (full.find('\\') == std::string::npos) AddKey(keys, full);  // values on a root itself
    auto it = keys.find(Upper(full));
    if (it == keys.end()) return false;
    long v = FindValue(it->second, name);
    if (v < 0) {
      it->second.values.emplace_back(name, value);
    } else {
      RegValue& held = it->second.values[static_cast<std::size_t>(v)].second;
      // A value that holds this already is not written again: a store that
      // cannot be written then refuses no call that changes nothing.
      if (SameValue(held, value)) return true;
      held = value;
    }
    write = true;
    return true;
  });
}

bool DeleteValue(HKEY root, const std::string& key, const std::string& name) {
  std::string full;
  if (!FullPath(root, key, full)) return Failed(EINVAL);
  return Modify([&](KeyMap& keys, bool& write) {
    auto it = keys.find(Upper(full));
    if (it == keys.end()) return false;
    long v = FindValue(it->second, name);
    if (v < 0) return false;
    it->second.values.erase(it->second.values.begin() + v);
    write = true;
    return true;
  });
}

int ReadError() {
  const std::string path = RegistryStore::Path();
  StoreLock lock(path, false);
  KeyMap keys;
  return Load(path, keys) ? 0 : errno;
}

int RewriteError() {
  const std::string path = RegistryStore::Path();
  StoreLock lock(path, true);
  KeyMap keys;
  if (!Load(path, keys)) return errno;
  std::string text;
  if (!ReadWholeFile(path, text)) return errno == ENOENT ? 0 : errno;
  return WriteFileReplacing(path, text.data(), text.size()) ? 0 : errno;
}

std::vector<std::string> SubKeyNames(HKEY root, const std::string& key) {
  std::string full;
  if (!FullPath(root, key, full)) return {};
  return Inspect([&](const KeyMap& keys) {
    std::vector<std::string> names;
    std::string prefix = Upper(full) + "\\";
    for (auto it = keys.lower_bound(prefix); it != keys.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it)
      if (it->first.find('\\', prefix.size()) == std::string::npos)
        names.push_back(it->second.path.substr(prefix.size()));
    return names;
  });
}

std::vector<std::string> ValueNames(HKEY root, const std::string& key) {
  std::string full;
  if (!FullPath(root, key, full)) return {};
  return Inspect([&](const KeyMap& keys) {
    std::vector<std::string> names;
    auto it = keys.find(Upper(full));
    if (it == keys.end()) return names;
    for (const auto& value : it->second.values) names.push_back(value.first);
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return Upper(a) < Upper(b); });
    return names;
  });
}

}  // namespace RegistryStore
