#include "host/sim/HostCommLoop.h"

#include <atomic>
#include <cstdint>

#include "host/sim/HalvexHost.h"

namespace {

std::atomic<SimulatedPlc*> gSendPlc{nullptr};

const void* KeyOf(CommLoopCallbackFunction callback) {
  return reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(callback));
}

}  // namespace

void SetSendFunctionPlc(SimulatedPlc* plc) { gSendPlc.store(plc, std::memory_order_release); }

HRESULT HostSendToPlc(std::uint32_t zero, std::uint32_t service, std::uint32_t requestLength, const void* request,
                      std::uint32_t* replyLength, void* reply) {
  SimulatedPlc* plc = gSendPlc.load(std::memory_order_acquire);
  if (plc == nullptr) return E_UNEXPECTED;
  return plc->Send(zero, service, requestLength, static_cast<const std::uint8_t*>(request), replyLength,
                   static_cast<std::uint8_t*>(reply));
}

HRESULT HostCommLoop::RemoveCallback(CommLoopCallbackFunction callback) {
  if (callback == nullptr) return E_POINTER;
  return host_.Loop().Remove(KeyOf(callback)) ? S_OK : E_INVALIDARG;
}

HRESULT HostCommLoop::AddCallback(CommLoopCallbackFunction callback, std::uint32_t value, const char* name) {
  if (callback == nullptr) return E_POINTER;
  bool added = host_.Loop().Register(
      KeyOf(callback), [callback](std::uint32_t flags) { callback(&HostSendToPlc, 0, 0, 0, flags); },
      static_cast<std::int32_t>(value), name ? name : "");
  return added ? S_OK : E_INVALIDARG;
}
