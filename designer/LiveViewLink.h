#pragma once
// What the designer's live view asks of the plug-in's link with the PLC: the
// entries of the variables that the shown objects and the alarms watch, the
// host's synchronised read, the flags the communication-loop callback
// shares, and the picture download queue. The plug-in frame gives its own
// (TDesignerHost::LiveView); without one the live view switches only the
// window's looks.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win/WindowTypes.h"

class TGridWebElement;

inline constexpr std::size_t kAlarmValueSize = 256;

// One alarm of the project: its variable (placeholders resolved), the
// buffer its value is read into and its changed byte.
struct TLiveAlarm {
  std::string variable;
  std::uint8_t* value = nullptr;
  bool* changed = nullptr;
};

class TLiveViewLink {
 public:
  virtual ~TLiveViewLink() = default;
  // The live view off: the flags live view on and synchronised read enabled
  // cleared, the host's read set released; returns when no callback runs.
  virtual void Stop() = 0;
  // Frees the entries (after Stop).
  virtual void FreeEntries() = 0;
  // Rebuilds the entries of the alarms and the objects (after Stop). With
  // `live`, the entries are made and registered with the host and the live
  // view goes on when there is any; answers whether it is on.
  virtual bool Collect(const std::vector<TLiveAlarm>& alarms, const std::vector<TGridWebElement*>& objects,
                       bool live) = 0;
  virtual bool On() const = 0;
  virtual int EntryCount() const = 0;
  // True when the values may have changed since the last look (always with
  // the host switch "/WEBOLDCOMM"; else when a registered host record says so).
  virtual bool ValuesChanged() = 0;
  virtual bool ValuesValid() const = 0;
  virtual bool PassRan() const = 0;
  // A page change for an alarm starts: the flags variable pass ran, read
  // requested and values valid cleared, alarm page change in progress set.
  virtual void BeginAlarmPageChange() = 0;
  virtual void EndAlarmPageChange() = 0;
  virtual bool UploadRunning() const = 0;
  // While a picture is read: its progress in percent; -1 otherwise.
  virtual int DownloadPercent() const = 0;
  // Polls the picture download queue.
  virtual void PollPictures() = 0;
  // On the user-interface thread, at every 0x8578: the values the owners
  // changed go to the variable pass, the values it read into the owners'
  // buffers.
  virtual void SyncValues() = 0;
  // The window the variable pass tells (0x8578) after each pass; none: no one.
  virtual void SetDesignerWindow(HWND window) = 0;
};
