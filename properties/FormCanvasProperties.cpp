#include "properties/FormCanvasProperties.h"

#include <string_view>

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/StringList.h"
#include "properties/CommonBindings.h"
#include "properties/DesignerContext.h"
#include "properties/FormCanvasImages.h"
#include "properties/SizeBindings.h"

namespace {

using C = TControlClass;
using E = TGridWebElement;

constexpr std::string_view kTouchX = ".touch.X";
constexpr std::string_view kTouchY = ".touch.Y";
constexpr std::string_view kTouchColour = ".touch.Color";

// The picker buttons name the edit they fill (their Tag is its row below).
struct TPicker {
  const char* button;
  const char* edit;
  const char* label;
};
constexpr TPicker kPickers[] = {
    {"Button3Struct", "edtStruct", "lblStruct"},
    {"Button3XCursor", "edtVariableXCursor", "lblTypeXCursor"},
    {"Button3YCursor", "edtVariableYCursor", "lblTypeYCursor"},
    {"Button3Color", "edtVariableColor", "lblTypeColor"},
    {"Button3", "edtVariable", "lblType"},
    {"Button3Buffer", "edtVariableBuffer", "lblTypeBuffer"},
};

// The font, colour, border and link controls and the two derived main
// references stay hidden.
constexpr TComponentRow kRows[] = {
    {C::Label, "Label10", "", 8, 11, 190, 16, 7272, ""},
    {C::Edit, "edtStruct", "", 200, 8, 220, 23, 0, ""},
    {C::Button, "Button3Struct", "", 424, 8, 26, 23, 0, "..."},
    {C::Label, "lblStruct", "", 200, 34, 250, 16, 0, ""},
    {C::CheckBox, "cbCursorPos", "", 8, 56, 200, 19, 7278, ""},
    {C::CheckBox, "cbCursorColor", "", 220, 56, 200, 19, 7279, ""},
    {C::Label, "Label11", "", 8, 85, 190, 16, 7274, ""},
    {C::Edit, "edtVariableXCursor", "", 200, 82, 220, 23, 0, ""},
    {C::Button, "Button3XCursor", "", 424, 82, 26, 23, 0, "..."},
    {C::Label, "lblTypeXCursor", "", 200, 108, 250, 16, 0, ""},
    {C::Label, "Label13", "", 8, 131, 190, 16, 7275, ""},
    {C::Edit, "edtVariableYCursor", "", 200, 128, 220, 23, 0, ""},
    {C::Button, "Button3YCursor", "", 424, 128, 26, 23, 0, "..."},
    {C::Label, "lblTypeYCursor", "", 200, 154, 250, 16, 0, ""},
    {C::Label, "Label15", "", 8, 177, 190, 16, 7273, ""},
    {C::Edit, "edtVariableColor", "", 200, 174, 220, 23, 0, ""},
    {C::Button, "Button3Color", "", 424, 174, 26, 23, 0, "..."},
    {C::Label, "lblTypeColor", "", 200, 200, 250, 16, 0, ""},
    {C::Label, "lblSize", "", 8, 225, 190, 16, 7037, ""},
    {C::Label, "lblSizeX", "", 200, 225, 12, 16, 0, "X"},
    {C::MyEdit, "ceSizeX", "", 214, 222, 50, 23, 0, ""},
    {C::Label, "lblSizeY", "", 274, 225, 12, 16, 0, "Y"},
    {C::MyEdit, "ceSizeY", "", 288, 222, 50, 23, 0, ""},
    {C::Label, "lblOff", "", 8, 253, 190, 16, 7142, ""},
    {C::Label, "lblX", "", 200, 253, 12, 16, 0, "X"},
    {C::MyEdit, "ceOffX", "", 214, 250, 50, 23, 0, ""},
    {C::Label, "lblY", "", 274, 253, 12, 16, 0, "Y"},
    {C::MyEdit, "ceOffY", "", 288, 250, 50, 23, 0, ""},
    {C::Label, "lblSec", "", 8, 281, 190, 16, 7032, ""},
    {C::MyEdit, "seSecLevel", "", 200, 278, 50, 23, 0, ""},
    {C::Label, "lblHint", "", 8, 309, 190, 16, 7264, ""},
    {C::Edit, "edtHint1", "", 200, 306, 220, 23, 0, ""},
    {C::Button, "btLangHint1", "", 424, 306, 26, 23, 0, "..."},
    {C::Label, "lblVisibility", "", 8, 337, 190, 16, 7132, ""},
    {C::Edit, "edtVisVar", "", 200, 334, 220, 23, 0, ""},
    {C::Button, "btnVis", "", 424, 334, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "", 200, 360, 250, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "", 200, 380, 250, 19, 7134, ""},
    {C::Button, "btnAssignImages", "", 200, 406, 160, 25, 7281, ""},
    {C::Label, "imgWarning", "", 368, 410, 20, 16, 0, "!"},
    {C::Button, "Button1", "", 284, 444, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 370, 444, 80, 25, 2006, ""},
    {C::Panel, "pnlHidden", "", 0, 0, 0, 0, 0, ""},
    {C::Edit, "edtCaption1", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::CheckBox, "cbStrong", "pnlHidden", 0, 0, 10, 10, 7050, ""},
    {C::CheckBox, "cbItalic", "pnlHidden", 0, 0, 10, 10, 7049, ""},
    {C::MyEdit, "seSize", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::Label, "lblFntCol", "pnlHidden", 0, 0, 10, 10, 7055, ""},
    {C::Shape, "shFront", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::Shape, "shBack", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::CheckBox, "cbTransparent", "pnlHidden", 0, 0, 10, 10, 7051, ""},
    {C::CheckBox, "cbBorder1", "pnlHidden", 0, 0, 10, 10, 7095, ""},
    {C::CheckBox, "cbLink", "pnlHidden", 0, 0, 10, 10, 7058, ""},
    {C::Label, "Label8", "pnlHidden", 0, 0, 10, 10, 7046, ""},
    {C::Edit, "edtLink1", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::Button, "AddPage", "pnlHidden", 0, 0, 10, 10, 0, "..."},
    {C::Edit, "edtVariable", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::Button, "Button3", "pnlHidden", 0, 0, 10, 10, 0, "..."},
    {C::Label, "lblType", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::Edit, "edtVariableBuffer", "pnlHidden", 0, 0, 10, 10, 0, ""},
    {C::Button, "Button3Buffer", "pnlHidden", 0, 0, 10, 10, 0, "..."},
    {C::Label, "lblTypeBuffer", "pnlHidden", 0, 0, 10, 10, 0, ""},
};

TFormCanvasProperties& CanvasForm(TPropertyForm& f) { return static_cast<TFormCanvasProperties&>(f); }

// A return box: checked when the object returns that value; grayed when a
// further object differs.
void FillReturn(TCheckBox& box, bool returned, bool first) {
  if (first)
    box.SetChecked(returned);
  else if (box.State() != (returned ? cbChecked : cbUnchecked))
    box.SetState(cbGrayed);
}

void FillStructure(TPropertyForm& f, E& e, bool first) {
  auto* edit = f.Get<TEdit>("edtStruct");
  if (first)
    edit->SetText(e.GetVariableBase());
  else if (edit->Text() != e.GetVariableBase())
    edit->SetText("");
}

// Every reference from the structure name; an object's click references
// follow the new name only when it returns those values (the return boxes
// are written after this when the user changed them).
void WriteStructure(TPropertyForm& f, E& e) {
  const std::string base = f.Get<TEdit>("edtStruct")->Text();
  const bool returnsPosition = !e.GetClickXVariable().empty();
  const bool returnsColour = !e.GetClickColorVariable().empty();
  e.SetVariable(CanvasHeadMember(base));
  e.SetDataVariable(CanvasBufferMember(base));
  if (returnsPosition) {
    e.SetClickXVariable(base + std::string(kTouchX));
    e.SetClickYVariable(base + std::string(kTouchY));
  }
  if (returnsColour) e.SetClickColorVariable(base + std::string(kTouchColour));
  e.ResolveVariables();
}

// A grayed box (the selection differs and the user left it so) changes nothing.
void WriteReturnPosition(TPropertyForm& f, E& e) {
  const TCheckBoxState state = f.Get<TCheckBox>("cbCursorPos")->State();
  if (state == cbGrayed) return;
  const std::string base = e.GetVariableBase();
  e.SetClickXVariable(state == cbChecked ? base + std::string(kTouchX) : "");
  e.SetClickYVariable(state == cbChecked ? base + std::string(kTouchY) : "");
  e.ResolveVariables();
}

void WriteReturnColour(TPropertyForm& f, E& e) {
  const TCheckBoxState state = f.Get<TCheckBox>("cbCursorColor")->State();
  if (state == cbGrayed) return;
  e.SetClickColorVariable(state == cbChecked ? e.GetVariableBase() + std::string(kTouchColour) : "");
  e.ResolveVariables();
}

bool SameImages(const TStringList& names, const E& e) {
  if (names.Count() != e.GetImageCount()) return false;
  for (int i = 0; i < names.Count(); ++i)
    if (names[i] != e.GetImageName(i)) return false;
  return true;
}

void FillImages(TPropertyForm& f, E& e, bool first) {
  TStringList& names = CanvasForm(f).ImageNames();
  if (first) {
    names.Clear();
    for (int i = 0; i < e.GetImageCount(); ++i) names.Add(e.GetImageName(i));
  } else if (!SameImages(names, e)) {
    names.Clear();
  }
}

void WriteImages(TPropertyForm& f, E& e) {
  if (f.Tag == 0) return;
  const TStringList& names = CanvasForm(f).ImageNames();
  e.ClearImages();
  for (int i = 0; i < names.Count(); ++i) e.AddImage(names[i], true);
}

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined(CommonBindings({R::Hint, R::PosX, R::PosY, R::VisVariable, R::VisNeg, R::SecLevel}),
                {{SizeBinding(true, TSizeSource::Content, 1),
                  SizeBinding(false, TSizeSource::Content, 1),
                  {.control = "hint", .kind = TBindKind::LangSlots},
                  {.control = "edtStruct", .kind = TBindKind::Custom, .fill = FillStructure, .write = WriteStructure},
                  {.control = "cbCursorPos",
                   .kind = TBindKind::Custom,
                   .fill =
                       [](TPropertyForm& f, E& e, bool first) {
                         FillReturn(*f.Get<TCheckBox>("cbCursorPos"), !e.GetClickXVariable().empty(), first);
                       },
                   .write = WriteReturnPosition},
                  {.control = "cbCursorColor",
                   .kind = TBindKind::Custom,
                   .fill =
                       [](TPropertyForm& f, E& e, bool first) {
                         FillReturn(*f.Get<TCheckBox>("cbCursorColor"), !e.GetClickColorVariable().empty(), first);
                       },
                   .write = WriteReturnColour},
                  // Written when the form's own Tag is set (the image list dialog's OK).
                  {.control = "btnAssignImages", .kind = TBindKind::Custom, .fill = FillImages, .write = WriteImages}},
                 CommonBindings({R::FontSize, R::Strong, R::Italic, R::FrontColour, R::BackColour, R::Transparent})});
}

}  // namespace

std::string CanvasHeadMember(const std::string& base) { return base + ".bufHead"; }
std::string CanvasBufferMember(const std::string& base) { return base + ".buf"; }

TFormCanvasProperties::TFormCanvasProperties(TDesignerContext& designer)
    : TPropertyForm(designer, kRows, 7267), imageNames_(std::make_unique<TStringList>()) {
  SetClientWidth(460);
  SetClientHeight(478);
  Get<TControl>("pnlHidden")->SetVisible(false);
  auto* warning = Get<TLabel>("imgWarning");
  warning->Font()->Color = clRed;
  warning->Font()->Style = fsBold;
  warning->SetVisible(false);
  langTexts = {{.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  RaiseSizeOnExit(*this, 1);
  for (int i = 0; i < static_cast<int>(std::size(kPickers)); ++i) {
    auto* button = Get<TButton>(kPickers[i].button);
    button->Tag = i;
    button->OnClick = {this, &TFormCanvasProperties::Button3Click};
    Get<TEdit>(kPickers[i].edit)->OnChange = {this, &TFormCanvasProperties::edtVariableChange};
  }
  for (const char* name : {"cbCursorPos", "cbCursorColor"}) {
    Get<TCheckBox>(name)->OnClick = {this, &TFormCanvasProperties::cbReturnClick};
  }
  Get<TButton>("btnAssignImages")->OnClick = {this, &TFormCanvasProperties::btnAssignImagesClick};
  Get<TButton>("Button1")->OnClick = {this, &TFormCanvasProperties::Button1Click};
}

TFormCanvasProperties::~TFormCanvasProperties() = default;

std::span<const TPropertyBinding> TFormCanvasProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormCanvasProperties::TakesKind(int kind) const { return kind == wkCanvas; }
int TFormCanvasProperties::TemplateSlot(const TGridWebElement&) const { return 14; }

void TFormCanvasProperties::AfterFill() {
  DeriveMembers();
  CheckImages();
}

void TFormCanvasProperties::DeriveMembers() {
  const std::string base = Get<TEdit>("edtStruct")->Text();
  Get<TEdit>("edtVariableBuffer")->SetText(CanvasBufferMember(base));
  Get<TEdit>("edtVariable")->SetText(CanvasHeadMember(base));
  const bool position = Get<TCheckBox>("cbCursorPos")->Checked();
  Get<TEdit>("edtVariableXCursor")->SetText(position ? base + std::string(kTouchX) : "");
  Get<TEdit>("edtVariableYCursor")->SetText(position ? base + std::string(kTouchY) : "");
  const bool colour = Get<TCheckBox>("cbCursorColor")->Checked();
  Get<TEdit>("edtVariableColor")->SetText(colour ? base + std::string(kTouchColour) : "");
}

bool TFormCanvasProperties::CheckImages() {
  bool all = true;
  for (int i = 0; i < imageNames_->Count(); ++i)
    if (!ProjectHasImage(Designer(), (*imageNames_)[i])) all = false;
  Get<TControl>("imgWarning")->SetVisible(!all);
  return all;
}

void TFormCanvasProperties::edtVariableChange(TObject* sender) {
  auto* edit = dynamic_cast<TEdit*>(sender);
  if (edit == nullptr) return;
  for (const TPicker& picker : kPickers) {
    if (edit->Name() != picker.edit) continue;
    auto* label = Get<TLabel>(picker.label);
    if (edit->Name() == "edtStruct") {
      const std::string resolved = Resolve(edit->Text());
      edit->Hint = resolved;
      label->SetCaption(resolved + " : " + GetUiText(Designer().CheckCanvasVariable(resolved) ? 7276 : 7277));
      DeriveMembers();
    } else {
      ShowVariableType(edit, label);
    }
  }
  OnChange(sender);
}

void TFormCanvasProperties::Button3Click(TObject* sender) {
  auto* button = dynamic_cast<TComponent*>(sender);
  if (button == nullptr || button->Tag < 0 || button->Tag >= static_cast<int>(std::size(kPickers))) return;
  BrowseVariable(Get<TEdit>(kPickers[button->Tag].edit));
}

void TFormCanvasProperties::cbReturnClick(TObject* sender) { OnChange(sender); }

void TFormCanvasProperties::Button1Click(TObject*) {
  if (Flagged("edtStruct")) DeriveMembers();
}

void TFormCanvasProperties::btnAssignImagesClick(TObject*) {
  {
    TFormImageList1 dialog(this);
    dialog.designer = &Designer();
    dialog.canvasForm = this;
    dialog.LoadImages();
    dialog.ShowModal();
  }
  // The button carries the list's changed flag to the write-back.
  if (Tag != 0) Get<TButton>("btnAssignImages")->Tag = 1;
  CheckImages();
}
