#include "generator/EmbeddedScript.h"

#include <stdexcept>

#include "platform/win/Resources.h"

std::string EmbeddedScript(const char* resource) {
  HRSRC found = FindResource(HInstance, resource, RT_RCDATA);
  if (found == nullptr) throw std::runtime_error(std::string("missing resource ") + resource);
  const char* data = static_cast<const char*>(LockResource(LoadResource(HInstance, found)));
  const DWORD size = SizeofResource(HInstance, found);
  std::string text;
  text.reserve(size + size / 16);
  for (DWORD i = 0; i < size; ++i) {
    if (data[i] == '\r') continue;
    if (data[i] == '\n') text += '\r';
    text += data[i];
  }
  return text;
}
