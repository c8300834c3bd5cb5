#pragma once
// TFormLangProperties: the project's languages: multiple language versions
// on or off, up to 15 languages in priority order (TLangFrame rows) and the
// editor's language. On OK the `Languages` element is written (15 children)
// and the texts of groups, pages and objects are moved so that their plain
// attributes hold the editor language's texts.

#include <array>

#include "platform/vcl/Form.h"
#include "platform/vcl/Frame.h"

class TButton;
class TCheckBox;
class TComboBox;
class TLabel;
class TRadioButton;
class TDesignerContext;
class TFormLangProperties;
class TmyXmlNode;

inline constexpr int kLanguageRows = 15;

class TLangFrame : public TFrame {
 public:
  static constexpr int kHeight = 26;
  static constexpr int kWidth = 420;

  explicit TLangFrame(TComponent* owner);

  TLabel* lblPriority = nullptr;
  TComboBox* cbLanguage1 = nullptr;
  TRadioButton* cbActiveInEditor1 = nullptr;
  int Slot = -1;
  TFormLangProperties* Form = nullptr;

  void Enable();
  // Disabled; a row that was the editor's language hands that to row 0.
  void Disable();
  bool IsEnabled() const;
  void SetSlot(int slot);
  void cbLanguage1Change(TObject* sender);
  void cbActiveInEditor1Click(TObject* sender);
};

class TFormLangProperties : public TForm {
 public:
  explicit TFormLangProperties(TComponent* owner);

  std::array<TLangFrame*, kLanguageRows> Rows{};
  TCheckBox* cbEnableLanguageMutations = nullptr;
  TLabel* lblLanguague1 = nullptr;
  TLabel* lblShowForEditing1 = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  TButton* btnClear = nullptr;

  // Set by the designer before LoadFromXml.
  TDesignerContext* Designer = nullptr;
  TmyXmlNode* WebNode = nullptr;
  TmyXmlNode* LanguagesNode = nullptr;
  // The element under which `LanguagesProp` keeps the dialog's placement
  // (none: the placement is not kept).
  TmyXmlNode* PlacementNode = nullptr;
  bool EnabledAtLoad = false;

  void LoadFromXml();
  // Writes `Languages` (made under the web node when missing); answers the
  // editor language's code, 0 when no row is the editor's.
  int SaveToXml();
  // Rows from `first` on enabled, up to and with the first row without a
  // language.
  void EnableRowsFrom(int first);
  void DisableRowsAfter(int row);
  void MakeRowZeroEditor();
  void UncheckOtherEditors(TLangFrame* row);

  void cbEnableLanguageMutationsClick(TObject* sender);
  void Button1Click(TObject* sender);
  void FormShow(TObject* sender);
  void FormClose(TObject* sender, TCloseAction& action);

 private:
  void RemapTexts(int editorCode);
  bool loading_ = false;
};
