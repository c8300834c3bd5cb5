#include "project/FromAutoArray.h"

#include <algorithm>
#include <numeric>

#include "core/UiText.h"
#include "grid/GridWebElement.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListView.h"
#include "project/DialogControls.h"
#include "project/VariableListDialog.h"
#include "properties/DesignerContext.h"
#include "properties/MyEdit.h"

namespace {

constexpr const char* kSection = "FromAutoArray";
constexpr int kMinSize = 386;
constexpr int kInitialWidth = 460;
constexpr int kInitialHeight = 420;
constexpr int kListTop = 86;
constexpr int kButtonsUp = 69;
constexpr int kListShorter = 163;
constexpr int kNameWidth = 200;

constexpr int kCaptionId = 7193;  // "Automatic array indexing"
constexpr int kOriginId = 7194;
constexpr int kStepId = 7195;
constexpr int kBracketIndexId = 7196;
constexpr int kVisibilityId = 7197;
constexpr int kOriginalNameId = 7198;
constexpr int kNewNameId = 7199;
constexpr int kOkId = 2005;
constexpr int kCancelId = 2006;

bool OverlapVertically(const TPlacedBox& a, const TPlacedBox& b) { return b.y + b.h > a.y && b.y < a.y + a.h; }

// The page's comparison of two boxes: side by side (overlapping vertically)
// by their left edges, then their top edges; otherwise by their top edges.
// Negative: `a` comes first.
int ComparePlaces(const TPlacedBox& a, const TPlacedBox& b) {
  if (OverlapVertically(a, b)) return a.x != b.x ? (a.x < b.x ? -1 : 1) : (a.y < b.y ? -1 : a.y > b.y ? 1 : 0);
  return a.y < b.y ? -1 : a.y > b.y ? 1 : 0;
}

// Orders `group` (indexes into `boxes`, in given order) in place: each box
// after as many boxes of the group as the comparison puts before it. Boxes
// with equal counts are ordered again among themselves the same way; when
// that separates none of them (equal places, or a circle of the comparison),
// they go by top edge, then left edge, then given order.
void OrderByPredecessors(const std::vector<TPlacedBox>& boxes, std::vector<std::size_t>& group) {
  if (group.size() < 2) return;
  std::vector<std::size_t> before(boxes.size(), 0);
  for (std::size_t a : group)
    for (std::size_t b : group)
      if (ComparePlaces(boxes[b], boxes[a]) < 0) ++before[a];
  const auto fewer = [&before](std::size_t a, std::size_t b) { return before[a] < before[b]; };
  std::stable_sort(group.begin(), group.end(), fewer);
  if (before[group.front()] == before[group.back()]) {
    std::stable_sort(group.begin(), group.end(), [&boxes](std::size_t a, std::size_t b) {
      return std::pair(boxes[a].y, boxes[a].x) < std::pair(boxes[b].y, boxes[b].x);
    });
    return;
  }
  for (auto from = group.begin(); from != group.end();) {
    const auto to = std::upper_bound(from, group.end(), *from, fewer);
    std::vector<std::size_t> equal(from, to);
    OrderByPredecessors(boxes, equal);
    std::copy(equal.begin(), equal.end(), from);
    from = to;
  }
}

}  // namespace

std::vector<std::size_t> ReadingOrder(const std::vector<TPlacedBox>& boxes) {
  std::vector<std::size_t> order(boxes.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  OrderByPredecessors(boxes, order);
  return order;
}

bool ReindexReference(const std::string& reference, int order, std::int64_t value, std::string& result) {
  const int wanted = std::max(1, order);
  std::size_t at = 0;
  int counted = 0;
  while (at < reference.size() && counted < wanted) {
    if (reference[at] == '[' || reference[at] == ',') ++counted;
    ++at;
  }
  const int missing = wanted - counted;
  const std::size_t closing = reference.find_first_of("],", counted == wanted ? at : reference.size());
  if (counted == wanted && closing != std::string::npos)
    result = reference.substr(0, at) + std::to_string(value) + reference.substr(closing);
  else
    result = reference + "[" + std::to_string(value) + "]";
  return missing <= 1;
}

TFromAutoArray::TFromAutoArray(TComponent* owner) : TForm(owner) {
  SetName(kSection);
  SetBorderStyle(bsSizeable);
  SetPosition(poScreenCenter);
  SetWidth(kInitialWidth);
  SetHeight(kInitialHeight);
  Constraints.MinWidth = kMinSize;
  Constraints.MinHeight = kMinSize;
  // Unlike the other project dialogs, this one keeps the form's own font.
  lblOrigin = AddControl<TLabel>(this, this, "lblOrigin", {8, 8, 110, 15});
  edtOrigin = AddControl<TmyEdit>(this, this, "edtOrigin", {8, 24, 110, 23});
  lblStep = AddControl<TLabel>(this, this, "lblStep", {128, 8, 110, 15});
  edtStep = AddControl<TmyEdit>(this, this, "edtStep", {128, 24, 110, 23});
  lblBracketIndex = AddControl<TLabel>(this, this, "lblBracketIndex", {248, 8, 190, 15});
  edtBracketIndex = AddControl<TmyEdit>(this, this, "edtBracketIndex", {248, 24, 110, 23});
  edtOrigin->SetText("0");
  edtStep->SetText("1");
  edtBracketIndex->SetText("1");
  cbVisibility = AddControl<TCheckBox>(this, this, "cbVisibility", {8, 56, 300, 17});
  lvVars = AddControl<TListView>(this, this, "lvVars", {8, kListTop, ClientWidth() - 16, 200});
  lvVars->SetViewStyle(vsReport);
  lvVars->ReadOnly = true;
  lvVars->SetRowSelect(true);
  for (int column = 0; column < 2; ++column) lvVars->Columns()->Add()->SetWidth(kNameWidth);
  AddOkCancelButtons(*this, Button1, Button2);
  Button1->OnClick = {this, &TFromAutoArray::Button1Click};
  for (TmyEdit* edit : {edtOrigin, edtStep, edtBracketIndex}) edit->OnChange = {this, &TFromAutoArray::edtChange};
  cbVisibility->OnClick = {this, &TFromAutoArray::edtChange};
  OnActivate = {this, &TFromAutoArray::FormActivate};
  OnShow = {this, &TFromAutoArray::FormShow};
  OnClose = {this, &TFromAutoArray::FormClose};
  AfterConstruction();
}

void TFromAutoArray::SortByPosition() {
  std::vector<TPlacedBox> boxes;
  boxes.reserve(objects_.size());
  for (const TGridWebElement* object : objects_) {
    const TPoint position = object->GetPosition();
    boxes.push_back({position.x, position.y, object->Height()});
  }
  std::vector<TGridWebElement*> sorted;
  sorted.reserve(objects_.size());
  for (std::size_t index : ReadingOrder(boxes)) sorted.push_back(objects_[index]);
  objects_ = std::move(sorted);
}

std::vector<TFromAutoArray::TRenumbered> TFromAutoArray::Renumber() const {
  const int order = EditInteger(*edtBracketIndex);
  const std::int64_t step = EditInteger(*edtStep);
  const bool visibility = cbVisibility->Checked();
  std::int64_t value = EditInteger(*edtOrigin);
  std::vector<TRenumbered> renumbered;
  for (TGridWebElement* object : objects_) {
    const std::string& reference = visibility ? object->GetVisVariable() : object->GetVariable();
    if (reference.empty()) continue;
    std::string result;
    if (ReindexReference(reference, order, value, result)) renumbered.push_back({object, reference, result});
    value += step;
  }
  return renumbered;
}

void TFromAutoArray::FillPreview() {
  const int lastVisible = LastVisibleRow(*lvVars);
  lvVars->Items()->BeginUpdate();
  lvVars->Items()->Clear();
  for (const TRenumbered& entry : Renumber()) {
    TListItem* row = lvVars->Items()->Add();
    row->SetCaption(entry.oldReference);
    row->SubItems()->Add(entry.newReference);
  }
  lvVars->Items()->EndUpdate();
  ShowRow(*lvVars, lastVisible);
}

void TFromAutoArray::Button1Click(TObject*) {
  if (Designer != nullptr) Designer->PushUndo();
  const bool visibility = cbVisibility->Checked();
  for (const TRenumbered& entry : Renumber()) SetVariableReference(*entry.object, visibility, entry.newReference);
  ModalResult = mrOk;
}

void TFromAutoArray::edtChange(TObject*) {
  if (!loading_) FillPreview();
}

void TFromAutoArray::FormActivate(TObject*) {
  SetCaption(GetUiText(kCaptionId));
  lblOrigin->SetCaption(GetUiText(kOriginId));
  lblStep->SetCaption(GetUiText(kStepId));
  lblBracketIndex->SetCaption(GetUiText(kBracketIndexId));
  cbVisibility->SetCaption(GetUiText(kVisibilityId));
  lvVars->Columns()->Items(0)->SetCaption(GetUiText(kOriginalNameId));
  lvVars->Columns()->Items(1)->SetCaption(GetUiText(kNewNameId));
  Button1->SetCaption(GetUiText(kOkId));
  Button2->SetCaption(GetUiText(kCancelId));
  SortByPosition();
  FillPreview();
  PlaceVariableDialog(*this, *Button1, *Button2, *lvVars, kButtonsUp, kListTop, kListShorter);
  loading_ = false;
}

void TFromAutoArray::FormShow(TObject*) { ReadVariableDialogPlacement(kSection, *this, Designer); }

void TFromAutoArray::FormClose(TObject*, TCloseAction&) { WriteVariableDialogPlacement(kSection, *this, Designer); }
