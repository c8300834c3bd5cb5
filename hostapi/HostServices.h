#pragma once
// Small host services: the application (online with the PLC?), the UI
// language, the CPU type (CPM), the text editor and the PLC control.

#include "hostapi/HostTypes.h"

// {66E9EC12-8253-4B4C-B532-E1069A14E56A}
inline constexpr IID IID_IQendApp = {0x66E9EC12, 0x8253, 0x4B4C, {0xB5, 0x32, 0xE1, 0x06, 0x9A, 0x14, 0xE5, 0x6A}};
// {992917A0-0042-4737-8135-96876DC066A0}
inline constexpr IID IID_IQendLanguage = {0x992917A0, 0x0042, 0x4737, {0x81, 0x35, 0x96, 0x87, 0x6D, 0xC0, 0x66, 0xA0}};
// {B5D6637C-EBD8-4D1B-84A0-4CCA4C70EB41}
inline constexpr IID IID_IQendCpm = {0xB5D6637C, 0xEBD8, 0x4D1B, {0x84, 0xA0, 0x4C, 0xCA, 0x4C, 0x70, 0xEB, 0x41}};
// {C3B7C214-BCE7-4162-88D0-92E367467A59}
inline constexpr IID IID_IQendTextEditor = {
    0xC3B7C214, 0xBCE7, 0x4162, {0x88, 0xD0, 0x92, 0xE3, 0x67, 0x46, 0x7A, 0x59}};
// {5FF38298-F279-4E57-8843-5EB48CA4FD4C}
inline constexpr IID IID_IHalvexPlcControl = {
    0x5FF38298, 0xF279, 0x4E57, {0x88, 0x43, 0x5E, 0xB4, 0x8C, 0xA4, 0xFD, 0x4C}};

class IQendApp : public IUnknown {
 public:
  // Position 3: non-zero when the host is online with the PLC.
  virtual HRESULT IsOnline(std::int16_t* online) = 0;

 protected:
  ~IQendApp() = default;
};

class IQendLanguage : public IUnknown {
 public:
  // Position 3: the host's UI language as a language index (0 Czech,
  // 1 English, 2 Russian, 4 German, 5 Polish).
  virtual HRESULT GetLanguageIndex(HostLong* index) = 0;

 protected:
  ~IQendLanguage() = default;
};

class IQendCpm : public IUnknown {
 public:
  virtual HRESULT Reserved3() = 0;
  // Position 4: the PLC's CPU type number.
  virtual HRESULT GetCpmType(HostLong* cpmType) = 0;

 protected:
  ~IQendCpm() = default;
};

class IQendTextEditor : public IUnknown {
 public:
  // Position 3: opens a file (full path) in the host's editor (0, out value).
  virtual HRESULT OpenFile(const char* path, HostLong value, HostLong* result) = 0;
  // Position 4: closes the file when it is open (false: without saving).
  virtual HRESULT CloseFile(const char* path, VARIANT_BOOL save) = 0;

 protected:
  ~IQendTextEditor() = default;
};

// Held by the plug-in while it is installed; no method is called.
class IHalvexPlcControl : public IUnknown {
 protected:
  ~IHalvexPlcControl() = default;
};
