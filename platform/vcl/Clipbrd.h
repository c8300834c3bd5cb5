#pragma once
// TClipboard (unit Clipbrd): the clipboard's text, over
// platform/win/Clipboard.h. Clipboard() is the process's one instance.
// What reads (the text, the formats) first lets the UI back end bring the
// clipboard up to date (UiBackend.h), so that a paste takes what the
// clipboard holds when it is made, also when another program put it there.

#include <string>

#include "platform/win/Clipboard.h"

class TClipboard {
 public:
  // 8-bit text in the ANSI code page (CF_TEXT); empty when the clipboard
  // holds no text. Setting replaces everything on the clipboard.
  std::string AsText();
  void SetAsText(const std::string& text);
  // UTF-16 text (CF_UNICODETEXT).
  std::u16string AsUnicodeText();
  void SetAsUnicodeText(const std::u16string& text);
  bool HasFormat(UINT format) const;
  // Empties the clipboard.
  void Clear();
  // Nested opening: the clipboard closes with the last Close.
  void Open();
  void Close();

 private:
  int openCount_ = 0;
};

TClipboard* Clipboard();
