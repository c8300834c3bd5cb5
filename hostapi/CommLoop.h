#pragma once
// The host's communication loop with the PLC: the callback the plug-in
// registers (called on the loop's own thread), the send function the loop
// hands to it, the synchronised read of variables, and the host's PLC
// communication services that give the text of an error code.

#include "hostapi/HostTypes.h"

// {65143528-A325-4C1D-BE00-0CB859D8507D}
inline constexpr IID IID_IHalvexCommLoopEx = {
    0x65143528, 0xA325, 0x4C1D, {0xBE, 0x00, 0x0C, 0xB8, 0x59, 0xD8, 0x50, 0x7D}};
// {75A80542-661E-4799-863E-AA4EC23E9717}
inline constexpr IID IID_IHalvexSyncedPlcRead = {
    0x75A80542, 0x661E, 0x4799, {0x86, 0x3E, 0xAA, 0x4E, 0xC2, 0x3E, 0x97, 0x17}};
// {DE98D5C7-85B8-48B0-A458-416B40B83E4A}
inline constexpr IID IID_IVornConnectedPlc = {
    0xDE98D5C7, 0x85B8, 0x48B0, {0xA4, 0x58, 0x41, 0x6B, 0x40, 0xB8, 0x3E, 0x4A}};
// {AE285EB0-2238-4003-A7AD-AFA7E0884454}: the host's in-process class.
inline constexpr CLSID CLSID_HalvexPlcCommunicationServices = {
    0xAE285EB0, 0x2238, 0x4003, {0xA7, 0xAD, 0xAF, 0xA7, 0xE0, 0x88, 0x44, 0x54}};

// PLC services of the send function.
inline constexpr std::uint32_t PLC_SERVICE_READ = 11;
inline constexpr std::uint32_t PLC_SERVICE_WRITE_BYTES = 12;
inline constexpr std::uint32_t PLC_SERVICE_WRITE_BITS = 16;
inline constexpr std::uint32_t PLC_SERVICE_FILE = 40;

// The loop calls the callbacks with this flag set when they may talk to the
// PLC.
inline constexpr std::uint32_t COMM_LOOP_FLAG_ONLINE = 0x00400000;

// Sends one request to the PLC: (0, service, request length, request bytes,
// in: capacity of `reply` / out: length of the answer, reply buffer).
using CommSendFunction = HRESULT (*)(std::uint32_t zero, std::uint32_t service, std::uint32_t requestLength,
                                     const void* request, std::uint32_t* replyLength, void* reply);
// The plug-in's callback: (send function, three values not used, flags);
// answers 0.
using CommLoopCallbackFunction = std::uint32_t (*)(CommSendFunction send, std::uint32_t value1, std::uint32_t value2,
                                                   std::uint32_t value3, std::uint32_t flags);

class IHalvexCommLoopEx : public IUnknown {
 public:
  virtual HRESULT Reserved3() = 0;
  // Position 4: the loop stops calling `callback` (when this returns, no
  // call of it runs any more).
  virtual HRESULT RemoveCallback(CommLoopCallbackFunction callback) = 0;
  // Position 5: the loop calls `callback` from now on (the system passes 88
  // and its name "Tarnwell").
  virtual HRESULT AddCallback(CommLoopCallbackFunction callback, std::uint32_t value, const char* name) = 0;

 protected:
  ~IHalvexCommLoopEx() = default;
};

// One variable of a synchronised read: made by the host for each name, then
// completed by the plug-in.
struct SyncedReadRecord {
  std::uint32_t hostData0 = 0;  // the host's
  std::uint32_t address = 0;    // written by the plug-in: the entry's address
  std::uint16_t kind = 0;       // written by the plug-in: 8 visibility entry, 255 other
  std::uint16_t hostData1 = 0;  // the host's
  void* value = nullptr;        // written by the plug-in: where read values go
  std::uint32_t hostData2 = 0;  // the host's
  std::uint8_t changed = 0;     // set by the host: the value changed
  std::uint8_t hostData3[3] = {0, 0, 0};
};

class IHalvexSyncedPlcRead : public IUnknown {
 public:
  // Position 3: forgets a set made by CreateObjects.
  virtual HRESULT ReleaseObjects(std::uint32_t count, SyncedReadRecord* set) = 0;
  // Position 4: makes one record per name (an empty name for an unknown
  // variable) in the caller's zeroed set.
  virtual HRESULT CreateObjects(std::uint32_t count, const char* const* names, SyncedReadRecord* set) = 0;
  // Position 5: enables (-1) or disables (0) the cyclic read of the set.
  virtual HRESULT EnableObjects(HostLong enable, std::uint32_t count, SyncedReadRecord* set) = 0;
  // Position 6: asks for a read; when the data are there the host raises the
  // project notification 0x90 with kind 3.
  virtual HRESULT ReadObjects(std::uint32_t count, SyncedReadRecord* set) = 0;

 protected:
  ~IHalvexSyncedPlcRead() = default;
};

class IVornConnectedPlc : public IUnknown {
 public:
  // Position 3: the text of an interface-specific error code of the PLC
  // communication (a BSTR the caller frees with SysFreeString).
  virtual HRESULT GetErrorText(HRESULT code, BSTR* text) = 0;

 protected:
  ~IVornConnectedPlc() = default;
};
