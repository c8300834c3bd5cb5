#include "pictures/PngLibrary.h"

#include <string>

#include "platform/win/DynamicLibrary.h"

namespace {

HMODULE pngLibrary = nullptr;
TLoadPngFunction loadPng = nullptr;

}  // namespace

void LoadPngLibrary() {
  if (pngLibrary == nullptr) {
    const std::string own = PluginModuleFolder() + "\\mypnglib.dll";
    pngLibrary = LoadLibrary(own.c_str());
    if (pngLibrary == nullptr) pngLibrary = LoadLibrary("mypnglib.dll");
  }
  if (loadPng == nullptr && pngLibrary != nullptr)
    loadPng = reinterpret_cast<TLoadPngFunction>(GetProcAddress(pngLibrary, "_LoadPNG"));
}

TLoadPngFunction PngLibraryEntry() { return loadPng; }

bool PngLibraryLoaded() { return pngLibrary != nullptr; }

void UnloadPngLibrary() {
  if (pngLibrary != nullptr) FreeLibrary(pngLibrary);
  pngLibrary = nullptr;
  loadPng = nullptr;
}
