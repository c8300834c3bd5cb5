#include "properties/CommonBindings.h"

#include "grid/GridWebElement.h"
#include "properties/PropertyForm.h"

namespace {

using E = TGridWebElement;

}  // namespace

TBinding CommonBinding(TCommonRow row) {
  switch (row) {
    case TCommonRow::Hint: return {.control = "edtHint1", .kind = TBindKind::Text, .field = Field(&E::Hint)};
    case TCommonRow::Strong: return {.control = "cbStrong", .kind = TBindKind::Check, .field = Field(&E::FStrong)};
    case TCommonRow::Italic: return {.control = "cbItalic", .kind = TBindKind::Check, .field = Field(&E::FItalic)};
    case TCommonRow::FontSize: return {.control = "seSize", .kind = TBindKind::Number, .field = Field(&E::FFontSize)};
    case TCommonRow::FrontColour:
      return {.control = "shFront", .kind = TBindKind::Colour, .field = Field(&E::FFrontColor)};
    case TCommonRow::PosX: return {.control = "ceOffX", .kind = TBindKind::PosX};
    case TCommonRow::PosY: return {.control = "ceOffY", .kind = TBindKind::PosY};
    case TCommonRow::VisVariable:
      return {.control = "edtVisVar",
              .kind = TBindKind::Text,
              .field = Field(&E::FVisVariable),
              .afterWrite = [](TPropertyForm&, E& e) { RefreshVisVariableInfo(e); }};
    case TCommonRow::VisNeg: return {.control = "cbActiveIn0", .kind = TBindKind::Check, .field = Field(&E::FVisNeg)};
    case TCommonRow::BackColour:
      return {.control = "shBack", .kind = TBindKind::BackColour, .field = Field(&E::FBackColor)};
    case TCommonRow::Transparent:
      return {.control = "cbTransparent", .kind = TBindKind::Check, .field = Field(&E::FTransparent)};
  }
  return {};
}

std::vector<TBinding> CommonBindings(std::initializer_list<TCommonRow> rows) {
  std::vector<TBinding> bindings;
  for (TCommonRow row : rows) bindings.push_back(CommonBinding(row));
  return bindings;
}

std::vector<TBinding> TooltipToTransparentBindings() {
  using R = TCommonRow;
  return CommonBindings({R::Hint, R::Strong, R::Italic, R::FontSize, R::FrontColour, R::PosX, R::PosY, R::VisVariable,
                         R::VisNeg, R::BackColour, R::Transparent});
}

std::vector<TBinding> Joined(std::vector<TBinding> first, std::initializer_list<std::vector<TBinding>> more) {
  for (const std::vector<TBinding>& rows : more) first.insert(first.end(), rows.begin(), rows.end());
  return first;
}
