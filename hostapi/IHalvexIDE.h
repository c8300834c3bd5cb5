#pragma once
// The host's IDE: docking of the plug-in's forms, their docking state in the
// host's desktop storage, and the dock position through IQendWindows.
// IQendOptionsStorageStreams is only asked for (its presence counts).

#include "hostapi/HostTypes.h"

// {FDC71A00-10FC-49F0-A8FE-434A6671A055}
inline constexpr IID IID_IHalvexIDE = {0xFDC71A00, 0x10FC, 0x49F0, {0xA8, 0xFE, 0x43, 0x4A, 0x66, 0x71, 0xA0, 0x55}};
// {7200DB5F-CA2E-4B49-94E2-4417C4424274}
inline constexpr IID IID_IQendWindows = {0x7200DB5F, 0xCA2E, 0x4B49, {0x94, 0xE2, 0x44, 0x17, 0xC4, 0x42, 0x42, 0x74}};
// {F4207C3A-071F-49B9-94C4-05E1787AB88D}
inline constexpr IID IID_IQendOptionsStorageStreams = {
    0xF4207C3A, 0x071F, 0x49B9, {0x94, 0xC4, 0x05, 0xE1, 0x78, 0x7A, 0xB8, 0x8D}};

class IHalvexIDE : public IUnknown {
 public:
  // Positions 3 to 6: dock and undock a form, show it, set its tab image.
  virtual HRESULT InsertDockableForm(TCustomForm* form) = 0;
  virtual HRESULT RemoveDockableForm(TCustomForm* form) = 0;
  virtual HRESULT ShowDockableForm(TCustomForm* form) = 0;
  virtual HRESULT SetTabImage(TCustomForm* form, HostLong imageIndex) = 0;
  // Positions 7 to 9: save the docking state of `form` (may be null) under
  // `name`, its further state, and finish the save.
  virtual HRESULT SaveDockingState(TCustomForm* form, DesktopStorage storage, const char* name) = 0;
  virtual HRESULT SaveFurtherState(TCustomForm* form, DesktopStorage storage) = 0;
  virtual HRESULT FinishSave(TCustomForm* form, DesktopStorage storage) = 0;
  // Positions 10 and 11: restore them.
  virtual HRESULT RestoreDockingState(TCustomForm* form, DesktopStorage storage, const char* name) = 0;
  virtual HRESULT RestoreFurtherState(TCustomForm* form, DesktopStorage storage) = 0;
  // Position 12: whether the form's docked page is visible.
  virtual HRESULT IsDockedPageVisible(TCustomForm* form, VARIANT_BOOL* visible) = 0;
  // Positions 13 to 16: stay-on-top and can-dock states of a form.
  virtual HRESULT SetStayOnTop(TCustomForm* form, VARIANT_BOOL value) = 0;
  virtual HRESULT GetStayOnTop(TCustomForm* form, VARIANT_BOOL* value) = 0;
  virtual HRESULT SetCanDock(TCustomForm* form, VARIANT_BOOL value) = 0;
  virtual HRESULT GetCanDock(TCustomForm* form, VARIANT_BOOL* value) = 0;

 protected:
  ~IHalvexIDE() = default;
};

class IQendWindows : public IUnknown {
 public:
  // Positions 3 and 4: the dock position of a form.
  virtual HRESULT SetDockPosition(HostLong position, TCustomForm* form) = 0;
  virtual HRESULT GetDockPosition(TCustomForm* form, HostLong* position) = 0;

 protected:
  ~IQendWindows() = default;
};

class IQendOptionsStorageStreams : public IUnknown {
 protected:
  ~IQendOptionsStorageStreams() = default;
};
