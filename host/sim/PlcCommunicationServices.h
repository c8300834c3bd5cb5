#pragma once
// The host's in-process class CLSID_HalvexPlcCommunicationServices: its
// objects answer IVornConnectedPlc, which gives the text of an
// interface-specific error code of the PLC communication. The host enters
// the class in the process's class table while it lives.

#include "platform/com/Unknown.h"
#include "platform/win/WinTypes.h"

class PlcCommunicationServicesRegistration {
 public:
  PlcCommunicationServicesRegistration();
  ~PlcCommunicationServicesRegistration();
  PlcCommunicationServicesRegistration(const PlcCommunicationServicesRegistration&) = delete;
  PlcCommunicationServicesRegistration& operator=(const PlcCommunicationServicesRegistration&) = delete;

  bool Registered() const { return cookie_ != 0; }
  // Objects made and not yet freed.
  static long LivingObjects();

 private:
  DWORD cookie_ = 0;
};
