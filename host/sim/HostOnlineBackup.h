#pragma once
// The host's online backup of the PLC project (IHalvexOnlinePlcBackup): the
// files the plug-ins add to it, kept with whether each existed.

#include <mutex>
#include <string>
#include <vector>

#include "host/sim/HostInterface.h"
#include "hostapi/HostEvents.h"

struct HostBackupFile {
  std::string path;
  std::uint16_t flag = 0;
  bool exists = false;
};

class HostOnlineBackup final : public HostInterface<IHalvexOnlinePlcBackup> {
 public:
  using HostInterface::HostInterface;
  HRESULT AddFile(const char* path, std::uint16_t flag) override;

  std::vector<HostBackupFile> Files() const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::vector<HostBackupFile> files_;
};
