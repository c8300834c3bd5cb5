#pragma once
// TFromAutoArray: numbers one index of the selected page objects' variable
// references (main or visibility references): the objects are put into
// reading order by their places on the page, and the chosen index of each
// gets origin, origin + step, origin + 2 * step, ... The preview lists old
// and new references; OK records one undo step and writes them, looking
// each up again.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/vcl/Form.h"

class TButton;
class TCheckBox;
class TDesignerContext;
class TGridWebElement;
class TLabel;
class TListView;
class TmyEdit;

// Where an object lies: its left and top edges and its height.
struct TPlacedBox {
  int x = 0;
  int y = 0;
  int h = 0;
};

// Reading order of boxes, as the indexes into `boxes`. Two boxes that
// overlap vertically stand side by side and go by their left edges (then
// their top edges); any other two go by their top edges. So a row comes left
// to right and rows top to bottom. That comparison is not always an ordering
// (boxes staggered like stairs can form a circle); each box therefore goes
// after as many boxes as the comparison puts before it, which is the
// comparison's own order wherever it has one, and boxes it cannot separate
// are ordered among themselves the same way, at last by top edge, left edge
// and given order. The result does not depend on the order of the boxes
// except among boxes at one place.
std::vector<std::size_t> ReadingOrder(const std::vector<TPlacedBox>& boxes);

// Sets index `order` (1 = the first; counted over every '[' and ',' of the
// reference) of `reference` to `value`: the text between that separator and
// the next ']' or ',' is replaced. Without such a closing character an index
// "[value]" is appended. Answers false (the object takes no part) when two or
// more separators are missing.
bool ReindexReference(const std::string& reference, int order, std::int64_t value, std::string& result);

class TFromAutoArray : public TForm {
 public:
  explicit TFromAutoArray(TComponent* owner);

  TLabel* lblOrigin = nullptr;
  TmyEdit* edtOrigin = nullptr;
  TLabel* lblStep = nullptr;
  TmyEdit* edtStep = nullptr;
  TLabel* lblBracketIndex = nullptr;
  TmyEdit* edtBracketIndex = nullptr;
  TCheckBox* cbVisibility = nullptr;
  TListView* lvVars = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  // Given by the opener before the dialog is shown.
  TDesignerContext* Designer = nullptr;

  void AddObject(TGridWebElement* object) { objects_.push_back(object); }
  const std::vector<TGridWebElement*>& Objects() const { return objects_; }
  // The objects into reading order (ReadingOrder of their places).
  void SortByPosition();
  void FillPreview();
  void Button1Click(TObject* sender);
  void edtChange(TObject* sender);
  void FormActivate(TObject* sender);
  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);

 private:
  struct TRenumbered {
    TGridWebElement* object;
    std::string oldReference;
    std::string newReference;
  };
  // The objects that take part, in list order, with their new references.
  std::vector<TRenumbered> Renumber() const;
  // The page objects worked on (the surface owns them).
  std::vector<TGridWebElement*> objects_;
  // Set until the first activation ends: the change handlers wait.
  bool loading_ = true;
};
