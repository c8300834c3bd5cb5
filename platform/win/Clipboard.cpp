#include "platform/win/Clipboard.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "platform/win/CodePage.h"
#include "platform/win/GlobalMemory.h"

namespace {

struct ClipboardState {
  std::mutex mutex;
  bool open = false;
  std::thread::id openedBy;
  std::map<UINT, HGLOBAL> data;         // what was put
  std::map<UINT, HGLOBAL> synthesized;  // text formats made from another one
  DWORD sequence = 0;                   // counts the changes of the content
};

ClipboardState& State() {
  static ClipboardState* state = new ClipboardState;  // used until the process ends
  return *state;
}

bool IsText(UINT format) { return format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT; }

bool OpenByMe(const ClipboardState& s) { return s.open && s.openedBy == std::this_thread::get_id(); }

void FreeAll(std::map<UINT, HGLOBAL>& blocks) {
  for (auto& [format, block] : blocks) GlobalFree(block);
  blocks.clear();
}

// The text of a block up to its first NUL (or its end).
std::string ReadAnsi(HGLOBAL block) {
  const auto* p = static_cast<const char*>(GlobalLock(block));
  if (p == nullptr) return {};
  const std::size_t size = GlobalSize(block);
  return std::string(p, strnlen(p, size));
}

std::u16string ReadWide(HGLOBAL block) {
  const auto* p = static_cast<const char*>(GlobalLock(block));
  if (p == nullptr) return {};
  const std::size_t units = GlobalSize(block) / sizeof(char16_t);
  std::u16string text;
  for (std::size_t i = 0; i < units; ++i) {
    char16_t c;
    std::memcpy(&c, p + i * sizeof(char16_t), sizeof c);
    if (c == 0) break;
    text.push_back(c);
  }
  return text;
}

HGLOBAL MakeBlock(const void* bytes, std::size_t size, std::size_t terminator) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size + terminator);
  if (block == nullptr) return nullptr;
  if (size > 0) std::memcpy(GlobalLock(block), bytes, size);
  return block;
}

HGLOBAL Synthesize(ClipboardState& s, UINT format) {
  auto done = s.synthesized.find(format);
  if (done != s.synthesized.end()) return done->second;
  HGLOBAL made = nullptr;
  if (format == CF_UNICODETEXT) {
    auto source = s.data.find(CF_TEXT);
    if (source == s.data.end()) source = s.data.find(CF_OEMTEXT);
    if (source == s.data.end()) return nullptr;
    const std::u16string wide = MultiByteToWide(CP_ACP, ReadAnsi(source->second));
    made = MakeBlock(wide.data(), wide.size() * sizeof(char16_t), sizeof(char16_t));
  } else {
    std::string ansi;
    auto other = s.data.find(format == CF_TEXT ? CF_OEMTEXT : CF_TEXT);
    if (other != s.data.end()) {
      ansi = ReadAnsi(other->second);
    } else {
      auto wide = s.data.find(CF_UNICODETEXT);
      if (wide == s.data.end()) return nullptr;
      ansi = WideToMultiByte(CP_ACP, ReadWide(wide->second));
    }
    made = MakeBlock(ansi.data(), ansi.size(), 1);
  }
  if (made != nullptr) s.synthesized[format] = made;
  return made;
}

}  // namespace

BOOL OpenClipboard(HWND) {
  ClipboardState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.open && s.openedBy != std::this_thread::get_id()) return FALSE;
  s.open = true;
  s.openedBy = std::this_thread::get_id();
  return TRUE;
}

BOOL CloseClipboard() {
  ClipboardState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!OpenByMe(s)) return FALSE;
  s.open = false;
  return TRUE;
}

BOOL EmptyClipboard() {
  ClipboardState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!OpenByMe(s)) return FALSE;
  FreeAll(s.data);
  FreeAll(s.synthesized);
  ++s.sequence;
  return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
  ClipboardState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!OpenByMe(s) || data == nullptr || GlobalLock(data) == nullptr) return nullptr;
  // One block serves one format: a block held already cannot be given again.
  for (const auto& [f, block] : s.data)
    if (block == data && f != format) return nullptr;
  for (const auto& [f, block] : s.synthesized)
    if (block == data) return nullptr;
  auto old = s.data.find(format);
  if (old != s.data.end() && old->second != data) GlobalFree(old->second);
  s.data[format] = data;
  ++s.sequence;
  // Text made earlier from other data no longer stands.
  if (IsText(format)) FreeAll(s.synthesized);
  return data;
}

HANDLE GetClipboardData(UINT format) {
  ClipboardState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!OpenByMe(s)) return nullptr;
  auto it = s.data.find(format);
  if (it != s.data.end()) return it->second;
  return IsText(format) ? Synthesize(s, format) : nullptr;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  ClipboardState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.data.count(format) != 0) return TRUE;
  if (!IsText(format)) return FALSE;
  return s.data.count(CF_TEXT) != 0 || s.data.count(CF_OEMTEXT) != 0 || s.data.count(CF_UNICODETEXT) != 0;
}

DWORD GetClipboardSequenceNumber() {
  ClipboardState& s = State();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.sequence;
}
