#pragma once
// TFormImageList1: the list of project images a drawing canvas may draw, in
// order, edited for the canvas properties dialog: images are added from the
// image manager (no name twice) and removed; OK hands the rows back to the
// canvas dialog's list and marks it changed when the rows were changed.
// Names the project no longer has show a warning state.

#include <functional>
#include <memory>
#include <string>

#include "platform/vcl/Form.h"
#include "platform/vcl/ListView.h"

class TButton;
class TFormCanvasProperties;
class TDesignerContext;
class TImageList;
class TListItem;
class TListView;
class TPanel;
class TStringList;
class TToolBar;
class TToolButton;

// True when the project's image list knows the image by its long name, "."
// and its type.
bool ProjectHasImage(TDesignerContext& designer, const std::string& longName);

class TFormImageList1 : public TForm {
 public:
  explicit TFormImageList1(TComponent* owner);
  ~TFormImageList1() override;

  TToolBar* ToolBar1;
  TToolButton* tbAdd;
  TToolButton* tbRemove;
  TListView* ListView1;
  TPanel* Panel;
  TButton* btnOk;
  TButton* btnCancel;
  TImageList* ilStates;

  TDesignerContext* designer = nullptr;
  TFormCanvasProperties* canvasForm = nullptr;
  // The image manager in multi-select mode: the chosen long names with their
  // types, none when cancelled (the designer's picker unless a test sets it).
  std::function<std::unique_ptr<TStringList>(const std::string& current)> pickImages;

  // One row per name of the canvas dialog's list, then the missing marks.
  void LoadImages();
  // State image 1 for a row whose name the project's image list lacks, else 0.
  void MarkMissing();
  // The rows' names in order.
  std::string RowName(int index) const;

  void tbAddClick(TObject* sender);
  void tbRemoveClick(TObject* sender);
  void ListView1Change(TObject* sender, TListItem* item, TItemChange change);
  void btnOkClick(TObject* sender);
  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);

 private:
  void AddRow(const std::string& name);
  std::string SettingsFile() const;
};
