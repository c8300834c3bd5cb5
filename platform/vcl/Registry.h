#pragma once
// TRegistry of the class library over the registry store (see
// platform/win/RegistryStore.h).
//
// A key is opened under RootKey (HKEY_CURRENT_USER unless set); a key path
// that begins with a backslash counts from the root, any other from the key
// that is open (or from the root when none is). Values are read and written
// in the open key. Reading a value of the other type, reading a missing
// integer, and writing with no key open or when the store cannot be written
// raise ERegistryException.

#include <string>

#include "platform/vcl/SysUtilsException.h"
#include "platform/win/RegistryStore.h"

class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

class TRegistry {
 public:
  TRegistry() = default;
  virtual ~TRegistry() = default;

  HKEY RootKey() const { return rootKey_; }
  // Changing the root closes the open key.
  void SetRootKey(HKEY root);

  // Opens the key (creating it with its missing parents when `canCreate` is
  // set); false when it is missing and may not be created. The key stays
  // open until CloseKey or the next OpenKey.
  bool OpenKey(const std::string& key, bool canCreate);
  void CloseKey();
  // The open key's path below the root, empty when none is open.
  const std::string& CurrentPath() const { return currentPath_; }

  bool KeyExists(const std::string& key) const;
  // Deletes the key with all its sub-keys; false when it is missing. Deleting
  // the open key (or one above it) closes it.
  bool DeleteKey(const std::string& key);

  bool ValueExists(const std::string& name) const;
  bool DeleteValue(const std::string& name);
  // The text of a REG_SZ value; empty when the value is missing.
  std::string ReadString(const std::string& name) const;
  void WriteString(const std::string& name, const std::string& value);
  // The number of a REG_DWORD value.
  int ReadInteger(const std::string& name) const;
  void WriteInteger(const std::string& name, int value);

 private:
  // The path below the root that a key argument names.
  std::string Resolve(const std::string& key) const;
  void CheckOpen(const std::string& name) const;

  HKEY rootKey_ = HKEY_CURRENT_USER;
  bool open_ = false;
  std::string currentPath_;
};
