#pragma once
// Small COM objects and a scratch registry for the COM layer's tests.

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/com/ClassFactory.h"
#include "platform/win/RegistryStore.h"

namespace comtest {

// {11111111-2222-3333-4444-555555555555}
inline constexpr IID IID_ITestEvents = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};

class ITestEvents : public IUnknown {
 public:
  virtual HRESULT OnPing(int value) = 0;

 protected:
  ~ITestEvents() = default;
};

// A counted object answering ITestEvents; it is not freed at 0 so that tests
// can read its count.
class TestSink : public ITestEvents {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || (answersEvents && iid == IID_ITestEvents)) {
      *object = static_cast<ITestEvents*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  HRESULT OnPing(int value) override {
    pings += value;
    return S_OK;
  }
  std::atomic<ULONG> refs{1};
  int pings = 0;
  bool answersEvents = true;
};

// A registry store of its own in a fresh folder, dropped at the end.
class ScratchRegistry {
 public:
  ScratchRegistry() {
    std::string pattern = (std::filesystem::temp_directory_path() / "comregXXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
    RegistryStore::SetPath((folder_ / "registry").string());
  }
  ~ScratchRegistry() {
    RegistryStore::SetPath("");
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  std::string Text(const std::string& key, const std::string& name = "") const {
    RegValue value;
    return RegistryStore::GetValue(HKEY_CLASSES_ROOT, key, name, value) ? value.text : std::string("<missing>");
  }
  bool Has(const std::string& key) const { return RegistryStore::KeyExists(HKEY_CLASSES_ROOT, key); }

 private:
  std::filesystem::path folder_;
};

}  // namespace comtest
