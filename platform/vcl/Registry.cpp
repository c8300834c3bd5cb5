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
  FRootKey = root;
}

std::string TRegistry::Resolve(const std::string& key) const {
  if (!key.empty() && key[0] == '\\') return Normalize(key);
  if (!FOpen || FCurrentPath.empty()) return Normalize(key);
  return Normalize(FCurrentPath + "\\" + key);
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
  std::string path = Resolve(key);
  bool ok = canCreate ? RegistryStore::CreateKey(FRootKey, path) : RegistryStore::KeyExists(FRootKey, path);
  if (!ok) return false;
  FOpen = true;
  FCurrentPath = path;
  return true;
}

void TRegistry::CloseKey() {
  FOpen = false;
  FCurrentPath.clear();
}

bool TRegistry::KeyExists(const std::string& key) const { return RegistryStore::KeyExists(FRootKey, Resolve(key)); }

bool TRegistry::DeleteKey(const std::string& key) {
  std::string path = Resolve(key);
  if (!RegistryStore::DeleteKey(FRootKey, path)) return false;
  std::string upper = UpperCase(path), current = UpperCase(FCurrentPath);
  if (FOpen && (current == upper || current.compare(0, upper.size() + 1, upper + "\\") == 0)) CloseKey();
  return true;
}

void TRegistry::CheckOpen(const std::string& name) const {
  if (!FOpen) throw ERegistryException("Failed to get data for '" + name + "'");
}

bool TRegistry::ValueExists(const std::string& name) const {
  RegValue value;
  return FOpen && RegistryStore::GetValue(FRootKey, FCurrentPath, name, value);
}

bool TRegistry::DeleteValue(const std::string& name) {
  return FOpen && RegistryStore::DeleteValue(FRootKey, FCurrentPath, name);
}

std::string TRegistry::ReadString(const std::string& name) const {
  CheckOpen(name);
  RegValue value;
  if (!RegistryStore::GetValue(FRootKey, FCurrentPath, name, value)) return std::string();
  if (value.type != REG_SZ) throw ERegistryException("Invalid data type for '" + name + "'");
  return value.text;
}

void TRegistry::WriteString(const std::string& name, const std::string& text) {
  RegValue value;
  value.type = REG_SZ;
  value.text = text;
  if (!FOpen || !RegistryStore::SetValue(FRootKey, FCurrentPath, name, value))
    throw ERegistryException("Failed to set data for '" + name + "'");
}

int TRegistry::ReadInteger(const std::string& name) const {
  CheckOpen(name);
  RegValue value;
  if (!RegistryStore::GetValue(FRootKey, FCurrentPath, name, value))
    throw ERegistryException("Failed to get data for '" + name + "'");
  if (value.type != REG_DWORD) throw ERegistryException("Invalid data type for '" + name + "'");
  return static_cast<int>(value.number);
}

void TRegistry::WriteInteger(const std::string& name, int number) {
  RegValue value;
  value.type = REG_DWORD;
  value.number = static_cast<DWORD>(number);
  if (!FOpen || !RegistryStore::SetValue(FRootKey, FCurrentPath, name, value))
    throw ERegistryException("Failed to set data for '" + name + "'");
}
