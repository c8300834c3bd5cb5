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

constexpr int kHandle = 8;
constexpr TCursor kCursorMove = 4128;
constexpr TCursor kCursorHorizontal = 4129;
constexpr TCursor kCursorVertical = 4130;
constexpr TCursor kCursorBoth = 4134;
constexpr double kFixedDigitFactor = 0.615;
constexpr int kFixedExtra = 6;
constexpr int kMeasuredExtra = 10;
constexpr int kButtonExtra = 6;
constexpr int kSubmitMinExtraX = 24;
constexpr int kSubmitMinExtraY = 12;
constexpr std::size_t kDisplayTextLimit = 255;
constexpr char kEnter = 13;
constexpr char kEscape = 27;

bool Resizable(int kind) {
  return kind == wkSubmit || kind == wkCamera || kind == wkBlock || kind == wkStrImg || kind == wkCanvas ||
         kind == wkIFrame;
}

int Step(const int* grid) { return grid != nullptr && *grid > 0 ? *grid : 1; }

// The handle under (x, y): bit 0 right, bit 1 bottom.
int HandleAt(int x, int y, int w, int h) {
  int handle = 0;
  if (y > h - kHandle && (w - kHandle) / 2 < x && x < (w + kHandle) / 2) handle |= 2;
  if (x > w - kHandle && (h - kHandle) / 2 < y && y < (h + kHandle) / 2) handle |= 1;
  if (x > w - kHandle && y > h - kHandle) handle = 3;
  return handle;
}

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
    editor->SetColor(static_cast<TColor>(FBackColor));
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
    FComboBox->SetColor(static_cast<TColor>(FBackColor));
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

void TGridWebElement::DesignMouseDown(TMouseButton button, int x, int y) {
  if (button != mbLeft || IsGroupLocked()) return;
  if (Resizable(FKind)) {
    const int handle = HandleAt(x, y, Width(), Height());
    FSizingX = (handle & 1) != 0;
    FSizingY = (handle & 2) != 0;
  }
  if (!FSizingX && !FSizingY) {
    Screen->SetCursor(kCursorMove);
    FMovePending = true;
    FMoving = true;
  } else {
    FSizePending = true;
  }
}

void TGridWebElement::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGridGraphic::MouseDown(button, shift, x, y);
  FDownX = x;
  FDownY = y;
  if (!FDblClicked && !FIgnoreMouseDown) {
    if (!IsLive())
      DesignMouseDown(button, x, y);
    else
      LiveMouseDown(button, x);
  }
  for (TControl* editor : {FEditor, static_cast<TControl*>(FComboBox)})
    if (auto* control = dynamic_cast<TWinControl*>(editor); control != nullptr && control->Visible())
      control->SetFocus();
  FIgnoreMouseDown = false;
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

void TGridWebElement::TakeDroppedVariable(TShiftState shift) {
  if (FDroppedVariable.empty()) return;
  if ((shift & ssCtrl) != 0) {
    FVisVariable = FDroppedVariable;
    LookUpGridVariable(GetResolvedVisVariable(), FVisInfo);
  } else {
    SetVariable(FDroppedVariable);
    LookUpGridVariable(GetResolvedVariable(), FVarInfo);
  }
  FDroppedVariable.clear();
}

void TGridWebElement::DragMove(TShiftState shift, int x, int y) {
  if (!FMoving || (shift & ssShift) != 0) return;
  const int gx = Step(FGridX), gy = Step(FGridY);
  int dx = ((x - FDownX) / FUnitPixels) / gx;
  int dy = ((y - FDownY) / FUnitPixels) / gy;
  if (dx == 0 && dy == 0) return;
  if (FMovePending) {
    FMovePending = false;
    if (FOnBeforeMove) FOnBeforeMove(this);
  }
  if (FPosX + dx * gx < 0) dx = 0;
  if (FPosY + dy * gy < 0) dy = 0;
  if (MoreThanOneSelected())
    MoveSelected(dx * gx, dy * gy);
  else
    SetPosition(FPosX + dx * gx, FPosY + dy * gy);
}

int TGridWebElement::SnappedSize(int mouse, int least, int step) const {
  const int size = std::max(mouse, least);
  return ((size / FUnitPixels + step - 1) / step) * step * FUnitPixels;
}

void TGridWebElement::DragResize(int x, int y) {
  if (!Resizable(FKind)) return;
  int w = Width(), h = Height();
  if (FSizingX)
    w = SnappedSize(x, (FKind == wkSubmit ? Canvas()->TextWidth(FCaption) + kSubmitMinExtraX : 1) + FPadX,
                    Step(FGridX));
  if (FSizingY)
    h = SnappedSize(y, (FKind == wkSubmit ? Canvas()->TextHeight(FCaption) + kSubmitMinExtraY : 1) + FPadY,
                    Step(FGridY));
  if (w == Width() && h == Height()) return;
  if (FSizePending) {
    FSizePending = false;
    if (FOnBeforeResize) FOnBeforeResize(this);
  }
  SetBounds(Left(), Top(), w, h);
  FContentWidth = Width();
  FContentHeight = Height();
}

void TGridWebElement::MouseMove(TShiftState shift, int x, int y) {
  if (IsLive()) {
    SetCursor(LiveCursor(x));
  } else {
    TakeDroppedVariable(shift);
    if (Resizable(FKind)) {
      static constexpr TCursor kHandleCursors[4] = {crArrow, kCursorHorizontal, kCursorVertical, kCursorBoth};
      SetCursor(kHandleCursors[HandleAt(x, y, Width(), Height())]);
    }
    DragMove(shift, x, y);
    DragResize(x, y);
  }
  TGridGraphic::MouseMove(shift, x, y);
}

void TGridWebElement::EndMove() {
  FMovePending = false;
  FMoving = false;
  Screen->SetCursor(crDefault);
  if (FOnMoved) FOnMoved(this);
}

void TGridWebElement::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbRight && !IsLive()) {
    // The inherited mouse-up pops the object menu up, whose commands may
    // free this element: everything is done before it.
    FSizingX = FSizingY = FSizePending = false;
    if (FMoving) EndMove();
    FDblClicked = false;
    TGridGraphic::MouseUp(button, shift, x, y);
    return;
  }
  TGridGraphic::MouseUp(button, shift, x, y);
  FSizingX = FSizingY = FSizePending = false;
  if (!IsLive()) {
    if (FMoving)
      EndMove();
    else if (auto* editor = dynamic_cast<TWinControl*>(FEditor); editor != nullptr && editor->Visible())
      editor->SetFocus();
  } else if (!FHref.empty() && FKind != wkIFrame && FOnHyperLink) {
    WriteTraceLog("mHyperLink - " + GetKindCaption());
    FOnHyperLink(this, FHref);
    return;
  }
  FDblClicked = false;
}

void TGridWebElement::DblClick() {
  if (IsLive() || IsGroupLocked()) return;
  TGridGraphic::DblClick();
}
