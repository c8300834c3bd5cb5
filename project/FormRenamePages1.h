#pragma once
// TFormRenamePages1: new file names for all pages of the project by a
// template (PageNameTemplate.h). Every page is a row with its old and new
// name; a new name that is empty or repeats an earlier row's is marked, and
// OK is possible only while no row is marked. The opener renames the pages.

#include <string>
#include <vector>

#include "platform/vcl/Form.h"
#include "project/PageNameTemplate.h"

class TButton;
class TEdit;
class TImageList;
class TLabel;
class TListView;
class TPopupMenu;

class TFormRenamePages1 : public TForm {
 public:
  explicit TFormRenamePages1(TComponent* owner);

  TLabel* Label1 = nullptr;
  TEdit* edtTransform1 = nullptr;
  TButton* btnTokens = nullptr;  // the component named "_"
  TPopupMenu* PopupMenu1 = nullptr;
  TListView* ListView1 = nullptr;
  TImageList* ImageList1 = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;

  // Appends a row for a page whose old name is `oldName`.
  void AddRow(const std::string& oldName);
  // The rows' old and new names, in row order.
  std::vector<std::string> OldNames() const;
  std::vector<std::string> NewNames() const;

  void ApplyTemplate();
  void CompileTemplate(const std::string& text) { template_.Compile(text); }
  std::string EvaluateTemplate(const std::string& oldName) { return template_.Evaluate(oldName); }
  void edtTransform1Change(TObject* sender);
  void FormShow(TObject* sender);
  void PopupClickInsertText(TObject* sender);
  void _MouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

 private:
  TPageNameTemplate template_;
};
