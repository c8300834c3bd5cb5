#include "host/sim/HalvexHost.h"

#include <algorithm>
#include <cstdio>

#include "hostapi/HostRecords.h"
#include "hostapi/ProjectEvents.h"
#include "platform/win/CodePage.h"
#include "platform/win/FileIo.h"
#include "platform/win/Paths.h"
#include "platform/win/WindowTimers.h"

#include <sys/stat.h>

HRESULT HostQueryInterface(HalvexHost& host, REFIID iid, void** object) { return host.QueryInterface(iid, object); }
void HostCountOverRelease(HalvexHost& host) { host.CountOverRelease(); }
void HostLogReference(HalvexHost& host, const char* name, bool taken) { host.LogReference(name, taken); }

HalvexHost::HalvexHost() {
  SetSendFunctionPlc(&plc_);
  files_.Reset({});
}

HalvexHost::~HalvexHost() {
  loop_.Stop();
  SetSendFunctionPlc(nullptr);
  if (mainWindow_) mainWindow_->OnHostEvent = nullptr;
}

void HalvexHost::OpenProject(const std::string& folder) {
  HostProject project = ReadHostProject(folder);
  VariableTable table(project);
  struct Content {
    const HostPlcFile* file;
    std::string data;
    PlcDate written;
  };
  std::vector<Content> contents;
  for (const HostPlcFile& f : project.plcFiles) {
    std::string path = ToNativePath(project.folder + "/" + f.localFile);
    std::string data;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kPlcMaxFileSize ||
        !ReadWholeFile(path, data))
      throw HostProjectError(project.folder + "/" + kHostProjectFileName + ":" + std::to_string(f.line) +
                             ": cannot read " + f.localFile + " (or it is larger than the PLC takes)");
    contents.push_back({&f, std::move(data), PlcDateOfUnixTime(static_cast<std::int64_t>(st.st_mtime))});
  }
  for (const HostAreaSize& a : project.areaSizes) plc_.Memory().SetAreaSize(a.area, a.size);
  // The reader has placed every preset inside its area.
  for (const HostPresetDecl& p : project.presets) {
    if (p.bit >= 0)
      plc_.Memory().WriteBit(p.area, p.address, p.bit, p.bytes.at(0) != 0);
    else
      plc_.Memory().Write(p.area, p.address, static_cast<std::uint32_t>(p.bytes.size()), p.bytes.data());
  }
  for (const Content& c : contents) {
    // Each folder on the way, then the file with the local file's time.
    const std::string& plcPath = c.file->plcPath;
    for (std::size_t slash = plcPath.find('/', 2); slash != std::string::npos; slash = plcPath.find('/', slash + 1))
      plc_.Files().AddFolder(plcPath.substr(0, slash + 1));
    plc_.Files().AddFile(plcPath, std::vector<std::uint8_t>(c.data.begin(), c.data.end()), c.written, c.written);
  }
  files_.Reset(project.files);
  SetLanguage(static_cast<HostLcid>(project.language));
  project_ = std::move(project);
  variables_ = std::move(table);
}

void HalvexHost::SetLanguage(HostLcid lcid) {
  language_ = lcid;
  SetAnsiCodePage(AnsiCodePageOfLanguage(static_cast<WORD>(lcid)));
}

void HalvexHost::CloseProject() {
  project_.reset();
  variables_ = VariableTable();
  files_.Reset({});
}

std::string HalvexHost::GlobalFolder() const {
  if (!project_) return std::string();
  return project_->globalFolder.empty() ? project_->folder : project_->globalFolder;
}

std::vector<HostProjectEntry> HalvexHost::ProjectList() const {
  std::vector<HostProjectEntry> list;
  if (project_) list.push_back({project_->name, project_->folder + "\\" + kHostProjectFileName});
  return list;
}

void HalvexHost::SetMainWindow(HostMainWindow* window) {
  if (mainWindow_) mainWindow_->OnHostEvent = nullptr;
  mainWindow_ = window;
  if (mainWindow_) mainWindow_->OnHostEvent = [this] { ProcessHostEvents(); };
}

std::vector<HalvexHost::Part> HalvexHost::Parts() {
  return {
      {&IID_IUnknown, identity_.Unknown(), identity_.Name()},
      {&IID_IQendProjectManager, projectManager_.Unknown(), projectManager_.Name()},
      {&IID_IQendMenu, menu_.Unknown(), menu_.Name()},
      {&IID_IQendVariables, qendVariables_.Unknown(), qendVariables_.Name()},
      {&IID_IHalvexWebTdiMap, tdiMap_.Unknown(), tdiMap_.Name()},
      {&IID_IQendMessages, qendMessages_.Unknown(), qendMessages_.Name()},
      {&IID_IQendCompiler, compiler_.Unknown(), compiler_.Name()},
      {&IID_IQendProject, files_.Unknown(), files_.Name()},
      {&IID_IHalvexSyncedPlcRead, syncedRead_.Unknown(), syncedRead_.Name()},
      {&IID_IHalvexCommLoopEx, commLoop_.Unknown(), commLoop_.Name()},
      {&IID_IConnectionPointContainer, events_.Unknown(), events_.Name()},
      {&IID_IQendCpm, cpm_.Unknown(), cpm_.Name()},
      {&IID_IQendApp, app_.Unknown(), app_.Name()},
      {&IID_IQendLanguage, language_part_.Unknown(), language_part_.Name()},
      {&IID_IQendTextEditor, textEditor_.Unknown(), textEditor_.Name()},
      {&IID_IHalvexPlcControl, plcControl_.Unknown(), plcControl_.Name()},
      {&IID_IHalvexIDE, ide_.Unknown(), ide_.Name()},
      {&IID_IQendWindows, windows_.Unknown(), windows_.Name()},
      {&IID_IQendOptionsStorageStreams, optionsStorage_.Unknown(), optionsStorage_.Name()},
      {&IID_IIECManVariables, iecVariables_.Unknown(), iecVariables_.Name()},
  };
}

HRESULT HalvexHost::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  for (const Part& p : Parts()) {
    if (*p.iid != iid) continue;
    {
      std::lock_guard<std::mutex> lock(hiddenMutex_);
      if (std::find(hidden_.begin(), hidden_.end(), p.name) != hidden_.end()) return E_NOINTERFACE;
    }
    p.part->AddRef();
    // Each part derives from its one interface alone, so the interface
    // pointer and the part's IUnknown are the same address.
    *object = p.part;
    return S_OK;
  }
  return E_NOINTERFACE;
}

bool HalvexHost::SetInterfaceHidden(const std::string& name, bool hidden) {
  for (const Part& p : Parts()) {
    if (name != p.name) continue;
    std::lock_guard<std::mutex> lock(hiddenMutex_);
    auto it = std::find(hidden_.begin(), hidden_.end(), name);
    if (hidden && it == hidden_.end()) hidden_.push_back(name);
    if (!hidden && it != hidden_.end()) hidden_.erase(it);
    return true;
  }
  return false;
}

std::vector<HalvexHost::ReferenceCount> HalvexHost::References() const {
  return {
      {identity_.Name(), identity_.References()},
      {projectManager_.Name(), projectManager_.References()},
      {menu_.Name(), menu_.References()},
      {qendVariables_.Name(), qendVariables_.References()},
      {tdiMap_.Name(), tdiMap_.References()},
      {qendMessages_.Name(), qendMessages_.References()},
      {compiler_.Name(), compiler_.References()},
      {files_.Name(), files_.References()},
      {syncedRead_.Name(), syncedRead_.References()},
      {commLoop_.Name(), commLoop_.References()},
      {events_.Name(), events_.References()},
      {"IConnectionPoint", events_.PointReferences()},
      {cpm_.Name(), cpm_.References()},
      {app_.Name(), app_.References()},
      {language_part_.Name(), language_part_.References()},
      {textEditor_.Name(), textEditor_.References()},
      {plcControl_.Name(), plcControl_.References()},
      {ide_.Name(), ide_.References()},
      {windows_.Name(), windows_.References()},
      {optionsStorage_.Name(), optionsStorage_.References()},
      {iecVariables_.Name(), iecVariables_.References()},
      {onlineBackup_.Name(), onlineBackup_.References()},
  };
}

void HalvexHost::LogReference(const char* name, bool taken) {
  std::lock_guard<std::mutex> lock(referenceLogMutex_);
  referenceLog_.push_back((taken ? "+" : "-") + std::string(name));
}

std::vector<std::string> HalvexHost::ReferenceLog() const {
  std::lock_guard<std::mutex> lock(referenceLogMutex_);
  return referenceLog_;
}

void HalvexHost::ClearReferenceLog() {
  std::lock_guard<std::mutex> lock(referenceLogMutex_);
  referenceLog_.clear();
}

ULONG HalvexHost::TotalReferences() const {
  ULONG total = 0;
  for (const ReferenceCount& r : References()) total += r.count;
  return total;
}

void HalvexHost::PostDataReady() {
  ++pendingDataReady_;
  if (mainWindow_) PostMessage(mainWindow_->Handle(), kHostMsgHostEvent, 0, 0);
}

void HalvexHost::PostDataReadyLater() {
  ++pendingDataReady_;
  if (mainWindow_) SetTimer(mainWindow_->Handle(), kHostDataReadyTimer, kSyncedReadDelayMs, nullptr);
}

int HalvexHost::ProcessHostEvents() {
  // Only the announcements posted so far: a plug-in that asks for the next
  // read while it handles one gets that one's announcement later.
  const int pending = pendingDataReady_.exchange(0);
  int raised = 0;
  while (raised < pending) {
    HostDataReady ready;
    ready.kind = DATA_READY_SYNCED_READ;
    events_.Notify(PROJECT_NOTIFY_SOURCE_PROJECT, PROJECT_NOTIFY_DATA_READY, &ready);
    ++raised;
  }
  return raised;
}

HRESULT HalvexHost::SetOnline(bool online) {
  plc_.SetOnline(online);
  return events_.CommunicationState(online);
}

HRESULT HalvexHost::RaisePanelRollCall() {
  if (!project_) return E_UNEXPECTED;
  const std::vector<HostPanelDecl>& panels = project_->panels;
  // A circular doubly linked list with a head node that holds no panel.
  std::vector<HostPanelNode> nodes(panels.size() + 1);
  std::size_t n = nodes.size();
  for (std::size_t i = 0; i < n; ++i) {
    nodes[i].next = &nodes[(i + 1) % n];
    nodes[i].prev = &nodes[(i + n - 1) % n];
  }
  for (std::size_t i = 0; i < panels.size(); ++i) {
    HostPanelEntry& e = nodes[i + 1].entry;
    e.type = panels[i].type.c_str();
    e.name = panels[i].name.c_str();
    e.rack = panels[i].rack;
    e.position = panels[i].position;
    e.in = panels[i].in.c_str();
    e.out = panels[i].out.c_str();
  }
  HostPanelRollCall call;
  call.head = &nodes[0];
  return events_.Notify(PROJECT_NOTIFY_SOURCE_PROJECT, PROJECT_NOTIFY_PANEL_ROLLCALL, &call);
}

HRESULT HalvexHost::RaisePanelRecord(std::uint8_t operation, const HostPanelDecl& panel, HostLong* result) {
  HostPanelRecord record;
  record.operation = operation;
  record.rack = panel.rack;
  record.position = panel.position;
  record.type = panel.type.c_str();
  record.in = panel.in.c_str();
  record.out = panel.out.c_str();
  record.name = panel.name.c_str();
  std::vector<HostLong> results;
  HRESULT hr = events_.Notify(PROJECT_NOTIFY_SOURCE_PROJECT, PROJECT_NOTIFY_PANEL_RECORD, &record, &results);
  if (result) *result = results.empty() ? 0 : results.front();
  return hr;
}

HRESULT HalvexHost::RaiseFileListRequest(const std::string& listFile) {
  if (!project_) return E_UNEXPECTED;
  HostFileListRequest request;
  request.projectName = project_->name.c_str();
  request.listFile = listFile.c_str();
  return events_.Notify(PROJECT_NOTIFY_SOURCE_PROJECT, PROJECT_NOTIFY_FILE_LIST, &request);
}

HRESULT HalvexHost::RaiseShowDesigner(bool show) {
  HostShowRequest request;
  request.show = show ? 1 : 0;
  return events_.Notify(PROJECT_NOTIFY_SOURCE_PROJECT, PROJECT_NOTIFY_SHOW_DESIGNER, &request);
}

HRESULT HalvexHost::RaiseMessageChosen(const HostMessageLine& line) {
  HostMessageChoice choice;
  choice.text = line.text.c_str();
  choice.source = line.source.c_str();
  return events_.Notify(PROJECT_NOTIFY_SOURCE_PROJECT, PROJECT_NOTIFY_MESSAGE_CHOSEN, &choice);
}

HRESULT HalvexHost::RaiseOnlineBackup() {
  onlineBackup_.Clear();
  return events_.OnlineBackup(&onlineBackup_);
}

HRESULT HalvexHost::RaiseOpeningEvents() {
  if (!project_) return E_UNEXPECTED;
  HRESULT first = S_OK;
  auto keep = [&](HRESULT hr) {
    if (FAILED(hr) && SUCCEEDED(first)) first = hr;
  };
  keep(events_.OpenControler());
  keep(events_.VariablesReady(0));
  keep(events_.CpmChanged(project_->cpm));
  keep(events_.CommunicationState(plc_.Online()));
  keep(events_.LoadDesktop(&desktop_));
  keep(RaisePanelRollCall());
  return first;
}

HRESULT HalvexHost::RaiseClosingEvents(bool* mayClose) {
  HRESULT first = S_OK;
  auto keep = [&](HRESULT hr) {
    if (FAILED(hr) && SUCCEEDED(first)) first = hr;
  };
  bool closeProject = true, closeControler = true;
  // The host asks before it saves the desktop and closes: a plug-in that
  // saved its work with the desktop is not asked to save it again (a failed
  // save would tell its failure twice).
  keep(events_.QueryCloseProject(&closeProject));
  keep(events_.QueryCloseControler(&closeControler));
  keep(events_.SaveDesktop(&desktop_));
  keep(events_.StartOfClosingProject());
  keep(events_.CloseControler());
  keep(events_.EndOfClosingProject());
  if (mayClose) *mayClose = closeProject && closeControler;
  return first;
}
