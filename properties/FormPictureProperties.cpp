#include "properties/FormPictureProperties.h"

#include <utility>
#include <vector>

#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Edit.h"
#include "properties/CommonBindings.h"
#include "properties/DesignerContext.h"
#include "properties/PageLinkPicker.h"
#include "properties/PictureRows.h"

namespace {

using E = TGridWebElement;

std::span<const TComponentRow> Rows() {
  static const std::vector<TComponentRow> rows = [] {
    std::vector<TComponentRow> r;
    using B = TRowBlock;
    for (auto [block, top] : {std::pair{B::Caption, 8},
                              {B::Hint, 36},
                              {B::Font, 64},
                              {B::Position, 120},
                              {B::Link, 150},
                              {B::Visibility, 202},
                              {B::OkCancel, 280}})
      AppendRows(r, block, top);
    return r;
  }();
  return rows;
}

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined({{.control = "edtCaption1", .kind = TBindKind::Text, .field = Field(&E::FCaption)}},
                {CommonBindings({R::Hint, R::FontSize, R::Strong, R::Italic, R::FrontColour, R::PosX, R::PosY}),
                 {ImageBinding("Image1", false)},
                 LinkBindings(),
                 CommonBindings({R::VisVariable, R::VisNeg}),
                 {
                     {.control = "caption", .kind = TBindKind::LangSlots},
                     {.control = "hint", .kind = TBindKind::LangSlots},
                 }});
}

}  // namespace

TFormPictureProperties::TFormPictureProperties(TDesignerContext& designer) : TPictureFormBase(designer, Rows(), 7056) {
  SetClientWidth(700);
  SetClientHeight(315);
  BuildPreviewPages(460, 8, 230, 262, {{"1", 7057, "", true}});
  langTexts = {{.attr = "caption", .edit = "edtCaption1", .button = "btLangEdit1"},
               {.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  WirePictureHandlers();
  Get<TButton>("Button1")->OnClick = {this, &TFormPictureProperties::Button1Click};
}

std::span<const TPropertyBinding> TFormPictureProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormPictureProperties::TakesKind(int kind) const { return kind == wkPicture; }
int TFormPictureProperties::TemplateSlot(const TGridWebElement&) const { return 4; }

void TFormPictureProperties::Button1Click(TObject*) { DefaultEmptyLink(*this, TEmptyLinkRule::LinkEdited); }
