#include "platform/com/ConnectionPoints.h"

#include "platform/com/ResultCodes.h"

TConnectionPoint::TConnectionPoint(REFIID eventIid, IConnectionPointContainer* container)
    : eventIid_(eventIid), container_(container) {}

TConnectionPoint::~TConnectionPoint() { UnadviseAll(); }

HRESULT TConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG TConnectionPoint::AddRef() { return ++refs_; }

ULONG TConnectionPoint::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT TConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = eventIid_;
  return S_OK;
}

HRESULT TConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  *container = container_;
  if (container_ == nullptr) return E_FAIL;
  container_->AddRef();
  return S_OK;
}

HRESULT TConnectionPoint::Advise(IUnknown* sink, std::uint32_t* cookie) {
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  if (sink == nullptr) return E_POINTER;
  IUnknown* eventSink = nullptr;
  if (FAILED(sink->QueryInterface(eventIid_, reinterpret_cast<void**>(&eventSink))) || eventSink == nullptr)
    return CONNECT_E_CANNOTCONNECT;
  std::lock_guard<std::mutex> guard(lock_);
  if (nextCookie_ == 0) ++nextCookie_;
  *cookie = nextCookie_++;
  sinks_.emplace_back(*cookie, eventSink);
  return S_OK;
}

HRESULT TConnectionPoint::Unadvise(std::uint32_t cookie) {
  IUnknown* sink = nullptr;
  {
    std::lock_guard<std::mutex> guard(lock_);
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
      if (it->first == cookie) {
        sink = it->second;
        sinks_.erase(it);
        break;
      }
    }
  }
  if (sink == nullptr) return CONNECT_E_NOCONNECTION;
  sink->Release();
  return S_OK;
}

HRESULT TConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections != nullptr) *connections = nullptr;
  return E_NOTIMPL;
}

std::vector<IUnknown*> TConnectionPoint::Sinks() {
  std::lock_guard<std::mutex> guard(lock_);
  std::vector<IUnknown*> sinks;
  sinks.reserve(sinks_.size());
  for (auto& entry : sinks_) {
    entry.second->AddRef();
    sinks.push_back(entry.second);
  }
  return sinks;
}

std::size_t TConnectionPoint::SinkCount() {
  std::lock_guard<std::mutex> guard(lock_);
  return sinks_.size();
}

void TConnectionPoint::UnadviseAll() {
  std::vector<std::pair<std::uint32_t, IUnknown*>> sinks;
  {
    std::lock_guard<std::mutex> guard(lock_);
    sinks.swap(sinks_);
  }
  for (auto& entry : sinks) entry.second->Release();
}

TConnectionPointList::~TConnectionPointList() {
  for (TConnectionPoint* point : points_) {
    point->UnadviseAll();
    point->Release();
  }
}

TConnectionPoint* TConnectionPointList::Add(REFIID eventIid, IConnectionPointContainer* container) {
  auto* point = new TConnectionPoint(eventIid, container);
  points_.push_back(point);
  return point;
}

TConnectionPoint* TConnectionPointList::Find(REFIID eventIid) const {
  for (TConnectionPoint* point : points_)
    if (point->EventIid() == eventIid) return point;
  return nullptr;
}

HRESULT TConnectionPointList::FindConnectionPoint(REFIID eventIid, IConnectionPoint** point) const {
  if (point == nullptr) return E_POINTER;
  TConnectionPoint* found = Find(eventIid);
  *point = found;
  if (found == nullptr) return CONNECT_E_NOCONNECTION;
  found->AddRef();
  return S_OK;
}
