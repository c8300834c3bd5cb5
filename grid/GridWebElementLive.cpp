// TGridWebElement: the mouse in design mode (moving and resizing on the
// grid, taking over dropped variables) and in the live view (in-place
// editors, buttons and images that write values, the file upload, links).

#include <algorithm>
#include <string>

#include "core/TraceLog.h"
#include "grid/GridWebElement.h"
#include "grid/TransferStart.h"
#include "grid/VariableInfo.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/OpenDialog.h"
#include "platform/vcl/Screen.h"
#include "platform/vcl/Timer.h"
#include "platform/vcl/WinControl.h"

namespace {

constexpr double kFixedDigitFactor = 0.615;
constexpr int kFixedExtra = 6;
constexpr int kMeasuredExtra = 10;
constexpr int kButtonExtra = 6;
constexpr std::size_t kDisplayTextLimit = 255;
constexpr char kEnter = 13;
constexpr char kEscape = 27;

// The colour of an in-place editor: the object's back colour, or the UI's
// window colour when the object has none (-1) or the value is no colour.
TColor EditorColour(int back) { return back >= 0 && back <= 0xFFFFFF ? static_cast<TColor>(back) : clWindow; }

std::string NamePart(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

// --- committing values ---------------------------------------------------------

void TGridWebElement::CommitPending() {
  if (!FPending) return;
  ParseValue(FPendingText);
  FPending = false;
  FWritten = true;
}

void TGridWebElement::CommitValue() {
  ParseValue(FValue);
  FWritten = true;
}

void TGridWebElement::CommitAll() {
  TWinControl* surface = Parent();
  if (surface == nullptr) return;
  for (int i = 0; i < surface->ComponentCount(); ++i) {
    auto* element = dynamic_cast<TGridWebElement*>(surface->Components(i));
    if (element == nullptr) continue;
    if (element->FKind == wkEdit || element->FKind == wkDropDown)
      element->CommitPending();
    else if (element->FKind == wkSubmit && element->FVarValid)
      element->CommitValue();
  }
}

// --- the in-place editors --------------------------------------------------------

int TGridWebElement::LiveTextWidth() {
  if (FGlobalData != nullptr && FGlobalData->MeasuredFonts) return Canvas()->TextWidth("0") * FSize + kMeasuredExtra;
  return static_cast<int>(FFontSize * kFixedDigitFactor * FSize + kFixedExtra);
}

void TGridWebElement::EditorKeyPress(TObject*, char& key) {
  if (key == kEnter) {
    FEditor->Tag = 2;
    if (FEditor->Visible()) {
      EditorExit(FEditor);
      CommitAll();
    }
    key = 0;
  } else if (key == kEscape) {
    FEditor->Tag = 0;
    EditorExit(FEditor);
    key = 0;
  }
}

void TGridWebElement::OpenEditor() {
  auto* editor = dynamic_cast<TEdit*>(FEditor);
  if (editor == nullptr) {
    editor = new TEdit(this);
    editor->SetVisible(false);
    editor->SetParent(Parent());
    editor->SetPopupMenu(FEditPopup);
    editor->OnExit = {this, &TGridWebElement::EditorExit};
    editor->OnKeyPress = {this, &TGridWebElement::EditorKeyPress};
    editor->OnKeyDown = {static_cast<TGridGraphic*>(this), &TGridGraphic::EditorKeyDown};
    FEditor = editor;
  }
  editor->SetFont(*Canvas()->Font);
  editor->SetTop(Top() + FPadY);
  editor->SetLeft(Left() + FPadX);
  int width = Width() + 4 - FPadX;
  if (FKind == wkEditLocal) width -= FFontSize + kButtonExtra;
  editor->SetWidth(width);
  editor->SetText(FormatValue());
  editor->Tag = 1;
  if (!editor->Visible()) {
    editor->Show();
    editor->SetHeight(Height());
    editor->SetColor(EditorColour(FBackColor));
  }
}

void TGridWebElement::OpenComboBox() {
  if (FComboBox == nullptr) {
    FComboBox = new TComboBox(this);
    FComboBox->SetVisible(false);
    FComboBox->SetParent(Parent());
    FComboBox->OnExit = {this, &TGridWebElement::ComboExit};
    FComboBox->OnChange = {this, &TGridWebElement::ComboExit};
  }
  FComboBox->SetFont(*Canvas()->Font);
  FComboBox->SetTop(Top() + FPadY);
  FComboBox->SetLeft(Left() + FPadX);
  FComboBox->SetWidth(Width() + 4 - FPadX);
  FComboBox->SetText(FormatValue());
  FComboBox->Tag = FGlobal ? 1 : 2;
  FOptions.FillStrings(FComboBox);
  FComboBox->DropDownCount = FOptions.Count();
  FComboBox->SetItemIndex(FOptions.IndexOf(FormatValue()));
  if (!FComboBox->Visible()) {
    FComboBox->Show();
    FComboBox->SetHeight(Height());
    FComboBox->SetColor(EditorColour(FBackColor));
    FComboBox->SetDroppedDown(true);
  }
}

// --- the upload -------------------------------------------------------------------

void TGridWebElement::StartUploadFromDialog() {
  auto* upload = static_cast<TPostFile*>(FUploadState);
  if (upload == nullptr || upload->state.load(std::memory_order_acquire) != 0) return;
  TOpenDialog dialog(this);
  dialog.Options = ofHideReadOnly | ofFileMustExist | ofEnableSizing;
  if (!dialog.Execute()) return;
  const std::string plcPath = UploadPlcPath(NamePart(dialog.FileName));
  if (plcPath.empty()) return;
  // The window of an earlier upload cancels the shared record when it closes.
  if (gGridCloseUploadProgress != nullptr) gGridCloseUploadProgress();
  if (!PrepareUpload(*upload, dialog.FileName, plcPath, &FWritten)) return;
  std::string display = plcPath.substr(2) + " : " + NamePart(dialog.FileName);
  display.resize(std::min(display.size(), kDisplayTextLimit));
  std::fill(std::begin(FWriteBuf), std::end(FWriteBuf), 0);
  std::copy(display.begin(), display.end(), FWriteBuf);
  PublishUpload(*upload, gGridShowUploadProgress != nullptr ? gGridShowUploadProgress(*upload) : nullptr);
}

// --- the mouse ----------------------------------------------------------------------

void TGridWebElement::LiveMouseDown(TMouseButton button, int x) {
  if (!FVarValid) {
    if (button == mbLeft && FKind == wkSubmit) CommitAll();
    return;
  }
  if (FReadOnly) {
    if ((FKind == wkEdit || FKind == wkEditLocal) && FEditPopup != nullptr) PopUpReadOnlyMenu();
    return;
  }
  if (button != mbLeft) return;
  switch (FKind) {
    case wkEdit:
    case wkEditLocal:
      if (FKind == wkEditLocal && x > LiveTextWidth() + FPadX) return CommitPending();
      return OpenEditor();
    case wkImage:
      ParseValue(IsValueNonZero() ? "0" : "1");
      FWritten = true;
      return;
    case wkSubmit: return CommitAll();
    case wkBlock:
      if (!FDynamic && !FVariable.empty()) CommitValue();
      return;
    case wkPostFile: return StartUploadFromDialog();
    case wkImageBtn:
      CommitValue();
      if (FTimer != nullptr) FTimer->SetEnabled(true);
      Repaint();
      return;
    case wkDropDown: return OpenComboBox();
    default: return;
  }
}

// A read-only edit offers only the items of its menu that work on a text it
// cannot change.
void TGridWebElement::PopUpReadOnlyMenu() {
  TMenuItem* items = FEditPopup->Items();
  for (int i = 0; i < items->Count(); ++i) items->Items(i)->SetEnabled(items->Items(i)->Tag != 0);
  FEditPopup->PopupComponent = this;
  const TPoint at = ClientToScreen({FDownX, FDownY});
  FEditPopup->Popup(at.x, at.y);
  for (int i = 0; i < items->Count(); ++i) items->Items(i)->SetEnabled(true);
}

TCursor TGridWebElement::LiveCursor(int x) const {
  const bool link = !FHref.empty();
  switch (FKind) {
    case wkSubmit:
      if (!FReadOnly) return crHandPoint;
      break;
    case wkImage:
    case wkImageBtn:
      if (!FReadOnly || link) return crHandPoint;
      break;
    case wkLabel:
    case wkPicture:
    case wkMultiImage:
      if (link) return crHandPoint;
      break;
    case wkEditLocal:
      if (!FReadOnly && x > Width() - FFontSize - kButtonExtra) return crHandPoint;
      break;
    case wkBlock:
      if (!FDynamic && !FVariable.empty()) return crHandPoint;
      break;
    default: break;
  }
  if ((FKind == wkEdit || FKind == wkEditLocal) && !FReadOnly) return crIBeam;
  return crArrow;
}
