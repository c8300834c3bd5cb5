#include "platform/vcl/Registry.h"

#include "platform/vcl/SysUtils.h"

namespace {

// The path without leading, trailing or doubled backslashes.
std::string Normalize(const std::string& path) {
  std::string out;
  std::size_t i = 0;
  while (i < path.size()) {
    std::size_t end = path.find('\\', i);
    if (end == std::string::npos) end = path.size();
    if (end > i) {
      if (!out.empty()) out += '\\';
      out += path.substr(i, end - i);
    }
    i = end + 1;
  }
  return out;
}

}  // namespace

void TRegistry::SetRootKey(HKEY root) {
  CloseKey();
  rootKey_ = root;
}

std::string TRegistry::Resolve(const std::string& key) const {
  if (!key.empty() && key[0] == '\\') return Normalize(key);
  if (!open_ || currentPath_.empty()) return Normalize(key);
  return Normalize(currentPath_ + "\\" + key);
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  std::string path = Resolve(key);
  bool ok = canCreate ? RegistryStore::CreateKey(rootKey_, path) : RegistryStore::KeyExists(rootKey_, path);
  if (!ok) return false;
  open_ = true;
  currentPath_ = path;
  return true;
}

void TRegistry::CloseKey() {
  open_ = false;
  currentPath_.clear();
}

bool TRegistry::KeyExists(const std::string& key) const { return RegistryStore::KeyExists(rootKey_, Resolve(key)); }

bool TRegistry::DeleteKey(const std::string& key) {
  std::string path = Resolve(key);
  if (!RegistryStore::DeleteKey(rootKey_, path)) return false;
  std::string upper = UpperCase(path), current = UpperCase(currentPath_);
  if (open_ && (current == upper || current.compare(0, upper.size() + 1, upper + "\\") == 0)) CloseKey();
  return true;
}

void TRegistry::CheckOpen(const std::string& name) const {
  if (!open_) throw ERegistryException("Failed to get data for '" + name + "'");
}

bool TRegistry::ValueExists(const std::string& name) const {
  RegValue value;
  return open_ && RegistryStore::GetValue(rootKey_, currentPath_, name, value);
}

bool TRegistry::DeleteValue(const std::string& name) {
  return open_ && RegistryStore::DeleteValue(rootKey_, currentPath_, name);
}

std::string TRegistry::ReadString(const std::string& name) const {
  CheckOpen(name);
  RegValue value;
  if (!RegistryStore::GetValue(rootKey_, currentPath_, name, value)) return std::string();
  if (value.type != REG_SZ) throw ERegistryException("Invalid data type for '" + name + "'");
  return value.text;
}

void TRegistry::WriteString(const std::string& name, const std::string& text) {
  RegValue value;
  value.type = REG_SZ;
  value.text = text;
  if (!open_ || !RegistryStore::SetValue(rootKey_, currentPath_, name, value))
    throw ERegistryException("Failed to set data for '" + name + "'");
}

int TRegistry::ReadInteger(const std::string& name) const {
  CheckOpen(name);
  RegValue value;
  if (!RegistryStore::GetValue(rootKey_, currentPath_, name, value))
    throw ERegistryException("Failed to get data for '" + name + "'");
  if (value.type != REG_DWORD) throw ERegistryException("Invalid data type for '" + name + "'");
  return static_cast<int>(value.number);
}

void TRegistry::WriteInteger(const std::string& name, int number) {
  RegValue value;
  value.type = REG_DWORD;
  value.number = static_cast<DWORD>(number);
  if (!open_ || !RegistryStore::SetValue(rootKey_, currentPath_, name, value))
    throw ERegistryException("Failed to set data for '" + name + "'");
}
