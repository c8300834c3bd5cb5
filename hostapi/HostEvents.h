#pragma once
// The host's other event interfaces: menu, desktop, CPM, communication state,
// docking and online backup (with the backup interface the backup event
// hands over).

#include "hostapi/HostTypes.h"

// {D6F70B22-876D-4279-8D55-35D285C2C086}
inline constexpr IID IID_IQendMenuEvents = {
    0xD6F70B22, 0x876D, 0x4279, {0x8D, 0x55, 0x35, 0xD2, 0x85, 0xC2, 0xC0, 0x86}};
// {5F63D112-6955-4D47-8CDF-9CC3B1DCE9B0}
inline constexpr IID IID_IQendDesktopEvents = {
    0x5F63D112, 0x6955, 0x4D47, {0x8C, 0xDF, 0x9C, 0xC3, 0xB1, 0xDC, 0xE9, 0xB0}};
// {E2938DF6-5AA7-496A-AB53-F94B886561BC}
inline constexpr IID IID_IQendCpmEvents = {
    0xE2938DF6, 0x5AA7, 0x496A, {0xAB, 0x53, 0xF9, 0x4B, 0x88, 0x65, 0x61, 0xBC}};
// {34389AFF-8154-413C-87E3-B52B3DF82147}
inline constexpr IID IID_IHalvexCommStateEvent = {
    0x34389AFF, 0x8154, 0x413C, {0x87, 0xE3, 0xB5, 0x2B, 0x3D, 0xF8, 0x21, 0x47}};
// {61881A42-158B-419E-AD78-B85B08C8BA15}
inline constexpr IID IID_IQendDockEvents = {
    0x61881A42, 0x158B, 0x419E, {0xAD, 0x78, 0xB8, 0x5B, 0x08, 0xC8, 0xBA, 0x15}};
// {D1B710A4-E05E-4C83-88B9-09802EFF9B33}
inline constexpr IID IID_IHalvexOnlinePlcBackupEvent = {
    0xD1B710A4, 0xE05E, 0x4C83, {0x88, 0xB9, 0x09, 0x80, 0x2E, 0xFF, 0x9B, 0x33}};
// {F794DE9B-7276-4359-AFD5-B2E61B625215}
inline constexpr IID IID_IHalvexOnlinePlcBackup = {
    0xF794DE9B, 0x7276, 0x4359, {0xAF, 0xD5, 0xB2, 0xE6, 0x1B, 0x62, 0x52, 0x15}};

class IQendMenuEvents : public IUnknown {
 public:
  // Position 3: the user chose the command of this id (the id that
  // IQendMenu::RegisterCommand handed out).
  virtual HRESULT OnMenuCommand(HostLong commandId) = 0;
  virtual HRESULT Reserved4() = 0;

 protected:
  ~IQendMenuEvents() = default;
};

class IQendDesktopEvents : public IUnknown {
 public:
  // Positions 3 and 4: the host saves, restores its desktop.
  virtual HRESULT SaveDesktop(DesktopStorage storage) = 0;
  virtual HRESULT LoadDesktop(DesktopStorage storage) = 0;
  // Position 5: the host's UI language changed.
  virtual HRESULT OnLanguageChanged(HostLcid language, std::uint32_t value) = 0;
  virtual HRESULT Reserved6() = 0;
  virtual HRESULT Reserved7() = 0;
  virtual HRESULT Reserved8() = 0;
  virtual HRESULT Reserved9() = 0;
  virtual HRESULT Reserved10() = 0;

 protected:
  ~IQendDesktopEvents() = default;
};

class IQendCpmEvents : public IUnknown {
 public:
  virtual HRESULT Reserved3() = 0;
  // Position 4: the PLC's CPU type (CPM) changed.
  virtual HRESULT OnCpmChanged(std::uint32_t value1, HostLong cpmType, std::uint32_t value3) = 0;
  virtual HRESULT Reserved5() = 0;

 protected:
  ~IQendCpmEvents() = default;
};

class IHalvexCommStateEvent : public IUnknown {
 public:
  // Positions 3 and 4: the communication with the PLC is on or off.
  virtual HRESULT OnCommunicationState(VARIANT_BOOL on) = 0;
  virtual HRESULT OnCommunicationStateEx(VARIANT_BOOL on) = 0;
  virtual HRESULT Reserved5() = 0;

 protected:
  ~IHalvexCommStateEvent() = default;
};

class IQendDockEvents : public IUnknown {
 public:
  virtual HRESULT Reserved3() = 0;
  virtual HRESULT Reserved4() = 0;
  virtual HRESULT Reserved5() = 0;

 protected:
  ~IQendDockEvents() = default;
};

class IHalvexOnlinePlcBackup : public IUnknown {
 public:
  // Position 3: adds one file (full path) to the online backup; flag 0.
  virtual HRESULT AddFile(const char* path, std::uint16_t flag) = 0;

 protected:
  ~IHalvexOnlinePlcBackup() = default;
};

class IHalvexOnlinePlcBackupEvent : public IUnknown {
 public:
  // Position 3: the host makes an online backup; the sink adds its files.
  // The sink releases `backup` once.
  virtual HRESULT AddFileToOnlinePlcBackup(IHalvexOnlinePlcBackup* backup) = 0;
  virtual HRESULT Reserved4() = 0;

 protected:
  ~IHalvexOnlinePlcBackupEvent() = default;
};
