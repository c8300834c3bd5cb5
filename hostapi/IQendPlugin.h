#pragma once
// The plug-in's own interfaces: IQendPlugin (install, remove, name, version,
// GUID) and IHalvexBuilderPlugin (the same for the host's builder edition),
// and the identity of the plug-in's COM server.

#include "hostapi/HostTypes.h"

// {3016711B-DFF0-40E4-8E47-02955EEA99BC}
inline constexpr IID IID_IQendPlugin = {0x3016711B, 0xDFF0, 0x40E4, {0x8E, 0x47, 0x02, 0x95, 0x5E, 0xEA, 0x99, 0xBC}};
// {00C64F69-C52C-4A6F-ABD6-2EFF1853E949}
inline constexpr IID IID_IHalvexBuilderPlugin = {
    0x00C64F69, 0xC52C, 0x4A6F, {0xAB, 0xD6, 0x2E, 0xFF, 0x18, 0x53, 0xE9, 0x49}};

// The plug-in's coclass, its default interface, type library and the
// component categories by which the host finds it.
// {856AD462-70C8-467C-9061-DE72691E6A67}
inline constexpr CLSID CLSID_TarnwellCoClass = {
    0x856AD462, 0x70C8, 0x467C, {0x90, 0x61, 0xDE, 0x72, 0x69, 0x1E, 0x6A, 0x67}};
// {C44729DB-2182-4AA9-B7EE-C1530ADA9AE7}
inline constexpr IID IID_ITarnwellCoClass = {
    0xC44729DB, 0x2182, 0x4AA9, {0xB7, 0xEE, 0xC1, 0x53, 0x0A, 0xDA, 0x9A, 0xE7}};
// {BDF561BB-0693-4C16-B89A-7B80DCD3886F}
inline constexpr GUID LIBID_Tarnwell = {0xBDF561BB, 0x0693, 0x4C16, {0xB8, 0x9A, 0x7B, 0x80, 0xDC, 0xD3, 0x88, 0x6F}};
// {06885EBA-E678-4B45-AFFE-F78FEB80059C}
inline constexpr GUID CATID_HalvexPlugin = {
    0x06885EBA, 0xE678, 0x4B45, {0xAF, 0xFE, 0xF7, 0x8F, 0xEB, 0x80, 0x05, 0x9C}};
// {3450C9E4-8D0A-40BF-A7B1-0EFB25820C4C}
inline constexpr GUID CATID_HalvexPluginEx = {
    0x3450C9E4, 0x8D0A, 0x40BF, {0xA7, 0xB1, 0x0E, 0xFB, 0x25, 0x82, 0x0C, 0x4C}};
inline constexpr const char* TARNWELL_PROGID = "Tarnwell.TarnwellCoClass";

// The coclass's default interface: no methods of its own.
class ITarnwellCoClass : public IUnknown {
 protected:
  ~ITarnwellCoClass() = default;
};

class IQendPlugin : public IUnknown {
 public:
  // Position 3: connects the plug-in to the host object; `owner` owns the
  // plug-in's forms. The plug-in releases the host reference it was given
  // once before a successful return.
  virtual HRESULT InstallPlugin(IUnknown* host, TComponent* owner) = 0;
  // Position 4: undoes the installation.
  virtual HRESULT UninstallPlugin() = 0;
  // Position 5: 0x18010000 (24.1).
  virtual HRESULT GetPluginVersion(HostLong* version) = 0;
  // Position 6: the name ("Tarnwell", from CoTaskMemAlloc; the host frees it)
  // and a further value (-1).
  virtual HRESULT GetPluginName(char** name, HostLong* value) = 0;
  // Position 7: the plug-in's GUID (all zero); E_INVALIDARG for null.
  virtual HRESULT GetPluginGuid(GUID* guid) = 0;

 protected:
  ~IQendPlugin() = default;
};

class IHalvexBuilderPlugin : public IUnknown {
 public:
  // Position 3: installation by the builder edition (no toolbar button).
  virtual HRESULT BuilderInstallPlugin(IUnknown* host, TComponent* owner) = 0;
  // Position 4: as the export ControledDestruction.
  virtual HRESULT BuilderControledDestruction() = 0;
  // Positions 5 to 8: as IQendPlugin's positions 4 to 7.
  virtual HRESULT BuilderUninstallPlugin() = 0;
  virtual HRESULT BuilderGetPluginVersion(HostLong* version) = 0;
  virtual HRESULT BuilderGetPluginName(char** name, HostLong* value) = 0;
  virtual HRESULT BuilderGetPluginGuid(GUID* guid) = 0;

 protected:
  ~IHalvexBuilderPlugin() = default;
};
