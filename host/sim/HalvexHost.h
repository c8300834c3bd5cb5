#pragma once
// The simulated Halvex host: the host object that plug-ins are installed
// into, made of one part per host interface (HostInterface.h), with the host
// project and its variable table, the simulated PLC and its communication
// loop, the message log, the desktop storage, and the raising of the host's
// events.
//
// The host object (Object()) is what the host hands to InstallPlugin. It
// answers, by QueryInterface on any of its parts: IUnknown,
// IQendProjectManager, IQendMenu, IQendVariables, IHalvexWebTdiMap,
// IQendMessages, IQendProject, IHalvexSyncedPlcRead, IHalvexCommLoopEx,
// IConnectionPointContainer, IQendCpm, IHalvexIDE, IQendWindows,
// IQendOptionsStorageStreams, IQendTextEditor, IHalvexPlcControl,
// IQendLanguage, IIECManVariables, IQendApp and IQendCompiler. Each part
// counts the references handed out through it, so the host can see that a
// plug-in gave back everything it took.
//
// Every method runs on the host's user-interface thread, except the
// communication-loop callbacks and the send function, which run on the
// loop's thread.

#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "host/sim/CommLoop.h"
#include "host/sim/HostCommLoop.h"
#include "host/sim/HostEvents.h"
#include "host/sim/HostIde.h"
#include "host/sim/HostIecVariables.h"
#include "host/sim/HostMainWindow.h"
#include "host/sim/HostMenu.h"
#include "host/sim/HostMessages.h"
#include "host/sim/HostOnlineBackup.h"
#include "host/sim/HostProject.h"
#include "host/sim/HostProjectFiles.h"
#include "host/sim/HostProjectManager.h"
#include "host/sim/HostServices.h"
#include "host/sim/HostSyncedRead.h"
#include "host/sim/HostVariables.h"
#include "host/sim/PlcCommunicationServices.h"
#include "host/sim/SimulatedPlc.h"
#include "host/sim/VariableTable.h"

struct HostProjectEntry {
  std::string name;
  std::string path;  // the project file's full path
};

class HostIdentity final : public HostInterface<IUnknown> {
 public:
  using HostInterface::HostInterface;
};

inline constexpr unsigned kSyncedReadDelayMs = 100;

class HalvexHost {
 public:
  HalvexHost();
  ~HalvexHost();
  HalvexHost(const HalvexHost&) = delete;
  HalvexHost& operator=(const HalvexHost&) = delete;

  // --- the project ---
  // Reads the project in `folder` (a native path) and makes it the open one,
  // with its file list, memory areas, language and the files of the PLC's
  // file system (their folders made as needed). Raises HostProjectError (a
  // PLC file that cannot be read included); the project open before stays
  // open then. No event is raised.
  void OpenProject(const std::string& folder);
  void CloseProject();
  bool IsProjectOpen() const { return project_.has_value(); }
  // The open project; only while one is open.
  const HostProject& Project() const { return *project_; }
  const VariableTable& Variables() const { return variables_; }
  // The global folder (native, no trailing separator): the project's, or the
  // project folder when the project names none.
  std::string GlobalFolder() const;
  std::vector<HostProjectEntry> ProjectList() const;
  HostLcid Language() const { return language_; }
  // The host's UI language. The host stands for the machine too: a Windows in
  // that language, whose ANSI code page the plug-ins' texts are in, so the
  // machine's code page follows (Czech and Polish 1250, English and German
  // 1252).
  void SetLanguage(HostLcid lcid);

  // --- the host's window, PLC, loop and logs ---
  void SetMainWindow(HostMainWindow* window);
  HostMainWindow* MainWindow() const { return mainWindow_; }
  // The owner of the plug-in's forms: the main window.
  TComponent* OwnerComponent() const { return mainWindow_; }
  SimulatedPlc& Plc() { return plc_; }
  // Whether the IDE is logged in to the PLC (the host's "online" answer
  // needs both this and a PLC that answers); logged in from the start.
  void SetLoggedIn(bool loggedIn) { loggedIn_ = loggedIn; }
  bool LoggedIn() const { return loggedIn_; }
  CommLoop& Loop() { return loop_; }
  HostMessageLog& Messages() { return messages_; }
  HostDesktopStorage& Desktop() { return desktop_; }

  // --- the host object ---
  // The host object's IUnknown (no reference added).
  IUnknown* Object() { return identity_.Unknown(); }
  // The references handed out through the host object's IUnknown.
  ULONG ObjectReferences() const { return identity_.References(); }
  HRESULT QueryInterface(REFIID iid, void** object);
  // Makes the host object answer E_NOINTERFACE for an interface (a host
  // without it), or answer it again. By name ("IHalvexWebTdiMap"); false for
  // a name the host does not have.
  bool SetInterfaceHidden(const std::string& name, bool hidden);
  HostMenu& Menu() { return menu_; }
  HostIde& Ide() { return ide_; }
  HostIecVariables& IecVariables() { return iecVariables_; }
  HostWebTdiMap& TdiMap() { return tdiMap_; }
  HostProjectFiles& Files() { return files_; }
  HostSyncedRead& SyncedRead() { return syncedRead_; }
  HostTextEditor& TextEditor() { return textEditor_; }
  HostOnlineBackup& OnlineBackup() { return onlineBackup_; }
  HostEventSource& Events() { return events_; }

  struct ReferenceCount {
    std::string name;
    ULONG count = 0;
  };
  // The references each part has handed out and not got back, and those the
  // connection points hold.
  std::vector<ReferenceCount> References() const;
  ULONG TotalReferences() const;
  int OverReleases() const { return overReleases_.load(); }
  void CountOverRelease() { ++overReleases_; }
  // Every reference taken ("+IQendMenu") and given back ("-IQendMenu") on
  // the host's interfaces, in order.
  std::vector<std::string> ReferenceLog() const;
  void ClearReferenceLog();
  void LogReference(const char* name, bool taken);

  // --- work posted to the host's thread ---
  // Announces new synchronised-read data: posted to the main window, or kept
  // for ProcessHostEvents when there is none.
  void PostDataReady();
  // The same after the read's delay (kSyncedReadDelayMs on the UI clock) when
  // there is a main window: a plug-in that asks for the next read on each
  // announcement reads at that pace instead of flooding the queue.
  void PostDataReadyLater();
  // Raises the announcements posted so far; answers how many.
  int ProcessHostEvents();

  // --- events the host raises ---
  // The PLC goes online or offline (the loop's flag and the communication
  // state event).
  HRESULT SetOnline(bool online);
  // The operator panels of the project: all of them (0x39), or one record
  // (0x38) with its operation.
  HRESULT RaisePanelRollCall();
  HRESULT RaisePanelRecord(std::uint8_t operation, const HostPanelDecl& panel, HostLong* result = nullptr);
  // Asks the plug-ins to append their files to `listFile` (0x102 record).
  HRESULT RaiseFileListRequest(const std::string& listFile);
  HRESULT RaiseShowDesigner(bool show);
  // The person chose (double-clicked) a line of the message window: its text
  // and source go to the plug-ins (project notification 23).
  HRESULT RaiseMessageChosen(const HostMessageLine& line);
  // Makes an online backup; the files come back in OnlineBackup().
  HRESULT RaiseOnlineBackup();
  // The host's sequence after opening a project: OnOpenControler, the
  // variables, the CPM, the communication state, the desktop and the panels.
  HRESULT RaiseOpeningEvents();
  // The closing sequence: the close queries, saving the desktop, the close;
  // `mayClose` false when a plug-in refused (the host closes anyway, as at
  // the end of a run).
  HRESULT RaiseClosingEvents(bool* mayClose);

 private:
  // Parts first: the loop and PLC must outlive nothing of theirs.
  HostIdentity identity_{*this, "IUnknown"};
  HostProjectManager projectManager_{*this, "IQendProjectManager"};
  HostMenu menu_{*this, "IQendMenu"};
  HostVariables qendVariables_{*this, "IQendVariables"};
  HostWebTdiMap tdiMap_{*this, "IHalvexWebTdiMap"};
  HostMessages qendMessages_{*this, "IQendMessages"};
  HostCompiler compiler_{*this, "IQendCompiler"};
  HostProjectFiles files_{*this, "IQendProject"};
  HostSyncedRead syncedRead_{*this, "IHalvexSyncedPlcRead"};
  HostCommLoop commLoop_{*this, "IHalvexCommLoopEx"};
  HostEventSource events_{*this, "IConnectionPointContainer"};
  HostCpm cpm_{*this, "IQendCpm"};
  HostApp app_{*this, "IQendApp"};
  HostLanguage language_part_{*this, "IQendLanguage"};
  HostTextEditor textEditor_{*this, "IQendTextEditor"};
  HostPlcControl plcControl_{*this, "IHalvexPlcControl"};
  HostIde ide_{*this, "IHalvexIDE"};
  HostWindows windows_{*this, "IQendWindows"};
  HostOptionsStorage optionsStorage_{*this, "IQendOptionsStorageStreams"};
  HostIecVariables iecVariables_{*this, "IIECManVariables"};
  HostOnlineBackup onlineBackup_{*this, "IHalvexOnlinePlcBackup"};

  std::optional<HostProject> project_;
  VariableTable variables_;
  HostLcid language_ = 1033;
  HostMainWindow* mainWindow_ = nullptr;
  SimulatedPlc plc_;
  bool loggedIn_ = true;
  CommLoop loop_{plc_};
  HostMessageLog messages_;
  HostDesktopStorage desktop_;
  PlcCommunicationServicesRegistration communicationServices_;
  std::atomic<int> pendingDataReady_{0};
  std::atomic<int> overReleases_{0};
  struct Part {
    const IID* iid;
    IUnknown* part;
    const char* name;
  };
  // The parts QueryInterface answers, with their interfaces.
  std::vector<Part> Parts();

  std::mutex hiddenMutex_;
  std::vector<std::string> hidden_;
  mutable std::mutex referenceLogMutex_;
  std::vector<std::string> referenceLog_;
};
