#include "plugin/DesignerLink.h"

#include "core/TraceLog.h"
#include "core/WriteFailureNotice.h"
#include "designer/FormDesign1.h"
#include "hostapi/HostServices.h"
#include "platform/win/WindowMessages.h"
#include "plugin/DesignerHost.h"
#include "plugin/LiveBinding.h"
#include "plugin/PluginState.h"
#include "plugin/WebMainForm.h"

namespace {

// The name the designer's docking state is kept under in the host's desktop.
constexpr const char* kDockingStateName = "FormDesign1";

// A new designer, owned by the component the host gives for the plug-in's
// forms (none when the host gives none: then the plug-in frame frees it).
TFormDesign1* MakeDesigner() {
  TComponent* owner = nullptr;
  if (gHost.ifPrjMngr && FAILED(gHost.ifPrjMngr->GetOwnerComponent(&owner))) owner = nullptr;
  auto* designer = new TFormDesign1(owner, MakePluginDesignerHost());
  WireDesignerLiveView(designer);
  return designer;
}

// Docks the designer into the IDE with the plug-in's picture on its tab.
void InsertIntoIde(TFormDesign1* designer) {
  WriteTraceLog("InsertDockableForm - FormDesign1");
  gHost.ifHalvexIDE->InsertDockableForm(designer);
  gHost.ifHalvexIDE->SetTabImage(designer, WebMainForm1 != nullptr ? WebMainForm1->MenuImageIndex : -1);
}

// Tells a new designer whether the host is online with the PLC; its live view
// follows the communication state from there.
void PostPlcState(TFormDesign1* designer) {
  PostMessage(designer->Handle(), QueryHostApp() ? kMsgDesignerPlcOnline : kMsgDesignerPlcOffline, 0, 0);
}

void RemoveAndDelete(const char* deleteTrace) {
  WriteTraceLog("RemoveDockableForm - FormDesign1");
  if (gHost.ifHalvexIDE) gHost.ifHalvexIDE->RemoveDockableForm(FormDesign1);
  if (deleteTrace != nullptr) WriteTraceLog(deleteTrace);
  // The designer clears FormDesign1 when it goes.
  FreeComponent(FormDesign1);
}

}  // namespace

void OpenDesigner(bool show) {
  if (FormDesign1 != nullptr) return;
  TFormDesign1* designer = MakeDesigner();
  designer->SetVisible(show);
  if (gHost.ifHalvexIDE) {
    InsertIntoIde(designer);
    if (show) gHost.ifHalvexIDE->ShowDockableForm(designer);
  }
  designer->LoadFormPlacement();
  designer->FTreeChangeSuppressed = false;
  PostPlcState(designer);
}

void ShowDesigner() {
  if (FormDesign1 == nullptr) {
    OpenDesigner(true);
    return;
  }
  if (gHost.ifHalvexIDE) gHost.ifHalvexIDE->ShowDockableForm(FormDesign1);
  FormDesign1->LoadFormPlacement();
  if (FormDesign1->WindowState() == wsMinimized) FormDesign1->SetWindowState(wsNormal);
}

void ShowPageOfMessage(const char* source) {
  if (FormDesign1 == nullptr || source == nullptr) return;
  if (FormDesign1->ShowPageOfMessage(source)) ShowDesigner();
}

void RestoreDesigner(DesktopStorage storage) {
  if (FormDesign1 != nullptr) return;
  TFormDesign1* designer = MakeDesigner();
  if (gHost.ifHalvexIDE) {
    InsertIntoIde(designer);
    if (SUCCEEDED(gHost.ifHalvexIDE->RestoreDockingState(designer, storage, kDockingStateName)) &&
        gHost.ifHalvexIDE.Query<IQendOptionsStorageStreams>(IID_IQendOptionsStorageStreams))
      gHost.ifHalvexIDE->RestoreFurtherState(designer, storage);
    // The host restored the docking: the settings file's docking keys stay out.
    designer->FApplyDocking = false;
    designer->LoadFormPlacement();
    designer->FApplyDocking = true;
    designer->FTreeChangeSuppressed = false;
  }
  // A restored designer goes live as an opened one does.
  PostPlcState(designer);
}

void CloseDesigner(const char* deleteTrace) {
  if (FormDesign1 == nullptr) return;
  // What the close writes for the next run (the custom colours) and could
  // not write is lost with it: told once, as an error.
  const TWriteFailureNotice notice(TWriteFailureLoss::kLostWithClose);
  // The designer goes whatever its close query answers: it says so to the
  // user instead of keeping changes it could not save.
  FormDesign1->FCloseForced = true;
  FormDesign1->Close();
  RemoveAndDelete(deleteTrace);
}

void DropDesigner() {
  if (FormDesign1 == nullptr) return;
  const TWriteFailureNotice notice(TWriteFailureLoss::kLostWithClose);
  RemoveAndDelete(nullptr);
}

std::string TakeDesignerCompileFailure() {
  if (FormDesign1 == nullptr || FormDesign1->lastCompile.outcome != TCompileOutcome::kFailed) return std::string();
  std::string error = FormDesign1->lastCompile.error;
  FormDesign1->lastCompile = TCompileResult{};
  // A failure is never told as a success, also without a text.
  return error.empty() ? std::string("the compile failed") : error;
}

std::string DesignerOpenFailure() { return FormDesign1 != nullptr ? FormDesign1->FOpenFailure : std::string(); }

bool QueryHostApp() {
  ComPtr<IQendApp> app = gHost.ifPrjMngr.Query<IQendApp>(IID_IQendApp);
  if (!app) return false;
  std::int16_t online = 0;
  app->IsOnline(&online);
  return online != 0;
}
