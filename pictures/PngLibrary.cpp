#include "pictures/PngLibrary.h"

#include <string>

#include "platform/win/DynamicLibrary.h"

namespace {

HMODULE gPngLibrary = nullptr;
TLoadPngFunction gLoadPng = nullptr;

}  // namespace

void LoadPngLibrary() {
  if (gPngLibrary == nullptr) {
    const std::string own = PluginModuleFolder() + "\\mypnglib.dll";
    gPngLibrary = LoadLibrary(own.c_str());
    if (gPngLibrary == nullptr) gPngLibrary = LoadLibrary("mypnglib.dll");
  }
  if (gLoadPng == nullptr && gPngLibrary != nullptr)
    gLoadPng = reinterpret_cast<TLoadPngFunction>(GetProcAddress(gPngLibrary, "_LoadPNG"));
}

TLoadPngFunction PngLibraryEntry() { return gLoadPng; }

bool PngLibraryLoaded() { return gPngLibrary != nullptr; }

void UnloadPngLibrary() {
  if (gPngLibrary != nullptr) FreeLibrary(gPngLibrary);
  gPngLibrary = nullptr;
  gLoadPng = nullptr;
}
