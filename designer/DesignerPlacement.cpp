// TFormDesign1: where the window stands. The docking state (dock position,
// stay-on-top, can-dock) lives in the host IDE and is kept, with the size and
// position of a floating window and the width of the left panel, in the
// project's settings file, section "FormDesign1". The left panel can be
// collapsed to nothing and shown again. The colour dialog's custom colours
// come from the registry when the window is made.

#include <string>

#include "core/FormPlacement.h"
#include "core/TraceLog.h"
#include "designer/CustomColors.h"
#include "designer/FormDesign1.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/IniFiles.h"

namespace {

// The section of the settings file: the window's component name.
constexpr const char* kSection = "FormDesign1";
constexpr const char* kDockPosKey = "DockPos";
constexpr const char* kStayOnTopKey = "StayOnTop";
constexpr const char* kCanDockKey = "CanDock";
constexpr const char* kLeftPanelKey = "LeftPanel";
// Without a stored dock position the window docks at the IDE's first one.
constexpr int kDefaultDockPos = 1;
// The splitter stands here before the alignment puts it beside the panel,
// which keeps it right of a collapsed panel.
constexpr int kSplitterLeft = 10;
// A panel narrower than this counts as collapsed; a collapsed one keeps this
// width less one, so that the splitter still finds it.
constexpr int kCollapsedWidth = 2;
constexpr int kShownPanelWidth = 145;

// The settings file of the open project; empty when there is none.
std::string SettingsFileOf(TDesignerHost& host) { return LoadFileNames(host.ProjectLocation()).settingsFile; }

// The docking keys: the dock position in the IDE (or, floating, the size and
// position on the screen), then the stay-on-top and can-dock states.
void ApplyDocking(TFormDesign1& form, TIniFile& ini) {
  const int dockPos = ini.ReadInteger(kSection, kDockPosKey, kDefaultDockPos);
  const bool stayOnTop = ini.ReadBool(kSection, kStayOnTopKey, false);
  const bool canDock = ini.ReadBool(kSection, kCanDockKey, false);
  ComPtr<IHalvexIDE> ide = form.Host().Ide();
  if (dockPos > 0) {
    if (ComPtr<IQendWindows> windows = ide.Query<IQendWindows>(IID_IQendWindows))
      windows->SetDockPosition(dockPos, &form);
  } else {
    PlaceFormAtCursor(kSection, &form, &ini);
  }
  if (!ide) return;
  ide->SetStayOnTop(&form, ToVariantBool(stayOnTop));
  ide->SetCanDock(&form, ToVariantBool(canDock));
}

// The docking keys as the IDE holds them now; a state the IDE does not give
// is not written.
void StoreDocking(TFormDesign1& form, const ComPtr<IHalvexIDE>& ide, TIniFile& ini) {
  HostLong position = 0;
  if (ComPtr<IQendWindows> windows = ide.Query<IQendWindows>(IID_IQendWindows))
    if (SUCCEEDED(windows->GetDockPosition(&form, &position))) ini.WriteInteger(kSection, kDockPosKey, position);
  VARIANT_BOOL state = VARIANT_FALSE;
  if (SUCCEEDED(ide->GetStayOnTop(&form, &state))) ini.WriteBool(kSection, kStayOnTopKey, state != VARIANT_FALSE);
  state = VARIANT_FALSE;
  if (SUCCEEDED(ide->GetCanDock(&form, &state))) ini.WriteBool(kSection, kCanDockKey, state != VARIANT_FALSE);
}

}  // namespace

void TFormDesign1::LoadFormPlacement() {
  const std::string settingsFile = SettingsFileOf(*host_);
  WriteTraceLog(settingsFile);
  if (settingsFile.empty()) return;
  TIniFile ini(settingsFile);
  if (FApplyDocking) ApplyDocking(*this, ini);
  // A width below nothing counts as nothing.
  const int width = ini.ReadInteger(kSection, kLeftPanelKey, pnlLeft->Width());
  pnlLeft->SetWidth(width > 0 ? width : 0);
  if (pnlLeft->Width() == 0) {
    pnlLeft->SetWidth(kCollapsedWidth - 1);
    Splitter1->SetLeft(kSplitterLeft);
  }
  Splitter1Moved(Splitter1);
}

void TFormDesign1::SaveFormPlacement() {
  ComPtr<IHalvexIDE> ide = host_->Ide();
  if (!ide) return;
  const std::string settingsFile = SettingsFileOf(*host_);
  WriteTraceLog(settingsFile);
  if (settingsFile.empty()) return;
  try {
    TIniFile ini(settingsFile);
    StoreDocking(*this, ide, ini);
    ::SaveFormPlacement(kSection, this, &ini);
    ini.WriteInteger(kSection, kLeftPanelKey, pnlLeft->Width());
  } catch (const EIniFileException& e) {
    // A settings file that cannot be written keeps the placement of before.
    WriteTraceLog("SaveFormPlacement - " + e.Message());
  }
}

void TFormDesign1::Splitter1Moved(TObject*) {
  Splitter1->SetLeft(kSplitterLeft);
  btnShowPanel1->SetVisible(pnlLeft->Width() < kCollapsedWidth);
  btnShowPanel2->SetVisible(btnShowPanel1->Visible());
}

void TFormDesign1::btnShowPanel1Click(TObject*) {
  // The platform's splitter keeps no size of its own to restore; the panel's
  // width is all there is to set.
  pnlLeft->SetWidth(kShownPanelWidth);
  btnShowPanel1->SetVisible(false);
  btnShowPanel2->SetVisible(false);
}

void TFormDesign1::FormCreate(TObject*) {
  const std::string failure = LoadCustomColors(*ColorDialog1->CustomColors());
  if (!failure.empty()) WriteTraceLog("FormCreate - " + failure);
}

void TFormDesign1::FormActivate(TObject*) { ApplyLanguageTexts(); }

void TFormDesign1::FormDeactivate(TObject*) {}

// While the window is dragged to another dock, the page tree's selection
// changes that the move causes are not page changes.
void TFormDesign1::FormStartDock(TObject*, TDragDockObject*&) { FTreeChangeSuppressed = true; }

void TFormDesign1::FormEndDock(TObject*, TObject*, int, int) { FTreeChangeSuppressed = false; }

void TFormDesign1::ColorDialog1Close(TObject*) {}

void TFormDesign1::ColorDialog1Show(TObject*) {}
