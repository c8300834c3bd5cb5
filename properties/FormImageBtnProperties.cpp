#include "properties/FormImageBtnProperties.h"

#include <utility>
#include <vector>

#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Edit.h"
#include "properties/CommonBindings.h"
#include "properties/DesignerContext.h"
#include "properties/PictureRows.h"

namespace {

using C = TControlClass;
using E = TGridWebElement;

std::span<const TComponentRow> Rows() {
  static const std::vector<TComponentRow> rows = [] {
    using B = TRowBlock;
    std::vector<TComponentRow> r;
    for (auto [block, top] :
         {std::pair{B::Caption, 8}, {B::Hint, 36}, {B::Font, 64}, {B::Position, 120}, {B::Variable, 148}})
      AppendRows(r, block, top);
    r.insert(r.end(), {{C::Label, "lblValue", "", 8, 197, 190, 16, 7239, ""},
                       {C::Edit, "edtValue", "", 200, 194, 220, 23, 0, ""},
                       {C::Label, "Label2", "", 8, 225, 190, 16, 7032, ""},
                       {C::MyEdit, "seSecLevel", "", 200, 222, 50, 23, 0, ""}});
    AppendRows(r, B::Link, 252, "Label4");
    AppendRows(r, B::Visibility, 304);
    AppendRows(r, B::OkCancel, 380);
    return r;
  }();
  return rows;
}

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined(
      {{.control = "edtCaption1", .kind = TBindKind::Text, .field = Field(&E::FCaption)}},
      {CommonBindings({R::Hint, R::FontSize, R::Strong, R::Italic, R::FrontColour, R::PosX, R::PosY, R::Variable}),
       {
           {.control = "edtValue", .kind = TBindKind::Text, .field = Field(&E::FValue)},
           CommonBinding(R::SecLevel),
       },
       TwoImageTailBindings(),
       {
           {.control = "caption", .kind = TBindKind::LangSlots},
           {.control = "hint", .kind = TBindKind::LangSlots},
       }});
}

}  // namespace

TFormImageBtnProperties::TFormImageBtnProperties(TDesignerContext& designer)
    : TPictureFormBase(designer, Rows(), 7238) {
  SetClientWidth(700);
  SetClientHeight(415);
  BuildPreviewPages(460, 8, 230, 300, {{"1", 7240, "", true}, {"2", 7241, "", true}});
  langTexts = {{.attr = "caption", .edit = "edtCaption1", .button = "btLangEdit1"},
               {.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  WirePictureHandlers("Label4");
  RequireSwatchPress();
  // The value refreshes the variable's type beside its box and is flagged itself.
  Get<TEdit>("edtValue")->OnChange = {this, &TPropertyForm::edtVariableChange};
}

std::span<const TPropertyBinding> TFormImageBtnProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormImageBtnProperties::TakesKind(int kind) const { return kind == wkImageBtn; }
int TFormImageBtnProperties::TemplateSlot(const TGridWebElement&) const { return 13; }
