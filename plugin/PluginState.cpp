#include "plugin/PluginState.h"

#include "plugin/WebMainForm.h"

#include "platform/vcl/Menus.h"
#include "platform/vcl/ToolBar.h"

// FormDesign1 is the designer's own (designer/FormDesign1.cpp): null until a
// designer window is made.
std::unique_ptr<TWebMainForm1> WebMainForm1;
THostInterfaces gHost;
HostLong gCommandId = 0;
TMenuItem* gCommandMenuItem = nullptr;
TToolButton* gCommandButton = nullptr;
bool gBuilderHost = false;
HostLong gCpmType = -1;
bool gWebTdiMapDisabled = false;
std::string gBuildCompileError;
bool gBuildCompileLeftOutput = false;
TProjectFilePrint gBuildCompileCopy;
TBuildNotCompiled gBuildNotCompiled;
bool gBuildDriverRefused = false;
bool gSavedWithDesktop = false;
bool gProjectClosing = false;
int gRemovalCalls = 0;

bool THostInterfaces::AnyHeld() const {
  const bool interfaceHeld = ifPrjMngr || ifMenu || ifQendVariables || ifHalvexWebTdiMap || ifQendMessages ||
                             ifQendProject || ifHalvexSyncedPlcRead || ifCommLoop || ifHalvexIDE || ifQendTextEditor ||
                             ifHalvexPlcControl || ifCPC || ifIECManVariables;
  const bool subscribed = projectEvents.point || desktopEvents.point || cpmEvents.point || commStateEvents.point ||
                          compilerEvents.point || backupEvents.point;
  return interfaceHeld || subscribed;
}

void SetCommandEnabled(bool enabled) {
  // The host's own objects: the tool button first, then the menu item.
  if (gCommandButton != nullptr) gCommandButton->SetEnabled(enabled);
  if (gCommandMenuItem != nullptr) gCommandMenuItem->SetEnabled(enabled);
}
