#pragma once
// The plug-in frame's process-wide state: the host interfaces obtained at
// installation, the connection points of the six subscriptions, the
// command's ids and items, the CPM value and the flags the host events set.
// Used on the host's user-interface thread (the communication-loop callback
// touches only the live-view record).

#include <cstdint>
#include <memory>
#include <string>

#include "core/ProjectFilePrint.h"
#include "hostapi/CommLoop.h"
#include "hostapi/HostEvents.h"
#include "hostapi/HostMessages.h"
#include "hostapi/HostServices.h"
#include "hostapi/HostVariables.h"
#include "hostapi/IHalvexIDE.h"
#include "hostapi/IIECManVariables.h"
#include "hostapi/IQendMenu.h"
#include "hostapi/IQendProject.h"
#include "hostapi/IQendProjectManager.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ConnectionPoints.h"

class TWebMainForm1;
// The designer window (designer/FormDesign1.h); null while none exists.
class TFormDesign1;
extern TFormDesign1* FormDesign1;

// The hidden main form: made by the first installation, deleted by
// ControledDestruction (empty before and after). When the host's owner
// component frees the form first, the form lets go of this pointer itself.
extern std::unique_ptr<TWebMainForm1> WebMainForm1;

// One subscription to a host event source.
struct THostSubscription {
  ComPtr<IConnectionPoint> point;
  std::uint32_t cookie = 0;
};

// The host interfaces; each is empty or holds one reference.
struct THostInterfaces {
  ComPtr<IQendProjectManager> ifPrjMngr;
  ComPtr<IQendMenu> ifMenu;
  ComPtr<IQendVariables> ifQendVariables;
  ComPtr<IHalvexWebTdiMap> ifHalvexWebTdiMap;
  ComPtr<IQendMessages> ifQendMessages;
  ComPtr<IQendProject> ifQendProject;
  ComPtr<IHalvexSyncedPlcRead> ifHalvexSyncedPlcRead;
  ComPtr<IHalvexCommLoopEx> ifCommLoop;
  ComPtr<IHalvexIDE> ifHalvexIDE;
  ComPtr<IQendTextEditor> ifQendTextEditor;
  ComPtr<IHalvexPlcControl> ifHalvexPlcControl;
  ComPtr<IConnectionPointContainer> ifCPC;
  ComPtr<IIECManVariables> ifIECManVariables;
  // The six event sources, in the order of subscription.
  THostSubscription projectEvents;    // "ifProjectEventCP"
  THostSubscription desktopEvents;    // "g_ulDesktopEventsCookie"
  THostSubscription cpmEvents;        // "ifCpmEventCP"
  THostSubscription commStateEvents;  // "ifCommunEventCP"
  THostSubscription compilerEvents;   // "ifCompilerEventCP"
  THostSubscription backupEvents;

  // True while any interface or subscription is held.
  bool AnyHeld() const;
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
// The error of the web pages' compile that the link event of the host's
// build under way ran; empty when it compiled or did not compile. Set by the
// link event, cleared when a build starts and when it ends; while it is set
// the export's compile driver writes nothing.
extern std::string gBuildCompileError;
// Set with gBuildCompileError when the failed compilation reached the output
// tree: it was changed, so "nothing was written" is not said.
extern bool gBuildCompileLeftOutput;
// The project copy that the link event's compile wrote (empty: none), which
// the export's compile driver of the same build reads; set by the link event,
// taken by the driver.
extern TProjectFilePrint gBuildCompileCopy;
// Set by the link event when the build compiles no web page: the marker
// file it lacks and whether the one-time question is still to come. The
// export tells it once its driver has run, with what the driver wrote
// (TellBuildNotCompiled, LinkCompileHost.h); cleared when a build starts.
struct TBuildNotCompiled {
  bool pending = false;
  std::string marker;
  bool questionPending = false;
};
extern TBuildNotCompiled gBuildNotCompiled;
// Set when the build's compile driver was refused (it ended before it wrote
// anything): the run writes nothing more, so the close leaves the project's
// settings file as it is; cleared when a project opens.
extern bool gBuildDriverRefused;
// Set when the desktop save stored the project; cleared by the close query.
extern bool gSavedWithDesktop;
// Set by the close query, cleared when the project opens or has closed: the
// desktop save in between is the close's, and the close that follows cannot
// wait for changes it could not save.
extern bool gProjectClosing;

// Removal does its work once per installation: the count of removal calls
// since the last installation.
extern int gRemovalCalls;

// Enables or disables the command's menu item and toolbar button when the
// host handed them out.
void SetCommandEnabled(bool enabled);
