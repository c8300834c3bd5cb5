#include "plugin/DesignerLink.h"

#include "core/TraceLog.h"
#include "host/api/HostServices.h"
#include "plugin/PluginState.h"

void OpenDesigner(bool) {
  if (FormDesign1 != nullptr) return;
  WriteTraceLog("OpenDesigner - designer not available");
}

void ShowDesigner() {
  if (FormDesign1 == nullptr) OpenDesigner(true);
}

bool QueryHostApp() {
  if (gHost.ifPrjMngr == nullptr) return false;
  IQendApp* app = nullptr;
  if (FAILED(gHost.ifPrjMngr->QueryInterface(IID_IQendApp, reinterpret_cast<void**>(&app))) || app == nullptr)
    return false;
  std::int16_t online = 0;
  app->IsOnline(&online);
  app->Release();
  return online != 0;
}
