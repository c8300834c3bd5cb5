#include "plugin/PluginState.h"

#include "platform/vcl/Menus.h"
#include "platform/vcl/ToolBar.h"

// FormDesign1 is the designer's own (designer/FormDesign1.cpp): null until a
// designer window is made.
TWebMainForm1* _WebMainForm1 = nullptr;
THostInterfaces gHost;
HostLong gCommandId = 0;
TMenuItem* gCommandMenuItem = nullptr;
TToolButton* gCommandButton = nullptr;
bool gBuilderHost = false;
HostLong gCpmType = -1;
bool gWebTdiMapDisabled = false;
bool gSavedWithDesktop = false;
int gRemovalCalls = 0;

void SetCommandEnabled(bool enabled) {
  // The host's own objects: the tool button first, then the menu item.
  if (gCommandButton != nullptr) gCommandButton->SetEnabled(enabled);
  if (gCommandMenuItem != nullptr) gCommandMenuItem->SetEnabled(enabled);
}
