// Installation into the host and removal from it.

#include <memory>
#include <string>

#include "core/HostEnvironment.h"
#include "core/TraceLog.h"
#include "platform/com/ResultCodes.h"
#include "platform/com/TaskMem.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/SysUtils.h"
#include "platform/vcl/ToolBar.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Resources.h"
#include "plugin/CommRecord.h"
#include "plugin/HelpEntry.h"
#include "plugin/PluginState.h"
#include "plugin/TarnwellCoClassImpl.h"
#include "plugin/WebMainForm.h"

namespace {

// Asks `source` for `iid` into `target`; a failure shows the installation's
// message box when `withMessage` is set.
template <class T>
HRESULT Ask(IUnknown* source, REFIID iid, T*& target, bool withMessage) {
  void* object = nullptr;
  HRESULT hr = source->QueryInterface(iid, &object);
  if (FAILED(hr) || object == nullptr) {
    if (SUCCEEDED(hr)) hr = E_NOINTERFACE;
    if (withMessage) MessageBox(nullptr, "Error ", "Error", MB_ICONERROR | MB_TOPMOST);
    return hr;
  }
  target = static_cast<T*>(object);
  return S_OK;
}

// Releases a held pointer with the trace lines of the removal.
template <class T>
void ReleaseTraced(T*& pointer, const char* traceName) {
  if (pointer == nullptr) return;
  WriteTraceLog(std::string(traceName) + " - relase");
  T* held = pointer;
  pointer = nullptr;
  held->Release();
  WriteTraceLog(std::string(traceName) + " - relased");
}

void EndSubscription(THostSubscription& subscription, const char* traceName) {
  if (subscription.point == nullptr) return;
  if (traceName != nullptr) WriteTraceLog(std::string(traceName) + " - relase");
  IConnectionPoint* point = subscription.point;
  subscription.point = nullptr;
  point->Unadvise(subscription.cookie);
  subscription.cookie = 0;
  point->Release();
  if (traceName != nullptr) WriteTraceLog(std::string(traceName) + " - relased");
}

// The menu bitmap "BM_TARNWELL" of the library's resources (a bitmap or a
// whole BMP file); raises when it cannot be loaded.
std::unique_ptr<TBitmap> LoadMenuBitmap() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromResourceName(HInstance, "BM_TARNWELL");
  return bitmap;
}

// The installation's steps after the host object's reference was taken over.
HRESULT InstallSteps(IUnknown* host, TComponent* owner, IUnknown* self) {
  HRESULT hr = Ask(host, IID_IQendProjectManager, gHost.ifPrjMngr, true);
  if (FAILED(hr)) return hr;
  SetHostProjectManager(gHost.ifPrjMngr);
  if (FAILED(hr = Ask(host, IID_IQendMenu, gHost.ifMenu, true))) return hr;
  if (FAILED(hr = Ask(host, IID_IQendVariables, gHost.ifQendVariables, true))) return hr;
  // The web variable map is optional: without it the map is not in use.
  if (FAILED(Ask(host, IID_IHalvexWebTdiMap, gHost.ifHalvexWebTdiMap, false))) gHost.ifHalvexWebTdiMap = nullptr;
  if (FAILED(hr = Ask(host, IID_IQendMessages, gHost.ifQendMessages, true))) return hr;
  if (FAILED(hr = Ask(host, IID_IQendProject, gHost.ifQendProject, true))) return hr;
  if (FAILED(hr = Ask(host, IID_IHalvexSyncedPlcRead, gHost.ifHalvexSyncedPlcRead, true))) return hr;

  ResetCommLiveView();

  if (FAILED(hr = Ask(host, IID_IHalvexCommLoopEx, gHost.ifCommLoop, false))) return hr;
  hr = gHost.ifCommLoop->AddCallback(&CommLoopCallback, 88, "Tarnwell");
  if (FAILED(hr)) return hr;

  // One main form for the life of the library: a second installation keeps
  // the one it finds, with its panel list.
  if (_WebMainForm1 == nullptr) _WebMainForm1 = new TWebMainForm1(owner);

  if (FAILED(hr = Ask(gHost.ifPrjMngr, IID_IHalvexIDE, gHost.ifHalvexIDE, false))) return hr;
  if (FAILED(hr = Ask(gHost.ifPrjMngr, IID_IQendTextEditor, gHost.ifQendTextEditor, false))) return hr;
  if (FAILED(hr = Ask(gHost.ifPrjMngr, IID_IHalvexPlcControl, gHost.ifHalvexPlcControl, false))) return hr;

  IQendLanguage* language = nullptr;
  if (SUCCEEDED(Ask(gHost.ifPrjMngr, IID_IQendLanguage, language, false))) {
    HostLong index = 1;
    language->GetLanguageIndex(&index);
    SetLanguageIfChanged(_WebMainForm1, index);
    language->Release();
  }

  if (FAILED(hr = Ask(host, IID_IConnectionPointContainer, gHost.ifCPC, false))) return hr;
  THostSubscription* subscriptions[6] = {&gHost.projectEvents,   &gHost.desktopEvents,  &gHost.cpmEvents,
                                         &gHost.commStateEvents, &gHost.compilerEvents, &gHost.backupEvents};
  const IID* events[6] = {&IID_IQendProjectEvents,    &IID_IQendDesktopEvents,  &IID_IQendCpmEvents,
                          &IID_IHalvexCommStateEvent, &IID_IQendCompilerEvents, &IID_IHalvexOnlinePlcBackupEvent};
  for (int i = 0; i < 6; ++i) {
    hr = gHost.ifCPC->FindConnectionPoint(*events[i], &subscriptions[i]->point);
    if (FAILED(hr) || subscriptions[i]->point == nullptr) {
      subscriptions[i]->point = nullptr;
      return FAILED(hr) ? hr : E_NOINTERFACE;
    }
  }
  IUnknown* sink = nullptr;
  self->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&sink));
  for (int i = 0; i < 6; ++i) {
    hr = subscriptions[i]->point->Advise(sink, &subscriptions[i]->cookie);
    if (FAILED(hr)) {
      sink->Release();
      return hr;
    }
  }
  sink->Release();

  {
    // The host copies the bitmap during the call; ours goes at once.
    std::unique_ptr<TBitmap> bitmap = LoadMenuBitmap();
    HostLong imageIndex = -1;
    hr = gHost.ifMenu->AddBitmap(reinterpret_cast<HBITMAP>(bitmap.get()), &imageIndex);
    _WebMainForm1->MenuImageIndex = imageIndex;
    if (FAILED(hr)) return hr;
  }

  self->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&sink));
  hr = gHost.ifMenu->RegisterCommand("Tarnwell", "Tarnwell", 0, _WebMainForm1->MenuImageIndex, sink, VARIANT_FALSE,
                                     &gCommandId);
  sink->Release();
  if (FAILED(hr)) return hr;

  gCommandMenuItem = nullptr;
  hr = gHost.ifMenu->PlaceInMenu(gCommandId, 8, 0, VARIANT_FALSE, &gCommandMenuItem);
  if (FAILED(hr)) return hr;
  _WebMainForm1->WatchHostObject(gCommandMenuItem);
  // Enabled when the host reports a CPU type that supports web pages.
  if (gCommandMenuItem != nullptr) gCommandMenuItem->SetEnabled(false);
  gCommandButton = nullptr;
  if (!gBuilderHost) {
    hr = gHost.ifMenu->PlaceOnToolbar(gCommandId, 0, VARIANT_FALSE, &gCommandButton);
    if (FAILED(hr)) return hr;
    _WebMainForm1->WatchHostObject(gCommandButton);
    if (gCommandButton != nullptr) gCommandButton->SetEnabled(false);
  }

  // A help entry of an earlier installation goes before the new one comes.
  RemoveHelpEntry(_WebMainForm1);
  AddHelpEntry(gHost.ifMenu, _WebMainForm1);
  return S_OK;
}

}  // namespace

HRESULT TTarnwellCoClassImpl::InstallPlugin(IUnknown* host, TComponent* owner) {
  WriteTraceLog("InstallPlugin ------------------------------------------------");
  if (host == nullptr) return E_POINTER;
  // Each installation may be removed again.
  gRemovalCalls = 0;
  try {
    HRESULT hr = InstallSteps(host, owner, OwnUnknown());
    // The host's reference is given to the installation: it is released once
    // on every way out.
    host->Release();
    if (FAILED(hr)) return hr;
    WriteTraceLog("InstallPlugin - End");
    return S_OK;
  } catch (const Exception& e) {
    host->Release();
    WriteTraceLog(std::string("InstallError: ") + e.Message());
    return ReportPluginException(IID_IQendPlugin, e.Message().c_str(), DISP_E_EXCEPTION);
  } catch (const std::exception& e) {
    host->Release();
    WriteTraceLog(std::string("InstallError: ") + e.what());
    return ReportPluginException(IID_IQendPlugin, e.what(), DISP_E_EXCEPTION);
  }
}

HRESULT TTarnwellCoClassImpl::UninstallPlugin() {
  if (gRemovalCalls++ != 0) return S_OK;
  try {
    WriteTraceLog("UninstallPlugin");
    WriteTraceLog("Remove from comm loop - start");
    if (gHost.ifCommLoop != nullptr) {
      gHost.ifCommLoop->RemoveCallback(&CommLoopCallback);
      IHalvexCommLoopEx* loop = gHost.ifCommLoop;
      gHost.ifCommLoop = nullptr;
      loop->Release();
    }
    WriteTraceLog("Remove from comm loop - end");
    if (gHost.ifIECManVariables != nullptr) {
      IIECManVariables* manager = gHost.ifIECManVariables;
      gHost.ifIECManVariables = nullptr;
      manager->Release();
    }
    ReleaseTraced(gHost.ifHalvexPlcControl, "ifHalvexPlcControl");
    ReleaseTraced(gHost.ifQendVariables, "ifQendVariables");
    ReleaseTraced(gHost.ifHalvexWebTdiMap, "ifHalvexWebTdiMap");
    ReleaseTraced(gHost.ifQendMessages, "ifQendMessages");
    ReleaseTraced(gHost.ifQendProject, "ifQendProject");
    ReleaseTraced(gHost.ifHalvexIDE, "ifHalvexIDE");
    ReleaseTraced(gHost.ifHalvexSyncedPlcRead, "ifHalvexSyncedPlcRead");
    ReleaseTraced(gHost.ifQendTextEditor, "ifQendTextEditor");
    if (gHost.ifMenu != nullptr) {
      WriteTraceLog("ifMenu - relase");
      if (gCommandId != 0) {
        gHost.ifMenu->RemoveCommand(gCommandId);
        gCommandId = 0;
      }
      gCommandMenuItem = nullptr;
      gCommandButton = nullptr;
      // The help entry leaves the host's help menu with the command.
      RemoveHelpEntry(_WebMainForm1);
      IQendMenu* menu = gHost.ifMenu;
      gHost.ifMenu = nullptr;
      menu->Release();
      WriteTraceLog("ifMenu - relased");
    }
    if (gHost.ifPrjMngr != nullptr) SetHostProjectManager(nullptr);
    ReleaseTraced(gHost.ifPrjMngr, "ifPrjMngr");
    EndSubscription(gHost.projectEvents, "ifProjectEventCP");
    EndSubscription(gHost.desktopEvents, "g_ulDesktopEventsCookie");
    EndSubscription(gHost.commStateEvents, "ifCommunEventCP");
    EndSubscription(gHost.cpmEvents, "ifCpmEventCP");
    EndSubscription(gHost.compilerEvents, "ifCompilerEventCP");
    ReleaseTraced(gHost.ifCPC, "ifCPC");
    EndSubscription(gHost.backupEvents, nullptr);
  } catch (const Exception& e) {
    WriteTraceLog(std::string("UninstallPlugin - Error: ") + e.Message());
  } catch (const std::exception& e) {
    WriteTraceLog(std::string("UninstallPlugin - Error: ") + e.what());
  }
  WriteTraceLog("UninstallPlugin - end");
  return S_OK;
}

std::string LookupHostProjectEntry(const std::string& key) {
  if (gHost.ifPrjMngr == nullptr) return {};
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
