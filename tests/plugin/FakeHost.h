#pragma once
// A small host for the plug-in's tests: one object that answers every host
// interface the installation asks for (each can be withheld), records the
// calls it gets, counts its references and raises events through six
// connection points.

#include <atomic>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "hostapi/CommLoop.h"
#include "hostapi/CompilerEvents.h"
#include "hostapi/HostEvents.h"
#include "hostapi/HostMessages.h"
#include "hostapi/HostServices.h"
#include "hostapi/HostVariables.h"
#include "hostapi/IHalvexIDE.h"
#include "hostapi/IIECManVariables.h"
#include "hostapi/IQendMenu.h"
#include "hostapi/IQendProject.h"
#include "hostapi/IQendProjectManager.h"
#include "hostapi/ProjectEvents.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ConnectionPoints.h"
#include "platform/com/Guid.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/ToolBar.h"

namespace plugintest {

std::string IidName(const IID& iid);

class FakeHost final : public IQendProjectManager,
                       public IQendMenu,
                       public IQendVariables,
                       public IHalvexWebTdiMap,
                       public IQendMessages,
                       public IQendProject,
                       public IHalvexSyncedPlcRead,
                       public IHalvexCommLoopEx,
                       public IConnectionPointContainer,
                       public IQendCpm,
                       public IHalvexIDE,
                       public IQendTextEditor,
                       public IHalvexPlcControl,
                       public IQendLanguage {
 public:
  FakeHost();

  IUnknown* Unknown() { return static_cast<IQendProjectManager*>(this); }

  // --- what the test sets up ---
  std::set<std::string> withheld;  // interface names QueryInterface refuses
  HostLong languageIndex = 1;
  HostLong cpmType = 6;
  std::string projectName = "Plant1";
  std::string projectFolder;  // ends in a separator; empty: no project
  std::string projectList;
  bool throwInAddBitmap = false;
  // The help menu call puts the caller's item into no menu.
  bool helpWithoutMenu = false;
  // The help menu call with an empty item hands out none.
  bool helpSubmenuRefused = false;

  // --- the host's class-library objects ---
  // The help menu (menu 9): "Contents", "About" and what the plug-ins add.
  std::unique_ptr<TMenuItem> helpMenu;
  // The plug-ins menu (menu 8) and the tool bar, with the command's item and
  // button while the command is placed.
  std::unique_ptr<TMenuItem> pluginsMenu;
  std::unique_ptr<TToolBar> toolBar;
  // The host's; a test may free them as the host would (reset).
  std::unique_ptr<TMenuItem> commandItem;
  std::unique_ptr<TToolButton> commandButton;
  // A copy of the bitmap handed to the menu.
  std::unique_ptr<TBitmap> bitmapCopy;

  // --- what it records ---
  std::vector<std::string> asked;  // names of the interfaces asked, in order
  std::vector<std::string> calls;  // host calls, in order
  std::atomic<long> refs{1};
  std::vector<CommLoopCallbackFunction> callbacks;  // registered now
  HostLong nextCommandId = 41;
  ComPtr<IUnknown> commandSink;
  ConnectionPointList points;
  ConnectionPoint* projectPoint = nullptr;
  ConnectionPoint* desktopPoint = nullptr;
  ConnectionPoint* cpmPoint = nullptr;
  ConnectionPoint* commStatePoint = nullptr;
  ConnectionPoint* compilerPoint = nullptr;
  ConnectionPoint* backupPoint = nullptr;

  bool Called(const std::string& call) const;

  // IUnknown
  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override { return static_cast<ULONG>(++refs); }
  ULONG Release() override { return static_cast<ULONG>(--refs); }

  // IQendProjectManager
  HRESULT GetProjectName(char** name) override;
  HRESULT GetProjectFolder(char** folder) override;
  HRESULT GetGlobalFolder(char** folder) override;
  HRESULT GetOwnerComponent(TComponent** owner) override;
  HRESULT GetProjectNameW(BSTR* name) override;
  HRESULT GetProjectList(char** list) override;

  // IQendMenu
  HRESULT Reserved3() override { return S_OK; }
  HRESULT AddBitmap(HBITMAP bitmap, HostLong* imageIndex) override;
  HRESULT AddHelpItem(HostLong menuNumber, const char* name, TMenuItem** item) override;
  HRESULT RegisterCommand(const char* name, const char* caption, HostLong value, HostLong imageIndex, IUnknown* sink,
                          VARIANT_BOOL flag, HostLong* commandId) override;
  HRESULT PlaceInMenu(HostLong commandId, HostLong menu, HostLong position, VARIANT_BOOL flag,
                      TMenuItem** item) override;
  HRESULT PlaceOnToolbar(HostLong commandId, HostLong toolbar, VARIANT_BOOL flag, TToolButton** button) override;
  HRESULT RemoveCommand(HostLong commandId) override;

  // IQendVariables
  HRESULT GetVariablePosition(const char* name, std::uint8_t* area, std::uint16_t* kind, std::uint32_t* address,
                              std::uint8_t* size) override;
  // IHalvexWebTdiMap
  HRESULT WebTdi_OpenPass() override { return S_OK; }
  HRESULT WebTdi_AddVariable(const char*, WebTdiVarInfo*) override { return E_FAIL; }
  HRESULT WebTdi_ClosePass() override { return S_OK; }
  HRESULT WebTdi_GetVarInfo(const char*, WebTdiVarInfo*) override { return E_FAIL; }
  // IQendMessages
  HRESULT AddMessage(const char* text, const char* source) override;
  HRESULT ResetMessages(HostLong, VARIANT_BOOL) override { return S_OK; }
  // IQendProject
  HRESULT GetFileList(char** files) override;
  HRESULT AddFile(const char*, HostLong, const char*, HostLong*) override { return E_NOTIMPL; }
  HRESULT Reserved5() override { return S_OK; }
  HRESULT RemoveFile(HostLong, VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT MoveFile(HostLong, HostLong, VARIANT_BOOL) override { return E_NOTIMPL; }
  // IHalvexSyncedPlcRead
  HRESULT ReleaseObjects(std::uint32_t, SyncedReadRecord*) override { return S_OK; }
  HRESULT CreateObjects(std::uint32_t, const char* const*, SyncedReadRecord*) override { return S_OK; }
  HRESULT EnableObjects(HostLong, std::uint32_t, SyncedReadRecord*) override { return S_OK; }
  HRESULT ReadObjects(std::uint32_t, SyncedReadRecord*) override { return S_OK; }
  // IHalvexCommLoopEx
  HRESULT RemoveCallback(CommLoopCallbackFunction callback) override;
  HRESULT AddCallback(CommLoopCallbackFunction callback, std::uint32_t value, const char* name) override;
  // IConnectionPointContainer
  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
  // IQendCpm
  HRESULT GetCpmType(HostLong* value) override;
  // IHalvexIDE
  HRESULT InsertDockableForm(TCustomForm*) override { return Record("InsertDockableForm"); }
  HRESULT RemoveDockableForm(TCustomForm*) override { return Record("RemoveDockableForm"); }
  HRESULT ShowDockableForm(TCustomForm*) override { return Record("ShowDockableForm"); }
  HRESULT SetTabImage(TCustomForm*, HostLong) override { return S_OK; }
  HRESULT SaveDockingState(TCustomForm*, DesktopStorage, const char*) override;
  HRESULT SaveFurtherState(TCustomForm*, DesktopStorage) override { return S_OK; }
  HRESULT FinishSave(TCustomForm*, DesktopStorage) override;
  HRESULT RestoreDockingState(TCustomForm*, DesktopStorage, const char*) override { return S_OK; }
  HRESULT RestoreFurtherState(TCustomForm*, DesktopStorage) override { return S_OK; }
  HRESULT IsDockedPageVisible(TCustomForm*, VARIANT_BOOL* visible) override;
  HRESULT SetStayOnTop(TCustomForm*, VARIANT_BOOL) override { return S_OK; }
  HRESULT GetStayOnTop(TCustomForm*, VARIANT_BOOL*) override { return S_OK; }
  HRESULT SetCanDock(TCustomForm*, VARIANT_BOOL) override { return S_OK; }
  HRESULT GetCanDock(TCustomForm*, VARIANT_BOOL*) override { return S_OK; }
  // IQendTextEditor
  HRESULT OpenFile(const char*, HostLong, HostLong*) override { return S_OK; }
  HRESULT CloseFile(const char*, VARIANT_BOOL) override { return S_OK; }
  // IQendLanguage
  HRESULT GetLanguageIndex(HostLong* index) override;

 private:
  HRESULT Record(const std::string& call) {
    calls.push_back(call);
    return S_OK;
  }
};

}  // namespace plugintest
