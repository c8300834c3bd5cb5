#include "plugin/LiveView.h"

#include <algorithm>
#include <cstdlib>

#include "core/IecTypes.h"
#include "core/TraceLog.h"
#include "designer/DownloadFolder.h"
#include "grid/GridWebElement.h"
#include "platform/win/WindowMessages.h"
#include "plugin/CommRecord.h"
#include "plugin/DesignerHost.h"
#include "plugin/FileTransfers.h"
#include "plugin/PluginState.h"
#include "plugin/Switches.h"
#include "plugin/VariableLookup.h"

namespace {

constexpr std::int32_t kStringTypeCode = 21;
constexpr std::uint32_t kDefaultStringSize = 81;
constexpr std::uint8_t kUnknownArea = 255;
constexpr std::uint16_t kVisibilityRecord = 8;
constexpr std::uint16_t kValueRecord = 255;

// The changed byte of a visibility entry: nothing sets it.
bool gNeverChanged = false;

bool ClearAndPoint(bool& flag) {
  flag = false;
  return true;
}

// The type of `name` from the variable lookup (the host's position query
// knows no STRING) and its position from the host; the entry takes the name
// when the host knows it.
bool Locate(TCommItem& entry, const std::string& name, TPinVariable& info) {
  GetVariableInfo(name, info);
  std::int32_t typeCode = info.typeCode;
  if (!LookupHostVariable(name, nullptr, typeCode, &entry.position) || entry.position.area >= kUnknownArea) {
    entry.position.area = kUnknownArea;
    return false;
  }
  entry.name = name;
  return true;
}

// The kinds that have nothing to show without their variable.
bool NeedsVariable(int kind) {
  switch (kind) {
    case wkEdit:
    case wkEditLocal:
    case wkImage:
    case wkSubmit:
    case wkMultiImage:
    case wkPostFile:
    case wkImageBtn:
    case wkStrImg:
    case wkDropDown: return true;
    default: return false;
  }
}

std::string TemporaryFolder() {
  TPluginDesignerHost host;
  return ProjectTempFolder(host.ProjectLocation());
}

}  // namespace

std::uint32_t StringEntrySize(const std::string& typeName) {
  const std::size_t open = typeName.find('[');
  if (open == std::string::npos) return kDefaultStringSize;
  const long n = std::strtol(typeName.c_str() + open + 1, nullptr, 10);
  if (n <= 0) return kDefaultStringSize;
  return static_cast<std::uint32_t>(std::min<long>(n + 1, kMaxEntrySize));
}

TPluginLiveView::TPluginLiveView() : queue_(&gCommRecord.download, TemporaryFolder) {}

// The process-wide object outlives the host's interfaces; the designer
// stops the live view before either goes.
TPluginLiveView::~TPluginLiveView() = default;

TPluginLiveView& PluginLiveView() {
  static TPluginLiveView live;
  return live;
}

void TPluginLiveView::Stop() {
  gCommRecord.liveViewOn.store(0, std::memory_order_release);
  gCommRecord.syncedReadEnabled.store(0, std::memory_order_release);
  ReleaseReadSet();
  WaitCommLoopIdle();
}

void TPluginLiveView::FreeEntries() {
  std::unique_lock<std::mutex> lock = LockCommLoop();
  gCommRecord.entries = nullptr;
  gCommRecord.entryCount.store(0, std::memory_order_release);
  gCommRecord.registeredCount.store(0, std::memory_order_release);
  entries_.clear();
}

void TPluginLiveView::ReleaseReadSet() {
  if (!readSet_.empty() && gHost.ifHalvexSyncedPlcRead)
    gHost.ifHalvexSyncedPlcRead->ReleaseObjects(gCommRecord.registeredCount.load(), readSet_.data());
  readSet_.clear();
  gCommRecord.registeredCount.store(0, std::memory_order_release);
}

void TPluginLiveView::ResolveWatchedVariable(TGridWebElement& object, std::vector<TCommItem>& entries) {
  const std::string main = object.GetResolvedVariable();
  if (!main.empty()) {
    TCommItem& entry = entries.emplace_back();
    entry.writeOnly = object.Kind() == wkSubmit || object.Kind() == wkImageBtn ? 1 : 0;
    entry.value = object.FValueBuf;
    entry.source = object.FWriteBuf;
    entry.changed = &object.FWritten;
    ClearAndPoint(object.FWritten);
    TPinVariable info;
    object.FVarValid = Locate(entry, main, info);
    if (object.FVarValid && info.typeCode == kStringTypeCode) entry.position.size = StringEntrySize(info.typeName);
    entry.position.size = std::min(entry.position.size, kMaxEntrySize);
  } else if (NeedsVariable(object.Kind())) {
    object.FVarValid = false;
  }
  const std::string clicks[3] = {object.GetResolvedClickXVariable(), object.GetResolvedClickYVariable(),
                                 object.GetResolvedClickColorVariable()};
  for (int i = 0; i < 3; ++i) {
    if (clicks[i].empty()) continue;
    TCommItem& entry = entries.emplace_back();
    entry.writeOnly = 1;
    entry.source = object.FClickValues[i];
    entry.changed = &object.FClickWritten[i];
    ClearAndPoint(object.FClickWritten[i]);
    TPinVariable info;
    if (Locate(entry, clicks[i], info) && info.typeCode == kStringTypeCode)
      entry.position.size = StringEntrySize(info.typeName);
    entry.position.size = std::min(entry.position.size, kClickValueSize);
  }
  const std::string visibility = object.GetResolvedVisVariable();
  if (!visibility.empty()) {
    TCommItem& entry = entries.emplace_back();
    entry.visibility = 1;
    entry.value = object.FVisValue;
    entry.changed = &gNeverChanged;
    TPinVariable info;
    if (Locate(entry, visibility, info) && info.typeCode == kStringTypeCode) entry.position.size = 1;
    // The value buffer holds 8 bytes.
    entry.position.size = std::min(entry.position.size, kVisibilityBufferSize);
  }
}

bool TPluginLiveView::Collect(const std::vector<TLiveAlarm>& alarms, const std::vector<TGridWebElement*>& objects,
                              bool live) {
  FreeEntries();
  if (!live) return false;
  std::vector<TCommItem> entries;
  for (const TLiveAlarm& alarm : alarms) {
    if (alarm.variable.empty()) continue;
    TCommItem& entry = entries.emplace_back();
    entry.value = alarm.value;
    entry.source = alarm.value;
    entry.changed = alarm.changed;
    if (alarm.changed != nullptr) *alarm.changed = false;
    // An alarm is on while its first byte is not 0.
    TPinVariable info;
    if (Locate(entry, alarm.variable, info) && info.typeCode == kStringTypeCode) entry.position.size = 1;
    entry.position.size = std::min(entry.position.size, kMaxEntrySize);
  }
  for (TGridWebElement* object : objects) ResolveWatchedVariable(*object, entries);
  {
    std::unique_lock<std::mutex> lock = LockCommLoop();
    entries_ = std::move(entries);
    gCommRecord.entries = entries_.empty() ? nullptr : entries_.data();
    gCommRecord.entryCount.store(static_cast<std::int32_t>(entries_.size()), std::memory_order_release);
    if (!entries_.empty()) gCommRecord.liveViewOn.store(1, std::memory_order_release);
  }
  if (!gStartup.oldLiveComm) {
    RegisterCommItems();
    // The first read; each announcement of its data asks for the next.
    if (gCommRecord.registeredCount.load() != 0)
      UpdateSyncedRead(gCommRecord.designerWindow.load(std::memory_order_acquire), true);
  }
  return On();
}

void TPluginLiveView::RegisterCommItems() {
  ReleaseReadSet();
  if (!gHost.ifHalvexSyncedPlcRead || entries_.empty()) {
    WriteTraceLog("commCnt = 0");
    return;
  }
  std::vector<const char*> names;
  std::vector<TCommItem*> registered;
  for (TCommItem& entry : entries_) {
    if (entry.writeOnly != 0 || entry.position.area == kUnknownArea) continue;
    names.push_back(entry.name.c_str());
    registered.push_back(&entry);
  }
  readSet_.assign(entries_.size(), SyncedReadRecord{});
  const auto count = static_cast<std::uint32_t>(names.size());
  if (count == 0 || FAILED(gHost.ifHalvexSyncedPlcRead->CreateObjects(count, names.data(), readSet_.data()))) {
    readSet_.clear();
    WriteTraceLog("commCnt = 0");
    return;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    readSet_[i].address = registered[i]->position.address;
    readSet_[i].kind = registered[i]->visibility != 0 ? kVisibilityRecord : kValueRecord;
    readSet_[i].value = registered[i]->value;
  }
  gCommRecord.registeredCount.store(static_cast<std::int32_t>(count), std::memory_order_release);
  WriteTraceLog("commCnt = " + std::to_string(count));
}

void TPluginLiveView::UpdateSyncedRead(HWND designer, bool visible) {
  const std::int32_t count = gCommRecord.registeredCount.load(std::memory_order_acquire);
  if (!readSet_.empty() && gHost.ifHalvexSyncedPlcRead && count != 0 && On()) {
    const auto n = static_cast<std::uint32_t>(count);
    const bool enabled = gCommRecord.syncedReadEnabled.load(std::memory_order_acquire) != 0;
    if (visible && !enabled) {
      gHost.ifHalvexSyncedPlcRead->EnableObjects(-1, n, readSet_.data());
      gCommRecord.syncedReadEnabled.store(1, std::memory_order_release);
    } else if (!visible && enabled) {
      gHost.ifHalvexSyncedPlcRead->EnableObjects(0, n, readSet_.data());
      gCommRecord.syncedReadEnabled.store(0, std::memory_order_release);
    }
    gHost.ifHalvexSyncedPlcRead->ReadObjects(n, readSet_.data());
    gCommRecord.readRequested.store(1, std::memory_order_release);
  }
  if (designer != nullptr) PostMessage(designer, kMsgCommProgress, 0, 0);
}

bool TPluginLiveView::On() const { return gCommRecord.liveViewOn.load(std::memory_order_acquire) != 0; }

int TPluginLiveView::EntryCount() const { return gCommRecord.entryCount.load(std::memory_order_acquire); }

bool TPluginLiveView::ValuesChanged() {
  if (gStartup.oldLiveComm) return true;
  const std::int32_t count = gCommRecord.registeredCount.load(std::memory_order_acquire);
  for (std::int32_t i = 0; i < count && i < static_cast<std::int32_t>(readSet_.size()); ++i)
    if (readSet_[static_cast<std::size_t>(i)].changed != 0) return true;
  return false;
}

bool TPluginLiveView::ValuesValid() const { return gCommRecord.valuesValid.load(std::memory_order_acquire) != 0; }

bool TPluginLiveView::PassRan() const { return gCommRecord.variablePassRan.load(std::memory_order_acquire) != 0; }

void TPluginLiveView::BeginAlarmPageChange() {
  gCommRecord.variablePassRan.store(0, std::memory_order_release);
  gCommRecord.readRequested.store(0, std::memory_order_release);
  gCommRecord.valuesValid.store(0, std::memory_order_release);
  gCommRecord.alarmPageChange.store(1, std::memory_order_release);
}

void TPluginLiveView::EndAlarmPageChange() { gCommRecord.alarmPageChange.store(0, std::memory_order_release); }

bool TPluginLiveView::UploadRunning() const { return gCommRecord.upload.state.load(std::memory_order_acquire) != 0; }

int TPluginLiveView::DownloadPercent() const {
  if (gCommRecord.download.state.load(std::memory_order_acquire) != 2) return -1;
  const std::uint32_t size = gCommRecord.download.size.load(std::memory_order_relaxed);
  const std::uint32_t offset = gCommRecord.download.offset.load(std::memory_order_relaxed);
  return size == 0 ? 0 : static_cast<int>(static_cast<std::uint64_t>(offset) * 100 / size);
}

void TPluginLiveView::PollPictures() { queue_.Poll(); }

void TPluginLiveView::SetDesignerWindow(HWND window) {
  gCommRecord.designerWindow.store(window, std::memory_order_release);
}

void TPluginLiveView::SyncValues() {
  std::unique_lock<std::mutex> lock = LockCommLoop();
  for (TCommItem& entry : entries_) {
    if (entry.position.area == kUnknownArea) continue;
    const std::size_t size = std::min<std::size_t>(entry.position.size, entry.outgoing.size());
    if (entry.changed != nullptr && *entry.changed && entry.source != nullptr) {
      std::copy_n(entry.source, size, entry.outgoing.begin());
      entry.writePending = true;
      *entry.changed = false;
    }
    if (entry.incomingValid && entry.value != nullptr) {
      std::copy_n(entry.incoming.begin(), size, entry.value);
      entry.incomingValid = false;
    }
  }
}
