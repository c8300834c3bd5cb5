#pragma once
// The plug-in object that the host creates through the class factory. It has
// no state of its own: everything it works on is process-wide (PluginState.h).
// It answers, in this order: ITarnwellCoClass, IQendPlugin,
// IQendCompilerEvents, IQendProjectEvents, IQendMenuEvents,
// IQendDesktopEvents, IQendCpmEvents, IHalvexCommStateEvent,
// IIECManVariables, IQendDockEvents, IQendCompilerEventsExt1,
// IHalvexOnlinePlcBackupEvent, IHalvexBuilderPlugin (and IUnknown).

#include <atomic>

#include "hostapi/CompilerEvents.h"
#include "hostapi/HostEvents.h"
#include "hostapi/IIECManVariables.h"
#include "hostapi/IQendPlugin.h"
#include "hostapi/ProjectEvents.h"

class TTarnwellCoClassImpl final : public ITarnwellCoClass,
                                   public IQendPlugin,
                                   public IQendCompilerEvents,
                                   public IQendProjectEvents,
                                   public IQendMenuEvents,
                                   public IQendDesktopEvents,
                                   public IQendCpmEvents,
                                   public IHalvexCommStateEvent,
                                   public IIECManVariables,
                                   public IQendDockEvents,
                                   public IQendCompilerEventsExt1,
                                   public IHalvexOnlinePlcBackupEvent,
                                   public IHalvexBuilderPlugin {
 public:
  TTarnwellCoClassImpl();
  TTarnwellCoClassImpl(const TTarnwellCoClassImpl&) = delete;
  TTarnwellCoClassImpl& operator=(const TTarnwellCoClassImpl&) = delete;

  // The factory's creation function.
  static HRESULT Create(REFIID iid, void** object);

  IUnknown* OwnUnknown() { return static_cast<ITarnwellCoClass*>(this); }

  // IUnknown
  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  // IQendPlugin
  HRESULT InstallPlugin(IUnknown* host, TComponent* owner) override;
  HRESULT UninstallPlugin() override;
  HRESULT GetPluginVersion(HostLong* version) override;
  HRESULT GetPluginName(char** name, HostLong* value) override;
  HRESULT GetPluginGuid(GUID* guid) override;

  // IQendCompilerEvents
  HRESULT OnStartCompiling(std::uint32_t value) override;
  HRESULT OnEndCompiling(std::uint32_t value) override;
  HRESULT Reserved5(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                    std::uint32_t) override;
  HRESULT Reserved6(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) override;
  HRESULT Reserved7(std::uint32_t value, char** text) override;

  // IQendProjectEvents
  HRESULT OnOpenControler() override;
  HRESULT OnQueryCloseProject(std::uint32_t value, VARIANT_BOOL* mayClose) override;
  HRESULT OnQueryCloseControler(VARIANT_BOOL* mayClose) override;
  HRESULT OnCloseControler() override;
  HRESULT OnProjectVariablesReady(std::uint32_t value) override;
  HRESULT OnProject_StartOfClosingProject() override;
  HRESULT EndOfClosingProject() override;
  HRESULT OnProjectNotification(std::uint32_t source, std::uint32_t code, void* data, HostLong* result) override;

  // IQendMenuEvents
  HRESULT OnMenuCommand(HostLong commandId) override;

  // IQendDesktopEvents
  HRESULT SaveDesktop(DesktopStorage storage) override;
  HRESULT LoadDesktop(DesktopStorage storage) override;
  HRESULT OnLanguageChanged(HostLcid language, std::uint32_t value) override;

  // IQendCpmEvents
  HRESULT OnCpmChanged(std::uint32_t value1, HostLong cpmType, std::uint32_t value3) override;

  // IHalvexCommStateEvent
  HRESULT OnCommunicationState(VARIANT_BOOL on) override;
  HRESULT OnCommunicationStateEx(VARIANT_BOOL on) override;

  // IIECManVariables: the implemented side does nothing.
  HRESULT BrowseVariable(const char* current, char** chosen, HostLong flags) override;
  HRESULT BrowseTypedVariable(const char* current, const char* typeName, char** chosen, HostLong* value) override;
  HRESULT GetVariableInfo(const char* name, const char* scope, char** typeName, char** furtherText,
                          HostLong* typeCode) override;
  HRESULT GetTypeList(char** types, HostLong flags) override;
  HRESULT GetMembers(const char* name, const char* scope, char** members) override;
  HRESULT GetVariableSize(const char* name, HostLong* size) override;

  // IQendCompilerEventsExt1
  HRESULT OnLinkingExtendedProgMap(std::uint32_t statusWindow, std::uint32_t, std::uint32_t, std::uint32_t,
                                   std::uint32_t, std::uint32_t) override;

  // IHalvexOnlinePlcBackupEvent
  HRESULT AddFileToOnlinePlcBackup(IHalvexOnlinePlcBackup* backup) override;

  // IHalvexBuilderPlugin
  HRESULT BuilderInstallPlugin(IUnknown* host, TComponent* owner) override;
  HRESULT BuilderControledDestruction() override;
  HRESULT BuilderUninstallPlugin() override;
  HRESULT BuilderGetPluginVersion(HostLong* version) override;
  HRESULT BuilderGetPluginName(char** name, HostLong* value) override;
  HRESULT BuilderGetPluginGuid(GUID* guid) override;

  // The methods without a role of their own, in every interface that has
  // them: nothing, S_OK.
  HRESULT Reserved3() override;
  HRESULT Reserved4() override;
  HRESULT Reserved5() override;
  HRESULT Reserved6() override;
  HRESULT Reserved7() override;
  HRESULT Reserved8() override;
  HRESULT Reserved9() override;
  HRESULT Reserved10() override;
  HRESULT Reserved11() override;
  HRESULT Reserved13() override;
  HRESULT Reserved14() override;
  HRESULT Reserved18() override;
  HRESULT Reserved19() override;
  HRESULT Reserved20() override;

 private:
  ~TTarnwellCoClassImpl();

  std::atomic<ULONG> refs_{1};
};

// Deletes the hidden main form (tracing it) and answers DllCanUnloadNow.
HRESULT TarnwellControledDestruction();

// Reports an exception caught at the host boundary through the error
// information (interface `iid`, source the plug-in's ProgID) and answers the
// code to return.
HRESULT ReportPluginException(REFIID iid, const char* message, HRESULT code);

// The folder (with trailing backslash) of the host's project list entry named
// `key` (compared in upper case), or empty.
std::string LookupHostProjectEntry(const std::string& key);
