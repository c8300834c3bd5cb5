#pragma once
// Drop-down options with one text per project language slot: each key maps to
// a TLangArray of 15 texts, slot i holding the text of the language whose code
// stands at position i of the project's 15 language codes (0 = empty slot).

#include <array>
#include <string>

#include "grid/StringDualList.h"

constexpr int kLangSlots = 15;

struct TLangArray {
  std::array<std::string, kLangSlots> texts;
};

// The texts of the children of one name of an XML node, in order.
class TXmlTagList {
 public:
  void Load(const TmyXmlNode* node, const std::string& tag);
  int Count() const { return FTexts.Count(); }
  std::string Text(int index) const { return index >= 0 && index < Count() ? FTexts.Strings(index) : std::string(); }

 private:
  TStringList FTexts;
};

class TStringDualListLang : public TStringDualList {
 public:
  TStringDualListLang(int editorCode, const int codes[kLangSlots], bool sorted);
  ~TStringDualListLang() override;

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

  int EditorSlot() const { return FEditorSlot; }

 private:
  int FCodes[kLangSlots];
  int FEditorCode;
  int FEditorSlot;
};
