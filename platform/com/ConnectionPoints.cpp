#include "platform/com/ConnectionPoints.h"

#include <algorithm>

#include "platform/com/ResultCodes.h"

ConnectionPoint::ConnectionPoint(REFIID eventIid, IConnectionPointContainer* container)
    : eventIid_(eventIid), container_(container) {}

ConnectionPoint::~ConnectionPoint() { UnadviseAll(); }

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG ConnectionPoint::AddRef() { return ++refs_; }

ULONG ConnectionPoint::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = eventIid_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = nullptr;
  if (container_ == nullptr) return E_FAIL;
  *container = ComPtr<IConnectionPointContainer>(container_).Detach();
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, std::uint32_t* cookie) {
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  if (sink == nullptr) return E_POINTER;
  ComPtr<IUnknown> eventSink;
  if (FAILED(sink->QueryInterface(eventIid_, eventSink.PutVoid())) || !eventSink) return CONNECT_E_CANNOTCONNECT;
  std::lock_guard<std::mutex> guard(lock_);
  if (nextCookie_ == 0) ++nextCookie_;
  *cookie = nextCookie_++;
  sinks_.emplace_back(*cookie, std::move(eventSink));
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(std::uint32_t cookie) {
  // The sink is released outside the lock: its release may call back.
  ComPtr<IUnknown> sink;
  {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = std::find_if(sinks_.begin(), sinks_.end(), [&](const Subscription& s) { return s.first == cookie; });
    if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
    sink = std::move(it->second);
    sinks_.erase(it);
  }
  return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections != nullptr) *connections = nullptr;
  return E_NOTIMPL;
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Sinks() {
  std::lock_guard<std::mutex> guard(lock_);
  std::vector<ComPtr<IUnknown>> sinks;
  sinks.reserve(sinks_.size());
  for (const Subscription& entry : sinks_) sinks.push_back(entry.second);
  return sinks;
}

std::size_t ConnectionPoint::SinkCount() {
  std::lock_guard<std::mutex> guard(lock_);
  return sinks_.size();
}

void ConnectionPoint::UnadviseAll() {
  // Released when `ended` goes, outside the lock.
  std::vector<Subscription> ended;
  std::lock_guard<std::mutex> guard(lock_);
  ended.swap(sinks_);
}

ConnectionPointList::~ConnectionPointList() {
  for (const ComPtr<ConnectionPoint>& point : points_) point->UnadviseAll();
}

ConnectionPoint* ConnectionPointList::Add(REFIID eventIid, IConnectionPointContainer* container) {
  points_.push_back(ComPtr<ConnectionPoint>::Adopt(new ConnectionPoint(eventIid, container)));
  return points_.back().Get();
}

ConnectionPoint* ConnectionPointList::Find(REFIID eventIid) const {
  for (const ComPtr<ConnectionPoint>& point : points_)
    if (point->EventIid() == eventIid) return point.Get();
  return nullptr;
}

HRESULT ConnectionPointList::FindConnectionPoint(REFIID eventIid, IConnectionPoint** point) const {
  if (point == nullptr) return E_POINTER;
  ConnectionPoint* found = Find(eventIid);
  *point = ComPtr<IConnectionPoint>(found).Detach();
  return found == nullptr ? CONNECT_E_NOCONNECTION : S_OK;
}

std::vector<ConnectionPoint*> ConnectionPointList::Points() const {
  std::vector<ConnectionPoint*> points;
  for (const ComPtr<ConnectionPoint>& point : points_) points.push_back(point.Get());
  return points;
}
