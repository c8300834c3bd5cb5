#pragma once
// The plug-in frame's process-wide state: the host interfaces obtained at
// installation, the connection points of the six subscriptions, the
// command's ids and items, the CPM value and the flags the host events set.
// Used on the host's user-interface thread (the communication-loop callback
// touches only the live-view record).

#include <cstdint>

#include "host/api/CommLoop.h"
#include "host/api/HostEvents.h"
#include "host/api/HostMessages.h"
#include "host/api/HostServices.h"
#include "host/api/HostVariables.h"
#include "host/api/IHalvexIDE.h"
#include "host/api/IIECManVariables.h"
#include "host/api/IQendMenu.h"
#include "host/api/IQendProject.h"
#include "host/api/IQendProjectManager.h"
#include "platform/com/ConnectionPoints.h"

class TWebMainForm1;
// The designer window (designer/FormDesign1.h); null while none exists.
class TFormDesign1;
extern TFormDesign1* FormDesign1;

// The hidden main form (null before the first installation and after
// ControledDestruction).
extern TWebMainForm1* _WebMainForm1;

// One subscription to a host event source.
struct THostSubscription {
  IConnectionPoint* point = nullptr;
  std::uint32_t cookie = 0;
};

// The host interfaces; each is null or holds one reference.
struct THostInterfaces {
  IQendProjectManager* ifPrjMngr = nullptr;
  IQendMenu* ifMenu = nullptr;
  IQendVariables* ifQendVariables = nullptr;
  IHalvexWebTdiMap* ifHalvexWebTdiMap = nullptr;
  IQendMessages* ifQendMessages = nullptr;
  IQendProject* ifQendProject = nullptr;
  IHalvexSyncedPlcRead* ifHalvexSyncedPlcRead = nullptr;
  IHalvexCommLoopEx* ifCommLoop = nullptr;
  IHalvexIDE* ifHalvexIDE = nullptr;
  IQendTextEditor* ifQendTextEditor = nullptr;
  IHalvexPlcControl* ifHalvexPlcControl = nullptr;
  IConnectionPointContainer* ifCPC = nullptr;
  IIECManVariables* ifIECManVariables = nullptr;
  // The six event sources, in the order of subscription.
  THostSubscription projectEvents;    // "ifProjectEventCP"
  THostSubscription desktopEvents;    // "g_ulDesktopEventsCookie"
  THostSubscription cpmEvents;        // "ifCpmEventCP"
  THostSubscription commStateEvents;  // "ifCommunEventCP"
  THostSubscription compilerEvents;   // "ifCompilerEventCP"
  THostSubscription backupEvents;
};
extern THostInterfaces gHost;

// The plug-in's command in the host: its id (0 = none), the host's menu item
// and toolbar button (or null).
extern HostLong gCommandId;
extern TMenuItem* gCommandMenuItem;
extern TToolButton* gCommandButton;

// True when the host installed the plug-in through IHalvexBuilderPlugin
// (never cleared).
extern bool gBuilderHost;
// The CPU type the host reported last; -1 until then.
extern HostLong gCpmType;
// Set at project open when the project's web folder holds "disable.tdi".
extern bool gWebTdiMapDisabled;
// Set when the desktop save stored the project; cleared by the close query.
extern bool gSavedWithDesktop;

// Removal does its work once per installation: the count of removal calls
// since the last installation.
extern int gRemovalCalls;

// Enables or disables the command's menu item and toolbar button when the
// host handed them out.
void SetCommandEnabled(bool enabled);
