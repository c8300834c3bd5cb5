#pragma once
// TFormPasswords: the access settings of a web project on three tabs: web
// users with password, level and start page; devices that log in by MAC
// address; API users. The rows live in the dialog's frames; loading and
// writing back go through the password model (generator/PasswordFile.h),
// which also writes the password file "PSW.TXT".
//
// Two callers: the designer's password command shows it and, on OK, has the
// three project elements rewritten; the save-and-compile road can make it
// unshown, give it the format version 8001, load it and call Button1Click,
// which writes "PSW.TXT" into the output root as well.

#include <array>
#include <string>

#include "generator/PasswordFile.h"
#include "platform/vcl/Form.h"

class TButton;
class TCheckBox;
class TComboBoxNoWheel;
class TLabel;
class TPageControl;
class TScrollBox;
class TTabSheet;
class TmyXmlNode;
class TDesignerContext;
class TFramUser;
class TFramMac;

// The kinds of rows.
enum class TRowKind { kUser = 0, kMac = 1, kApi = 2 };

class TFormPasswords : public TForm {
 public:
  // `designer` gives the project (its `web` element, its pages and the
  // settings file; may be null in which case the elements are written only
  // where they were loaded); `cpmCode` is the central unit the host last
  // reported (-1 unknown).
  TFormPasswords(TComponent* owner, TDesignerContext* designer, int cpmCode);
  // Both from the designer: the central unit from its host.
  explicit TFormPasswords(TDesignerContext* designer);
  ~TFormPasswords() override;

  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabSheet1 = nullptr;
  TTabSheet* TabSheet2 = nullptr;
  TTabSheet* TabSheet3 = nullptr;
  TScrollBox* ScrollBox = nullptr;
  TScrollBox* ScrollBoxMac = nullptr;
  TScrollBox* ScrollBoxApi = nullptr;
  TLabel* lblLevel = nullptr;
  TLabel* lblUser = nullptr;
  TLabel* lblPass = nullptr;
  TLabel* lblPage = nullptr;
  TLabel* lblLevel2 = nullptr;
  TLabel* lblMac = nullptr;
  TLabel* lblPage2 = nullptr;
  TLabel* lblComment = nullptr;
  TLabel* lblUser2 = nullptr;
  TLabel* lblPass2 = nullptr;
  TLabel* lblCnt = nullptr;
  TLabel* lblCnt2 = nullptr;
  TLabel* lblCnt3 = nullptr;
  TComboBoxNoWheel* cbCntUser = nullptr;
  TComboBoxNoWheel* cbCntMac = nullptr;
  TComboBoxNoWheel* cbCntApi = nullptr;
  TCheckBox* cbCrypt = nullptr;
  TCheckBox* cbShowPassword = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;

  std::array<TFramUser*, kPasswordMaxRows> UserRows{};
  std::array<TFramMac*, kPasswordMaxRows> MacRows{};
  std::array<TFramUser*, kPasswordMaxRows> ApiRows{};
  int UserCount = 0;
  int MacCount = 0;
  int ApiCount = 0;
  // The counts can be chosen (units from code 11 on).
  bool CountsEnabled = false;
  TmyXmlNode* SecurityNode = nullptr;
  TmyXmlNode* AutologinNode = nullptr;
  TmyXmlNode* ApiNode = nullptr;
  // 8001 writes the password file on OK; 0 (the default) does not.
  int FormatVersion = 0;
  std::string PswFileName;

  void LoadUsers(TmyXmlNode* security);
  void LoadAutologin(TmyXmlNode* autologin);
  void LoadApiUsers(TmyXmlNode* vornapi);
  // Every user and API row enables or greys its fields by its level.
  void UpdateRowStates();

  void CreateRow(int index, TRowKind kind);
  void EnsureRows(int count, TRowKind kind);

  void Button1Click(TObject* sender);
  void cbCntChange(TObject* sender);
  void cbCryptClick(TObject* sender);
  void cbShowPasswordClick(TObject* sender);
  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);
  void NoFocusClick(TObject* sender);
  void ScrollBoxMouseWheel(TObject* sender, TShiftState shift, int wheelDelta, TPoint mousePos, bool& handled);
  void Dispatch(void* message) override;

  // Whether the last Button1Click wrote the password file.
  bool PasswordFileWritten() const { return fileWritten_; }

 private:
  void CreateComponents();
  void CreateTab(TTabSheet*& sheet, const char* name, TScrollBox*& box, const char* boxName);
  TComboBoxNoWheel* CreateCounter(TTabSheet* sheet, const char* name, TLabel*& label, const char* labelName);
  void SetCaptions();
  int& CountOf(TRowKind kind);
  TComboBoxNoWheel* CounterOf(TRowKind kind);
  int RowsOf(TRowKind kind) const;
  void SetRowVisible(int index, TRowKind kind, bool visible);
  void AfterLoad(TRowKind kind, int modelCount);
  void FillUserRow(TFramUser& row, const TPasswordUserRow& from);
  void StoreRowsInModel();
  std::string ShownPage(const std::string& name) const;
  std::string SettingsFile() const;
  // A file the dialog could not write, told in a box.
  void ShowWriteFailure(const std::string& text);
  std::string SendRootDir() const;

  TDesignerContext* designer_;
  TPasswordModel model_;
  bool fileWritten_ = false;
};
