#include "platform/win/Resources.h"

#include <strings.h>
#include <cstdint>

namespace {

ModuleRecord& ThisModule() {
  static ModuleRecord record;
  return record;
}

// Compares a requested name or type with the text form stored by the generator.
bool SameKey(LPCSTR wanted, const char* stored) {
  if (wanted == nullptr || stored == nullptr) return false;
  if (IS_INTRESOURCE(wanted)) {
    if (stored[0] != '#') return false;
    return std::to_string(reinterpret_cast<std::uintptr_t>(wanted)) == stored + 1;
  }
  if (wanted[0] == '#') return std::string(wanted) == stored;
  return strcasecmp(wanted, stored) == 0;
}

}  // namespace

HINSTANCE HInstance = &ThisModule();

void RegisterEmbeddedResources(const EmbeddedResource* table, std::size_t count) {
  ModuleRecord& module = ThisModule();
  module.resources.insert(module.resources.end(), table, table + count);
}

void UnregisterEmbeddedResources(const EmbeddedResource* table, std::size_t count) {
  std::vector<EmbeddedResource>& resources = ThisModule().resources;
  std::erase_if(resources, [&](const EmbeddedResource& r) {
    for (std::size_t i = 0; i < count; ++i)
      if (r.name == table[i].name && r.data == table[i].data) return true;
    return false;
  });
}

HRSRC FindResource(HMODULE module, LPCSTR name, LPCSTR type) {
  if (module == nullptr) module = &ThisModule();
  for (const EmbeddedResource& r : module->resources)
    if (SameKey(name, r.name) && SameKey(type, r.type)) return &r;
  return nullptr;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
  if (resource == nullptr) return nullptr;
  const auto* r = static_cast<const EmbeddedResource*>(resource);
  return const_cast<unsigned char*>(r->data);
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
  if (resource == nullptr) return 0;
  return static_cast<DWORD>(static_cast<const EmbeddedResource*>(resource)->size);
}

LPVOID LockResource(HGLOBAL data) { return data; }
