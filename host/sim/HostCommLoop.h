#pragma once
// The host's communication loop interface (IHalvexCommLoopEx): plug-ins add
// and remove their callbacks; the loop (CommLoop) calls each one on its own
// thread with the host's send function, which hands every request to the
// simulated PLC.

#include "host/sim/HostInterface.h"
#include "host/sim/SimulatedPlc.h"
#include "hostapi/CommLoop.h"

// The send function handed to the callbacks: one request to the PLC of the
// host that is running (E_UNEXPECTED when none is).
HRESULT HostSendToPlc(std::uint32_t zero, std::uint32_t service, std::uint32_t requestLength, const void* request,
                      std::uint32_t* replyLength, void* reply);
// The PLC the send function reaches (set by the host while it lives).
void SetSendFunctionPlc(SimulatedPlc* plc);

class HostCommLoop final : public HostInterface<IHalvexCommLoopEx> {
 public:
  using HostInterface::HostInterface;
  HRESULT Reserved3() override { return E_NOTIMPL; }
  HRESULT RemoveCallback(CommLoopCallbackFunction callback) override;
  HRESULT AddCallback(CommLoopCallbackFunction callback, std::uint32_t value, const char* name) override;
};
