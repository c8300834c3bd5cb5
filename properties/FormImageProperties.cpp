#include "properties/FormImageProperties.h"

#include <utility>
#include <vector>

#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Colors.h"
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
    AppendRows(r, B::Caption, 8);
    r.insert(r.end(), {{C::CheckBox, "cbOptionalCaption", "", 8, 38, 440, 19, 7093, ""},
                       {C::Edit, "edtCaption2", "", 200, 60, 220, 23, 0, ""},
                       {C::Button, "btLangEdit2", "", 424, 60, 26, 23, 0, "..."}});
    for (auto [block, top] : {std::pair{B::Hint, 88}, {B::Font, 116}, {B::Position, 172}, {B::Variable, 200}})
      AppendRows(r, block, top);
    r.insert(r.end(), {{C::Label, "Label2", "", 8, 249, 190, 16, 7032, ""},
                       {C::MyEdit, "seSecLevel", "", 200, 246, 50, 23, 0, ""},
                       {C::CheckBox, "cbReadOnly", "", 260, 248, 190, 19, 7038, ""}});
    AppendRows(r, B::Link, 276, "Label4");
    AppendRows(r, B::Visibility, 328);
    AppendRows(r, B::OkCancel, 404);
    return r;
  }();
  return rows;
}

std::vector<TPropertyBinding> MakeBindings() {
  using R = TCommonRow;
  return Joined(
      {
          {.control = "edtCaption1", .kind = TBindKind::Text, .field = Field(&E::FCaption)},
      },
      {SwitchedTextBindings("cbOptionalCaption", "edtCaption2",
                            TextField([](const E& e) { return e.GetOptCaption(); },
                                      [](E& e, const std::string& text) { e.SetOptCaption(text); })),
       CommonBindings(
           {R::Hint, R::FontSize, R::Strong, R::Italic, R::FrontColour, R::PosX, R::PosY, R::Variable, R::SecLevel}),
       {
           {.control = "cbReadOnly", .kind = TBindKind::Check, .field = Field(&E::FReadOnly)},
       },
       TwoImageTailBindings(),
       {
           {.control = "caption", .kind = TBindKind::LangSlots},
           {.control = "optcap", .kind = TBindKind::LangSlots},
           {.control = "hint", .kind = TBindKind::LangSlots},
       }});
}

}  // namespace

TFormImageProperties::TFormImageProperties(TDesignerContext& designer) : TPictureFormBase(designer, Rows(), 7044) {
  SetClientWidth(700);
  SetClientHeight(440);
  BuildPreviewPages(460, 8, 230, 300, {{"1", 7036, " = 0", true}, {"2", 7036, " <> 0", true}});
  langTexts = {{.attr = "caption", .edit = "edtCaption1", .button = "btLangEdit1"},
               {.attr = "optcap", .edit = "edtCaption2", .button = "btLangEdit2"},
               {.attr = "hint", .edit = "edtHint1", .button = "btLangHint1"}};
  WireCommonHandlers();
  WirePictureHandlers("Label4");
  RequireSwatchPress();
  Get<TCheckBox>("cbReadOnly")->OnClick = {this, &TPropertyForm::OnChange};
  Get<TCheckBox>("cbOptionalCaption")->OnClick = {this, &TFormImageProperties::cbOptionalCaptionClick};
}

std::span<const TPropertyBinding> TFormImageProperties::Bindings() const {
  static const std::vector<TPropertyBinding> bindings = MakeBindings();
  return bindings;
}

bool TFormImageProperties::TakesKind(int kind) const { return kind == wkImage; }
int TFormImageProperties::TemplateSlot(const TGridWebElement&) const { return 5; }

void TFormImageProperties::AfterFill() {
  cbOptionalCaptionClick(nullptr);
  TPictureFormBase::AfterFill();
}

void TFormImageProperties::cbOptionalCaptionClick(TObject*) {
  const bool on = Get<TCheckBox>("cbOptionalCaption")->Checked();
  Get<TEdit>("edtCaption2")->SetEnabled(on);
  Get<TEdit>("edtCaption2")->SetColor(on ? clWindow : clBtnFace);
  Get<TButton>("btLangEdit2")->SetEnabled(on);
  Flag("cbOptionalCaption");
}
