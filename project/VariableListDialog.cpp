#include "project/VariableListDialog.h"

#include <algorithm>

#include "core/FormPlacement.h"
#include "core/ProjectLocation.h"
#include "core/TraceLog.h"
#include "core/WriteFailureNotice.h"
#include "grid/GridWebElement.h"
#include "grid/VariableInfo.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/SysUtils.h"
#include "project/DialogControls.h"
#include "properties/DesignerContext.h"

namespace {

// The edge margin: a stored top or left this close to the screen's far edge
// (or beyond it) would leave the dialog out of reach.
constexpr int kScreenMargin = 32;

}  // namespace

std::string DialogSettingsFile(TDesignerContext* designer) {
  if (designer == nullptr) return {};
  const std::string file = LoadFileNames(designer->ProjectLocation()).settingsFile;
  WriteTraceLog(file);
  return file;
}

void ReadVariableDialogPlacement(const std::string& section, TCustomForm& form, TDesignerContext* designer) {
  const std::string file = DialogSettingsFile(designer);
  if (file.empty()) return;
  try {
    const TIniFile ini(file);
    form.SetHeight(ini.ReadInteger(section, "Height", form.Height()));
    form.SetWidth(ini.ReadInteger(section, "Width", form.Width()));
    const int centredTop = (Screen->Height() - form.Height()) / 2;
    const int centredLeft = (Screen->Width() - form.Width()) / 2;
    int top = ini.ReadInteger(section, "Top", centredTop);
    int left = ini.ReadInteger(section, "Left", centredLeft);
    if (top > Screen->Height() - kScreenMargin) top = centredTop;
    if (left > Screen->Width() - kScreenMargin) left = centredLeft;
    form.SetTop(top);
    form.SetLeft(left);
  } catch (const EIniFileException& e) {
    WriteTraceLog("ReadVariableDialogPlacement - " + e.Message());
  }
}

void WriteVariableDialogPlacement(const std::string& section, TCustomForm& form, TDesignerContext* designer) {
  const std::string file = DialogSettingsFile(designer);
  if (file.empty()) return;
  WriteSettings([&] {
    TIniFile ini(file);
    SaveFormPlacement(section, &form, &ini);
  });
}

int LastVisibleRow(TListView& list) {
  if (list.Items()->Count() == 0) return 0;
  return list.TopIndex() + list.VisibleRowCount() - 1;
}

void ShowRow(TListView& list, int row) {
  const int count = list.Items()->Count();
  if (count == 0) return;
  list.Items()->Item(std::clamp(row, 0, count - 1))->MakeVisible();
}

int EditInteger(const TEdit& edit) { return StrToIntDef(edit.Text(), 0); }

void AddOkCancelButtons(TCustomForm& form, TButton*& ok, TButton*& cancel) {
  ok = AddControl<TButton>(&form, &form, "Button1", {0, 0, 75, 25});
  ok->ModalResult = mrOk;
  ok->SetDefault(true);
  cancel = AddControl<TButton>(&form, &form, "Button2", {0, 0, 75, 25});
  cancel->ModalResult = mrCancel;
  cancel->Cancel = true;
}

void PlaceVariableDialog(TCustomForm& form, TButton& ok, TButton& cancel, TListView& list, int buttonsUp, int listTop,
                         int listShorter) {
  ok.SetBounds(form.Width() - 179, form.Height() - buttonsUp, ok.Width(), ok.Height());
  cancel.SetBounds(form.Width() - 99, form.Height() - buttonsUp, cancel.Width(), cancel.Height());
  list.SetBounds(list.Left(), listTop, form.Width() - 29, form.Height() - listShorter);
}

void SetVariableReference(TGridWebElement& object, bool visibility, const std::string& reference) {
  if (visibility) {
    object.SetVisVariable(reference);
    LookUpGridVariable(object.GetResolvedVisVariable(), object.FVisInfo);
  } else {
    object.SetVariable(reference);
    LookUpGridVariable(object.GetResolvedVariable(), object.FVarInfo);
  }
}
