#pragma once
// TFormObjectList: a table of every object of the page shown in the
// designer, one row an object in z-order (kind, variables, security level,
// position, size, link, tab index, layer) with counts of objects and of
// distinct variables. Selecting rows selects the objects on the design
// surface; the context menu runs the designer's object commands on them.

#include <set>
#include <string>

#include "platform/vcl/ComCtrlsTypes.h"
#include "platform/vcl/Form.h"

class TButton;
class TLabel;
class TListColumn;
class TListItem;
class TListView;
class TMenuItem;
class TPanel;
class TPopupMenu;
class TDesignerContext;
class TGridWebElement;

// Compares two texts as the list sorts them: equal characters (ASCII case
// aside) are skipped; at the first difference two digits compare by the
// length of their digit runs, then by the digit; other characters compare
// upper-cased as bytes with digits after every other character. A text that
// ends first is the smaller. Below 0, 0 or above 0.
int NaturalCompare(const std::string& a, const std::string& b);

class TFormObjectList : public TForm {
 public:
  static constexpr int kColumns = 13;
  explicit TFormObjectList(TComponent* owner);

  TListView* ObjectListView1 = nullptr;
  TPanel* Panel1 = nullptr;
  TLabel* lblNumberOfObjects = nullptr;
  TLabel* lblNumberOfVariables = nullptr;
  TButton* btnLayers = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* Properties1 = nullptr;
  TMenuItem* EditBase1 = nullptr;
  TMenuItem* EditVisibilityBase1 = nullptr;
  TMenuItem* VarNameReplace1 = nullptr;
  TMenuItem* AutoIndexArray1 = nullptr;
  TMenuItem* Bringtofront1 = nullptr;
  TMenuItem* Sendtoback1 = nullptr;
  TMenuItem* BringForward1 = nullptr;
  TMenuItem* SendBackward1 = nullptr;
  TMenuItem* miLayers = nullptr;
  TMenuItem* Paste1 = nullptr;
  TMenuItem* Copy1 = nullptr;
  TMenuItem* Cut1 = nullptr;

  TDesignerContext* Designer = nullptr;
  int ObjectCount = 0;

  void RefreshObjectList();
  // The rows as text: each row's caption and column texts after a TAB, CR LF
  // after each row.
  std::string RowsText() const;
  int CountedVariables() const { return static_cast<int>(counted_.size()); }
  int AllVariables() const { return static_cast<int>(all_.size()); }

  void ObjectListView1SelectItem(TObject* sender, TListItem* item, bool selected);
  void ObjectListView1ColumnClick(TObject* sender, TListColumn* column);
  void ObjectListView1Compare(TObject* sender, TListItem* item1, TListItem* item2, int data, int& compare);
  void ObjectListView1AdvancedCustomDrawItem(TListView* sender, TListItem* item, TCustomDrawState state,
                                             TCustomDrawStage stage, bool& defaultDraw);
  void ObjectListView1MouseMove(TObject* sender, TShiftState shift, int x, int y);
  void ObjectListView1DblClick(TObject* sender);
  void PopupMenu1Popup(TObject* sender);
  void CommandClick(TObject* sender);
  void Paste1Click(TObject* sender);
  void LayerClick(TObject* sender);
  void btnLayersClick(TObject* sender);
  void Panel1DblClick(TObject* sender);
  void CloseClick(TObject* sender);
  void FormActivate(TObject* sender);
  // Size, position and the top row, kept in the project's settings file
  // (section "FormObjectList", keys "Height", "Width", "Top", "Left" and
  // "TopItem"): read when shown, written when closed.
  void FormShow(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);

 private:
  // Case-insensitive sets of the distinct variable texts.
  struct TNoCase {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  void AddRow(TGridWebElement& element, int number);
  void SetCaptions();
  TMenuItem* AddItem(const char* name, void (TFormObjectList::*handler)(TObject*), int tag = 0);
  bool updating_ = false;
  bool reselecting_ = false;
  std::set<std::string, TNoCase> counted_;
  std::set<std::string, TNoCase> all_;
};
