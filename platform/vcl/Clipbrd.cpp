#include "platform/vcl/Clipbrd.h"

#include <cstring>

#include "platform/vcl/SysUtilsException.h"
#include "platform/vcl/UiBackend.h"
#include "platform/win/GlobalMemory.h"

TClipboard* Clipboard() {
  static TClipboard* clipboard = new TClipboard;  // lives as long as the process
  return clipboard;
}

namespace {

// Not while the clipboard is open here: the back end opens it to put what it
// fetched.
void BringUpToDate(int openCount) {
  if (openCount == 0) UiBackend().ClipboardWillBeRead();
}

}  // namespace

void TClipboard::Open() {
  if (openCount_ == 0 && !OpenClipboard(nullptr)) throw Exception("Cannot open clipboard");
  ++openCount_;
}

void TClipboard::Close() {
  if (openCount_ == 0) return;
  if (--openCount_ == 0) CloseClipboard();
}

void TClipboard::Clear() {
  Open();
  EmptyClipboard();
  Close();
}

bool TClipboard::HasFormat(UINT format) const {
  BringUpToDate(openCount_);
  return IsClipboardFormatAvailable(format) != FALSE;
}

std::string TClipboard::AsText() {
  BringUpToDate(openCount_);
  Open();
  std::string text;
  HANDLE data = GetClipboardData(CF_TEXT);
  if (const auto* p = static_cast<const char*>(GlobalLock(data))) {
    text.assign(p, strnlen(p, GlobalSize(data)));
    GlobalUnlock(data);
  }
  Close();
  return text;
}

void TClipboard::SetAsText(const std::string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (block == nullptr) throw Exception("Out of memory while setting clipboard text");
  std::memcpy(GlobalLock(block), text.data(), text.size());
  GlobalUnlock(block);
  Open();
  EmptyClipboard();
  if (SetClipboardData(CF_TEXT, block) == nullptr) GlobalFree(block);
  Close();
}

std::u16string TClipboard::AsUnicodeText() {
  BringUpToDate(openCount_);
  Open();
  std::u16string text;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (const auto* p = static_cast<const char*>(GlobalLock(data))) {
    const std::size_t units = GlobalSize(data) / sizeof(char16_t);
    for (std::size_t i = 0; i < units; ++i) {
      char16_t c;
      std::memcpy(&c, p + i * sizeof c, sizeof c);
      if (c == 0) break;
      text.push_back(c);
    }
    GlobalUnlock(data);
  }
  Close();
  return text;
}

void TClipboard::SetAsUnicodeText(const std::u16string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
  if (block == nullptr) throw Exception("Out of memory while setting clipboard text");
  std::memcpy(GlobalLock(block), text.data(), text.size() * sizeof(char16_t));
  GlobalUnlock(block);
  Open();
  EmptyClipboard();
  if (SetClipboardData(CF_UNICODETEXT, block) == nullptr) GlobalFree(block);
  Close();
}
