#include "properties/FormCameraProperties.h"

#include "grid/GridWebElement.h"
#include "properties/CommonBindings.h"
#include "properties/HiddenControls.h"
#include "properties/MyEdit.h"
#include "properties/SizeBindings.h"

namespace {

using C = TControlClass;
using E = TGridWebElement;

// The caption, font and colour controls stay hidden: filled, never changed.
constexpr TComponentRow kRows[] = {
    {C::Label, "Label4", "", 8, 11, 190, 16, 7102, ""},
    {C::Edit, "edtLink1", "", 200, 8, 250, 23, 0, ""},
    {C::Label, "Label2", "", 8, 39, 190, 16, 7103, ""},
    {C::MyEdit, "ceRefresh", "", 200, 36, 60, 23, 0, ""},
    {C::Label, "lblMs", "", 264, 39, 30, 16, 0, "ms"},
    {C::Label, "Label10", "", 8, 67, 190, 16, 7265, ""},
    {C::Edit, "edtDelimiter", "", 214, 64, 60, 23, 0, ""},
    {C::Label, "lblSize", "", 8, 95, 190, 16, 7037, ""},
    {C::Label, "lblSizeX", "", 200, 95, 12, 16, 0, "X"},
    {C::MyEdit, "ceSizeX", "", 214, 92, 50, 23, 0, ""},
    {C::Label, "lblSizeY", "", 274, 95, 12, 16, 0, "Y"},
    {C::MyEdit, "ceSizeY", "", 288, 92, 50, 23, 0, ""},
    {C::Label, "lblOff", "", 8, 123, 190, 16, 7142, ""},
    {C::Label, "lblX", "", 200, 123, 12, 16, 0, "X"},
    {C::MyEdit, "ceOffX", "", 214, 120, 50, 23, 0, ""},
    {C::Label, "lblY", "", 274, 123, 12, 16, 0, "Y"},
    {C::MyEdit, "ceOffY", "", 288, 120, 50, 23, 0, ""},
    {C::Label, "lblHint", "", 8, 151, 190, 16, 7264, ""},
    {C::Edit, "edtHint1", "", 200, 148, 220, 23, 0, ""},
    {C::Button, "btLangHint1", "", 424, 148, 26, 23, 0, "..."},
    {C::Label, "lblVisibility", "", 8, 179, 190, 16, 7132, ""},
    {C::Edit, "edtVisVar", "", 200, 176, 220, 23, 0, ""},
    {C::Button, "btnVis", "", 424, 176, 26, 23, 0, "..."},
    {C::Label, "lblVisType", "", 200, 202, 220, 16, 0, ""},
    {C::CheckBox, "cbActiveIn0", "", 200, 222, 250, 19, 7134, ""},
    {C::Button, "Button1", "", 284, 256, 80, 25, 2005, ""},
    {C::Button, "Button2", "", 370, 256, 80, 25, 2006, ""},
};

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined(
      {
          {.control = "edtLink1", .kind = TBindKind::Text, .field = Field(&E::FHref)},
          // The camera keeps its reload period in the size field. A negative
          // period is stored as 0 (a still picture) also when OK is pressed
          // without leaving the box: the page would reload the picture
          // without pause, flooding the PLC's web server.
          {.control = "ceRefresh", .kind = TBindKind::Number, .field = Field(&E::FSize), .lo = 0},
          {.control = "edtDelimiter", .kind = TBindKind::Text, .field = Field(&E::FDelimiter)},
          SizeBinding(true, TSizeSource::Control, 8),
          SizeBinding(false, TSizeSource::Control, 8),
          {.control = "edtCaption1", .kind = TBindKind::Text, .field = Field(&E::FCaption)},
      },
      {CommonBindings({R::PosX, R::PosY, R::Hint, R::FontSize, R::Strong, R::Italic, R::FrontColour, R::BackColour,
                       R::Transparent, R::VisVariable, R::VisNeg}),
       {{.control = "hint", .kind = TBindKind::LangSlots}}});
}

}  // namespace

TFormCameraProperties::TFormCameraProperties(TDesignerContext& designer) : TPropertyForm(designer, kRows, 7101) {
  SetClientWidth(460);
  SetClientHeight(290);
  AddHiddenControls(*this, {kHiddenCaptionFontRows, kHiddenColourRows});
  langTexts = {{.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  OnActivate = {this, &TPropertyForm::FormActivate};
  Get<TmyEdit>("ceRefresh")->OnExit = {this, &TFormCameraProperties::ceRefreshExit};
}

std::span<const TPropertyBinding> TFormCameraProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormCameraProperties::TakesKind(int kind) const { return kind == wkCamera; }
int TFormCameraProperties::TemplateSlot(const TGridWebElement&) const { return 7; }

void TFormCameraProperties::ceRefreshExit(TObject* sender) { ceOffExit(sender); }
