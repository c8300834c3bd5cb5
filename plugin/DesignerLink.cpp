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
  ComPtr<IQendApp> app = gHost.ifPrjMngr.Query<IQendApp>(IID_IQendApp);
  if (!app) return false;
  std::int16_t online = 0;
  app->IsOnline(&online);
  return online != 0;
}
