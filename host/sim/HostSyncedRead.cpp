#include "host/sim/HostSyncedRead.h"

#include <algorithm>
#include <cstring>

#include "host/sim/HalvexHost.h"

HRESULT HostSyncedRead::CreateObjects(std::uint32_t count, const char* const* names, SyncedReadRecord* set) {
  if (count > 0 && (names == nullptr || set == nullptr)) return E_POINTER;
  if (count > kSyncedReadMaxObjects) return E_INVALIDARG;
  Set s;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::optional<ResolvedVariable> v = host_.Variables().Resolve(names[i] ? names[i] : "");
    set[i].hostData0 = i + 1;
    set[i].hostData1 = v ? static_cast<std::uint16_t>(v->Size() > 0xFFFF ? 0xFFFF : v->Size()) : 0;
    set[i].hostData2 = v ? 1u : 0u;
    set[i].changed = 0;
    s.variables.push_back(v);
    s.last.emplace_back();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  sets_[set] = std::move(s);
  return S_OK;
}

HRESULT HostSyncedRead::ReleaseObjects(std::uint32_t count, SyncedReadRecord* set) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = sets_.find(set);
  if (it == sets_.end() || it->second.variables.size() != count) return E_INVALIDARG;
  sets_.erase(it);
  return S_OK;
}

HRESULT HostSyncedRead::EnableObjects(HostLong enable, std::uint32_t count, SyncedReadRecord* set) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = sets_.find(set);
  if (it == sets_.end() || it->second.variables.size() != count) return E_INVALIDARG;
  it->second.enabled = enable != 0;
  return S_OK;
}

HRESULT HostSyncedRead::ReadObjects(std::uint32_t count, SyncedReadRecord* set) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = sets_.find(set);
    if (it == sets_.end() || it->second.variables.size() != count) return E_INVALIDARG;
    if (!host_.Plc().Online()) return E_UNEXPECTED;
    Set& s = it->second;
    for (std::uint32_t i = 0; i < count; ++i) {
      const auto& v = s.variables[i];
      if (!v) continue;
      std::uint32_t size = v->Size() > kSyncedReadMaxBytes ? kSyncedReadMaxBytes : v->Size();
      std::vector<std::uint8_t> bytes(size);
      if (!host_.Plc().Memory().Read(v->area, v->address, size, bytes.data())) continue;
      if (v->bit >= 0) bytes[0] = static_cast<std::uint8_t>(bytes[0] & (1u << v->bit));
      set[i].changed = bytes != s.last[i] ? 1 : 0;
      // A visibility record (kind 8) points at an 8-byte buffer.
      const std::uint32_t copied =
          set[i].kind == kSyncedReadVisibilityKind ? std::min(size, kSyncedReadVisibilityBytes) : size;
      if (set[i].value != nullptr) std::memcpy(set[i].value, bytes.data(), copied);
      s.last[i] = std::move(bytes);
    }
    ++reads_;
  }
  host_.PostDataReadyLater();
  return S_OK;
}

std::size_t HostSyncedRead::SetCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sets_.size();
}

bool HostSyncedRead::Enabled(const SyncedReadRecord* set) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = sets_.find(set);
  return it != sets_.end() && it->second.enabled;
}

int HostSyncedRead::ReadCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return reads_;
}
