#pragma once
// TFramUser: one row of the access settings: a web user (level "-" or 0 to
// 9, name, password, start page) or, in API mode, an API user (a check box
// instead of the level, no start page). The name and password edits filter
// what they are given; the password edit is masked unless passwords are
// shown or it has the focus.

#include <string>

#include "platform/vcl/Frame.h"

class TCheckBox;
class TComboBox;
class TEdit;
class TLabel;
class TDesignerContext;

class TFramUser : public TFrame {
 public:
  // The row's height and its width in the dialog.
  static constexpr int kHeight = 29;
  static constexpr int kWidth = 723;

  // `designer` fills the start-page menu (may be null: no menu).
  TFramUser(TComponent* owner, TDesignerContext* designer);

  TLabel* lblOrder = nullptr;
  TComboBox* edtLevel = nullptr;
  TCheckBox* cbLevel = nullptr;
  TEdit* edtUser = nullptr;
  TEdit* edtPass = nullptr;
  TEdit* cbStartPage = nullptr;

  // The row's password: always the password edit's text.
  std::string Password;
  // The page the start page names (empty: none); cbStartPage shows it.
  std::string StartPageName;

  // The level choice: 0 "-" (row not in use), 1 to 10 the levels 0 to 9.
  int LevelIndex() const;
  void SetLevelIndex(int index);
  // Sets the password and shows it in the edit, masked.
  void SetPassword(const std::string& password);
  // The start page by its name and shown text (both empty: none).
  void SetStartPage(const std::string& name, const std::string& shown);

  void SetShowPassword(bool show);
  void SetApiMode(bool api);
  bool ApiMode() const { return apiMode_; }

  void cntLevelChange(TObject* sender);
  void edtChange(TObject* sender);
  void edtPassChange(TObject* sender);
  void edtPassEnter(TObject* sender);
  void cbStartPageClick(TObject* sender);
  void PageMenuClick(TObject* sender);

 private:
  void CreateComponents();

  TDesignerContext* designer_;
  bool apiMode_ = false;
};

// An edit's text set to a filtered text with the caret and the selection
// kept where they were.
void ReplaceKeepingCaret(TEdit* edit, const std::string& text);

// The start page a page-menu entry names: the parent item's caption, " > "
// and the entry's caption when the entry's caption holds "-" (a page); empty
// otherwise (the empty entry).
std::string StartPageOfMenuEntry(TObject* entry);

// Pops the designer's page-link menu (with its empty entry) up at the mouse
// cursor for a row's start page; nothing without a designer.
void PopupPageLinkMenu(TDesignerContext* designer, TNotifyEvent onClick);
