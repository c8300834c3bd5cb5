#pragma once
// Connection points: how an object raises events to the sinks that subscribe
// to it. The object (the host) answers IConnectionPointContainer; each event
// interface has one IConnectionPoint; a sink subscribes with Advise, which
// hands out a cookie, and ends its subscription with Unadvise(cookie).
//
// ConnectionPoint is the reusable event source side: one connection point for
// one event interface, with its subscribers and their cookies.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/com/Unknown.h"

// {B196B286-BAB4-101A-B69C-00AA00341D07}
inline constexpr IID IID_IConnectionPoint = {
    0xB196B286, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
// {B196B284-BAB4-101A-B69C-00AA00341D07}
inline constexpr IID IID_IConnectionPointContainer = {
    0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

class IEnumConnections;
class IEnumConnectionPoints;
class IConnectionPointContainer;

class IConnectionPoint : public IUnknown {
 public:
  // Position 3: the event interface of this point.
  virtual HRESULT GetConnectionInterface(IID* iid) = 0;
  // Position 4: the container the point belongs to (with a reference).
  virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) = 0;
  // Position 5: subscribes `sink` (asked for the event interface; it must
  // answer it) and hands out a cookie, never 0.
  virtual HRESULT Advise(IUnknown* sink, std::uint32_t* cookie) = 0;
  // Position 6: ends the subscription of `cookie`; CONNECT_E_NOCONNECTION for
  // a cookie that is not subscribed.
  virtual HRESULT Unadvise(std::uint32_t cookie) = 0;
  // Position 7: an enumeration of the subscriptions (not offered here).
  virtual HRESULT EnumConnections(IEnumConnections** connections) = 0;

 protected:
  ~IConnectionPoint() = default;
};

class IConnectionPointContainer : public IUnknown {
 public:
  // Position 3: an enumeration of the points (not offered here).
  virtual HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) = 0;
  // Position 4: the point of event interface `iid` (with a reference), or
  // CONNECT_E_NOCONNECTION.
  virtual HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) = 0;

 protected:
  ~IConnectionPointContainer() = default;
};

// One connection point. Made with one reference, which its container keeps;
// the container is not counted (the point lives inside it).
class ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(REFIID eventIid, IConnectionPointContainer* container);

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT GetConnectionInterface(IID* iid) override;
  HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) override;
  HRESULT Advise(IUnknown* sink, std::uint32_t* cookie) override;
  HRESULT Unadvise(std::uint32_t cookie) override;
  HRESULT EnumConnections(IEnumConnections** connections) override;

  const IID& EventIid() const { return eventIid_; }
  // The subscribed sinks (as the event interface), in the order they came;
  // raising an event works on this copy, so a sink may unsubscribe while it
  // is called.
  std::vector<ComPtr<IUnknown>> Sinks();
  std::size_t SinkCount();
  // The references held on the point: its container's and those handed out.
  ULONG References() const { return refs_.load(); }
  // Ends every subscription (when the source goes away).
  void UnadviseAll();

  // Raises an event: calls `call` with each subscribed sink as `I`.
  template <class I, class F>
  void Fire(F&& call) {
    for (const ComPtr<IUnknown>& sink : Sinks()) call(static_cast<I*>(static_cast<void*>(sink.Get())));
  }

 private:
  ~ConnectionPoint();

  using Subscription = std::pair<std::uint32_t, ComPtr<IUnknown>>;

  IID eventIid_;
  IConnectionPointContainer* container_;
  std::atomic<ULONG> refs_{1};
  std::mutex lock_;
  std::vector<Subscription> sinks_;
  std::uint32_t nextCookie_ = 1;
};

// The points of a container, found by event interface; the container's
// FindConnectionPoint answers from here.
class ConnectionPointList {
 public:
  ConnectionPointList() = default;
  ConnectionPointList(const ConnectionPointList&) = delete;
  ConnectionPointList& operator=(const ConnectionPointList&) = delete;
  // Ends the subscriptions of every point and gives back the list's references.
  ~ConnectionPointList();

  // Adds a point for `eventIid` (the list keeps its reference).
  ConnectionPoint* Add(REFIID eventIid, IConnectionPointContainer* container);
  ConnectionPoint* Find(REFIID eventIid) const;
  HRESULT FindConnectionPoint(REFIID eventIid, IConnectionPoint** point) const;
  // The points in the order they were added (no references added).
  std::vector<ConnectionPoint*> Points() const;

 private:
  std::vector<ComPtr<ConnectionPoint>> points_;
};
