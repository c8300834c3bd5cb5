#pragma once
// The simulated PLC behind the host's communication loop: its memory image,
// its file system and the services the send function reaches.
//
//   service 40  file requests (PlcFileSystem.h)
//   service 11  read memory: the request is a run of 4-byte headers (byte 0:
//               area code, 0 X to 4 T, which the sender builds as the code
//               plus the address's bits 16 and up, always 0 as no area is
//               longer than 64 KiB; bytes 1-2: address, little-endian; byte 3:
//               byte count n); the answer is the n bytes of every header, one
//               after the other
//   service 12  write bytes: a run of (4-byte header as above, n data bytes)
//   service 16  write bits: a run of 4-byte records (bytes 0-2 as above;
//               byte 3: bit number, OR 0x80 to set the bit, else cleared)
// A memory request is checked whole before any of it applies: one bad header
// (an unknown area, a range that leaves the area, a bit number above 7, a
// length that does not fit the records) fails the request with an
// interface-specific code and changes nothing. The writes answer nothing
// (answer length 0). While the PLC is offline every service fails with
// kPlcErrorOffline.

#include <atomic>
#include <cstdint>

#include "host/sim/PlcErrors.h"
#include "host/sim/PlcFileSystem.h"
#include "host/sim/PlcMemory.h"

inline constexpr std::uint32_t kPlcServiceRead = 11;
inline constexpr std::uint32_t kPlcServiceWriteBytes = 12;
inline constexpr std::uint32_t kPlcServiceWriteBits = 16;
inline constexpr std::uint32_t kPlcServiceFile = 40;
// The longest request the PLC takes; a longer one fails with kPlcErrorBadRequest.
inline constexpr std::uint32_t kPlcMaxRequest = 65536;

class SimulatedPlc {
 public:
  PlcMemory& Memory() { return memory_; }
  PlcFileSystem& Files() { return files_; }

  void SetOnline(bool online) { online_.store(online, std::memory_order_release); }
  bool Online() const { return online_.load(std::memory_order_acquire); }

  // One request of the send function: (0, service, request length, request,
  // in/out reply length, reply). The first argument is not read.
  HRESULT Send(std::uint32_t zero, std::uint32_t service, std::uint32_t requestLength, const std::uint8_t* request,
               std::uint32_t* replyLength, std::uint8_t* reply);

  // Counts of the requests answered, by service (for the host's report).
  std::uint64_t RequestCount(std::uint32_t service) const;

 private:
  HRESULT ReadMemory(std::uint32_t length, const std::uint8_t* request, std::uint32_t* replyLength,
                     std::uint8_t* reply);
  HRESULT WriteBytes(std::uint32_t length, const std::uint8_t* request, std::uint32_t* replyLength);
  HRESULT WriteBits(std::uint32_t length, const std::uint8_t* request, std::uint32_t* replyLength);

  PlcMemory memory_;
  PlcFileSystem files_;
  std::atomic<bool> online_{true};
  std::atomic<std::uint64_t> counts_[4] = {};
};
