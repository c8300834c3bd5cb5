#include "platform/win/Cursors.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/win/Resources.h"

namespace {

struct CursorTable {
  std::mutex mutex;
  std::map<std::pair<const void*, std::string>, std::unique_ptr<CursorRecord>> loaded;
  HCURSOR current = nullptr;
  POINT position;
};

CursorTable& Table() {
  static CursorTable* table = new CursorTable;  // handles live as long as the process
  return *table;
}

const char* BuiltInName(std::uintptr_t id) {
  switch (id) {
    case 32512: return "IDC_ARROW";
    case 32513: return "IDC_IBEAM";
    case 32514: return "IDC_WAIT";
    case 32515: return "IDC_CROSS";
    case 32516: return "IDC_UPARROW";
    case 32642: return "IDC_SIZENWSE";
    case 32643: return "IDC_SIZENESW";
    case 32644: return "IDC_SIZEWE";
    case 32645: return "IDC_SIZENS";
    case 32646: return "IDC_SIZEALL";
    case 32648: return "IDC_NO";
    case 32649: return "IDC_HAND";
    case 32650: return "IDC_APPSTARTING";
    case 32651: return "IDC_HELP";
    default: return nullptr;
  }
}

}  // namespace

HCURSOR LoadCursor(HINSTANCE module, LPCSTR name) {
  if (name == nullptr) return nullptr;
  std::string key;
  if (module == nullptr) {
    if (!IS_INTRESOURCE(name)) return nullptr;
    const char* builtIn = BuiltInName(reinterpret_cast<std::uintptr_t>(name));
    if (builtIn == nullptr) return nullptr;
    key = builtIn;
  } else {
    if (FindResource(module, name, RT_GROUP_CURSOR) == nullptr && FindResource(module, name, RT_CURSOR) == nullptr)
      return nullptr;
    key = IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<std::uintptr_t>(name)) : std::string(name);
    // Resource names compare without regard to case: one handle for both.
    for (char& c : key)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  CursorTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto& slot = t.loaded[{module, key}];
  if (!slot) slot = std::make_unique<CursorRecord>(CursorRecord{key});
  return slot.get();
}

HCURSOR SetCursor(HCURSOR cursor) {
  CursorTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  return std::exchange(t.current, cursor);
}

HCURSOR GetCursor() {
  CursorTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  return t.current;
}

BOOL GetCursorPos(POINT* point) {
  if (point == nullptr) return FALSE;
  CursorTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  *point = t.position;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  CursorTable& t = Table();
  std::lock_guard<std::mutex> lock(t.mutex);
  t.position.x = x;
  t.position.y = y;
  return TRUE;
}
