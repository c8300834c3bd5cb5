#pragma once
// The host's project manager: the open PLC project's name and folders, the
// owner of the plug-in's forms, the host's project list, and (through
// QueryInterface) the IDE, text editor, PLC control, language, application,
// compiler-message and IEC variables manager interfaces.
//
// Texts come back as 8-bit NUL-terminated texts that the host allocates with
// CoTaskMemAlloc and the caller frees with CoTaskMemFree; a folder ends in a
// backslash, and an empty text means "none" (no project open).
//
// The methods after position 5 have bodies answering E_NOTIMPL, so that a
// stand-in that only serves the folders (as the core services' tests use)
// stays complete; the simulated host overrides them all.

#include "hostapi/HostTypes.h"

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
  // Position 6: the component that owns the plug-in's forms (not counted).
  virtual HRESULT GetOwnerComponent(TComponent** owner) {
    if (owner != nullptr) *owner = nullptr;
    return E_NOTIMPL;
  }
  // Position 7: the open project's name as a BSTR the caller frees with
  // SysFreeString.
  virtual HRESULT GetProjectNameW(BSTR* name) {
    if (name != nullptr) *name = nullptr;
    return E_NOTIMPL;
  }
  // Positions 8 to 28: not used by the system.
  virtual HRESULT Reserved8() { return E_NOTIMPL; }
  virtual HRESULT Reserved9() { return E_NOTIMPL; }
  virtual HRESULT Reserved10() { return E_NOTIMPL; }
  virtual HRESULT Reserved11() { return E_NOTIMPL; }
  virtual HRESULT Reserved12() { return E_NOTIMPL; }
  virtual HRESULT Reserved13() { return E_NOTIMPL; }
  virtual HRESULT Reserved14() { return E_NOTIMPL; }
  virtual HRESULT Reserved15() { return E_NOTIMPL; }
  virtual HRESULT Reserved16() { return E_NOTIMPL; }
  virtual HRESULT Reserved17() { return E_NOTIMPL; }
  virtual HRESULT Reserved18() { return E_NOTIMPL; }
  virtual HRESULT Reserved19() { return E_NOTIMPL; }
  virtual HRESULT Reserved20() { return E_NOTIMPL; }
  virtual HRESULT Reserved21() { return E_NOTIMPL; }
  virtual HRESULT Reserved22() { return E_NOTIMPL; }
  virtual HRESULT Reserved23() { return E_NOTIMPL; }
  virtual HRESULT Reserved24() { return E_NOTIMPL; }
  virtual HRESULT Reserved25() { return E_NOTIMPL; }
  virtual HRESULT Reserved26() { return E_NOTIMPL; }
  virtual HRESULT Reserved27() { return E_NOTIMPL; }
  virtual HRESULT Reserved28() { return E_NOTIMPL; }
  // Position 29: the host's project list, one entry per line, each a project
  // name, a vertical bar and the project file's full path ("Plant1|C:\P\Plant1.hvx").
  virtual HRESULT GetProjectList(char** list) {
    if (list != nullptr) *list = nullptr;
    return E_NOTIMPL;
  }

 protected:
  ~IQendProjectManager() = default;
};
