#include "host/sim/HostVariables.h"

#include "host/sim/HalvexHost.h"

HRESULT HostVariables::GetVariablePosition(const char* name, std::uint8_t* area, std::uint16_t* kind,
                                           std::uint32_t* address, std::uint8_t* size) {
  if (area == nullptr || kind == nullptr || address == nullptr || size == nullptr) return E_POINTER;
  auto v = host_.Variables().Resolve(name ? name : "");
  if (!v) return E_INVALIDARG;
  *area = PlcAreaCode(v->area);
  *kind = v->SizeCode();
  *address = v->address;
  std::uint32_t bytes = v->Size();
  *size = static_cast<std::uint8_t>(bytes > 255 ? 255 : bytes);
  return S_OK;
}

HRESULT HostWebTdiMap::Lookup(const char* name, WebTdiVarInfo* info) {
  auto v = host_.Variables().Resolve(name ? name : "");
  if (!v) return E_INVALIDARG;
  info->tdi = v->tdi;
  info->code = PlcAreaMemoryCode(v->area);
  info->offset = v->address;
  info->bit = static_cast<std::uint8_t>(v->bit >= 0 ? v->bit : 0);
  info->sizeCode = v->SizeCode();
  info->areaCode = PlcAreaCode(v->area);
  info->extra = v->tdiOffset;
  return S_OK;
}

HRESULT HostWebTdiMap::WebTdi_OpenPass() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (open_) return E_UNEXPECTED;
  open_ = true;
  current_.clear();
  return S_OK;
}

HRESULT HostWebTdiMap::WebTdi_AddVariable(const char* name, WebTdiVarInfo* info) {
  if (info == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!open_) return E_UNEXPECTED;
  HRESULT hr = Lookup(name, info);
  if (FAILED(hr)) return hr;
  current_.push_back({name, *info});
  return S_OK;
}

HRESULT HostWebTdiMap::WebTdi_ClosePass() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!open_) return E_UNEXPECTED;
  open_ = false;
  last_ = current_;
  current_.clear();
  ++passes_;
  return S_OK;
}

HRESULT HostWebTdiMap::WebTdi_GetVarInfo(const char* name, WebTdiVarInfo* info) {
  if (info == nullptr) return E_POINTER;
  std::lock_guard<std::mutex> lock(mutex_);
  return Lookup(name, info);
}

std::vector<HostTdiEntry> HostWebTdiMap::LastPass() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return last_;
}

bool HostWebTdiMap::PassOpen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return open_;
}

int HostWebTdiMap::PassCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return passes_;
}
