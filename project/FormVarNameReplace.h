#pragma once
// TFormVarNameReplace: replaces one piece of text in the variable references
// of the selected page objects (main or visibility references, as stored
// with their placeholders). The preview lists every object's old and new
// reference as the user types; OK records one undo step and writes the
// changed references, looking each up again.

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

// Replaces one occurrence of `find` in `text` (case-sensitive): the first,
// or the last with `fromBack`. An empty `find` puts `replacement` in front
// (at the end with `fromBack`). An empty `replacement` changes nothing.
// True when the text changed.
bool ReplaceOnce(std::string& text, const std::string& find, const std::string& replacement, bool fromBack);

class TFormVarNameReplace : public TForm {
 public:
  explicit TFormVarNameReplace(TComponent* owner);

  TLabel* lblToFind = nullptr;
  TmyEdit* edtToFind = nullptr;
  TLabel* lblReplaceWith = nullptr;
  TmyEdit* edtReplaceWith = nullptr;
  TCheckBox* cbVisibility = nullptr;
  TCheckBox* cbFromBack = nullptr;
  TListView* lvVars = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  // Given by the opener before the dialog is shown.
  TDesignerContext* Designer = nullptr;

  void AddObject(TGridWebElement* object) { objects_.push_back(object); }
  const std::vector<TGridWebElement*>& Objects() const { return objects_; }
  void FillPreview();
  void Button1Click(TObject* sender);
  void edtChange(TObject* sender);
  void FormActivate(TObject* sender);
  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);

 private:
  // The object's reference after the replacement; true when it changed.
  bool Replaced(const TGridWebElement& object, std::string& reference) const;
  // The page objects worked on (the surface owns them).
  std::vector<TGridWebElement*> objects_;
  // Set until the first activation ends: the change handlers wait.
  bool loading_ = true;
};
