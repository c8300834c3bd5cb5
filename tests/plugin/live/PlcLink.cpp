#include "PlcLink.h"

namespace livetest {

namespace {

std::atomic<PlcLink*> gLink{nullptr};

}  // namespace

void SetLink(PlcLink* link) { gLink.store(link); }

HRESULT LinkSend(std::uint32_t zero, std::uint32_t service, std::uint32_t requestLength, const void* request,
                 std::uint32_t* replyLength, void* reply) {
  PlcLink* link = gLink.load();
  if (link == nullptr) return E_UNEXPECTED;
  ++link->sends;
  if (std::this_thread::get_id() == link->logThread) link->requests.emplace_back(service, requestLength);
  if (link->beforeSend) link->beforeSend();
  const auto* bytes = static_cast<const std::uint8_t*>(request);
  HRESULT hr = link->plc.Send(zero, service, requestLength, bytes, replyLength, static_cast<std::uint8_t*>(reply));
  if (SUCCEEDED(hr) && service == PLC_SERVICE_FILE && link->fault && requestLength > 0)
    link->fault(bytes[0], static_cast<std::uint8_t*>(reply), replyLength);
  return hr;
}

void CallOnce() { CommLoopCallback(&LinkSend, 0, 0, 0, COMM_LOOP_FLAG_ONLINE); }

int RunTransfers(int limit) {
  for (int calls = 0; calls < limit; ++calls) {
    const std::int32_t down = gCommRecord.download.state.load();
    if (gCommRecord.upload.state.load() == 0 && (down == 0 || down == 4)) return calls;
    CallOnce();
  }
  return -1;
}

std::uint32_t U32(const std::uint8_t* b, std::uint32_t at) {
  return std::uint32_t{b[at]} | (std::uint32_t{b[at + 1]} << 8) | (std::uint32_t{b[at + 2]} << 16) |
         (std::uint32_t{b[at + 3]} << 24);
}

void SetU32(std::uint8_t* b, std::uint32_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace livetest
