#pragma once
// TFormPlaceHolders: the placeholders ("substitutes") of one level (the
// project's `web` element, a group or a page), one TFrameAlias row each.
// The dialog only checks the names; its opener writes the rows into the
// level's `placeholders` element on its own OK (SaveToXml) and hands the
// element to the designer's list of that level. TPlaceholdersOpener is that
// opener's part.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hostapi/IIECManVariables.h"
#include "platform/com/ComPtr.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Frame.h"

class TBevel;
class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class THeaderControl;
class THeaderSection;
class TLabel;
class TMenuItem;
class TPanel;
class TPopupMenu;
class TScrollBox;
class TStringDualList;
class TmyXmlNode;

// One placeholder: name, variable (with the host's browser: the typed one
// when the row names a type), type and description; out of editing mode
// name, type and description show as labels.
class TFrameAlias : public TFrame {
 public:
  explicit TFrameAlias(TComponent* owner);

  static constexpr int kHeight = 21;
  TButton* btnDeleteAlias = nullptr;
  TEdit* edtAliasName = nullptr;
  TEdit* edtDescription = nullptr;
  TComboBox* ComboBoxVarType = nullptr;
  TEdit* edtVariable = nullptr;
  TButton* Button3 = nullptr;
  TBevel* Bevel1 = nullptr;
  TLabel* lblAliasName = nullptr;
  TLabel* lblVarType = nullptr;
  TLabel* lblDescription = nullptr;
  TBevel* bvlDescription = nullptr;
  // The row's `alias` element; none for a row added and not yet saved.
  TmyXmlNode* alias = nullptr;
  // The host's IEC variables manager that the dialog holds; none without a
  // host (the picker button then does nothing).
  IIECManVariables* variables = nullptr;

  // The columns at the header's section widths w0, w1, w2.
  void LayOut(int w0, int w1, int w2);
  void SetEditing(bool editing);
  void btnDeleteAliasClick(TObject* sender);
  void Button3Click(TObject* sender);
  void edtAliasNameChange(TObject* sender);
  void ComboBoxVarTypeChange(TObject* sender);
  void edtDescriptionChange(TObject* sender);
};

class TFormPlaceHolders : public TForm {
 public:
  // `variables`: the host's IEC variables manager, which adds its further
  // type names to the type lists and browses the variables; none without a
  // host.
  explicit TFormPlaceHolders(TComponent* owner, ComPtr<IIECManVariables> variables = {});
  ~TFormPlaceHolders() override;

  TScrollBox* ScrollBox = nullptr;
  TPanel* Panel1 = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  TButton* AddAlias = nullptr;
  THeaderControl* HeaderControl1 = nullptr;
  TCheckBox* cbEditable = nullptr;
  TPopupMenu* pmScrollBox = nullptr;
  TMenuItem* AddAlias1 = nullptr;

  // The project's settings file (".webx") for the placement, traced each
  // time the dialog reads or writes it; empty: none.
  std::string settingsFile;

  // The owner's `placeholders` rows; without the element, editing mode.
  void LoadFromXml(TmyXmlNode* owner);
  // The rows into the owner's `placeholders` element (made as its first
  // child when missing; new rows first, deleted rows removed).
  void SaveToXml();
  TmyXmlNode* GetPlaceholdersNode() const { return placeholders_; }
  // The rows in creation order (hidden, that is deleted, ones too).
  const std::vector<TFrameAlias*>& Rows() const { return rows_; }

  void AddAliasClick(TObject* sender);
  void cbEditableClick(TObject* sender);
  // OK: a blank name (7261) or two equal names, case aside (7260), keep the
  // dialog open with the focus on that row.
  void Button1Click(TObject* sender);
  void ScrollBoxMouseWheel(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled);
  void HeaderControl1Resize(TObject* sender);
  void HeaderControl1SectionResize(THeaderControl* header, THeaderSection* section);
  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);

 private:
  TFrameAlias* NewRow();
  void LayOutRows();
  TmyXmlNode* owner_ = nullptr;
  TmyXmlNode* placeholders_ = nullptr;
  std::vector<TFrameAlias*> rows_;
  int rowCounter_ = 0;
  ComPtr<IIECManVariables> variables_;
  std::string typeList_;
};

// The placeholders button of an opener (page, group or global settings):
// the dialog made and loaded on first use, shown on every click, made anew
// from the XML after anything but OK.
class TPlaceholdersOpener {
 public:
  // `owner` gives the element whose placeholders are edited; `variables`
  // is the host's IEC variables manager (none without a host).
  TPlaceholdersOpener(TCustomForm& opener, std::function<TmyXmlNode*()> owner, std::string settingsFile,
                      ComPtr<IIECManVariables> variables);
  ~TPlaceholdersOpener();
  void Click();
  // On the opener's OK: when the dialog was used, writes its rows and loads
  // `list` from the element; false when it was never opened.
  bool Save(TStringDualList& list);

 private:
  void Make();
  TCustomForm& opener_;
  std::function<TmyXmlNode*()> owner_;
  std::string settingsFile_;
  ComPtr<IIECManVariables> variables_;
  std::unique_ptr<TFormPlaceHolders> dialog_;
};
