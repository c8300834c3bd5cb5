#pragma once
// TFormLangTextEdit: one text of an object, page, group or option in all 15
// language slots of the project, a row (TLangEditFrame) per slot. Rows of
// slots without a language show "-" and cannot be edited; the row of the
// editor's language carries a raised bevel. An edit's Tag is its slot's
// changed flag.

#include <array>
#include <string>

#include "grid/StringDualListLang.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Frame.h"

class TBevel;
class TButton;
class TEdit;
class TDesignerContext;
class TLabel;
class TPanel;

class TLangEditFrame : public TFrame {
 public:
  explicit TLangEditFrame(TComponent* owner);
  TBevel* bvDefault = nullptr;
  TLabel* lblLanguage = nullptr;
  TEdit* edtUserText = nullptr;
  TComponent* form = nullptr;
};

class TFormLangTextEdit : public TForm {
 public:
  explicit TFormLangTextEdit(TComponent* owner);

  TDesignerContext* designer = nullptr;
  int editorSlot = -1;

  TLabel* lblLanguague1 = nullptr;
  TLabel* lblText = nullptr;
  TPanel* Panel0 = nullptr;
  TButton* Button1 = nullptr;
  TButton* Button2 = nullptr;
  // The rows of slots 0 .. 14 (LangEditFrame1 .. LangEditFrame15).
  std::array<TLangEditFrame*, kLangSlots> rows{};

  void LoadTexts(const std::array<std::string, kLangSlots>& texts);
  // flags[slot] ORed with the slot edit's Tag.
  void GetChangedFlags(std::array<bool, kLangSlots>& flags) const;
  // Only the changed slots.
  void StoreTexts(std::array<std::string, kLangSlots>& texts) const;
  void edtUserTextChange(TObject* sender);
};

// The calling order of every dialog: the editor on the slots, modal; on OK
// the changed flags merged and the changed texts stored. True on OK.
bool RunLangTextEditor(TComponent* owner, TDesignerContext& designer, int editorSlot,
                       std::array<std::string, kLangSlots>& texts, std::array<bool, kLangSlots>& changed);
