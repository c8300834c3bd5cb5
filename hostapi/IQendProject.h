#pragma once
// The host's PLC project: its file list, to which the plug-in adds its ST
// constants file and from which it removes it.

#include "hostapi/HostTypes.h"

// {C594B7F4-F286-4985-8D2C-539783D96D4C}
inline constexpr IID IID_IQendProject = {0xC594B7F4, 0xF286, 0x4985, {0x8D, 0x2C, 0x53, 0x97, 0x83, 0xD9, 0x6D, 0x4C}};

class IQendProject : public IUnknown {
 public:
  // Position 3: the project's files, one name per line, relative to the
  // project folder (CoTaskMemAlloc; the caller frees it).
  virtual HRESULT GetFileList(char** files) = 0;
  // Position 4: adds a file by full name (the system passes 1, ""); its id
  // comes back.
  virtual HRESULT AddFile(const char* fullName, HostLong kind, const char* options, HostLong* fileId) = 0;
  virtual HRESULT Reserved5() = 0;
  // Position 6: removes the file at `index` of the list.
  virtual HRESULT RemoveFile(HostLong index, VARIANT_BOOL flag) = 0;
  // Position 7: moves the file `fileId` to `index`.
  virtual HRESULT MoveFile(HostLong fileId, HostLong index, VARIANT_BOOL flag) = 0;

 protected:
  ~IQendProject() = default;
};
