#pragma once
// TFormGlobalSettings: the dialog of the project-wide settings. It keeps its
// controls consistent while the user edits: page-size presets for the
// operator panels and common screens, a preview of the browser window with
// the page's size, the favicon, the browser background colour and the
// enabling of the grid and scale boxes. The global settings bridge
// (GlobalSettingsBridge.h) fills it and writes it back.
//
// A favicon the user picks is copied to a temporary name beside the project's
// pictures; CommitIcon puts it in place (on OK), and the dialog removes a
// temporary copy that was not committed when it is destroyed, so Cancel
// leaves the old icon.

#include <string>

#include "platform/vcl/Form.h"
#include "project/DialogControls.h"

class TBevel;
class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TGroupBox;
class TImage;
class TLabel;
class TMenuItem;
class TPopupMenu;
class TShape;
class TmyXmlNode;
class TDesignerContext;

// A screen or operator-panel preset of the target list: the page size it
// sets, and whether it is an operator panel (no menu, no title, operator
// panel files).
struct TTargetPreset {
  const char* text;  // empty: the UI text "user resolution"
  int width;
  int height;
  bool panel;
};
// The presets in list order; entry 0 sets nothing.
extern const TTargetPreset kTargetPresets[12];

class TFormGlobalSettings : public TForm {
 public:
  explicit TFormGlobalSettings(TComponent* owner);
  ~TFormGlobalSettings() override;

  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;
  TLabel* Label4 = nullptr;
  TEdit* scWidth = nullptr;
  TEdit* scHeight = nullptr;
  TComboBox* cbTarget = nullptr;
  TCheckBox* cbMenu = nullptr;
  TCheckBox* cbTitle = nullptr;
  TCheckBox* cbBorder = nullptr;
  TLabel* lblBorder = nullptr;
  TLabel* lblLeft = nullptr;
  TLabel* lblTop = nullptr;
  TEdit* scLeft = nullptr;
  TEdit* scTop = nullptr;
  TImage* Image1 = nullptr;
  TShape* Shape1 = nullptr;
  TShape* Shape2 = nullptr;
  TLabel* lbSize = nullptr;
  TLabel* lbWidth = nullptr;
  TLabel* lbHeight = nullptr;
  TLabel* lblBackground = nullptr;
  TShape* shFront = nullptr;
  TCheckBox* cbSameAsPage = nullptr;
  TCheckBox* cbVarFont = nullptr;
  TGroupBox* gbMobile = nullptr;
  TCheckBox* cbDeviceWidthMode = nullptr;
  TCheckBox* cbInitialScale = nullptr;
  TEdit* meInitialScale = nullptr;
  TCheckBox* cbMaxScale = nullptr;
  TEdit* meMaxScale = nullptr;
  TCheckBox* cbUserScale = nullptr;
  TCheckBox* cbWebApp = nullptr;
  TLabel* lblIcon = nullptr;
  TImage* imgIco = nullptr;
  TBevel* Bevel1 = nullptr;
  TButton* btnIcon = nullptr;
  TCheckBox* cbGrid = nullptr;
  TLabel* lblGridX = nullptr;
  TEdit* seGridX = nullptr;
  TLabel* lblGridY = nullptr;
  TEdit* seGridY = nullptr;
  TLabel* lblFoot = nullptr;
  TEdit* edtFoot = nullptr;
  TLabel* lblAuthor = nullptr;
  TEdit* edtAuthor = nullptr;
  TCheckBox* cbGenarateEveryTime = nullptr;
  TLabel* lblEncoding = nullptr;
  TComboBox* cbEncoding = nullptr;
  TCheckBox* cbGeneratePavoA = nullptr;
  TCheckBox* cbOldDim1 = nullptr;
  TButton* btnPlaceHolders = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* GenerateVarNames1 = nullptr;
  TMenuItem* GenerateXmlOnly1 = nullptr;
  TMenuItem* DontDeleteXml1 = nullptr;
  TMenuItem* UseWebpages1 = nullptr;
  TMenuItem* DisableTdi1 = nullptr;

  // Set by the bridge; not owned.
  TmyXmlNode* WebNode = nullptr;
  TDesignerContext* Designer = nullptr;
  // "FAVICON.ICO" while a custom icon is set, else empty.
  std::string IconName;

  // A box's value: its text as a decimal number, 0 when it holds none.
  static int BoxValue(const TEdit* box);
  static void SetBoxValue(TEdit* box, int value);

  void FormActivate(TObject* sender);
  void SetUiTexts();
  void scChange(TObject* sender);
  void scHeightExit(TObject* sender);
  void scWidthExit(TObject* sender);
  void cbTargetChange(TObject* sender);
  void cbClick(TObject* sender);
  void UpdateSizeLabel();
  void btnIconClick(TObject* sender);
  void PlaceIconImage();
  // The built-in favicon in the icon preview.
  void ShowDefaultIcon();
  void shFrontMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void shFrontMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void cbSameAsPageClick(TObject* sender);
  void cbGridClick(TObject* sender);
  void cbInitialScaleClick(TObject* sender);
  void cbMaxScaleClick(TObject* sender);
  void ToggleCheck(TObject* sender);
  void Dispatch(void* message) override;

  // The icon the user picked, copied beside the pictures under a temporary
  // name; empty when none is pending.
  const std::string& PendingIcon() const { return pendingIcon_; }
  // Puts a pending icon in place as "FAVICON.ICO" (replacing the old one
  // only now); false, with a message, when it cannot be put there.
  bool CommitIcon();

 private:
  void CreateComponents();
  void CreatePreview();
  void CreateMobileGroup();
  void CreateBottomPart();
  void CreateMenu();
  void DiscardPendingIcon();
  void PickIcon();
  std::string SettingsFile() const;

  // The rows of labels and boxes, placed after each change of the texts.
  TRowLayout rows_;
  bool swatchPressed_ = false;
  bool updating_ = false;
  std::string pendingIcon_;
};
