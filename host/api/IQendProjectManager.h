#pragma once
// The host's project manager: the open PLC project's name and folders, and
// (added by the plug-in frame) the owner of the plug-in's forms, the project
// list and the interfaces asked of it.
//
// Methods sit in the positions the host calls them by; positions 0 to 2 are
// IUnknown's. Texts come back as 8-bit NUL-terminated texts that the host
// allocates with CoTaskMemAlloc and the caller frees with CoTaskMemFree; a
// folder ends in a backslash, and an empty text means "none" (no project open).

#include "platform/com/Unknown.h"

// {9BB94CEB-A63E-46EE-9156-61DAB2581CFC}
inline constexpr IID IID_IQendProjectManager = {
    0x9BB94CEB, 0xA63E, 0x46EE, {0x91, 0x56, 0x61, 0xDA, 0xB2, 0x58, 0x1C, 0xFC}};

class IQendProjectManager : public IUnknown {
 public:
  // Position 3: the open project's name, without folder or extension.
  virtual HRESULT GetProjectName(char** name) = 0;
  // Position 4: the open project's folder.
  virtual HRESULT GetProjectFolder(char** folder) = 0;
  // Position 5: the folder under which shared (global) web projects live.
  virtual HRESULT GetGlobalFolder(char** folder) = 0;

 protected:
  ~IQendProjectManager() = default;
};
