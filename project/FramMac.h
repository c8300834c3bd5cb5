#pragma once
// TFramMac: one row of automatic login: a MAC address (typed as pairs of
// hexadecimal digits joined by ':'), a level 0 to 9, a start page and a
// note; its "..." button offers the generic addresses of the operator
// panels.

#include <string>

#include "platform/vcl/Frame.h"

class TButton;
class TComboBox;
class TEdit;
class TLabel;
class TPopupMenu;
class TMenuItem;
class TDesignerContext;

// The operator-panel models of the generic addresses, each with its number:
// the last pair of its address "FF:FF:FF:FF:FF:nn" (0: all panels).
struct TPanelModel {
  const char* name;
  int number;
};
inline constexpr TPanelModel kPanelModels[] = {
    {"Pavo-A1", 1}, {"Pavo-A2", 2}, {"Pavo-B1", 3}, {"Pavo-B2", 4}, {"Pavo-C", 5},
};

class TFramMac : public TFrame {
 public:
  static constexpr int kHeight = 29;
  static constexpr int kWidth = 703;

  TFramMac(TComponent* owner, TDesignerContext* designer);

  TLabel* lblOrder = nullptr;
  TComboBox* edtLevel = nullptr;
  TEdit* edtMac = nullptr;
  TButton* Button1 = nullptr;
  TEdit* cbStartPage = nullptr;
  TEdit* edtComment = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;

  std::string StartPageName;
  void SetStartPage(const std::string& name, const std::string& shown);

  // The captions of the generic-address menu in the current UI language.
  void SetCaptions();

  void edtMacKeyPress(TObject* sender, char& key);
  void edtMacChange(TObject* sender);
  void Button1Click(TObject* sender);
  void Alloperatorpanels1Click(TObject* sender);
  void cbStartPageClick(TObject* sender);
  void PageMenuClick(TObject* sender);

 private:
  void CreateComponents();
  void CreateMenu();

  TDesignerContext* designer_;
  TMenuItem* header_ = nullptr;
  TMenuItem* allPanels_ = nullptr;
  TMenuItem* models_[std::size(kPanelModels)] = {};
};
