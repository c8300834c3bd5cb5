#pragma once
// Drop-down options with one text per project language slot: each key maps to
// a TLangArray of 15 texts, slot i holding the text of the language whose code
// stands at position i of the project's 15 language codes (0 = empty slot).

#include <array>
#include <string>
#include <vector>

#include "grid/StringDualList.h"

constexpr int kLangSlots = 15;

struct TLangArray {
  std::array<std::string, kLangSlots> texts;
};

// The texts of the children of one name of an XML node, in order.
class TXmlTagList {
 public:
  void Load(const TmyXmlNode* node, const std::string& tag);
  int Count() const { return static_cast<int>(texts_.size()); }
  // Empty for an index out of range.
  std::string Text(int index) const;

 private:
  std::vector<std::string> texts_;
};

class TStringDualListLang : public TStringDualList {
 public:
  TStringDualListLang(int editorCode, const int codes[kLangSlots], bool sorted);

  // A new key gets the text in the editor's slot, the other slots empty.
  int Add(const std::string& key, const std::string& text) override;
  int AddTexts(const std::string& key, const std::array<std::string, kLangSlots>& texts);
  void Clear() override;
  // Keys from the `object` node's `dropdown` child, texts per language from
  // its `lang` child (matched by position).
  void LoadFromXml(const TmyXmlNode* node) override;
  // Writes the texts of every used slot into the `lang` child (when there is
  // one) and the editor's texts into the `dropdown` child.
  void SaveToXml(TmyXmlNode* node) const override;
  std::string GetValue(int index) const override;

  const TLangArray* GetTexts(int index) const;
  // The plain list := (key, editor's text) of every entry.
  void CopyEditorTexts(TStringDualList& plain) const;
  // The plain list := (key, text of the slot holding that code); empty when no
  // slot holds the code.
  void CopyLanguageTexts(int code, TStringDualList& plain) const;

  int EditorSlot() const { return editorSlot_; }

 private:
  // The slot whose code is the language code; -1 when none is.
  int SlotOfCode(int code) const;

  std::array<int, kLangSlots> codes_{};
  int editorSlot_ = 0;
  // The texts of the key at the same index of the key list.
  std::vector<TLangArray> texts_;
};
