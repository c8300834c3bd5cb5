#pragma once
// TFormEditOption: one item of a drop-down list: its caption in every
// project language and its value. A value that another item of the list
// already has (letter case aside, as the list stores them) is refused: the
// value box turns light red, a line says why, and OK is disabled.

#include <array>
#include <string>

#include "grid/StringDualListLang.h"
#include "platform/vcl/Form.h"

class TButton;
class TEdit;
class TDesignerContext;
class TLabel;
class TListView;

class TFormEditOption : public TForm {
 public:
  explicit TFormEditOption(TComponent* owner);

  TLabel* lblCaption = nullptr;
  TEdit* edtCaption = nullptr;
  TButton* btLang1 = nullptr;
  TLabel* lblValue = nullptr;
  TEdit* edtValue = nullptr;
  TLabel* lblDuplicate = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;

  // Set by the caller before the form is shown (Tag: 0 edits the row
  // `editedRow`, not 0 adds a new item).
  TDesignerContext* designer = nullptr;
  int editorSlot = -1;
  std::array<std::string, kLangSlots> texts{};
  std::array<bool, kLangSlots> changed{};
  TListView* listView = nullptr;
  int editedRow = -1;

  // True when another row's value equals the value box's, letter case aside.
  bool IsDuplicate() const;
  void edtValueChange(TObject* sender);
  void edtCaptionChange(TObject* sender);
  void btLang1Click(TObject* sender);

 private:
  void AlignBoxesAfterLabels();
};
