#pragma once
// One host interface of the simulated host: an object that answers one
// interface and counts the references handed out through it.
//
// The host object is made of such parts, one per interface, all owned by
// HalvexHost; QueryInterface on any part asks the host, so every part
// reaches every other (COM's rule of one identity). The parts are not freed
// by their count: the count only says how many references the plug-in holds,
// so that the host can check that every reference came back. A Release
// below zero is a fault of the caller; it is counted, not obeyed.

#include <atomic>

#include "platform/com/Unknown.h"

class HalvexHost;

// What every part needs of its host: the identity's QueryInterface, the
// count of faulty releases and the log of references taken ("+Name") and
// given back ("-Name"), in the order they came.
HRESULT HostQueryInterface(HalvexHost& host, REFIID iid, void** object);
void HostCountOverRelease(HalvexHost& host);
void HostLogReference(HalvexHost& host, const char* name, bool taken);

template <class I>
class HostInterface : public I {
 public:
  HostInterface(HalvexHost& host, const char* name) : host_(host), name_(name) {}
  HostInterface(const HostInterface&) = delete;
  HostInterface& operator=(const HostInterface&) = delete;

  HRESULT QueryInterface(REFIID iid, void** object) override { return HostQueryInterface(host_, iid, object); }
  ULONG AddRef() override {
    HostLogReference(host_, name_, true);
    return ++refs_;
  }
  ULONG Release() override {
    ULONG current = refs_.load();
    while (current != 0) {
      if (refs_.compare_exchange_weak(current, current - 1)) {
        HostLogReference(host_, name_, false);
        return current - 1;
      }
    }
    HostCountOverRelease(host_);
    return 0;
  }

  // The references handed out and not yet released.
  ULONG References() const { return refs_.load(); }
  // The interface's name ("IQendMenu").
  const char* Name() const { return name_; }
  IUnknown* Unknown() { return static_cast<IUnknown*>(static_cast<I*>(this)); }

 protected:
  ~HostInterface() = default;
  HalvexHost& host_;

 private:
  const char* name_;
  std::atomic<ULONG> refs_{0};
};
