#pragma once
// The host's project manager (IQendProjectManager): the open project's name,
// folder and global folder, the owner of the plug-in's forms and the host's
// project list.

#include "host/sim/HostInterface.h"
#include "hostapi/IQendProjectManager.h"

class HostProjectManager final : public HostInterface<IQendProjectManager> {
 public:
  using HostInterface::HostInterface;

  HRESULT GetProjectName(char** name) override;
  HRESULT GetProjectFolder(char** folder) override;
  HRESULT GetGlobalFolder(char** folder) override;
  HRESULT GetOwnerComponent(TComponent** owner) override;
  HRESULT GetProjectNameW(BSTR* name) override;
  HRESULT GetProjectList(char** list) override;
};

// A copy of `text` from CoTaskMemAlloc (the receiver frees it); E_POINTER for
// a null out pointer, E_OUTOFMEMORY when no memory is left.
HRESULT HostTaskText(const std::string& text, char** out);
