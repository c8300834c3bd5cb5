#pragma once
// The plug-in's side of the designer's live view: the entries of the watched
// variables (TCommItem), their registration with the host's synchronised
// read, the read requests as the designer's docked page is visible, and the
// flags the communication-loop callback shares.
//
// The entries point into the page objects' buffers. They are replaced or
// freed only while the live view is off and no callback runs (Stop waits for
// it), so a page change never frees what a running variable pass uses.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "designer/LiveViewLink.h"
#include "grid/RecvQueue.h"
#include "hostapi/CommLoop.h"
#include "plugin/VarPosCheck.h"

// One live-view variable. The communication-loop callback touches only
// `outgoing`, `incoming` and their flags (under the callback's lock); the
// user-interface thread hands a changed value over and takes a read one in
// (SyncValues), so the owners' buffers are never shared between threads.
struct TCommItem {
  std::string name;  // empty when the host does not know it
  TVarPosition position;
  std::uint8_t writeOnly = 0;
  // The owner's value-changed flag: the variable pass writes the value when
  // it is set and clears it.
  bool* changed = nullptr;
  std::uint8_t visibility = 0;
  std::int32_t replyOffset = -1;
  std::uint8_t* value = nullptr;         // where read values go; none for write-only entries
  const std::uint8_t* source = nullptr;  // the value to write
  // The value handed to the variable pass for writing.
  std::array<std::uint8_t, 240> outgoing{};
  bool writePending = false;
  // The value the last variable pass read (with "/WEBOLDCOMM").
  std::array<std::uint8_t, 240> incoming{};
  bool incomingValid = false;
};

inline constexpr std::uint32_t kMaxEntrySize = 240;
inline constexpr std::uint32_t kVisibilityBufferSize = 8;
inline constexpr std::uint32_t kClickValueSize = 8;

// The entry size of a STRING variable of the type `typeName`: 81, or n + 1
// for "STRING[n]", at most 240.
std::uint32_t StringEntrySize(const std::string& typeName);

class TPluginLiveView final : public TLiveViewLink {
 public:
  TPluginLiveView();
  ~TPluginLiveView() override;

  void Stop() override;
  void FreeEntries() override;
  bool Collect(const std::vector<TLiveAlarm>& alarms, const std::vector<TGridWebElement*>& objects, bool live) override;
  bool On() const override;
  int EntryCount() const override;
  bool ValuesChanged() override;
  bool ValuesValid() const override;
  bool PassRan() const override;
  void BeginAlarmPageChange() override;
  void EndAlarmPageChange() override;
  bool UploadRunning() const override;
  int DownloadPercent() const override;
  void PollPictures() override;
  void SyncValues() override;
  void SetDesignerWindow(HWND window) override;

  // Enables or disables the host's read as the designer is visible, asks
  // for a read and posts 0x8578 to `designer` (the host's "data ready").
  void UpdateSyncedRead(HWND designer, bool visible);
  // The entries as they are now (for tests and the variable pass).
  const std::vector<TCommItem>& Entries() const { return entries_; }
  const std::vector<SyncedReadRecord>& ReadSet() const { return readSet_; }
  TRecvQueue& Queue() { return queue_; }

 private:
  void ResolveWatchedVariable(TGridWebElement& object, std::vector<TCommItem>& entries);
  void RegisterCommItems();
  void ReleaseReadSet();

  std::vector<TCommItem> entries_;
  std::vector<SyncedReadRecord> readSet_;
  TRecvQueue queue_;
};

// The process-wide live view (made at first use, with the download queue).
TPluginLiveView& PluginLiveView();
