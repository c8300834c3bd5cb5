#include "host/sim/SimulatedPlc.h"

#include <cstring>
#include <vector>

namespace {

struct Header {
  PlcArea area;
  std::uint32_t address;
  std::uint8_t last;  // byte 3: the count, or the bit and its value
};

// Byte 0 is the area code: the address's bits 16 and up that the sender
// adds to it are always 0, as no area is longer than 64 KiB.
bool DecodeHeader(const std::uint8_t* p, Header* h) {
  auto area = PlcAreaOfCode(p[0]);
  if (!area) return false;
  h->area = *area;
  h->address = std::uint32_t{p[1]} | (std::uint32_t{p[2]} << 8);
  h->last = p[3];
  return true;
}

int CountIndex(std::uint32_t service) {
  switch (service) {
    case kPlcServiceRead: return 0;
    case kPlcServiceWriteBytes: return 1;
    case kPlcServiceWriteBits: return 2;
    case kPlcServiceFile: return 3;
    default: return -1;
  }
}

}  // namespace

HRESULT SimulatedPlc::Send(std::uint32_t, std::uint32_t service, std::uint32_t requestLength,
                           const std::uint8_t* request, std::uint32_t* replyLength, std::uint8_t* reply) {
  if (replyLength == nullptr || (request == nullptr && requestLength != 0)) return E_POINTER;
  if (!Online()) {
    *replyLength = 0;
    return kPlcErrorOffline;
  }
  int index = CountIndex(service);
  if (index < 0) {
    *replyLength = 0;
    return kPlcErrorUnknownService;
  }
  if (requestLength > kPlcMaxRequest) {
    *replyLength = 0;
    return kPlcErrorBadRequest;
  }
  counts_[index].fetch_add(1, std::memory_order_relaxed);
  switch (service) {
    case kPlcServiceRead: return ReadMemory(requestLength, request, replyLength, reply);
    case kPlcServiceWriteBytes: return WriteBytes(requestLength, request, replyLength);
    case kPlcServiceWriteBits: return WriteBits(requestLength, request, replyLength);
    default: return files_.Handle(request, requestLength, reply, replyLength);
  }
}

std::uint64_t SimulatedPlc::RequestCount(std::uint32_t service) const {
  int index = CountIndex(service);
  return index < 0 ? 0 : counts_[index].load(std::memory_order_relaxed);
}

HRESULT SimulatedPlc::ReadMemory(std::uint32_t length, const std::uint8_t* request, std::uint32_t* replyLength,
                                 std::uint8_t* reply) {
  std::uint32_t capacity = *replyLength;
  *replyLength = 0;
  if (length == 0 || length % 4 != 0) return kPlcErrorBadRequest;
  std::vector<Header> headers(length / 4);
  std::uint32_t total = 0;
  for (std::size_t i = 0; i < headers.size(); ++i) {
    if (!DecodeHeader(request + 4 * i, &headers[i])) return kPlcErrorAddress;
    total += headers[i].last;
  }
  if (total > capacity || (total != 0 && reply == nullptr)) return kPlcErrorReplyTooSmall;
  return memory_.Locked([&](PlcMemory& m) -> HRESULT {
    for (const Header& h : headers)
      if (!m.RangeOk(h.area, h.address, h.last)) return kPlcErrorAddress;
    std::uint32_t at = 0;
    for (const Header& h : headers) {
      if (h.last) std::memcpy(reply + at, m.BytesUnlocked(h.area, h.address), h.last);
      at += h.last;
    }
    *replyLength = at;
    return S_OK;
  });
}

HRESULT SimulatedPlc::WriteBytes(std::uint32_t length, const std::uint8_t* request, std::uint32_t* replyLength) {
  *replyLength = 0;
  if (length == 0) return kPlcErrorBadRequest;
  struct Item {
    Header h;
    const std::uint8_t* data;
  };
  std::vector<Item> items;
  std::uint32_t at = 0;
  while (at < length) {
    if (length - at < 4) return kPlcErrorBadRequest;
    Item item;
    if (!DecodeHeader(request + at, &item.h)) return kPlcErrorAddress;
    if (length - at - 4 < item.h.last) return kPlcErrorBadRequest;
    item.data = request + at + 4;
    at += 4u + item.h.last;
    items.push_back(item);
  }
  return memory_.Locked([&](PlcMemory& m) -> HRESULT {
    for (const Item& i : items)
      if (!m.RangeOk(i.h.area, i.h.address, i.h.last)) return kPlcErrorAddress;
    for (const Item& i : items)
      if (i.h.last) std::memcpy(m.BytesUnlocked(i.h.area, i.h.address), i.data, i.h.last);
    return S_OK;
  });
}

HRESULT SimulatedPlc::WriteBits(std::uint32_t length, const std::uint8_t* request, std::uint32_t* replyLength) {
  *replyLength = 0;
  if (length == 0 || length % 4 != 0) return kPlcErrorBadRequest;
  std::vector<Header> headers(length / 4);
  for (std::size_t i = 0; i < headers.size(); ++i) {
    if (!DecodeHeader(request + 4 * i, &headers[i])) return kPlcErrorAddress;
    if ((headers[i].last & 0x7F) > 7) return kPlcErrorBadRequest;
  }
  return memory_.Locked([&](PlcMemory& m) -> HRESULT {
    for (const Header& h : headers)
      if (!m.RangeOk(h.area, h.address, 1)) return kPlcErrorAddress;
    for (const Header& h : headers) {
      std::uint8_t* b = m.BytesUnlocked(h.area, h.address);
      std::uint8_t mask = static_cast<std::uint8_t>(1u << (h.last & 0x07));
      *b = (h.last & 0x80) ? static_cast<std::uint8_t>(*b | mask) : static_cast<std::uint8_t>(*b & ~mask);
    }
    return S_OK;
  });
}
