// Installation into the host and removal from it.

#include <memory>
#include <string>

#include "core/HostEnvironment.h"
#include "core/ProjectFileCommit.h"
#include "core/TraceLog.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ResultCodes.h"
#include "platform/com/TaskMem.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/ToolBar.h"
#include "platform/win/FileLock.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Resources.h"
#include "plugin/CommRecord.h"
#include "plugin/HelpEntry.h"
#include "plugin/PluginState.h"
#include "plugin/TarnwellCoClassImpl.h"
#include "plugin/WebMainForm.h"

namespace {

// The value registered with the communication-loop callback (the host's to
// interpret) and the host menu and toolbar that get the command.
constexpr std::uint32_t kCommLoopRegistrationValue = 88;
constexpr HostLong kPluginsMenu = 8;
constexpr HostLong kMainToolbar = 0;

// What a missing interface shows the user besides the failing result.
enum class OnMissing { ErrorBox, Silent };

// Asks `source` for `iid` into `target`; a failure leaves `target` empty and
// shows the installation's message box when asked to.
template <class T>
HRESULT Ask(IUnknown* source, REFIID iid, ComPtr<T>& target, OnMissing onMissing) {
  HRESULT hr = source->QueryInterface(iid, target.PutVoid());
  if (SUCCEEDED(hr) && target) return S_OK;
  target.Reset();
  if (SUCCEEDED(hr)) hr = E_NOINTERFACE;
  if (onMissing == OnMissing::ErrorBox) MessageBox(nullptr, "Error ", "Error", MB_ICONERROR | MB_TOPMOST);
  return hr;
}

// The six event sources in the order of subscription.
struct TEventSource {
  THostSubscription THostInterfaces::*subscription;
  const IID* iid;
};
constexpr TEventSource kEventSources[] = {
    {&THostInterfaces::projectEvents, &IID_IQendProjectEvents},
    {&THostInterfaces::desktopEvents, &IID_IQendDesktopEvents},
    {&THostInterfaces::cpmEvents, &IID_IQendCpmEvents},
    {&THostInterfaces::commStateEvents, &IID_IHalvexCommStateEvent},
    {&THostInterfaces::compilerEvents, &IID_IQendCompilerEvents},
    {&THostInterfaces::backupEvents, &IID_IHalvexOnlinePlcBackupEvent},
};

// The subscriptions with a trace name, in the order the removal ends them;
// the online backup's comes last, after the container, without trace.
struct TTracedSubscription {
  THostSubscription THostInterfaces::*subscription;
  const char* traceName;
};
constexpr TTracedSubscription kTracedSubscriptions[] = {
    {&THostInterfaces::projectEvents, "ifProjectEventCP"},
    {&THostInterfaces::desktopEvents, "g_ulDesktopEventsCookie"},
    {&THostInterfaces::commStateEvents, "ifCommunEventCP"},
    {&THostInterfaces::cpmEvents, "ifCpmEventCP"},
    {&THostInterfaces::compilerEvents, "ifCompilerEventCP"},
};

// --- installation -------------------------------------------------------------

// The interfaces asked of the host object before the communication loop.
HRESULT AskHostInterfaces(IUnknown* host) {
  HRESULT hr = Ask(host, IID_IQendProjectManager, gHost.ifPrjMngr, OnMissing::ErrorBox);
  if (FAILED(hr)) return hr;
  SetHostProjectManager(gHost.ifPrjMngr.Get());
  if (FAILED(hr = Ask(host, IID_IQendMenu, gHost.ifMenu, OnMissing::ErrorBox))) return hr;
  if (FAILED(hr = Ask(host, IID_IQendVariables, gHost.ifQendVariables, OnMissing::ErrorBox))) return hr;
  // The web variable map is optional: without it the map is not in use.
  Ask(host, IID_IHalvexWebTdiMap, gHost.ifHalvexWebTdiMap, OnMissing::Silent);
  if (FAILED(hr = Ask(host, IID_IQendMessages, gHost.ifQendMessages, OnMissing::ErrorBox))) return hr;
  // The core services' lines for the user (a copy that failed) go to the
  // host's message window.
  SetHostMessageHook([](const std::string& text, const std::string& source) {
    if (gHost.ifQendMessages) gHost.ifQendMessages->AddMessage(text.c_str(), source.c_str());
  });
  // A run that waits for another program's lock on the project folder says
  // so there, naming the program's process.
  SetFolderLockWaitNotice([](const std::string& lockFile, int pid, int waitMs) {
    ReportHostMessage(ProjectLockWaitNotice(lockFile, pid, waitMs), "Tarnwell");
  });
  if (FAILED(hr = Ask(host, IID_IQendProject, gHost.ifQendProject, OnMissing::ErrorBox))) return hr;
  return Ask(host, IID_IHalvexSyncedPlcRead, gHost.ifHalvexSyncedPlcRead, OnMissing::ErrorBox);
}

HRESULT RegisterWithCommLoop(IUnknown* host) {
  HRESULT hr = Ask(host, IID_IHalvexCommLoopEx, gHost.ifCommLoop, OnMissing::Silent);
  if (FAILED(hr)) return hr;
  return gHost.ifCommLoop->AddCallback(&CommLoopCallback, kCommLoopRegistrationValue, "Tarnwell");
}

// The interfaces asked of the project manager, and the host's UI language.
HRESULT AskProjectManagerInterfaces() {
  IUnknown* manager = gHost.ifPrjMngr.Get();
  HRESULT hr = Ask(manager, IID_IHalvexIDE, gHost.ifHalvexIDE, OnMissing::Silent);
  if (FAILED(hr)) return hr;
  if (FAILED(hr = Ask(manager, IID_IQendTextEditor, gHost.ifQendTextEditor, OnMissing::Silent))) return hr;
  if (FAILED(hr = Ask(manager, IID_IHalvexPlcControl, gHost.ifHalvexPlcControl, OnMissing::Silent))) return hr;
  // Without the language interface the English texts stay.
  if (auto language = gHost.ifPrjMngr.Query<IQendLanguage>(IID_IQendLanguage)) {
    HostLong index = 1;
    language->GetLanguageIndex(&index);
    SetLanguageIfChanged(WebMainForm1.get(), index);
  }
  return S_OK;
}

// Finds the six connection points, then subscribes the plug-in object to each.
HRESULT Subscribe(IUnknown* host, IUnknown* self) {
  HRESULT hr = Ask(host, IID_IConnectionPointContainer, gHost.ifCPC, OnMissing::Silent);
  if (FAILED(hr)) return hr;
  for (const TEventSource& source : kEventSources) {
    ComPtr<IConnectionPoint>& point = (gHost.*source.subscription).point;
    hr = gHost.ifCPC->FindConnectionPoint(*source.iid, point.Put());
    if (FAILED(hr) || !point) {
      point.Reset();
      return FAILED(hr) ? hr : E_NOINTERFACE;
    }
  }
  ComPtr<IUnknown> sink;
  self->QueryInterface(IID_IUnknown, sink.PutVoid());
  for (const TEventSource& source : kEventSources) {
    THostSubscription& subscription = gHost.*source.subscription;
    if (FAILED(hr = subscription.point->Advise(sink.Get(), &subscription.cookie))) return hr;
  }
  return S_OK;
}

// The menu bitmap "BM_TARNWELL" of the library's resources, handed to the
// host (which copies it during the call); its image index goes to the form.
HRESULT AddMenuBitmap() {
  TBitmap bitmap;
  bitmap.LoadFromResourceName(HInstance, "BM_TARNWELL");
  HostLong imageIndex = -1;
  HRESULT hr = gHost.ifMenu->AddBitmap(reinterpret_cast<HBITMAP>(&bitmap), &imageIndex);
  WebMainForm1->MenuImageIndex = imageIndex;
  return hr;
}

// Registers the command with the plug-in object as its sink and places it in
// the plug-ins menu and, outside the builder edition, on the main toolbar.
// Both stay disabled until the host reports a CPU type that supports web
// pages.
HRESULT AddCommand(IUnknown* self) {
  ComPtr<IUnknown> sink;
  self->QueryInterface(IID_IUnknown, sink.PutVoid());
  HRESULT hr = gHost.ifMenu->RegisterCommand("Tarnwell", "Tarnwell", 0, WebMainForm1->MenuImageIndex, sink.Get(),
                                             VARIANT_FALSE, &gCommandId);
  if (FAILED(hr)) return hr;
  sink.Reset();

  gCommandMenuItem = nullptr;
  if (FAILED(hr = gHost.ifMenu->PlaceInMenu(gCommandId, kPluginsMenu, 0, VARIANT_FALSE, &gCommandMenuItem))) return hr;
  WebMainForm1->WatchHostObject(gCommandMenuItem);
  if (gCommandMenuItem != nullptr) gCommandMenuItem->SetEnabled(false);
  gCommandButton = nullptr;
  if (gBuilderHost) return S_OK;
  if (FAILED(hr = gHost.ifMenu->PlaceOnToolbar(gCommandId, kMainToolbar, VARIANT_FALSE, &gCommandButton))) return hr;
  WebMainForm1->WatchHostObject(gCommandButton);
  if (gCommandButton != nullptr) gCommandButton->SetEnabled(false);
  return S_OK;
}

HRESULT InstallSteps(IUnknown* host, TComponent* owner, IUnknown* self) {
  HRESULT hr = AskHostInterfaces(host);
  if (FAILED(hr)) return hr;
  ResetCommLiveView();
  if (FAILED(hr = RegisterWithCommLoop(host))) return hr;
  // One main form for the life of the library: a second installation keeps
  // the one it finds, with its panel list.
  if (!WebMainForm1) WebMainForm1 = std::make_unique<TWebMainForm1>(owner);
  if (FAILED(hr = AskProjectManagerInterfaces())) return hr;
  if (FAILED(hr = Subscribe(host, self))) return hr;
  if (FAILED(hr = AddMenuBitmap())) return hr;
  if (FAILED(hr = AddCommand(self))) return hr;
  AddHelpEntry(gHost.ifMenu.Get(), WebMainForm1.get());
  return S_OK;
}

// --- removal ------------------------------------------------------------------

// Gives back a held interface with the trace lines of the removal.
template <class T>
void ReleaseTraced(ComPtr<T>& pointer, const char* traceName) {
  if (!pointer) return;
  WriteTraceLog(std::string(traceName) + " - relase");
  pointer.Reset();
  WriteTraceLog(std::string(traceName) + " - relased");
}

void EndSubscription(THostSubscription& subscription) {
  // The point is let go before the call, so that it is given back once
  // whatever the host does.
  ComPtr<IConnectionPoint> point = std::move(subscription.point);
  if (!point) return;
  point->Unadvise(subscription.cookie);
  subscription.cookie = 0;
}

void EndTracedSubscription(THostSubscription& subscription, const char* traceName) {
  if (!subscription.point) return;
  WriteTraceLog(std::string(traceName) + " - relase");
  EndSubscription(subscription);
  WriteTraceLog(std::string(traceName) + " - relased");
}

// Takes the callback out of the communication loop before anything it could
// use is given back.
void LeaveCommLoop() {
  WriteTraceLog("Remove from comm loop - start");
  if (ComPtr<IHalvexCommLoopEx> loop = std::move(gHost.ifCommLoop)) loop->RemoveCallback(&CommLoopCallback);
  WriteTraceLog("Remove from comm loop - end");
}

// The command with its menu item and button and the help entry go with the menu.
void ReleaseMenu() {
  if (!gHost.ifMenu) return;
  WriteTraceLog("ifMenu - relase");
  ComPtr<IQendMenu> menu = std::move(gHost.ifMenu);
  if (gCommandId != 0) {
    menu->RemoveCommand(gCommandId);
    gCommandId = 0;
  }
  gCommandMenuItem = nullptr;
  gCommandButton = nullptr;
  RemoveHelpEntry(WebMainForm1.get());
  menu.Reset();
  WriteTraceLog("ifMenu - relased");
}

// Gives back every host interface and subscription still held, in the
// removal's order.
void ReleaseHostReferences() {
  LeaveCommLoop();
  gHost.ifIECManVariables.Reset();
  ReleaseTraced(gHost.ifHalvexPlcControl, "ifHalvexPlcControl");
  ReleaseTraced(gHost.ifQendVariables, "ifQendVariables");
  ReleaseTraced(gHost.ifHalvexWebTdiMap, "ifHalvexWebTdiMap");
  SetFolderLockWaitNotice(nullptr);
  SetHostMessageHook(nullptr);
  ReleaseTraced(gHost.ifQendMessages, "ifQendMessages");
  ReleaseTraced(gHost.ifQendProject, "ifQendProject");
  ReleaseTraced(gHost.ifHalvexIDE, "ifHalvexIDE");
  ReleaseTraced(gHost.ifHalvexSyncedPlcRead, "ifHalvexSyncedPlcRead");
  ReleaseTraced(gHost.ifQendTextEditor, "ifQendTextEditor");
  ReleaseMenu();
  if (gHost.ifPrjMngr) SetHostProjectManager(nullptr);
  ReleaseTraced(gHost.ifPrjMngr, "ifPrjMngr");
  for (const TTracedSubscription& entry : kTracedSubscriptions)
    EndTracedSubscription(gHost.*entry.subscription, entry.traceName);
  ReleaseTraced(gHost.ifCPC, "ifCPC");
  EndSubscription(gHost.backupEvents);
}

}  // namespace

HRESULT TTarnwellCoClassImpl::InstallPlugin(IUnknown* host, TComponent* owner) {
  WriteTraceLog("InstallPlugin ------------------------------------------------");
  if (host == nullptr) return E_POINTER;
  // The host's reference is given to the installation: it goes back once on
  // every way out.
  const ComPtr<IUnknown> hostReference = ComPtr<IUnknown>::Adopt(host);
  try {
    // A host that installs again without removing first: what the earlier
    // installation holds (all of it, or what it got before it failed) is
    // given back first, so that each pointer holds one reference.
    if (gHost.AnyHeld()) {
      WriteTraceLog("InstallPlugin - releasing the earlier installation");
      ReleaseHostReferences();
    }
    // Each installation may be removed again.
    gRemovalCalls = 0;
    HRESULT hr = InstallSteps(host, owner, OwnUnknown());
    if (FAILED(hr)) return hr;
    WriteTraceLog("InstallPlugin - End");
    return S_OK;
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("InstallError: ") + e.what());
    return ReportPluginException(IID_IQendPlugin, e.what(), DISP_E_EXCEPTION);
  }
}

HRESULT TTarnwellCoClassImpl::UninstallPlugin() {
  if (gRemovalCalls++ != 0) return S_OK;
  try {
    WriteTraceLog("UninstallPlugin");
    ReleaseHostReferences();
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("UninstallPlugin - Error: ") + e.what());
  }
  WriteTraceLog("UninstallPlugin - end");
  return S_OK;
}

std::string LookupHostProjectEntry(const std::string& key) {
  if (!gHost.ifPrjMngr) return {};
  const std::string wanted = UpperCase(key);
  char* list = nullptr;
  HRESULT hr = gHost.ifPrjMngr->GetProjectList(&list);
  std::string text = (SUCCEEDED(hr) && list != nullptr) ? std::string(list) : std::string();
  CoTaskMemFree(list);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    std::size_t bar = line.find('|');
    const std::string name = bar == std::string::npos ? std::string() : UpperCase(line.substr(0, bar));
    if (bar == std::string::npos || name != wanted) continue;
    std::string path = line.substr(bar + 1);
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  }
  return {};
}
