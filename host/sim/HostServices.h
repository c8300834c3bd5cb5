#pragma once
// The host's small services: online state (IQendApp), UI language
// (IQendLanguage), CPU type (IQendCpm), text editor (IQendTextEditor, which
// keeps the files it was asked to show) and the PLC control (no methods).

#include <mutex>
#include <string>
#include <vector>

#include "host/sim/HostInterface.h"
#include "hostapi/HostServices.h"

// The language index of the plug-in's string tables for a Windows language
// id: 1029 Czech 0, 1031 German 4, 1045 Polish 5, 1049 Russian 2, else 1.
HostLong LanguageIndexOfLcid(HostLcid lcid);

class HostApp final : public HostInterface<IQendApp> {
 public:
  using HostInterface::HostInterface;
  HRESULT IsOnline(std::int16_t* online) override;
};

class HostLanguage final : public HostInterface<IQendLanguage> {
 public:
  using HostInterface::HostInterface;
  HRESULT GetLanguageIndex(HostLong* index) override;
};

class HostCpm final : public HostInterface<IQendCpm> {
 public:
  using HostInterface::HostInterface;
  HRESULT Reserved3() override { return E_NOTIMPL; }
  HRESULT GetCpmType(HostLong* cpmType) override;
};

struct HostEditorCall {
  std::string call;  // "open" or "close"
  std::string path;
  bool existed = false;  // the file existed when asked
};

class HostTextEditor final : public HostInterface<IQendTextEditor> {
 public:
  using HostInterface::HostInterface;
  HRESULT OpenFile(const char* path, HostLong value, HostLong* result) override;
  HRESULT CloseFile(const char* path, VARIANT_BOOL save) override;

  std::vector<HostEditorCall> Calls() const;
  std::vector<std::string> OpenFiles() const;

 private:
  mutable std::mutex mutex_;
  std::vector<HostEditorCall> calls_;
  std::vector<std::string> open_;
};

class HostPlcControl final : public HostInterface<IHalvexPlcControl> {
 public:
  using HostInterface::HostInterface;
};
