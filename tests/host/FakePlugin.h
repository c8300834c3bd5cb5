#pragma once
// A plug-in stand-in for the host's tests: one object answering the event
// interfaces the host raises, recording every call.

#include <atomic>
#include <string>
#include <vector>

#include "hostapi/CompilerEvents.h"
#include "hostapi/HostEvents.h"
#include "hostapi/HostRecords.h"
#include "hostapi/ProjectEvents.h"

class FakePlugin final : public IQendProjectEvents,
                         public IQendCompilerEvents,
                         public IQendCompilerEventsExt1,
                         public IQendMenuEvents,
                         public IQendDesktopEvents,
                         public IQendCpmEvents,
                         public IHalvexCommStateEvent,
                         public IHalvexOnlinePlcBackupEvent {
 public:
  std::vector<std::string> calls;
  std::vector<std::string> panels;  // "rack/position type name" of the last roll call
  bool refuseClose = false;
  bool answerExtension = true;
  std::string backupFile;  // added to the host's backup when asked
  int dataReady = 0;
  HRESULT linkResult = S_OK;  // the link event's answer

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IQendProjectEvents)
      *object = static_cast<IQendProjectEvents*>(this);
    else if (iid == IID_IQendCompilerEvents)
      *object = static_cast<IQendCompilerEvents*>(this);
    else if (iid == IID_IQendCompilerEventsExt1 && answerExtension)
      *object = static_cast<IQendCompilerEventsExt1*>(this);
    else if (iid == IID_IQendMenuEvents)
      *object = static_cast<IQendMenuEvents*>(this);
    else if (iid == IID_IQendDesktopEvents)
      *object = static_cast<IQendDesktopEvents*>(this);
    else if (iid == IID_IQendCpmEvents)
      *object = static_cast<IQendCpmEvents*>(this);
    else if (iid == IID_IHalvexCommStateEvent)
      *object = static_cast<IHalvexCommStateEvent*>(this);
    else if (iid == IID_IHalvexOnlinePlcBackupEvent)
      *object = static_cast<IHalvexOnlinePlcBackupEvent*>(this);
    else
      return E_NOINTERFACE;
    ++refs;
    return S_OK;
  }
  ULONG AddRef() override { return ++refs; }
  ULONG Release() override { return --refs; }
  IUnknown* Unknown() { return static_cast<IQendProjectEvents*>(this); }
  std::atomic<long> refs{0};

  // Project events.
  HRESULT Reserved3() override { return S_OK; }
  HRESULT OnOpenControler() override { return Call("OnOpenControler"); }
  HRESULT Reserved5() override { return S_OK; }
  HRESULT OnQueryCloseProject(std::uint32_t, VARIANT_BOOL* mayClose) override {
    if (refuseClose) *mayClose = VARIANT_FALSE;
    return Call("OnQueryCloseProject");
  }
  HRESULT Reserved7() override { return S_OK; }
  HRESULT OnQueryCloseControler(VARIANT_BOOL*) override { return Call("OnQueryCloseControler"); }
  HRESULT OnCloseControler() override { return Call("OnCloseControler"); }
  HRESULT Reserved10() override { return S_OK; }
  HRESULT Reserved11() override { return S_OK; }
  HRESULT OnProjectVariablesReady(std::uint32_t) override { return Call("OnProjectVariablesReady"); }
  HRESULT Reserved13() override { return S_OK; }
  HRESULT Reserved14() override { return S_OK; }
  HRESULT OnProject_StartOfClosingProject() override { return Call("StartOfClosingProject"); }
  HRESULT EndOfClosingProject() override { return Call("EndOfClosingProject"); }
  HRESULT OnProjectNotification(std::uint32_t source, std::uint32_t code, void* data, HostLong* result) override {
    if (code == PROJECT_NOTIFY_PANEL_ROLLCALL) {
      panels.clear();
      auto* call = static_cast<HostPanelRollCall*>(data);
      for (HostPanelNode* n = call->head->next; n != call->head; n = n->next)
        panels.push_back(std::to_string(n->entry.rack) + "/" + std::to_string(n->entry.position) + " " + n->entry.type +
                         " " + n->entry.name + " " + n->entry.in + " " + n->entry.out);
    } else if (code == PROJECT_NOTIFY_PANEL_RECORD) {
      auto* record = static_cast<HostPanelRecord*>(data);
      panels.push_back("op" + std::to_string(record->operation) + " " + std::to_string(record->rack) + "/" +
                       std::to_string(record->position) + " " + record->type);
      *result = 7;
    } else if (code == PROJECT_NOTIFY_DATA_READY) {
      if (static_cast<HostDataReady*>(data)->kind == DATA_READY_SYNCED_READ) ++dataReady;
    } else if (code == PROJECT_NOTIFY_FILE_LIST) {
      auto* request = static_cast<HostFileListRequest*>(data);
      panels.push_back(std::string("list ") + request->projectName + " " + request->listFile);
    }
    return Call("OnProjectNotification " + std::to_string(source) + " " + std::to_string(code));
  }
  HRESULT Reserved18() override { return S_OK; }
  HRESULT Reserved19() override { return S_OK; }
  HRESULT Reserved20() override { return S_OK; }

  // Compiler events and the extension.
  HRESULT OnStartCompiling(std::uint32_t) override { return Call("OnStartCompiling"); }
  HRESULT OnEndCompiling(std::uint32_t) override { return Call("OnEndCompiling"); }
  HRESULT Reserved5(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                    std::uint32_t) override {
    return S_OK;
  }
  HRESULT Reserved6(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) override { return S_OK; }
  HRESULT Reserved7(std::uint32_t, char**) override { return S_OK; }
  HRESULT Reserved8() override { return S_OK; }
  HRESULT Reserved9() override { return S_OK; }
  HRESULT OnLinkingExtendedProgMap(std::uint32_t statusWindow, std::uint32_t, std::uint32_t, std::uint32_t,
                                   std::uint32_t, std::uint32_t) override {
    Call("OnLinkingExtendedProgMap " + std::to_string(statusWindow));
    return linkResult;
  }

  // Menu, desktop, CPM, communication state, backup.
  HRESULT OnMenuCommand(HostLong id) override { return Call("OnMenuCommand " + std::to_string(id)); }
  HRESULT Reserved4() override { return S_OK; }
  HRESULT SaveDesktop(DesktopStorage) override { return Call("SaveDesktop"); }
  HRESULT LoadDesktop(DesktopStorage) override { return Call("LoadDesktop"); }
  HRESULT OnLanguageChanged(HostLcid lcid, std::uint32_t) override {
    return Call("OnLanguageChanged " + std::to_string(lcid));
  }
  HRESULT Reserved6() override { return S_OK; }
  HRESULT OnCpmChanged(std::uint32_t, HostLong cpm, std::uint32_t) override {
    return Call("OnCpmChanged " + std::to_string(cpm));
  }
  HRESULT OnCommunicationState(VARIANT_BOOL on) override {
    return Call(std::string("OnCommunicationState ") + (on ? "on" : "off"));
  }
  HRESULT OnCommunicationStateEx(VARIANT_BOOL) override { return S_OK; }
  HRESULT AddFileToOnlinePlcBackup(IHalvexOnlinePlcBackup* backup) override {
    if (!backupFile.empty()) backup->AddFile(backupFile.c_str(), 0);
    backup->Release();
    return Call("AddFileToOnlinePlcBackup");
  }

 private:
  HRESULT Call(const std::string& what) {
    calls.push_back(what);
    return S_OK;
  }
};
