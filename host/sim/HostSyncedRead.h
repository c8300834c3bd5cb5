#pragma once
// The host's synchronised read of PLC variables (IHalvexSyncedPlcRead). A
// set is the caller's array of 24-byte records, one per variable name; the
// host keeps what each record stands for, by the set's address. A read
// copies each known variable's current bytes from the PLC memory to the
// value pointer the plug-in put in its record (at most 240 bytes, 8 for a
// visibility record; a BOOL as its byte with only its bit kept), marks the records whose value changed
// since the last read, and then announces the data with the project
// notification 0x90, kind 3, from the host's own thread.

#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "host/sim/HostInterface.h"
#include "host/sim/VariableTable.h"
#include "hostapi/CommLoop.h"

inline constexpr std::uint32_t kSyncedReadMaxObjects = 4096;
inline constexpr std::uint32_t kSyncedReadMaxBytes = 240;
// A record whose kind the plug-in set to 8 is a visibility entry: its value
// buffer holds 8 bytes, and no more are copied into it.
inline constexpr std::uint16_t kSyncedReadVisibilityKind = 8;
inline constexpr std::uint32_t kSyncedReadVisibilityBytes = 8;

class HostSyncedRead final : public HostInterface<IHalvexSyncedPlcRead> {
 public:
  using HostInterface::HostInterface;

  HRESULT ReleaseObjects(std::uint32_t count, SyncedReadRecord* set) override;
  HRESULT CreateObjects(std::uint32_t count, const char* const* names, SyncedReadRecord* set) override;
  HRESULT EnableObjects(HostLong enable, std::uint32_t count, SyncedReadRecord* set) override;
  HRESULT ReadObjects(std::uint32_t count, SyncedReadRecord* set) override;

  std::size_t SetCount() const;
  // Whether the set at `set` is enabled; false for an unknown set.
  bool Enabled(const SyncedReadRecord* set) const;
  int ReadCount() const;

 private:
  struct Set {
    std::vector<std::optional<ResolvedVariable>> variables;
    std::vector<std::vector<std::uint8_t>> last;
    bool enabled = false;
  };

  mutable std::mutex mutex_;
  std::map<const SyncedReadRecord*, Set> sets_;
  int reads_ = 0;
};
