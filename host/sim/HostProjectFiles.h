#pragma once
// The PLC project's file list (IQendProject): the files the host project
// names, and those a plug-in adds (its ST constants file). Names are kept
// relative to the project folder when they lie inside it; names compare
// without regard to case and with '/' and '\\' alike, so adding a file twice
// gives back its first id.

#include <mutex>
#include <string>
#include <vector>

#include "host/sim/HostInterface.h"
#include "hostapi/IQendProject.h"

struct HostProjectFile {
  HostLong id = 0;
  std::string name;
};

class HostProjectFiles final : public HostInterface<IQendProject> {
 public:
  using HostInterface::HostInterface;

  HRESULT GetFileList(char** files) override;
  HRESULT AddFile(const char* fullName, HostLong kind, const char* options, HostLong* fileId) override;
  HRESULT Reserved5() override { return E_NOTIMPL; }
  HRESULT RemoveFile(HostLong index, VARIANT_BOOL flag) override;
  HRESULT MoveFile(HostLong fileId, HostLong index, VARIANT_BOOL flag) override;

  // Replaces the list (the host opens or closes a project).
  void Reset(const std::vector<std::string>& names);
  std::vector<HostProjectFile> Files() const;

 private:
  mutable std::mutex mutex_;
  std::vector<HostProjectFile> files_;
  HostLong nextId_ = 1;
};
